#include "substitution/xml_substitution.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "substitution/byte_scan.h"
#include "substitution/file_rewrite.h"
#include "substitution/line_file.h"
#include "substitution/substitution_command.h"
#include "substitution/present_rows.h"
#include "substitution/xml_elements.h"
#include "substitution/xml_plain_lines.h"

namespace zarvo {
namespace {

// "</" and ">" around the name must fit a tag buffer of the line's size.
constexpr std::size_t kLongestName = kSubstitutionLineCapacity - 3;

// The tags of each pair, made once for the whole file. A name too long for the tag buffers
// could never find both its tags on one line and is left out.
std::vector<ElementEntry<std::u16string>> ElementTable(const SubstitutionCommand& command)
{
    std::vector<ElementEntry<std::u16string>> table;
    for (const SubstitutionPair& pair : command.pairs) {
        if (pair.name.size() > kLongestName) continue;
        table.push_back({Enclosed(u"<", pair.name, u">"), Enclosed(u"</", pair.name, u">"), std::u16string(pair.value)});
    }
    return table;
}

// The same table for lines given as their bytes; none when a tag or content holds a character
// above 255, which such a line cannot take: then every line is decoded.
std::vector<ElementEntry<std::string>> ByteElementTable(const std::vector<ElementEntry<std::u16string>>& table)
{
    std::vector<ElementEntry<std::string>> bytes;
    for (const ElementEntry<std::u16string>& element : table) {
        if (!FitsSingleByteText(element.closing) || !FitsSingleByteText(element.value)) return {};
        bytes.push_back({SingleByteText(element.opening), SingleByteText(element.closing), SingleByteText(element.value)});
    }
    return bytes;
}

std::size_t Find(std::u16string_view line, std::u16string_view tag, std::size_t from)
{
    return line.find(tag, from);
}

std::size_t Find(std::string_view line, std::string_view tag, std::size_t from)
{
    return FindToken(line, tag, from);
}

// Puts the value between the first opening tag on the line and the first closing tag
// after it, when both are there and the line still fits. The number of replacements made:
// 1 or 0.
template <class Text>
std::uint32_t ReplaceElementContent(Text& line, const ElementEntry<Text>& element)
{
    const std::size_t open = Find(line, element.opening, 0);
    if (open == Text::npos) return 0;
    const std::size_t content = open + element.opening.size();
    const std::size_t close = Find(line, element.closing, content);
    if (close == Text::npos || !ValueFits(line.size(), content, close, element.value.size())) return 0;
    line.replace(content, close - content, element.value);
    return 1;
}

// The rewrite takes the target's place with the target's attributes, also when those
// would refuse the replacement (read-only, hidden, system). A target whose attributes
// cannot be read is not replaced: it would lose them. When the move is refused, the target
// gets its attributes back all the same.
RewriteOutcome ReplaceKeepingAttributes(Files& files, const char16_t* temporary, const char16_t* target)
{
    const std::uint32_t attributes = files.GetAttributes(target);
    if (attributes == kInvalidFileAttributes) return RewriteOutcome::AttributesUnread;
    files.SetAttributes(target, kFileAttributeNormal);
    const RewriteOutcome moved = MoveOverTarget(files, temporary, target);
    const bool restored = files.SetAttributes(target, attributes);
    return moved == RewriteOutcome::Replaced && !restored ? RewriteOutcome::AttributesNotRestored : moved;
}

}  // namespace

RewriteReport SubstituteXmlFile(Files& files, std::span<char16_t> command)
{
    const SubstitutionCommand parsed = ReadSubstitutionCommand(command);
    const std::vector<ElementEntry<std::u16string>> table = ElementTable(parsed);
    const std::vector<ElementEntry<std::string>> byteTable = ByteElementTable(table);
    std::vector<std::u16string_view> openings, values;
    for (const ElementEntry<std::u16string>& element : table) {
        openings.push_back(element.opening);
        values.push_back(element.value);
    }
    PresentRows rows(openings, values);
    const auto edit = [&rows](auto& line, const auto& elements) {
        rows.Apply(line, [&elements](auto& text, std::size_t row) { return ReplaceElementContent(text, elements[row]); });
    };
    LineEdits edits{[&](std::u16string& line) { edit(line, table); }, nullptr, nullptr};
    if (byteTable.size() == table.size()) edits.bytes = [&](std::string& line) { edit(line, byteTable); };
    XmlPlainLines editor(rows, byteTable, edits.bytes);
    if (edits.bytes) edits.lines = [&editor](std::string_view lines, LineWriter& writer) { editor.Edit(lines, writer); };
    RewriteReport report = RewriteBeside(
        files, parsed.target, {TextInput::ByMark, TextEncoding::Utf16Le, kSubstitutionLineCapacity}, edits,
        &ReplaceKeepingAttributes);
    report.replacements = rows.TakeCounts();
    return report;
}

}  // namespace zarvo
