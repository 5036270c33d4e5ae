#pragma once
// The one formatter for every text the library composes: the conversions %d, %0Nd, %Nd,
// %s and %%, written into a buffer whose capacity (terminator included) the caller states.
// A text that does not fit is refused whole: the buffer is left holding the empty text and
// the answer is false. Nothing is ever truncated and nothing is written past the capacity.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace zarvo {

class FormatArg {
public:
    FormatArg(std::int32_t number) : number_(number), isText_(false) {}
    FormatArg(std::u16string_view text) : text_(text), isText_(true) {}
    FormatArg(const char16_t* text) : text_(text), isText_(true) {}

    bool IsText() const { return isText_; }
    std::int32_t Number() const { return number_; }
    std::u16string_view Text() const { return text_; }

private:
    std::int32_t number_ = 0;
    std::u16string_view text_;
    bool isText_;
};

// False (and the empty text) when the text does not fit, or when the format asks for a
// conversion it does not know or for arguments of another kind or number than given.
bool FormatBounded(char16_t* buffer, std::size_t capacity, std::u16string_view format,
                   std::initializer_list<FormatArg> args);

}  // namespace zarvo
