#include "substitution/xml_substitution.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "substitution/file_rewrite.h"
#include "substitution/substitution_command.h"
#include "substitution/present_rows.h"

namespace zarvo {
namespace {

// "</" and ">" around the name must fit a tag buffer of the line's size.
constexpr std::size_t kLongestName = kSubstitutionLineCapacity - 3;

struct ElementEntry {
    std::u16string opening;
    std::u16string closing;
    std::u16string_view value;
};

// The tags of each pair, made once for the whole file. A name too long for the tag buffers
// could never find both its tags on one line and is left out.
std::vector<ElementEntry> ElementTable(const SubstitutionCommand& command)
{
    std::vector<ElementEntry> table;
    for (const SubstitutionPair& pair : command.pairs) {
        if (pair.name.size() > kLongestName) continue;
        table.push_back({Enclosed(u"<", pair.name, u">"), Enclosed(u"</", pair.name, u">"), pair.value});
    }
    return table;
}

// Puts the value between the first opening tag on the line and the first closing tag
// after it, when both are there and the line still fits. The number of replacements made:
// 1 or 0.
std::uint32_t ReplaceElementContent(std::u16string& line, const ElementEntry& element)
{
    const std::size_t open = line.find(element.opening);
    if (open == std::u16string::npos) return 0;
    const std::size_t content = open + element.opening.size();
    const std::size_t close = line.find(element.closing, content);
    if (close == std::u16string::npos) return 0;
    if (line.size() - (close - content) + element.value.size() > kSubstitutionLineCapacity) return 0;
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
    const std::vector<ElementEntry> table = ElementTable(parsed);
    std::vector<std::u16string_view> openings, values;
    for (const ElementEntry& element : table) {
        openings.push_back(element.opening);
        values.push_back(element.value);
    }
    PresentRows rows(openings, values);
    RewriteReport report = RewriteBeside(
        files, parsed.target, {TextInput::ByMark, TextEncoding::Utf16Le, kSubstitutionLineCapacity},
        [&](std::u16string& line) {
            rows.Apply(line, [&](std::u16string& text, std::size_t row) {
                return ReplaceElementContent(text, table[row]);
            });
        },
        &ReplaceKeepingAttributes);
    report.replacements = rows.TakeCounts();
    return report;
}

}  // namespace zarvo
