#include "reg_lines.h"

#include <algorithm>
#include <string_view>

#include "utf8.h"

namespace zarvo::check {
namespace {

constexpr std::string_view kRegedit4 = "REGEDIT4";

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> mark)
{
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

template <typename Char>
std::basic_string_view<Char> WithoutCarriageReturn(std::basic_string_view<Char> line)
{
    if (!line.empty() && line.back() == Char('\r')) line.remove_suffix(1);
    return line;
}

// The text cut at each LF, the CR before it dropped; a final LF ends the last line.
template <typename Char>
std::vector<std::basic_string_view<Char>> SplitLines(std::basic_string_view<Char> text)
{
    std::vector<std::basic_string_view<Char>> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(Char('\n')), text.size());
        lines.push_back(WithoutCarriageReturn(text.substr(0, end)));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

RegFileError NulAt(std::size_t line)
{
    return {line, "the line holds a NUL character: a .reg file is text"};
}

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == text.npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SingleByteHeader(const std::vector<std::string_view>& lines)
{
    const auto header = std::ranges::find_if(lines, [](std::string_view line) {
        return !Trimmed(line).empty();
    });
    return header != lines.end() && Trimmed(*header) == kRegedit4;
}

// Each byte the character of its code.
std::u16string Widened(std::string_view line)
{
    std::u16string text(line.size(), u'\0');
    std::ranges::transform(line, text.begin(), [](char c) {
        return static_cast<char16_t>(static_cast<unsigned char>(c));
    });
    return text;
}

std::variant<RegLines, RegFileError> FromBytes(const std::vector<std::string_view>& lines,
                                               bool singleByte)
{
    RegLines decoded{{}, singleByte};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find('\0') != std::string_view::npos) return NulAt(i + 1);
        if (singleByte) {
            decoded.lines.push_back(Widened(lines[i]));
            continue;
        }
        auto line = FromUtf8(lines[i]);
        if (!line)
            return RegFileError{i + 1, "the line is not UTF-8 text: save the file as regedit "
                                       "does (UTF-16LE), or as UTF-8"};
        decoded.lines.push_back(std::move(*line));
    }
    return decoded;
}

std::variant<RegLines, RegFileError> FromUtf16(std::span<const std::uint8_t> bytes)
{
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    RegLines decoded;
    for (const std::u16string_view line : SplitLines(std::u16string_view(text))) {
        if (line.find(u'\0') != std::u16string_view::npos) return NulAt(decoded.lines.size() + 1);
        decoded.lines.emplace_back(line);
    }
    if (bytes.size() % 2 != 0)
        return RegFileError{static_cast<std::size_t>(std::ranges::count(text, u'\n')) + 1,
                            "the file ends in the middle of a UTF-16 character"};
    return decoded;
}

}  // namespace

std::variant<RegLines, RegFileError> DecodeRegLines(std::span<const std::uint8_t> bytes)
{
    if (StartsWith(bytes, {0xFF, 0xFE})) return FromUtf16(bytes.subspan(2));
    if (StartsWith(bytes, {0xFE, 0xFF}))
        return RegFileError{1, "the file is UTF-16 big-endian: save it as regedit does (UTF-16LE)"};
    const bool utf8Mark = StartsWith(bytes, {0xEF, 0xBB, 0xBF});
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (utf8Mark) return FromBytes(SplitLines(text.substr(3)), false);
    const auto lines = SplitLines(text);
    return FromBytes(lines, SingleByteHeader(lines));
}

}  // namespace zarvo::check
