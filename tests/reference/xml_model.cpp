#include "reference/xml_model.h"

#include <algorithm>

#include "reference/decode.h"
#include "reference/lines.h"

namespace zarvo::reference {
namespace {

constexpr std::size_t kMostPairs = 20;

// The content of the first opening tag's element, up to the first closing tag after it,
// becomes the value where the line has room for it.
void Apply(const Pair& pair, std::u16string& line)
{
    const std::u16string opening = u"<" + pair.name + u">";
    const std::u16string closing = u"</" + pair.name + u">";
    const std::size_t open = line.find(opening);
    if (open == std::u16string::npos) return;
    const std::size_t content = open + opening.size();
    const std::size_t close = line.find(closing, content);
    if (close == std::u16string::npos) return;
    if (line.size() - (close - content) + pair.value.size() > kLineCapacity) return;
    line.replace(content, close - content, pair.value);
}

}  // namespace

std::optional<std::u16string> XmlFileText(std::string_view file)
{
    if (file.starts_with("\xFE\xFF")) return std::nullopt;
    if (file.starts_with("\xEF\xBB\xBF")) return Utf8Decoded(file.substr(3)).text;
    if (file.starts_with("\xFF\xFE")) return Utf16LeText(file.substr(2));
    // The README's choice: valid UTF-8 that holds a character beyond ASCII is UTF-8.
    const Utf8Text utf8 = Utf8Decoded(file);
    const bool beyondAscii = std::ranges::any_of(file, [](char byte) { return (byte & 0x80) != 0; });
    return utf8.valid && beyondAscii ? utf8.text : SingleByteText(file);
}

Rewritten ExpectedXmlRewrite(std::string_view file, const Pairs& pairs)
{
    const std::optional<std::u16string> text = XmlFileText(file);
    if (!text) return std::nullopt;
    std::vector<std::u16string> lines = LinesAsRead(*text, kLineCapacity);
    const std::size_t taken = std::min(pairs.size(), kMostPairs);
    for (std::u16string& line : lines)
        for (std::size_t i = 0; i < taken; ++i) Apply(pairs[i], line);
    return WrittenAsUtf16Le(lines);
}

}  // namespace zarvo::reference
