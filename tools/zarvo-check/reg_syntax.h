#pragma once
// The small pieces a .reg file's lines are made of: quoted texts with their escapes, hex
// numbers, and lists of hex bytes that may run over several lines.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zarvo::check {

using SyntaxError = std::optional<std::string>;  // a message when the text is malformed

std::u16string_view TrimSpace(std::u16string_view text);

// Whether text begins with the keyword, without regard to the case of A-Z; if so, text moves
// past it.
bool TakeKeyword(std::u16string_view& text, std::u16string_view keyword);

// The text in double quotes, for a message: cut after 40 characters.
std::string Shown(std::u16string_view text);

// The quoted text that text begins with (its opening quote included), with \\ and \" read as
// \ and "; text moves past the closing quote. A message for an unknown escape or a missing
// closing quote.
std::variant<std::u16string, std::string> TakeQuoted(std::u16string_view& text);

// The number that 1 to `digits` hex digits write, and nothing else.
std::optional<std::uint32_t> HexNumber(std::u16string_view text, std::size_t digits);

// The bytes of hex data, "01,ab,ff", given line by line.
class HexList {
public:
    // Adds one line's part, without the backslash that continues it or any comment.
    SyntaxError Add(std::u16string_view part);
    // The list is over: it may not end with a comma.
    SyntaxError Finish() const;
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    bool afterComma_ = false;
};

}  // namespace zarvo::check
