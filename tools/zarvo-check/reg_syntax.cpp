#include "reg_syntax.h"

#include "frame/letter_case.h"
#include "utf8.h"

namespace zarvo::check {
namespace {

constexpr std::size_t kShownLength = 40;

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

std::optional<std::uint32_t> HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    const char16_t upper = UpperLetter(c);
    if (upper >= u'A' && upper <= u'F') return upper - u'A' + 10;
    return std::nullopt;
}

}  // namespace

std::u16string_view TrimSpace(std::u16string_view text)
{
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool TakeKeyword(std::u16string_view& text, std::u16string_view keyword)
{
    if (!SameIgnoringLetterCase(text.substr(0, keyword.size()), keyword)) return false;
    text.remove_prefix(keyword.size());
    return true;
}

std::string Shown(std::u16string_view text)
{
    std::string shown(1, '"');
    shown += ToUtf8(text.substr(0, kShownLength));
    shown += text.size() > kShownLength ? "...\"" : "\"";
    return shown;
}

std::variant<std::u16string, std::string> TakeQuoted(std::u16string_view& text)
{
    std::u16string read;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] == u'"') {
            text.remove_prefix(i + 1);
            return read;
        }
        if (text[i] != u'\\') {
            read.push_back(text[i]);
            continue;
        }
        if (i + 1 == text.size()) break;
        if (text[i + 1] != u'\\' && text[i + 1] != u'"')
            return "unknown escape " + Shown(text.substr(i, 2)) + " (only \\\\ and \\\" are read)";
        read.push_back(text[++i]);
    }
    return std::string("the quotes are not closed");
}

std::optional<std::uint32_t> HexNumber(std::u16string_view text, std::size_t digits)
{
    if (text.empty() || text.size() > digits) return std::nullopt;
    std::uint32_t number = 0;
    for (const char16_t c : text) {
        const auto digit = HexDigit(c);
        if (!digit) return std::nullopt;
        number = number << 4 | *digit;
    }
    return number;
}

SyntaxError HexList::Add(std::u16string_view part)
{
    while (!(part = TrimSpace(part)).empty()) {
        if (part.front() == u',') {
            if (afterComma_ || bytes_.empty()) return "a comma where a hex byte belongs";
            afterComma_ = true;
            part.remove_prefix(1);
            continue;
        }
        const std::size_t end = std::min(part.find_first_of(u", \t"), part.size());
        const auto byte = end == 2 ? HexNumber(part.substr(0, end), 2) : std::nullopt;
        if (!byte) return "bad hex byte " + Shown(part.substr(0, end)) + " (two hex digits each)";
        if (!afterComma_ && !bytes_.empty()) return "hex bytes without a comma between them";
        bytes_.push_back(static_cast<std::uint8_t>(*byte));
        afterComma_ = false;
        part.remove_prefix(end);
    }
    return std::nullopt;
}

SyntaxError HexList::Finish() const
{
    if (afterComma_) return "the hex data ends with a comma";
    return std::nullopt;
}

}  // namespace zarvo::check
