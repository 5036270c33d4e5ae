#include "substitution/xml_plain_lines.h"

#include <algorithm>
#include <array>

#include "substitution/byte_scan.h"

namespace zarvo {
namespace {

// Every tag starts with "<": where it stands, and where the LFs that end lines stand, are found
// together, a chunk at a time.
constexpr std::array<char, kFewStops> kTagsAndLineEnds{'<', '\n', '\n', '\n'};

}  // namespace

XmlPlainLines::XmlPlainLines(PresentRows& rows, const std::vector<ElementEntry<std::string>>& elements,
                             const ByteLineEdit& edit)
    : rows_(rows), elements_(elements), block_(kTagsAndLineEnds, edit)
{
}

void XmlPlainLines::Edit(std::string_view lines, LineWriter& writer)
{
    block_.Edit(lines, writer, [this](std::string_view line, std::span<const std::size_t> tags, BlockLines&) {
        return EditTagged(line, tags);
    });
}

inline bool XmlPlainLines::EditTagged(std::string_view line, std::span<const std::size_t> tags)
{
    const RowsInLine in = rows_.InLine(line, tags);
    if (in.rows == LineRows::Several) return false;
    if (in.rows == LineRows::None) return true;
    const ElementEntry<std::string>& element = elements_[in.row];
    const std::size_t content = in.place + element.opening.size();
    // The first closing tag after the content stands at one of the line's "<".
    const auto close = std::ranges::find_if(
        tags, [&](std::size_t tag) { return tag >= content && TokenStandsAt(line, element.closing, tag); });
    // The line as read ends in an LF.
    if (close == tags.end() || !ValueFits(line.size() + 1, content, *close, element.value.size())) return true;
    block_.Replace(line, content, *close, element.value);
    rows_.Count(in.row, 1);
    return true;
}

}  // namespace zarvo
