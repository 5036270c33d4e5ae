#include "substitution/byte_lines.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace zarvo {
namespace {

// Far larger than a line, so that the bytes of a line cut by a block's end, moved to the
// next block's start, are a small part of what is read.
constexpr std::size_t kBlockBytes = 1 << 20;

// How many of the bytes can be passed over 16 at a time, none of them one of the stops; the
// scan goes on byte by byte from there. SSE2, which the processors of nearly every machine
// the library runs on have: where it is missing, the scan goes byte by byte from the start.
__attribute__((target("sse2"))) std::size_t SkipChunksWithoutStops(const std::uint8_t* bytes, std::size_t size,
                                                                   const std::array<std::uint8_t, kFewStops>& stops)
{
    const __m128i first = _mm_set1_epi8(static_cast<char>(stops[0]));
    const __m128i second = _mm_set1_epi8(static_cast<char>(stops[1]));
    const __m128i third = _mm_set1_epi8(static_cast<char>(stops[2]));
    const __m128i fourth = _mm_set1_epi8(static_cast<char>(stops[3]));
    std::size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, first), _mm_cmpeq_epi8(chunk, second)),
                                          _mm_or_si128(_mm_cmpeq_epi8(chunk, third), _mm_cmpeq_epi8(chunk, fourth)));
        if (_mm_movemask_epi8(hits) != 0) break;
    }
    return at;
}

// Where the first LF stands among the bytes from `from` on, or `size` without one.
std::size_t FindLf(const std::uint8_t* bytes, std::size_t from, std::size_t size)
{
    const void* found = std::memchr(bytes + from, '\n', size - from);
    return found == nullptr ? size : static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - bytes);
}

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

ByteSearch::ByteSearch(const ByteSet& set)
{
    std::size_t few = 0;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        in_[byte] = set.test(byte);
        if (in_[byte] && few < kFewStops) few_[few++] = static_cast<std::uint8_t>(byte);
    }
    empty_ = few == 0;
    std::fill(few_.begin() + static_cast<std::ptrdiff_t>(few), few_.end(), few_[0]);
    skipsChunks_ = set.count() <= kFewStops && __builtin_cpu_supports("sse2");
}

std::size_t ByteSearch::First(const std::uint8_t* bytes, std::size_t size) const
{
    if (empty_) return size;
    std::size_t at = skipsChunks_ ? SkipChunksWithoutStops(bytes, size, few_) : 0;
    while (at < size && !in_[bytes[at]]) ++at;
    return at;
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
        const std::size_t lf = stop < window && bytes[stop] != '\n' ? FindLf(bytes, stop, window) : stop;
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
    const std::uint8_t* bytes = block_.get() + begin_;
    if (begin_ >= noPlainLineBefore_) {
        const std::size_t marked = marked_.First(bytes, end_ - begin_);
        std::size_t length = marked;
        while (length > 0 && bytes[length - 1] != '\n') --length;
        begin_ += length;
        if (length == 0) noPlainLineBefore_ = begin_ + marked;
        return {reinterpret_cast<const char*>(bytes), length};
    }
    return {};
}

bool ByteLineReader::Close()
{
    if (file_.Get() == 0) return true;
    return files_.Close(file_.Release());
}

void ByteLineReader::Refill()
{
    noPlainLineBefore_ = 0;
    std::memmove(block_.get(), block_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    std::uint32_t read = 0;
    if (files_.Read(file_.Get(), block_.get() + end_, static_cast<std::uint32_t>(kBlockBytes - end_), &read))
        end_ += read;
    else
        failed_ = true;
    atEnd_ = failed_ || read == 0;
}

}  // namespace zarvo
