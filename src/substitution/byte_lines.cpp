#include "substitution/byte_lines.h"

#include <algorithm>
#include <cstring>

#include "frame/result_codes.h"

namespace zarvo {
namespace {

// Far larger than a line, so that the bytes of a line cut by a block's end, moved to the
// next block's start, are a small part of what is read.
constexpr std::size_t kBlockBytes = 1 << 20;

// How many of the `window` bytes at hand the line takes, its first LF at `lf` (`window`
// without one): up to and including the LF when its characters fit, a CR LF pair being one
// character; otherwise `capacity` bytes, or all of them where the file ends first.
std::size_t LineLength(const std::uint8_t* bytes, std::size_t lf, std::size_t window, std::size_t capacity)
{
    if (lf == window) return std::min(window, capacity);
    const std::size_t characters = lf + 1 - (lf > 0 && bytes[lf - 1] == '\r');
    return characters <= capacity ? lf + 1 : capacity;
}

}  // namespace

void LineCharacters(std::string_view bytes, std::string& line)
{
    const bool crLf = bytes.ends_with("\r\n");
    line.assign(bytes.data(), bytes.size() - crLf);
    if (crLf) line.back() = '\n';
}

ByteLineReader::ByteLineReader(Files& files, const ByteSet& marked)
    : files_(files), stops_(ByteSet(marked).set('\n')), marked_(marked)
{
}

ReaderOpen ByteLineReader::Open(const char16_t* path)
{
    if (!files_.OpenForRead(path, file_.Receive())) return ReaderOpen::Failed;
    block_ = std::make_unique_for_overwrite<std::uint8_t[]>(kBlockBytes);
    Refill();
    mark_ = MarkAtStart({block_.get(), end_});
    if (mark_ == ByteOrderMark::Utf16Le || mark_ == ByteOrderMark::Utf16Be) {
        Close();
        return ReaderOpen::EncodingRefused;
    }
    return ReaderOpen::Opened;
}

ByteLine ByteLineReader::ReadLine(std::size_t capacity)
{
    for (;;) {
        const std::uint8_t* bytes = block_.get() + begin_;
        // One byte past the capacity tells whether a CR LF pair ends a line that fills it.
        const std::size_t window = std::min(end_ - begin_, capacity + 1);
        const std::size_t stop = stops_.First(bytes, window);
        const std::size_t lf = stop < window && bytes[stop] != '\n' ? stop + lf_.First(bytes + stop, window - stop) : stop;
        // Without an LF, fewer bytes than the window holds may not be the whole line yet.
        if (lf == window && window <= capacity && !atEnd_) {
            Refill();
            continue;
        }
        const std::size_t length = LineLength(bytes, lf, window, capacity);
        begin_ += length;
        return {{reinterpret_cast<const char*>(bytes), length}, stop < length && marked_.Holds(bytes[stop])};
    }
}

std::string_view ByteLineReader::TakePlainLines()
{
    if (begin_ < noPlainLineBefore_) return {};
    const std::size_t marked = marked_.First(block_.get() + begin_, end_ - begin_);
    const std::string_view lines = TakeWholeLines(marked);
    // The line that starts there holds the marked byte, or ends outside the block.
    noPlainLineBefore_ = begin_ + marked - lines.size();
    return lines;
}

std::string_view ByteLineReader::TakeLines()
{
    if (noLineEnd_) return {};
    // Whatever is taken or not, no LF is left after the block's last one: a line longer than
    // the block, read piece by piece, is not looked through again for each piece.
    noLineEnd_ = true;
    return TakeWholeLines(end_ - begin_);
}

std::string_view ByteLineReader::TakeWholeLines(std::size_t size)
{
    const std::string_view run(reinterpret_cast<const char*>(block_.get() + begin_), size);
    // After the last LF of the run, or none at all.
    const std::string_view lines = run.substr(0, run.rfind('\n') + 1);
    begin_ += lines.size();
    return lines;
}

bool ByteLineReader::Close()
{
    if (file_.Get() == 0) return true;
    return files_.Close(file_.Release());
}

void ByteLineReader::Refill()
{
    noPlainLineBefore_ = 0;
    noLineEnd_ = false;
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

}  // namespace zarvo
