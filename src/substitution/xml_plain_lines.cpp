#include "substitution/xml_plain_lines.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "substitution/byte_scan.h"

namespace zarvo {
namespace {

// Every tag starts with "<": where it stands, and where the LFs that end lines stand, are found
// together, a chunk at a time.
constexpr std::array<char, kFewStops> kTagsAndLineEnds{'<', '\n', '\n', '\n'};

// The places of "<" in a line; a line with more goes through the rows.
using TagPlaces = std::array<std::size_t, 16>;

// The bytes gathered before they are widened and written, in one go rather than piece by piece.
constexpr std::size_t kStagedBytes = 16 * 1024;

std::size_t Offset(std::string_view lines, std::string_view part)
{
    return static_cast<std::size_t>(part.data() - lines.data());
}

// The bytes of the lines from one place to another, both within them.
std::string_view Between(std::string_view lines, std::size_t from, std::size_t to)
{
    return {lines.data() + from, to - from};
}

}  // namespace

XmlPlainLines::XmlPlainLines(PresentRows& rows, const std::vector<ElementEntry<std::string>>& elements,
                             const ByteLineEdit& edit)
    : rows_(rows), elements_(elements), edit_(edit)
{
    line_.reserve(kSubstitutionLineCapacity + 1);
    staged_ = std::make_unique_for_overwrite<char[]>(kStagedBytes);
}

void XmlPlainLines::Edit(std::string_view lines, LineWriter& writer)
{
    PlacesInOrder<char> places(lines, kTagsAndLineEnds);
    written_ = 0;
    for (std::size_t at = 0; at < lines.size();) {
        TagPlaces tags;
        std::size_t count = 0;
        std::size_t lf = places.Current();
        for (; lf < lines.size() && lines[lf] != '\n'; places.Advance(), lf = places.Current())
            if (count++ < tags.size()) tags[count - 1] = lf - at;
        places.Advance();
        lf = std::min(lf, lines.size() - 1);
        const std::size_t end = lf > at && lines[lf - 1] == '\r' ? lf - 1 : lf;
        const std::string_view line = Between(lines, at, end);
        if (line.size() >= kSubstitutionLineCapacity) EditPieces(lines, line, lf, writer);
        else if (count > tags.size()) EditLine(lines, line, lf + 1, writer);
        else EditTagged(lines, line, lf, std::span(tags.data(), count), writer);
        // A CR LF pair reads as an LF: the CR is left out.
        if (end != lf && written_ < lf) {
            Stage(Between(lines, written_, end), writer);
            written_ = lf;
        }
        at = lf + 1;
    }
    Stage(Between(lines, written_, lines.size()), writer);
    WriteStaged(writer);
}

inline void XmlPlainLines::EditTagged(std::string_view lines, std::string_view line, std::size_t lf,
                               std::span<const std::size_t> tags, LineWriter& writer)
{
    const RowsInLine in = rows_.InLine(line, tags);
    if (in.rows == LineRows::Several) return EditLine(lines, line, lf + 1, writer);
    if (in.rows == LineRows::None) return;
    const ElementEntry<std::string>& element = elements_[in.row];
    const std::size_t content = in.place + element.opening.size();
    // The first closing tag after the content stands at one of the line's "<".
    const auto close = std::ranges::find_if(
        tags, [&](std::size_t tag) { return tag >= content && TokenStandsAt(line, element.closing, tag); });
    // The line as read ends in an LF.
    if (close == tags.end() || !ValueFits(line.size() + 1, content, *close, element.value.size())) return;
    const std::size_t at = Offset(lines, line);
    Stage(Between(lines, written_, at + content), writer);
    Stage(element.value, writer);
    written_ = at + *close;
    rows_.Count(in.row, 1);
}

void XmlPlainLines::EditLine(std::string_view lines, std::string_view line, std::size_t next, LineWriter& writer)
{
    const std::size_t at = Offset(lines, line);
    Stage(Between(lines, written_, at), writer);
    line_.assign(line);
    if (next > at + line.size()) line_.push_back('\n');
    edit_(line_);
    Stage(line_, writer);
    written_ = next;
}

void XmlPlainLines::EditPieces(std::string_view lines, std::string_view line, std::size_t lf, LineWriter& writer)
{
    ReadAsPieces(line, kSubstitutionLineCapacity, [&](std::string_view piece, bool ends) {
        EditLine(lines, piece, ends ? lf + 1 : Offset(lines, piece) + piece.size(), writer);
    });
}

inline void XmlPlainLines::Stage(std::string_view bytes, LineWriter& writer)
{
    if (stagedSize_ + bytes.size() > kStagedBytes) WriteStaged(writer);
    if (bytes.size() > kStagedBytes) return writer.WriteLine(bytes);
    std::memcpy(staged_.get() + stagedSize_, bytes.data(), bytes.size());
    stagedSize_ += bytes.size();
}

void XmlPlainLines::WriteStaged(LineWriter& writer)
{
    writer.WriteLine(std::string_view(staged_.get(), stagedSize_));
    stagedSize_ = 0;
}

}  // namespace zarvo
