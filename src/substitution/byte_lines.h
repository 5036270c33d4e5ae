#pragma once
// Single-byte text read a large block at a time and handed out as lines of its own bytes,
// undecoded: the lines LineReader reads from the same file, in the same pieces, and a mark on
// each that tells whether it holds one of a few bytes. Most lines of an installed file are
// never changed by a rewrite; they pass from the block to the output as bytes.
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "substitution/line_file.h"

namespace zarvo {

// Bytes of single-byte text, each standing for the character of its code.
using ByteSet = std::bitset<256>;

// How many stop bytes, LF among them, a scan for a line's end can look for 16 bytes at a time.
inline constexpr std::size_t kFewStops = 4;

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
    // How the file is read: as single-byte text, with the mark it starts with.
    ReadEncoding Encoding() const { return {TextEncoding::SingleByte, mark_}; }
    // Whether a read failed, so that what was read is not the whole file.
    bool Failed() const { return failed_; }
    // Closes the file; false when the close fails.
    bool Close();

private:
    // Moves the bytes not yet taken to the block's start and reads more after them.
    void Refill();
    // How many of the bytes come before the first LF or marked byte.
    std::size_t FirstStop(const std::uint8_t* bytes, std::size_t size) const;

    Files& files_;
    FileGuard file_{files_};
    // Where a scan for the line's end stops: the marked bytes and LF; all of them, LF again
    // where there are fewer, when the scan can pass over 16 bytes at a time.
    bool stops_[256] = {};
    std::array<std::uint8_t, kFewStops> fewStops_{};
    bool skipsChunks_ = false;
    ByteSet marked_;
    std::unique_ptr<std::uint8_t[]> block_;
    std::size_t begin_ = 0;  // the first byte not yet taken
    std::size_t end_ = 0;    // after the last byte read
    bool atEnd_ = false;     // nothing more to read: the file's end, or a failed read
    bool failed_ = false;
    ByteOrderMark mark_ = ByteOrderMark::None;
};

}  // namespace zarvo
