#pragma once
// Files read and written line by line in the text encodings of the substitution actions,
// our own conversions over byte streams: single-byte text, where each byte is the
// character with its code; UTF-8 and UTF-16LE with their byte-order marks. A CR LF pair
// reads as LF and every LF is written as CR LF. Nothing else is changed: no character ends
// the input early, and NUL characters are carried like any other.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frame/handle_guard.h"
#include "platform/files.h"

namespace zarvo {

enum class TextEncoding { SingleByte, Utf8, Utf16Le };

// Single-byte text holds the characters up to 255 only.
bool FitsSingleByteText(std::u16string_view text);

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
    // Whether a read failed, so that what was read is not the whole file.
    bool Failed() const { return failed_; }
    // Closes the file; false when the close fails.
    bool Close();

private:
    // The next character, a CR LF pair read as LF; none at the end or when a read fails.
    std::optional<char16_t> NextCharacter();
    std::optional<char16_t> DecodedCharacter();

    Files& files_;
    FileGuard file_{files_};
    std::unique_ptr<TextDecoder> decoder_;
    bool failed_ = false;
    // A character read after a CR that it did not pair with.
    std::optional<char16_t> pending_;
};

class LineWriter {
public:
    explicit LineWriter(Files& files) : files_(files) {}
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    // Creates the file new, not shared (refused when anything stands at the path); UTF-16LE
    // starts with its mark FF FE.
    bool Create(const char16_t* path, TextEncoding encoding);
    // Writes the line's characters, each LF as CR LF. Single-byte text takes characters up to
    // 255 only: a line holding another is refused whole, and the file counts as failed.
    void WriteLine(std::u16string_view line);
    // Writes out what is buffered, puts it on the disk and closes the file: true only when
    // every byte was written and flushed.
    bool Finish();

private:
    // Writes the character's bytes at out, and answers where the next go.
    static char* Put(char* out, char16_t c, bool wide);
    void Flush();

    Files& files_;
    FileGuard file_{files_};
    TextEncoding encoding_ = TextEncoding::SingleByte;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace zarvo
