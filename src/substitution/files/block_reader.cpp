#include "substitution/files/block_reader.h"

#include <cstring>

#include "frame/result_codes.h"
#include "substitution/scanning/byte_scan.h"

namespace zarvo {
namespace {

// Far larger than a line, so that the bytes of a line cut by a block's end, moved to the
// next block's start, are a small part of what is read; a rewrite costs few calls into the
// system however many lines the file has.
constexpr std::size_t kBlockBytes = 1 << 20;
// The check for UTF-8 reads the file in smaller pieces: it keeps nothing of them.
constexpr std::size_t kCheckBytes = 64 * 1024;

// How many of the units at hand the next block takes: up to and including the last LF;
// without one, the whole pieces of a long line, a last CR kept back for the LF that may follow
// it; at the end of the input, all of them. 0 where more must be read first.
template <class Char>
std::size_t WholeLines(std::basic_string_view<Char> units, std::size_t capacity, bool atEnd)
{
    if (atEnd) return units.size();
    if (const std::size_t lf = units.rfind(Char('\n')); lf != units.npos) return lf + 1;
    const std::size_t cuttable = units.size() - (!units.empty() && units.back() == Char('\r'));
    return cuttable / capacity * capacity;
}

// After the last LF of UTF-16LE bytes, a unit of their own at an even place; 0 for none.
std::size_t AfterLastUtf16LineEnd(std::string_view bytes)
{
    for (std::size_t at = bytes.size() / 2 * 2; at >= 2; at -= 2)
        if (bytes[at - 2] == '\n' && bytes[at - 1] == '\0') return at;
    return 0;
}

// A file without a byte-order mark is UTF-8 when all of it is valid UTF-8 and it holds a
// character beyond ASCII: read byte by byte, its text would not survive the rewrite.
bool HoldsUtf8(Files& files, const char16_t* path)
{
    FileGuard file(files);
    if (!files.OpenForRead(path, file.Receive())) return false;
    const auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(kCheckBytes);
    std::u16string scratch;
    scratch.reserve(kCheckBytes);
    std::size_t kept = 0;  // the bytes of a character cut by the last read
    bool beyondAscii = false;
    for (;;) {
        std::uint32_t read = 0;
        if (!files.Read(file.Get(), bytes.get() + kept, static_cast<std::uint32_t>(kCheckBytes - kept), &read))
            return false;
        const std::size_t size = kept + read;
        scratch.clear();
        const Decoded decoded = DecodeText(TextEncoding::Utf8, {bytes.get(), size}, read == 0, scratch);
        if (decoded.invalid) return false;
        beyondAscii = beyondAscii || decoded.beyondAscii;
        if (read == 0) return beyondAscii;
        kept = size - decoded.bytes;
        std::memmove(bytes.get(), bytes.get() + decoded.bytes, kept);
    }
}

}  // namespace

ReaderOpen BlockReader::Open(const char16_t* path, TextInput input)
{
    if (!files_.OpenForRead(path, file_.Receive())) return ReaderOpen::Failed;
    block_ = std::make_unique_for_overwrite<std::uint8_t[]>(kBlockBytes);
    Refill();
    encoding_.mark = MarkAtStart({block_.get(), end_});
    const bool utf16 = encoding_.mark == ByteOrderMark::Utf16Le || encoding_.mark == ByteOrderMark::Utf16Be;
    if (encoding_.mark == ByteOrderMark::Utf16Be || (input == TextInput::SingleByte && utf16)) {
        Close();
        return ReaderOpen::EncodingRefused;
    }
    if (input == TextInput::SingleByte) return ReaderOpen::Opened;
    begin_ = MarkSize(encoding_.mark);
    if (encoding_.mark == ByteOrderMark::Utf8) encoding_.encoding = TextEncoding::Utf8;
    else if (encoding_.mark == ByteOrderMark::Utf16Le) encoding_.encoding = TextEncoding::Utf16Le;
    else if (HoldsUtf8(files_, path)) encoding_.encoding = TextEncoding::Utf8;
    return ReaderOpen::Opened;
}

// The one choice between the two routes. Bytes go to the engine as they are where each is the
// character of its code and the engine's table fits single-byte text: single-byte text, and
// the lines of UTF-8 that hold no byte above 127 (Next looks for those). The decoding route
// takes UTF-16LE, every line of a table beyond single-byte text, the UTF-8 lines that hold a
// byte above 127, and the rest of a long line whose first pieces were decoded.
bool BlockReader::TakesBytes(bool bytesFit) const
{
    return bytesFit && encoding_.encoding != TextEncoding::Utf16Le && Pending().empty();
}

TextBlock BlockReader::Next(std::size_t capacity, bool bytesFit)
{
    for (;;) {
        if (BytesDone() && Pending().empty()) return {};
        if (TakesBytes(bytesFit)) {
            const std::string_view bytes = Bytes();
            const std::size_t lines = WholeLines(bytes, capacity, atEnd_);
            const std::size_t above127 =
                encoding_.encoding == TextEncoding::Utf8 ? FirstAbove127(bytes.substr(0, lines)) : lines;
            // The lines before the first that holds a byte above 127.
            const std::size_t plain = above127 == lines ? lines : bytes.rfind('\n', above127) + 1;
            if (plain > 0) {
                begin_ += plain;
                return {bytes.substr(0, plain), {}};
            }
            if (lines == 0) {
                Refill();
                continue;
            }
        }
        // What was handed out goes: what is left is less than a piece. Room is made once for
        // the most a block decodes to, so that no line costs an allocation.
        decoded_.erase(0, decodedBegin_);
        decodedBegin_ = 0;
        decoded_.reserve(kBlockBytes + capacity + 1);
        const std::size_t limit = DecodeLimit(bytesFit);
        begin_ += DecodeText(encoding_.encoding, {block_.get() + begin_, limit}, atEnd_ && limit == end_ - begin_, decoded_)
                      .bytes;
        const std::size_t lines = WholeLines(Pending(), capacity, BytesDone());
        if (lines > 0) {
            const std::u16string_view characters = Pending().substr(0, lines);
            decodedBegin_ += lines;
            return {{}, characters};
        }
        if (BytesDone()) return {};
        Refill();
    }
}

std::size_t BlockReader::DecodeLimit(bool bytesFit) const
{
    const std::string_view bytes = Bytes();
    std::size_t end = 0;
    if (encoding_.encoding == TextEncoding::Utf16Le) {
        end = AfterLastUtf16LineEnd(bytes);
    } else if (TakesBytes(bytesFit) || !Pending().empty()) {
        // Through the end of the line that needs decoding: those after it may be bytes again.
        const std::size_t from = Pending().empty() ? FirstAbove127(bytes) : 0;
        end = bytes.find('\n', from) + 1;
    } else {
        end = bytes.rfind('\n') + 1;
    }
    return end == 0 ? bytes.size() : end;
}

std::string_view BlockReader::Bytes() const
{
    return {reinterpret_cast<const char*>(block_.get() + begin_), end_ - begin_};
}

void BlockReader::Refill()
{
    std::memmove(block_.get(), block_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    std::uint32_t read = 0;
    if (files_.Read(file_.Get(), block_.get() + end_, static_cast<std::uint32_t>(kBlockBytes - end_), &read))
        end_ += read;
    else
        readError_ = files_.GetLastError();
    atEnd_ = readError_ != kErrorSuccess || read == 0;
}

bool BlockReader::Close()
{
    if (file_.Get() == 0) return true;
    return files_.Close(file_.Release());
}

}  // namespace zarvo
