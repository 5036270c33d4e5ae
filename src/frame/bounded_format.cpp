#include "frame/bounded_format.h"

namespace zarvo {
namespace {

// Writes into the caller's buffer while there is room for the text and its terminator.
class BoundedWriter {
public:
    BoundedWriter(char16_t* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {}

    bool Put(std::u16string_view text)
    {
        if (capacity_ == 0 || text.size() > capacity_ - 1 - length_) return false;
        text.copy(buffer_ + length_, text.size());
        length_ += text.size();
        return true;
    }
    void Terminate() { buffer_[length_] = u'\0'; }

private:
    char16_t* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

struct Conversion {
    bool zeroPad = false;
    std::size_t width = 0;
    char16_t kind = 0;
};

bool PutRepeated(BoundedWriter& writer, char16_t character, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (!writer.Put(std::u16string_view(&character, 1))) return false;
    return true;
}

bool PutDecimal(BoundedWriter& writer, std::int32_t number, const Conversion& conversion)
{
    const bool negative = number < 0;
    std::uint32_t magnitude = negative ? 0u - static_cast<std::uint32_t>(number)
                                       : static_cast<std::uint32_t>(number);
    char16_t digits[10];
    std::size_t first = sizeof digits / sizeof digits[0];
    do {
        digits[--first] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    const std::u16string_view text(digits + first, 10 - first);
    const std::size_t used = text.size() + (negative ? 1 : 0);
    const std::size_t padding = conversion.width > used ? conversion.width - used : 0;
    return (conversion.zeroPad || PutRepeated(writer, u' ', padding)) &&
           (!negative || writer.Put(u"-")) &&
           (!conversion.zeroPad || PutRepeated(writer, u'0', padding)) && writer.Put(text);
}

// Reads the conversion after a '%' at position; leaves position after it.
Conversion ReadConversion(std::u16string_view format, std::size_t& position)
{
    Conversion conversion;
    if (position < format.size() && format[position] == u'0') {
        conversion.zeroPad = true;
        ++position;
    }
    while (position < format.size() && format[position] >= u'0' && format[position] <= u'9' &&
           conversion.width < 1000)
        conversion.width = conversion.width * 10 + (format[position++] - u'0');
    if (position < format.size()) conversion.kind = format[position++];
    return conversion;
}

bool WriteAll(BoundedWriter& writer, std::u16string_view format,
              std::initializer_list<FormatArg> args)
{
    auto next = args.begin();
    std::size_t position = 0;
    while (position < format.size()) {
        const std::size_t percent = format.find(u'%', position);
        if (!writer.Put(format.substr(position, percent - position))) return false;
        if (percent == std::u16string_view::npos) break;
        position = percent + 1;
        const Conversion conversion = ReadConversion(format, position);
        if (conversion.kind == u'%') {
            if (!writer.Put(u"%")) return false;
            continue;
        }
        if (next == args.end()) return false;
        const FormatArg& arg = *next++;
        if (conversion.kind == u's' && arg.IsText()) {
            if (!writer.Put(arg.Text())) return false;
        } else if (conversion.kind == u'd' && !arg.IsText()) {
            if (!PutDecimal(writer, arg.Number(), conversion)) return false;
        } else {
            return false;
        }
    }
    return next == args.end();
}

}  // namespace

bool FormatBounded(char16_t* buffer, std::size_t capacity, std::u16string_view format,
                   std::initializer_list<FormatArg> args)
{
    if (capacity == 0) return false;
    BoundedWriter writer(buffer, capacity);
    if (WriteAll(writer, format, args)) {
        writer.Terminate();
        return true;
    }
    buffer[0] = u'\0';
    return false;
}

}  // namespace zarvo
