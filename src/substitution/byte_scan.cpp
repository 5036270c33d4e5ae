#include "substitution/byte_scan.h"

#include <emmintrin.h>

#include <algorithm>
#include <bit>

namespace zarvo {
namespace {

// Whether the processor can go 16 bytes at a time.
const bool kChunks = __builtin_cpu_supports("sse2");

// The places of the chunk that hold the byte, a bit each.
__attribute__((target("sse2"))) unsigned Hits(__m128i chunk, __m128i byte)
{
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, byte)));
}

__attribute__((target("sse2"))) __m128i ChunkAt(const void* bytes)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(bytes));
}

// How many of the bytes can be passed over 16 at a time, none of them one of the stops; the
// search goes on byte by byte from there.
__attribute__((target("sse2"))) std::size_t SkipChunksWithoutStops(const std::uint8_t* bytes, std::size_t size,
                                                                   const std::array<std::uint8_t, kFewStops>& stops)
{
    const __m128i first = _mm_set1_epi8(static_cast<char>(stops[0]));
    const __m128i second = _mm_set1_epi8(static_cast<char>(stops[1]));
    const __m128i third = _mm_set1_epi8(static_cast<char>(stops[2]));
    const __m128i fourth = _mm_set1_epi8(static_cast<char>(stops[3]));
    std::size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        const __m128i chunk = ChunkAt(bytes + at);
        if ((Hits(chunk, first) | Hits(chunk, second) | Hits(chunk, third) | Hits(chunk, fourth)) != 0) break;
    }
    return at;
}

bool StandsAt(std::string_view text, std::string_view token, std::size_t at)
{
    std::size_t same = 0;
    while (same < token.size() && text[at + same] == token[same]) ++same;
    return same == token.size();
}

std::size_t PlainTextLengthByBytes(const std::uint8_t* bytes, std::size_t size, bool stopAbove127)
{
    std::size_t at = 0;
    while (at < size && bytes[at] != '\r' && bytes[at] != '\n' && !(stopAbove127 && bytes[at] > 127)) ++at;
    return at;
}

__attribute__((target("sse2"))) std::size_t PlainTextLengthByChunks(const std::uint8_t* bytes, std::size_t size,
                                                                    bool stopAbove127)
{
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    std::size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        const __m128i chunk = ChunkAt(bytes + at);
        unsigned stops = Hits(chunk, cr) | Hits(chunk, lf);
        if (stopAbove127) stops |= static_cast<unsigned>(_mm_movemask_epi8(chunk));
        if (stops != 0) return at + static_cast<std::size_t>(std::countr_zero(stops));
    }
    return at + PlainTextLengthByBytes(bytes + at, size - at, stopAbove127);
}

char* PutWithCrLfByBytes(char* out, std::string_view bytes, char previous, CrLf which)
{
    for (const char byte : bytes) {
        if (byte == '\n' && (which == CrLf::Every || previous != '\r')) *out++ = '\r';
        *out++ = byte;
        previous = byte;
    }
    return out;
}

// A chunk without an LF is copied whole, one with an LF up to it.
__attribute__((target("sse2"))) char* PutWithCrLfByChunks(char* out, std::string_view bytes, char previous,
                                                          CrLf which)
{
    const __m128i lf = _mm_set1_epi8('\n');
    std::size_t at = 0;
    while (at + 16 <= bytes.size()) {
        const __m128i chunk = ChunkAt(bytes.data() + at);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), chunk);
        const unsigned lfs = Hits(chunk, lf);
        if (lfs == 0) {
            out += 16;
            at += 16;
            continue;
        }
        const auto before = static_cast<std::size_t>(std::countr_zero(lfs));
        out += before;
        at += before;
        if (which == CrLf::Every || (at == 0 ? previous : bytes[at - 1]) != '\r') *out++ = '\r';
        *out++ = '\n';
        ++at;
    }
    return PutWithCrLfByBytes(out, bytes.substr(at), at == 0 ? previous : bytes[at - 1], which);
}

}  // namespace

ByteSearch::ByteSearch(const ByteSet& set)
{
    std::size_t few = 0;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        in_[byte] = set.test(byte);
        if (in_[byte] && few < kFewStops) few_[few++] = static_cast<std::uint8_t>(byte);
    }
    empty_ = few == 0;
    std::fill(few_.begin() + static_cast<std::ptrdiff_t>(few), few_.end(), few_[0]);
    skipsChunks_ = set.count() <= kFewStops && kChunks;
}

std::size_t ByteSearch::First(const std::uint8_t* bytes, std::size_t size) const
{
    if (empty_) return size;
    std::size_t at = skipsChunks_ ? SkipChunksWithoutStops(bytes, size, few_) : 0;
    while (at < size && !in_[bytes[at]]) ++at;
    return at;
}

std::size_t FindToken(std::string_view text, std::string_view token, std::size_t from)
{
    for (std::size_t at = from; at + token.size() <= text.size(); ++at)
        if (StandsAt(text, token, at)) return at;
    return std::string_view::npos;
}

std::size_t PlainTextLength(const std::uint8_t* bytes, std::size_t size, bool stopAbove127)
{
    return kChunks ? PlainTextLengthByChunks(bytes, size, stopAbove127) : PlainTextLengthByBytes(bytes, size, stopAbove127);
}

char* PutWithCrLf(char* out, std::string_view bytes, char previous, CrLf which)
{
    return kChunks ? PutWithCrLfByChunks(out, bytes, previous, which) : PutWithCrLfByBytes(out, bytes, previous, which);
}

}  // namespace zarvo
