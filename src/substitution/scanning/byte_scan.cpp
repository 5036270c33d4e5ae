#include "substitution/scanning/byte_scan.h"

#include <emmintrin.h>
#include <tmmintrin.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace zarvo {
namespace {

// Whether the processor can go 16 bytes at a time, and pick bytes from a table so.
const bool kChunks = __builtin_cpu_supports("sse2");
const bool kTableLookups = __builtin_cpu_supports("ssse3");

// The characters between line ends are copied as they are held, which on the little-endian
// processors the library runs on are their UTF-16LE bytes.
static_assert(std::endian::native == std::endian::little);

__attribute__((target("sse2"))) __m128i ChunkAt(const void* units)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(units));
}

// A chunk of the byte, or of the character, repeated: made from a register in a few steps,
// where the compiler's own way puts each copy in place one by one.
__attribute__((target("sse2"))) __m128i Repeated(char byte)
{
    return _mm_shuffle_epi32(_mm_cvtsi32_si128(static_cast<int>(static_cast<unsigned char>(byte) * 0x01010101u)), 0);
}

__attribute__((target("sse2"))) __m128i Repeated(char16_t c)
{
    return _mm_shuffle_epi32(_mm_shufflelo_epi16(_mm_cvtsi32_si128(c), 0), 0);
}

// The places of the chunk that hold the unit, a bit for each of their bytes.
__attribute__((target("sse2"))) unsigned Hits(__m128i chunk, __m128i unit, char)
{
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, unit)));
}

__attribute__((target("sse2"))) unsigned Hits(__m128i chunk, __m128i unit, char16_t)
{
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(chunk, unit)));
}

template <class Char>
std::size_t FindLineEndByUnits(std::basic_string_view<Char> text, std::size_t from)
{
    return text.find(Char('\n'), from);
}

template <class Char>
__attribute__((target("sse2"))) std::size_t FindLineEndByChunks(std::basic_string_view<Char> text, std::size_t from)
{
    constexpr std::size_t kUnits = 16 / sizeof(Char);
    const __m128i lf = Repeated(Char('\n'));
    std::size_t at = from;
    for (; at + kUnits <= text.size(); at += kUnits)
        if (const unsigned hits = Hits(ChunkAt(text.data() + at), lf, Char{}); hits != 0)
            return at + static_cast<std::size_t>(std::countr_zero(hits)) / sizeof(Char);
    return FindLineEndByUnits(text, at);
}

// Whether the token stands in the text at `at`: asked only where a search found its first unit.
template <class Char>
bool TokenStandsAt(std::basic_string_view<Char> text, std::basic_string_view<Char> token, std::size_t at)
{
    if (at > text.size() || token.size() > text.size() - at) return false;
    std::size_t same = 0;
    while (same < token.size() && text[at + same] == token[same]) ++same;
    return same == token.size();
}

template <class Char>
std::size_t FindTokenByUnits(std::basic_string_view<Char> text, std::basic_string_view<Char> token, std::size_t from)
{
    for (std::size_t at = from, last = text.size() - token.size(); at <= last; ++at)
        if (text[at] == token.front() && TokenStandsAt(text, token, at)) return at;
    return text.npos;
}

template <class Char>
__attribute__((target("sse2"))) std::size_t FindTokenByChunks(std::basic_string_view<Char> text,
                                                              std::basic_string_view<Char> token, std::size_t from)
{
    constexpr std::size_t kUnits = 16 / sizeof(Char);
    // A unit's bytes all answer alike: its first byte's bit stands for it.
    constexpr unsigned kUnitBits = sizeof(Char) == 1 ? 0xFFFF : 0x5555;
    const __m128i first = Repeated(token.front());
    const __m128i last = Repeated(token.back());
    const std::size_t lastAt = token.size() - 1;
    std::size_t at = from;
    for (; at + lastAt + kUnits <= text.size(); at += kUnits) {
        unsigned both = Hits(ChunkAt(text.data() + at), first, Char{}) &
                        Hits(ChunkAt(text.data() + at + lastAt), last, Char{}) & kUnitBits;
        for (; both != 0; both &= both - 1) {
            const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(both)) / sizeof(Char);
            if (TokenStandsAt(text, token, place)) return place;
        }
    }
    return FindTokenByUnits(text, token, at);
}

std::size_t FirstAbove127ByBytes(std::string_view bytes, std::size_t from)
{
    while (from < bytes.size() && static_cast<unsigned char>(bytes[from]) < 0x80) ++from;
    return from;
}

__attribute__((target("sse2"))) std::size_t FirstAbove127ByChunks(std::string_view bytes)
{
    std::size_t at = 0;
    for (; at + 16 <= bytes.size(); at += 16)
        if (const auto high = static_cast<unsigned>(_mm_movemask_epi8(ChunkAt(bytes.data() + at))); high != 0)
            return at + static_cast<std::size_t>(std::countr_zero(high));
    return FirstAbove127ByBytes(bytes, at);
}

// The places of a chunk whose bytes may be in the set, a bit each.
__attribute__((target("ssse3"))) unsigned InSet(__m128i chunk, const std::uint8_t* lowTable,
                                                const std::uint8_t* highTable)
{
    const __m128i low = _mm_load_si128(reinterpret_cast<const __m128i*>(lowTable));
    const __m128i high = _mm_load_si128(reinterpret_cast<const __m128i*>(highTable));
    const __m128i nibbles = _mm_set1_epi8(0x0F);
    const __m128i byLow = _mm_shuffle_epi8(low, _mm_and_si128(chunk, nibbles));
    const __m128i byHigh = _mm_shuffle_epi8(high, _mm_and_si128(_mm_srli_epi16(chunk, 4), nibbles));
    const __m128i none = _mm_cmpeq_epi8(_mm_and_si128(byLow, byHigh), _mm_setzero_si128());
    return ~static_cast<unsigned>(_mm_movemask_epi8(none)) & 0xFFFFu;
}

// Puts one unit in the output's form: a byte, or a UTF-16LE unit.
template <std::size_t kOutBytes>
char* PutUnit(char* out, char16_t c)
{
    if constexpr (kOutBytes == 1) *out = static_cast<char>(c);
    else std::memcpy(out, &c, 2);
    return out + kOutBytes;
}

template <class Char, std::size_t kOutBytes>
char* PutByUnits(char* out, std::basic_string_view<Char> text, Char previous, CrLf which)
{
    for (const Char unit : text) {
        if (unit == Char('\n') && (which == CrLf::Every || previous != Char('\r'))) out = PutUnit<kOutBytes>(out, u'\r');
        out = PutUnit<kOutBytes>(out, CharacterOf(unit));
        previous = unit;
    }
    return out;
}

// A chunk in the output's form, stored whole: bytes as they are or widened, characters as
// they are.
template <class Char, std::size_t kOutBytes>
__attribute__((target("sse2"))) void StoreChunk(char* out, __m128i chunk)
{
    if constexpr (sizeof(Char) == 1 && kOutBytes == 2) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(chunk, _mm_setzero_si128()));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi8(chunk, _mm_setzero_si128()));
    } else {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), chunk);
    }
}

// A chunk without an LF is put whole, one with an LF up to it, then the LF, after a CR where
// one is owed.
template <class Char, std::size_t kOutBytes>
__attribute__((target("sse2"))) char* PutByChunks(char* out, std::basic_string_view<Char> text, Char previous,
                                                  CrLf which)
{
    constexpr std::size_t kUnits = 16 / sizeof(Char);
    const __m128i lf = Repeated(Char('\n'));
    std::size_t at = 0;
    while (at + kUnits <= text.size()) {
        const __m128i chunk = ChunkAt(text.data() + at);
        StoreChunk<Char, kOutBytes>(out, chunk);
        const unsigned lfs = Hits(chunk, lf, Char{});
        if (lfs == 0) {
            out += kUnits * kOutBytes;
            at += kUnits;
            continue;
        }
        const std::size_t before = static_cast<std::size_t>(std::countr_zero(lfs)) / sizeof(Char);
        out += before * kOutBytes;
        at += before;
        if (which == CrLf::Every || (at == 0 ? previous : text[at - 1]) != Char('\r')) out = PutUnit<kOutBytes>(out, u'\r');
        out = PutUnit<kOutBytes>(out, u'\n');
        ++at;
    }
    return PutByUnits<Char, kOutBytes>(out, text.substr(at), at == 0 ? previous : text[at - 1], which);
}

}  // namespace

BytePairs::Masks BytePairs::MasksOf(const std::array<bool, 256>& in)
{
    // Each kind of high bits in the set gets a bit of its own, the ninth and later the eighth's.
    Masks masks;
    std::array<int, 16> bitOfHigh;
    bitOfHigh.fill(-1);
    int bits = 0;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        if (!in[byte]) continue;
        int& bit = bitOfHigh[byte >> 4];
        if (bit < 0) bit = std::min(bits++, 7);
        masks.low[byte & 0x0F] |= static_cast<std::uint8_t>(1u << bit);
        masks.high[byte >> 4] |= static_cast<std::uint8_t>(1u << bit);
    }
    return masks;
}

BytePairs::BytePairs(const std::vector<std::array<unsigned char, 2>>& pairs)
{
    std::array<bool, 256> seconds{};
    for (const auto [first, second] : pairs) pairs_[first * 256u + second] = firsts_[first] = seconds[second] = true;
    firstMasks_ = MasksOf(firsts_);
    secondMasks_ = MasksOf(seconds);
}

std::size_t BytePairs::Places(std::string_view text, std::size_t from, std::span<std::size_t> places) const
{
    return kTableLookups ? PlacesByChunks(text, from, places) : PlacesByBytes(text, from, places);
}

std::size_t BytePairs::PlacesByBytes(std::string_view text, std::size_t from, std::span<std::size_t> places) const
{
    std::size_t found = 0;
    for (; from < text.size() && found < places.size(); ++from)
        if (PairAt(text, from)) places[found++] = from;
    return found;
}

__attribute__((target("ssse3"))) std::size_t BytePairs::PlacesByChunks(std::string_view text, std::size_t from,
                                                                       std::span<std::size_t> places) const
{
    std::size_t found = 0;
    std::size_t at = from;
    // The chunk of the places' next bytes is read whole, one byte beyond the chunk.
    for (; at + 17 <= text.size(); at += 16) {
        const __m128i chunk = ChunkAt(text.data() + at);
        const __m128i following = ChunkAt(text.data() + at + 1);
        unsigned hits = InSet(chunk, firstMasks_.low.data(), firstMasks_.high.data()) &
                        InSet(following, secondMasks_.low.data(), secondMasks_.high.data());
        for (; hits != 0; hits &= hits - 1) {
            const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(hits));
            if (!PairAt(text, place)) continue;
            // A full batch ends before the chunk's other places: the next starts from there.
            if (found == places.size()) return found;
            places[found++] = place;
        }
        if (found == places.size()) return found;
    }
    return found + PlacesByBytes(text, at, places.subspan(found));
}

template <class Char>
std::size_t FindLineEnd(std::basic_string_view<Char> text, std::size_t from)
{
    return kChunks ? FindLineEndByChunks(text, from) : FindLineEndByUnits(text, from);
}

template std::size_t FindLineEnd(std::string_view text, std::size_t from);
template std::size_t FindLineEnd(std::u16string_view text, std::size_t from);

template <class Char>
std::size_t FindToken(std::basic_string_view<Char> text, std::basic_string_view<Char> token, std::size_t from)
{
    if (token.empty()) return from <= text.size() ? from : text.npos;
    if (token.size() > text.size() || from > text.size() - token.size()) return text.npos;
    return kChunks ? FindTokenByChunks(text, token, from) : FindTokenByUnits(text, token, from);
}

template std::size_t FindToken(std::string_view text, std::string_view token, std::size_t from);
template std::size_t FindToken(std::u16string_view text, std::u16string_view token, std::size_t from);

std::size_t FirstAbove127(std::string_view bytes)
{
    return kChunks ? FirstAbove127ByChunks(bytes) : FirstAbove127ByBytes(bytes, 0);
}

char* PutWithCrLf(char* out, std::string_view bytes, char previous, CrLf which)
{
    return kChunks ? PutByChunks<char, 1>(out, bytes, previous, which) : PutByUnits<char, 1>(out, bytes, previous, which);
}

template <class Char>
char* PutUtf16WithCrLf(char* out, std::basic_string_view<Char> text, Char previous, CrLf which)
{
    return kChunks ? PutByChunks<Char, 2>(out, text, previous, which) : PutByUnits<Char, 2>(out, text, previous, which);
}

template char* PutUtf16WithCrLf(char* out, std::string_view text, char previous, CrLf which);
template char* PutUtf16WithCrLf(char* out, std::u16string_view text, char16_t previous, CrLf which);

}  // namespace zarvo
