#include "substitution/files/line_writer.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <iterator>

#include "frame/result_codes.h"

namespace zarvo {
namespace {

// Written a megabyte at a time: a rewrite costs few calls into the system however many
// lines the file has.
constexpr std::size_t kWriteBytes = 1 << 20;
// A unit written takes four bytes at the most: an LF as CR LF in UTF-16LE.
constexpr std::size_t kMostBytesPerUnit = 4;
// The buffer is written out before a put where it has room for fewer units than this.
constexpr std::size_t kSmallestPiece = 4096;

}  // namespace

bool LineWriter::Create(const char16_t* path, TextEncoding encoding)
{
    if (!files_.CreateNew(path, file_.Receive())) return false;
    encoding_ = encoding;
    buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBytes + kPutPastTheEnd);
    if (encoding_ == TextEncoding::Utf16Le) {
        std::memcpy(buffer_.get(), "\xFF\xFE", 2);
        buffered_ = 2;
    }
    return true;
}

template <class Char>
void LineWriter::Write(std::basic_string_view<Char> block, const LineChanges<Char>& changes)
{
    const std::basic_string_view<Char> text(changes.text);
    std::size_t at = 0;
    std::size_t textAt = 0;
    for (auto change = changes.lines.begin(); change != changes.lines.end();) {
        Put(block.substr(at, change->from - at), CrLf::Bare);
        // Changed lines that follow one another have their texts one after another: put at once.
        auto last = change;
        while (std::next(last) != changes.lines.end() && std::next(last)->from == last->to) ++last;
        Put(text.substr(textAt, last->textEnd - textAt), CrLf::Every);
        at = last->to;
        textAt = last->textEnd;
        change = std::next(last);
    }
    Put(block.substr(at), CrLf::Bare);
}

template void LineWriter::Write(std::string_view block, const LineChanges<char>& changes);
template void LineWriter::Write(std::u16string_view block, const LineChanges<char16_t>& changes);

template <class Char>
void LineWriter::Put(std::basic_string_view<Char> text, CrLf which)
{
    // Decoded text is only ever written as UTF-16LE: single-byte text is never decoded.
    assert(sizeof(Char) == 1 || encoding_ == TextEncoding::Utf16Le);
    // A CR LF pair cut between two pieces is still one: the piece before tells.
    Char previous = 0;
    while (!text.empty() && error_ == kErrorSuccess) {
        // As much as the buffer has room for, so that every write but the last is nearly whole.
        if ((kWriteBytes - buffered_) / kMostBytesPerUnit < std::min(text.size(), kSmallestPiece)) Flush();
        const std::basic_string_view<Char> piece = text.substr(0, (kWriteBytes - buffered_) / kMostBytesPerUnit);
        char* const start = buffer_.get() + buffered_;
        char* end = nullptr;
        if constexpr (sizeof(Char) == 1)
            if (encoding_ == TextEncoding::SingleByte) end = PutWithCrLf(start, piece, previous, which);
        Written(start, end != nullptr ? end : PutUtf16WithCrLf(start, piece, previous, which));
        previous = piece.back();
        text.remove_prefix(piece.size());
    }
}

void LineWriter::Written(const char* start, const char* end)
{
    buffered_ += static_cast<std::size_t>(end - start);
    assert(buffered_ <= kWriteBytes);
}

void LineWriter::Flush()
{
    if (error_ == kErrorSuccess && buffered_ != 0 &&
        !files_.Write(file_.Get(), buffer_.get(), static_cast<std::uint32_t>(buffered_)))
        error_ = files_.GetLastError();
    buffered_ = 0;
}

std::uint32_t LineWriter::Finish()
{
    Flush();
    // Bytes that never reached the disk would leave a file of zeros after a power cut.
    if (error_ == kErrorSuccess && !files_.Flush(file_.Get())) error_ = files_.GetLastError();
    if (!files_.Close(file_.Release()) && error_ == kErrorSuccess) error_ = files_.GetLastError();
    return error_;
}

}  // namespace zarvo
