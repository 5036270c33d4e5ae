#pragma once
// Files read and written line by line in the text encodings of the substitution actions,
// our own conversions over byte streams: single-byte text, where each byte is the
// character with its code; UTF-8 and UTF-16LE with their byte-order marks. A CR LF pair
// reads as LF and every LF is written as CR LF. Nothing else is changed: no character ends
// the input early, and NUL characters are carried like any other.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "frame/handle_guard.h"
#include "platform/files.h"

namespace zarvo {

enum class TextEncoding { SingleByte, Utf8, Utf16Le };

// Single-byte text holds the characters up to 255 only.
bool FitsSingleByteText(std::u16string_view text);
// Text that fits single-byte text as its bytes, each character the byte of its code.
std::string SingleByteText(std::u16string_view text);

// The byte-order mark a file starts with.
enum class ByteOrderMark { None, Utf8, Utf16Le, Utf16Be };

// The mark the bytes start with.
ByteOrderMark MarkAtStart(std::span<const std::uint8_t> start);

// How a file's text was read: its encoding and the mark it starts with. As single-byte text
// a UTF-8 mark is read as the characters it is made of.
struct ReadEncoding {
    TextEncoding encoding = TextEncoding::SingleByte;
    ByteOrderMark mark = ByteOrderMark::None;
};

// The encoding in the log's words: "single-byte text", "UTF-8 with a byte-order mark",
// "UTF-8 without a byte-order mark", "UTF-16LE with a byte-order mark" (UTF-16LE is read only
// by its mark and always written with it).
std::u16string_view EncodingName(TextEncoding encoding, bool withMark);

class TextDecoder;

// Owns one open file and closes it when its scope ends.
using FileGuard = HandleGuard<Files, FileHandle, &Files::Close>;

// How a file to be rewritten is read: always as single-byte text, or by its byte-order mark.
enum class TextInput { SingleByte, ByMark };

enum class ReaderOpen {
    Opened,
    Failed,           // the file could not be opened (missing, or held by another)
    EncodingRefused,  // its byte-order mark names an encoding it cannot be read in
};

class LineReader {
public:
    LineReader(Files& files);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens the file for reading, others may read it meanwhile. By its mark, EF BB BF is
    // UTF-8, FF FE is UTF-16LE, FE FF (big-endian) is refused; a file without a mark is
    // UTF-8 when it is valid UTF-8 with at least one character beyond ASCII, and
    // single-byte text otherwise. As single-byte text, a file that starts with either
    // UTF-16 mark is refused: read byte by byte, its every line end would be broken.
    ReaderOpen Open(const char16_t* path, TextInput input);
    // The next line into `line`: characters up to and including an LF, at most `capacity`
    // of them. False at the end of the file, or when reading fails, before any character.
    bool ReadLine(std::u16string& line, std::size_t capacity);
    // The next line as ReadLine would read it, into `line` as its characters' bytes, when
    // each of them is read from a byte of its own code (all of single-byte text, ASCII of
    // UTF-8), as most lines are: then there is nothing to decode. False, with nothing read,
    // for any other line: ReadLine reads that one.
    bool ReadPlainLine(std::string& line, std::size_t capacity);
    // The whole lines that follow, as many as ReadPlainLine would read one by one and as far as
    // the block read holds them: their bytes, each line ending in its LF or CR LF, and no other
    // CR; valid until the next read. Nothing where the next line is not such a line. A line
    // longer than a line's capacity reads as pieces (ReadAsPieces).
    std::string_view TakePlainLines();
    // How the file is read, once Open found it; its mark also when the encoding was refused.
    ReadEncoding Encoding() const;
    // The Windows error of a read that failed, so that what was read is not the whole file; 0
    // when none did.
    std::uint32_t ReadError() const { return readError_; }
    // Closes the file; false when the close fails.
    bool Close();

private:
    // The next character, a CR LF pair read as LF; none at the end or when a read fails.
    std::optional<char16_t> NextCharacter();
    std::optional<char16_t> DecodedCharacter();

    Files& files_;
    FileGuard file_{files_};
    std::unique_ptr<TextDecoder> decoder_;
    ByteOrderMark mark_ = ByteOrderMark::None;
    std::uint32_t readError_ = 0;
    // A character read after a CR that it did not pair with.
    std::optional<char16_t> pending_;
};

// How a line taken as its bytes reads with a line's capacity (above 0), given its characters
// before its LF or CR LF: as pieces of `capacity` characters while at least as many are left,
// then as the rest and an LF. Calls read(piece, ends) for each, `ends` for the last.
template <class Read>
void ReadAsPieces(std::string_view characters, std::size_t capacity, Read read)
{
    for (; characters.size() >= capacity; characters.remove_prefix(capacity)) read(characters.substr(0, capacity), false);
    read(characters, true);
}

class LineWriter {
public:
    explicit LineWriter(Files& files) : files_(files) {}
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    // Creates the file new, not shared (refused when anything stands at the path); UTF-16LE
    // starts with its mark FF FE.
    bool Create(const char16_t* path, TextEncoding encoding);
    // Every write takes text of any length and cuts it to fit the buffer itself. After a
    // failure, the writes that follow do nothing.
    // Writes the line's characters, each LF as CR LF. Single-byte text takes characters up to
    // 255 only: a line holding another is refused, and the file counts as failed.
    void WriteLine(std::u16string_view line);
    // Writes a line of characters up to 255 given as their bytes, each LF as CR LF.
    void WriteLine(std::string_view line);
    // Writes single-byte text given as its bytes, of whole lines or pieces of a line as
    // ByteLineReader hands them out (a CR LF pair never cut): the bytes WriteLine writes for
    // the characters they read as, so each LF without a CR before it becomes CR LF and
    // everything else stays. No decoding, for lines no edit touches.
    void WriteBytes(std::string_view lines);
    // Writes out what is buffered, puts it on the disk and closes the file: 0 only when every
    // byte was written and flushed, else the Windows error of the first call that failed.
    std::uint32_t Finish();

private:
    // Where the next bytes go, with room for this many, at most a buffer: the buffer is written
    // out first when they might not fit.
    char* Room(std::size_t bytes);
    // Counts the bytes put from start to end as buffered.
    void Written(const char* start, const char* end);
    // Writes out the buffer, a megabyte at a time: a rewrite costs few calls into the system
    // however many lines the file has.
    void Flush();

    Files& files_;
    FileGuard file_{files_};
    TextEncoding encoding_ = TextEncoding::SingleByte;
    std::unique_ptr<char[]> buffer_;
    std::size_t buffered_ = 0;
    std::uint32_t error_ = 0;  // of the first call that failed
};

}  // namespace zarvo
