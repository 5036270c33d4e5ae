#pragma once
// Single-byte text read a large block at a time and handed out as lines of its own bytes,
// undecoded: the lines LineReader reads from the same file, in the same pieces, and a mark on
// each that tells whether it holds one of a few bytes. Most lines of an installed file are
// never changed by a rewrite; they pass from the block to the output as bytes.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "substitution/byte_scan.h"
#include "substitution/line_file.h"

namespace zarvo {

// A line, or a piece of a long one, as the file's bytes.
struct ByteLine {
    std::string_view bytes;  // a CR LF pair at its end is what LineReader reads as one LF
    bool holdsMarked;        // one of the reader's marked bytes is among them
};

// The characters LineReader reads for a line of single-byte text, as their bytes: a CR LF pair
// at its end is one LF.
void LineCharacters(std::string_view bytes, std::string& line);

class ByteLineReader {
public:
    ByteLineReader(Files& files, const ByteSet& marked);
    ByteLineReader(const ByteLineReader&) = delete;
    ByteLineReader& operator=(const ByteLineReader&) = delete;

    // Opens the file for reading, others may read it meanwhile. A file that starts with a
    // UTF-16 mark is refused, as LineReader refuses it for single-byte text.
    ReaderOpen Open(const char16_t* path);
    // The next line as LineReader::ReadLine would read it with this capacity (at most 4,999):
    // bytes up to and including an LF, at most `capacity` characters, a CR LF pair counted as
    // one. Empty at the end of the file, or when reading fails, before any byte.
    ByteLine ReadLine(std::size_t capacity);
    // The whole lines from here on that hold no marked byte, as many as the block at hand holds
    // before the first that does: their bytes, up to and including the last one's LF. Empty
    // where the next line holds a marked byte or ends outside the block: ReadLine reads that.
    std::string_view TakePlainLines();
    // The whole lines from here on that the block at hand holds, marked or not: their bytes, up
    // to and including the last one's LF. Empty where the next line ends outside the block.
    std::string_view TakeLines();
    // How the file is read: as single-byte text, with the mark it starts with.
    ReadEncoding Encoding() const { return {TextEncoding::SingleByte, mark_}; }
    // The Windows error of a read that failed, so that what was read is not the whole file; 0
    // when none did.
    std::uint32_t ReadError() const { return readError_; }
    // Closes the file; false when the close fails.
    bool Close();

private:
    // Moves the bytes not yet taken to the block's start and reads more after them.
    void Refill();
    // Takes the whole lines of the next `size` bytes: up to and including their last LF.
    std::string_view TakeWholeLines(std::size_t size);
    Files& files_;
    FileGuard file_{files_};
    // Where a scan for the line's end stops: the marked bytes and LF.
    ByteSearch stops_;
    ByteSearch marked_;
    ByteSearch lf_{ByteSet().set('\n')};
    std::unique_ptr<std::uint8_t[]> block_;
    std::size_t begin_ = 0;  // the first byte not yet taken
    std::size_t end_ = 0;    // after the last byte read
    // Up to here the block holds no LF from the first byte not yet taken on, and no marked byte
    // after that: no whole plain line starts before it. Found once for a long line.
    std::size_t noPlainLineBefore_ = 0;
    // From the first byte not yet taken to the block's end there is no LF: no whole line.
    bool noLineEnd_ = false;
    bool atEnd_ = false;     // nothing more to read: the file's end, or a failed read
    std::uint32_t readError_ = 0;
    ByteOrderMark mark_ = ByteOrderMark::None;
};

}  // namespace zarvo
