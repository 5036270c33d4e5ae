#include "substitution/engines/xml_engine.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "substitution/actions/substitution_command.h"
#include "substitution/engines/command_rewrite.h"
#include "substitution/engines/edit_lines.h"
#include "substitution/engines/present_rows.h"
#include "substitution/scanning/byte_scan.h"

namespace zarvo {
namespace {

// An element's tags and the content it gets, as characters, or as the bytes of single-byte
// text for the lines taken as bytes.
template <class Text>
struct ElementEntry {
    Text opening;
    Text closing;
    Text value;
};

// Whether a line of `lineSize` characters, its LF among them, still fits a line's capacity with
// a value of `valueSize` in place of the content between the tags, from `content` to `close`.
bool ValueFits(std::size_t lineSize, std::size_t content, std::size_t close, std::size_t valueSize)
{
    return lineSize - (close - content) + valueSize <= kSubstitutionLineCapacity;
}

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

// Puts the value between the first opening tag on the line and the first closing tag
// after it, when both are there and the line still fits. The number of replacements made:
// 1 or 0.
template <class Char>
std::uint32_t ReplaceElementContent(std::basic_string<Char>& line, const ElementEntry<std::basic_string<Char>>& element)
{
    using Text = std::basic_string_view<Char>;
    const std::size_t open = FindToken<Char>(line, element.opening, 0);
    if (open == Text::npos) return 0;
    const std::size_t content = open + element.opening.size();
    const std::size_t close = FindToken<Char>(line, element.closing, content);
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

class XmlEngine {
public:
    static constexpr TextInput kInput = TextInput::ByMark;
    static constexpr TextEncoding kOutput = TextEncoding::Utf16Le;

    explicit XmlEngine(const SubstitutionCommand& command)
        : table_(ElementTable(command)), byteTable_(ByteElementTable(table_)), rows_(Column(table_, &ElementEntry<std::u16string>::opening),
                                                               Column(table_, &ElementEntry<std::u16string>::value)),
          byteLines_(kSubstitutionLineCapacity, rows_.Tokens()), characterLines_(kSubstitutionLineCapacity, rows_.Tokens())
    {
    }

    std::size_t Capacity() const { return kSubstitutionLineCapacity; }
    // Lines are taken as bytes only where every tag and value fits single-byte text.
    bool TakesBytes() const { return byteTable_.size() == table_.size(); }
    template <class Char>
    std::size_t Edit(std::basic_string_view<Char> block, LineChanges<Char>& changes)
    {
        return Lines(Char{}).Edit(block, changes, [this](std::basic_string<Char>& line, const RowBits* rows) {
            return rows_.Apply(line, rows, [this](std::basic_string<Char>& text, std::size_t row) {
                return ReplaceElementContent(text, Elements(Char{})[row]);
            });
        });
    }
    std::vector<TokenCount> TakeCounts() { return rows_.TakeCounts(); }

private:
    LineEditor<char>& Lines(char) { return byteLines_; }
    LineEditor<char16_t>& Lines(char16_t) { return characterLines_; }
    const std::vector<ElementEntry<std::string>>& Elements(char) const { return byteTable_; }
    const std::vector<ElementEntry<std::u16string>>& Elements(char16_t) const { return table_; }

    std::vector<ElementEntry<std::u16string>> table_;
    std::vector<ElementEntry<std::string>> byteTable_;
    PresentRows rows_;
    LineEditor<char> byteLines_;
    LineEditor<char16_t> characterLines_;
};

}  // namespace

RewriteReport SubstituteXmlFile(Files& files, std::span<char16_t> command)
{
    return RewriteByCommand<XmlEngine>(files, command, &ReplaceKeepingAttributes);
}

}  // namespace zarvo
