// Files of any bytes read block by block, as single-byte text and by their byte-order mark,
// bytes handed out where the engine takes them or not: no read past a buffer, no handle left
// open, the blocks together the file's text as a whole-file decoding reads it, and each block
// ending where a line or a piece of a long line ends, never between a CR and its LF.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sim/sim_platform.h"
#include "reference/decode.h"
#include "substitution/files/block_reader.h"

namespace {

constexpr const char16_t* kPath = u"C:\\App\\file.txt";

// The file's text as the reader should hand it out, by the encoding it chose.
std::u16string Expected(const std::string& file, zarvo::ReadEncoding read)
{
    const std::string_view text = std::string_view(file).substr(zarvo::MarkSize(read.mark));
    if (read.encoding == zarvo::TextEncoding::Utf16Le) return zarvo::reference::Utf16LeText(text);
    if (read.encoding == zarvo::TextEncoding::Utf8) return zarvo::reference::Utf8Decoded(text).text;
    return zarvo::reference::SingleByteText(file);
}

// By the mark; without one, UTF-8 only when the file is valid UTF-8 with a byte above 127.
bool ChoseTheEncoding(const std::string& file, zarvo::TextInput input, zarvo::ReadEncoding read)
{
    using zarvo::TextEncoding;
    if (input == zarvo::TextInput::SingleByte) return read.encoding == TextEncoding::SingleByte;
    if (read.mark == zarvo::ByteOrderMark::Utf8) return read.encoding == TextEncoding::Utf8;
    if (read.mark == zarvo::ByteOrderMark::Utf16Le) return read.encoding == TextEncoding::Utf16Le;
    const bool utf8 = zarvo::reference::Utf8Decoded(file).valid &&
                      std::ranges::any_of(file, [](char byte) { return static_cast<unsigned char>(byte) > 127; });
    return utf8 == (read.encoding == TextEncoding::Utf8);
}

void ReadBlocks(const std::string& file, zarvo::TextInput input, std::size_t capacity, bool bytesFit)
{
    zarvo::sim::SimPlatform sim;
    sim.files.PutFile(kPath, file);
    {
        zarvo::BlockReader reader(sim.files);
        const zarvo::ReaderOpen opened = reader.Open(kPath, input);
        if (opened == zarvo::ReaderOpen::Failed) __builtin_trap();
        if (opened != zarvo::ReaderOpen::Opened) return;
        std::u16string text;
        std::size_t run = 0;  // characters since the last LF
        for (zarvo::TextBlock block; !(block = reader.Next(capacity, bytesFit)).Empty();) {
            if (run % capacity != 0) __builtin_trap();
            if (!block.bytes.empty() && (!bytesFit || reader.Encoding().encoding == zarvo::TextEncoding::Utf16Le))
                __builtin_trap();
            const std::u16string units = block.bytes.empty() ? std::u16string(block.characters)
                                                             : zarvo::reference::SingleByteText(block.bytes);
            if (!text.empty() && text.back() == u'\r' && units.front() == u'\n') __builtin_trap();
            text += units;
            const std::size_t lf = units.rfind(u'\n');
            run = lf == std::u16string::npos ? run + units.size() : units.size() - lf - 1;
        }
        if (reader.ReadError() != 0 || text != Expected(file, reader.Encoding())) __builtin_trap();
        if (!ChoseTheEncoding(file, input, reader.Encoding())) __builtin_trap();
    }
    if (sim.ledger.OpenCount() != 0) __builtin_trap();
}

}  // namespace

// The first byte chooses the line capacity (small ones reach the line-cutting edges); the file
// follows.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const std::size_t capacity = data[0] == 0 ? 4999 : data[0];
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    for (const bool bytesFit : {true, false}) {
        ReadBlocks(file, zarvo::TextInput::SingleByte, capacity, bytesFit);
        ReadBlocks(file, zarvo::TextInput::ByMark, capacity, bytesFit);
    }
    return 0;
}
