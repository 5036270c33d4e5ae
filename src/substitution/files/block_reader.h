#pragma once
// A file to be rewritten, read a megabyte at a time and handed out as blocks of whole lines:
// as bytes where they are the characters of their codes (single-byte text, UTF-8 lines all of
// ASCII), decoded into characters otherwise. A block starts where a line, or a piece of a line
// longer than its capacity, starts; a CR LF pair is never cut.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "substitution/files/file_guard.h"
#include "substitution/files/text_encoding.h"

namespace zarvo {

// How a file to be rewritten is read: always as single-byte text, or by its byte-order mark.
enum class TextInput { SingleByte, ByMark };

enum class ReaderOpen {
    Opened,
    Failed,           // the file could not be opened (missing, or held by another)
    EncodingRefused,  // its byte-order mark names an encoding it cannot be read in
};

// Whole lines, as their bytes or as decoded characters (one of the two), each ending in its LF
// or CR LF as the file holds it; the last line of the file may have no end, and a line longer
// than its capacity may stand as whole pieces of it.
struct TextBlock {
    std::string_view bytes;
    std::u16string_view characters;
    bool Empty() const { return bytes.empty() && characters.empty(); }
};

class BlockReader {
public:
    explicit BlockReader(Files& files) : files_(files) {}
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // Opens the file for reading, others may read it meanwhile. By its mark, EF BB BF is
    // UTF-8, FF FE is UTF-16LE, FE FF (big-endian) is refused; a file without a mark is
    // UTF-8 when it is valid UTF-8 with at least one character beyond ASCII, and
    // single-byte text otherwise. As single-byte text, a file that starts with either
    // UTF-16 mark is refused: read byte by byte, its every line end would be broken.
    ReaderOpen Open(const char16_t* path, TextInput input);
    // The next block, its long lines cut in pieces of `capacity` characters (at most 4,999)
    // counted from the line's start; empty at the end of the file or once a read failed.
    // Bytes only where the engine can take them (`bytesFit`): its table fits single-byte text.
    TextBlock Next(std::size_t capacity, bool bytesFit);
    // How the file is read, once Open found it; its mark also when the encoding was refused.
    ReadEncoding Encoding() const { return encoding_; }
    // The Windows error of a read that failed, so that what was read is not the whole file; 0
    // when none did.
    std::uint32_t ReadError() const { return readError_; }
    // Closes the file; false when the close fails.
    bool Close();

private:
    bool TakesBytes(bool bytesFit) const;
    // How many of the bytes at hand the decoding route decodes now.
    std::size_t DecodeLimit(bool bytesFit) const;
    // Moves the bytes not yet taken to the block's start and reads more after them.
    void Refill();
    std::string_view Bytes() const;
    std::u16string_view Pending() const { return std::u16string_view(decoded_).substr(decodedBegin_); }
    bool BytesDone() const { return atEnd_ && begin_ == end_; }

    Files& files_;
    FileGuard file_{files_};
    ReadEncoding encoding_;
    std::unique_ptr<std::uint8_t[]> block_;
    std::size_t begin_ = 0;  // the first byte not yet taken
    std::size_t end_ = 0;    // after the last byte read
    bool atEnd_ = false;     // nothing more to read: the file's end, or a failed read
    std::uint32_t readError_ = 0;
    // Characters decoded and not yet handed out: the rest of a long line's last whole piece.
    std::u16string decoded_;
    std::size_t decodedBegin_ = 0;
};

}  // namespace zarvo
