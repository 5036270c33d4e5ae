#pragma once
// The temporary file of a rewrite, written a megabyte at a time: single-byte text, or UTF-16LE
// with its byte-order mark. Every LF of the text written is a CR LF in the file; nothing else
// is changed: NUL characters and lone CRs are carried like any other.
#include <cstdint>
#include <memory>
#include <string_view>

#include "substitution/files/file_guard.h"
#include "substitution/files/line_changes.h"
#include "substitution/files/text_encoding.h"
#include "substitution/scanning/byte_scan.h"

namespace zarvo {

class LineWriter {
public:
    explicit LineWriter(Files& files) : files_(files) {}
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    // Creates the file new, not shared (refused when anything stands at the path); UTF-16LE
    // starts with its mark FF FE.
    bool Create(const char16_t* path, TextEncoding encoding);
    // Writes a block as the reader handed it out, each of its lines that the changes name
    // replaced by its changed text: the bytes of the lines read as their characters (single-byte
    // text, or bytes widened to UTF-16LE), decoded characters as UTF-16LE. An LF that the file
    // held without a CR before it, and every LF of a changed text, is written as CR LF. After a
    // failure, the writes that follow do nothing.
    template <class Char>
    void Write(std::basic_string_view<Char> block, const LineChanges<Char>& changes);
    // Writes out what is buffered, puts it on the disk and closes the file: 0 only when every
    // byte was written and flushed, else the Windows error of the first call that failed.
    std::uint32_t Finish();

private:
    // Puts text of any length, a piece that fits the buffer at a time.
    template <class Char>
    void Put(std::basic_string_view<Char> text, CrLf which);
    // Counts the bytes put from start to end as buffered.
    void Written(const char* start, const char* end);
    void Flush();

    Files& files_;
    FileGuard file_{files_};
    TextEncoding encoding_ = TextEncoding::SingleByte;
    std::unique_ptr<char[]> buffer_;
    std::size_t buffered_ = 0;
    std::uint32_t error_ = 0;  // of the first call that failed
};

}  // namespace zarvo
