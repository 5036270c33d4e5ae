#include "substitution/byte_scan.h"

#include <emmintrin.h>

#include <algorithm>
#include <bit>
#include <cstring>

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

// Where the first of the stops is, found 16 bytes at a time, or how many bytes can be passed
// over so: the search goes on byte by byte from there.
__attribute__((target("sse2"))) std::size_t SkipChunksWithoutStops(const std::uint8_t* bytes, std::size_t size,
                                                                   const std::array<std::uint8_t, kFewStops>& stops)
{
    const __m128i first = Repeated(static_cast<char>(stops[0]));
    const __m128i second = Repeated(static_cast<char>(stops[1]));
    const __m128i third = Repeated(static_cast<char>(stops[2]));
    const __m128i fourth = Repeated(static_cast<char>(stops[3]));
    std::size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        const __m128i chunk = ChunkAt(bytes + at);
        const unsigned hits = Hits(chunk, first) | Hits(chunk, second) | Hits(chunk, third) | Hits(chunk, fourth);
        if (hits != 0) return at + static_cast<std::size_t>(std::countr_zero(hits));
    }
    return at;
}

std::size_t FindTokensByBytes(std::string_view text, std::string_view token, std::size_t from,
                              std::span<std::size_t> places)
{
    std::size_t found = 0;
    for (std::size_t at = from; found < places.size(); at = places[found - 1] + token.size()) {
        at = FindToken(text, token, at);
        if (at == std::string_view::npos) break;
        places[found++] = at;
    }
    return found;
}

// Each chunk gives at once the places where the token's first and last bytes both stand; only
// there are the bytes between them compared.
__attribute__((target("sse2"))) std::size_t FindTokensByChunks(std::string_view text, std::string_view token,
                                                               std::size_t from, std::span<std::size_t> places)
{
    const std::size_t last = token.size() - 1;
    if (places.empty() || text.size() < last + 16) return FindTokensByBytes(text, token, from, places);
    const std::string_view between = token.substr(1, last > 0 ? last - 1 : 0);
    const __m128i first = Repeated(token.front());
    const __m128i end = Repeated(token.back());
    std::size_t found = 0;
    std::size_t next = from;  // where the next token may begin: after the end of the one before
    for (std::size_t at = from; at + last < text.size(); at += 16) {
        // The last chunk ends where the last place a token fits does, over places looked at
        // already: those are left out.
        const std::size_t chunkAt = std::min(at, text.size() - last - 16);
        unsigned starts = Hits(ChunkAt(text.data() + chunkAt), first) &
                          Hits(ChunkAt(text.data() + chunkAt + last), end) & (0xFFFFu << (at - chunkAt));
        for (; starts != 0; starts &= starts - 1) {
            const std::size_t place = chunkAt + static_cast<std::size_t>(std::countr_zero(starts));
            if (place < next || !TokenStandsAt(text, between, place + 1)) continue;
            places[found++] = place;
            next = place + token.size();
            if (found == places.size()) return found;
        }
    }
    return found;
}

std::size_t ReplaceEachByBytes(std::span<char> text, std::string_view token, std::string_view replacement,
                               std::size_t from)
{
    const std::string_view view(text.data(), text.size());
    std::size_t replaced = 0;
    for (std::size_t at = FindToken(view, token, from); at != std::string_view::npos;
         at = FindToken(view, token, at + token.size()), ++replaced)
        std::memcpy(text.data() + at, replacement.data(), replacement.size());
    return replaced;
}

// Whether no two places where the token stands can overlap: no beginning of it is also its end.
bool CannotOverlapItself(std::string_view token)
{
    for (std::size_t k = 1; k < token.size(); ++k)
        if (token.substr(0, k) == token.substr(token.size() - k)) return false;
    return true;
}

// How many places of a chunk are set: the processors without an instruction for it would
// otherwise count in a call to the compiler's library, once for every chunk.
std::size_t PlacesIn(unsigned chunkBits)
{
    static constexpr auto kBitsIn = [] {
        std::array<std::uint8_t, 256> bits{};
        for (std::size_t byte = 0; byte < 256; ++byte) bits[byte] = static_cast<std::uint8_t>(std::popcount(byte));
        return bits;
    }();
    return kBitsIn[chunkBits & 0xFF] + kBitsIn[chunkBits >> 8];
}

// A byte of 0xFF where the bit of its place is set, 0 elsewhere.
__attribute__((target("sse2"))) __m128i BytesOfBits(unsigned bits)
{
    const __m128i select = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
    __m128i spread = _mm_cvtsi32_si128(static_cast<int>(bits));
    spread = _mm_unpacklo_epi8(spread, spread);
    spread = _mm_unpacklo_epi16(spread, spread);
    spread = _mm_unpacklo_epi32(spread, spread);
    return _mm_cmpeq_epi8(_mm_and_si128(spread, select), select);
}

// For a token of at most 16 bytes that cannot overlap itself, the places where it stands in a
// chunk are all replaced: each of its bytes is compared over the whole chunk, and each byte of
// the replacement put wherever it falls. The places are found in the text as it was, before
// any of the chunk is written.
__attribute__((target("sse2"))) std::size_t ReplaceEachByChunks(std::span<char> text, std::string_view token,
                                                                std::string_view replacement)
{
    std::size_t replaced = 0;
    std::uint32_t before = 0;  // the places of the chunk before, whose tokens may reach into this one
    std::size_t at = 0;
    for (; at + token.size() + 15 <= text.size(); at += 16) {
        unsigned starts = 0xFFFF;
        for (std::size_t i = 0; i < token.size() && starts != 0; ++i)
            starts &= Hits(ChunkAt(text.data() + at + i), Repeated(token[i]));
        // Bit N for the chunk before's byte N, bit 16 + N for this one's.
        const std::uint32_t window = before | starts << 16;
        before = starts;
        if (window == 0) continue;
        replaced += PlacesIn(starts);
        __m128i chunk = ChunkAt(text.data() + at);
        for (std::size_t i = 0; i < replacement.size(); ++i) {
            const __m128i put = BytesOfBits((window << i) >> 16);
            chunk = _mm_or_si128(_mm_andnot_si128(put, chunk), _mm_and_si128(put, Repeated(replacement[i])));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(text.data() + at), chunk);
    }
    // The tokens of the last chunk that reach past it, then the rest byte by byte.
    std::size_t next = at;
    for (; before != 0; before &= before - 1) {
        const std::size_t place = at - 16 + static_cast<std::size_t>(std::countr_zero(before));
        std::memcpy(text.data() + place, replacement.data(), replacement.size());
        next = place + token.size();
    }
    return replaced + ReplaceEachByBytes(text, token, replacement, std::max(at, next));
}

// Each half of a chunk interleaved with zeros: its bytes as the characters of their codes.
__attribute__((target("sse2"))) void WidenByChunks(const std::uint8_t* bytes, std::size_t size, char16_t* out)
{
    const __m128i zero = _mm_setzero_si128();
    std::size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        const __m128i chunk = ChunkAt(bytes + at);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_unpacklo_epi8(chunk, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at + 8), _mm_unpackhi_epi8(chunk, zero));
    }
    std::copy(bytes + at, bytes + size, out + at);
}

template <class Char>
std::size_t PlacesOfFewByCharacters(std::basic_string_view<Char> text, std::size_t from,
                                    const std::array<Char, kFewStops>& few, std::span<std::size_t> places)
{
    std::size_t found = 0;
    for (std::size_t at = from; at < text.size() && found < places.size(); ++at)
        if (std::find(few.begin(), few.end(), text[at]) != few.end()) places[found++] = at;
    return found;
}

// Where the chunk holds the byte, or the character, its bytes set in the answer.
__attribute__((target("sse2"))) __m128i Same(__m128i chunk, __m128i byte, char)
{
    return _mm_cmpeq_epi8(chunk, byte);
}

__attribute__((target("sse2"))) __m128i Same(__m128i chunk, __m128i character, char16_t)
{
    return _mm_cmpeq_epi16(chunk, character);
}

// A few stops, each repeated through a chunk.
struct RepeatedStops {
    __m128i stop[kFewStops];
};

// The places in a chunk where one of the first kDistinct stops stands, a bit for each byte.
template <std::size_t kDistinct, class Char>
__attribute__((target("sse2"))) unsigned HitsOfFew(__m128i chunk, const RepeatedStops& stops)
{
    __m128i same = Same(chunk, stops.stop[0], Char{});
    for (std::size_t i = 1; i < kDistinct; ++i) same = _mm_or_si128(same, Same(chunk, stops.stop[i], Char{}));
    return static_cast<unsigned>(_mm_movemask_epi8(same));
}

// The chunks that lie whole in the text from `from`, then the last chunk, which ends with the
// text, without the characters before `from` or looked at already.
template <std::size_t kDistinct, class Char>
__attribute__((target("sse2"))) std::size_t PlacesOfDistinct(std::basic_string_view<Char> text, std::size_t from,
                                                             const RepeatedStops& stops,
                                                             std::span<std::size_t> places)
{
    constexpr std::size_t kPerChunk = 16 / sizeof(Char);
    // A bit for each byte in the chunk's mask: the low one of each character is kept.
    constexpr unsigned kLowBytes = sizeof(Char) == 1 ? 0xFFFFu : 0x5555u;
    std::size_t found = 0;
    const auto take = [&](std::size_t chunkAt, unsigned hits) {
        for (; hits != 0 && found < places.size(); hits &= hits - 1)
            places[found++] = chunkAt + static_cast<std::size_t>(std::countr_zero(hits)) / sizeof(Char);
    };
    std::size_t at = from;
    for (; at + kPerChunk <= text.size() && found < places.size(); at += kPerChunk)
        take(at, HitsOfFew<kDistinct, Char>(ChunkAt(text.data() + at), stops) & kLowBytes);
    if (at < text.size() && found < places.size()) {
        const std::size_t chunkAt = text.size() - kPerChunk;
        take(chunkAt, HitsOfFew<kDistinct, Char>(ChunkAt(text.data() + chunkAt), stops) &
                          (kLowBytes << (sizeof(Char) * (at - chunkAt))));
    }
    return found;
}

template <class Char>
__attribute__((target("sse2"))) std::size_t PlacesOfFewByChunks(std::basic_string_view<Char> text, std::size_t from,
                                                                const std::array<Char, kFewStops>& few,
                                                                std::span<std::size_t> places)
{
    if (text.size() < 16 / sizeof(Char)) return PlacesOfFewByCharacters(text, from, few, places);
    // Each stop compared once: a stop given again is left out, but for the second of two.
    RepeatedStops stops;
    std::size_t distinct = 0;
    for (std::size_t i = 0; i < few.size(); ++i) {
        const auto before = few.begin() + static_cast<std::ptrdiff_t>(i);
        if (std::find(few.begin(), before, few[i]) == before) stops.stop[distinct++] = Repeated(few[i]);
    }
    if (distinct == 1) stops.stop[distinct++] = stops.stop[0];
    if (distinct == 2) return PlacesOfDistinct<2>(text, from, stops, places);
    if (distinct == 3) return PlacesOfDistinct<3>(text, from, stops, places);
    return PlacesOfDistinct<4>(text, from, stops, places);
}

std::size_t PlainTextLengthByBytes(const std::uint8_t* bytes, std::size_t size, PlainStops stops)
{
    std::size_t at = 0;
    while (at < size && bytes[at] != '\r' && !(stops.lineFeed && bytes[at] == '\n') && !(stops.above127 && bytes[at] > 127))
        ++at;
    return at;
}

__attribute__((target("sse2"))) std::size_t PlainTextLengthByChunks(const std::uint8_t* bytes, std::size_t size,
                                                                    PlainStops stops)
{
    const __m128i cr = Repeated('\r');
    // Where LFs do not stop the run, CRs are looked for twice.
    const __m128i lf = Repeated(stops.lineFeed ? '\n' : '\r');
    std::size_t at = 0;
    for (; at + 16 <= size; at += 16) {
        const __m128i chunk = ChunkAt(bytes + at);
        unsigned hits = Hits(chunk, cr) | Hits(chunk, lf);
        if (stops.above127) hits |= static_cast<unsigned>(_mm_movemask_epi8(chunk));
        if (hits != 0) return at + static_cast<std::size_t>(std::countr_zero(hits));
    }
    return at + PlainTextLengthByBytes(bytes + at, size - at, stops);
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
    const __m128i lf = Repeated('\n');
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

// The characters between line ends are copied as they are held, which on the little-endian
// processors the library runs on are their UTF-16LE bytes.
static_assert(std::endian::native == std::endian::little);

template <class Char>
char* PutUtf16WithCrLfByCharacters(char* out, std::basic_string_view<Char> text)
{
    for (const Char character : text) {
        const char16_t c = CharacterOf(character);
        if (c == u'\n') {
            std::memcpy(out, "\r\0", 2);
            out += 2;
        }
        std::memcpy(out, &c, 2);
        out += 2;
    }
    return out;
}

// A chunk of 8 characters without an LF is copied whole, one with an LF up to it.
__attribute__((target("sse2"))) char* PutUtf16WithCrLfByChunks(char* out, std::u16string_view text)
{
    const __m128i lf = Repeated(u'\n');
    std::size_t at = 0;
    while (at + 8 <= text.size()) {
        const __m128i chunk = ChunkAt(text.data() + at);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), chunk);
        const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(chunk, lf)));
        if (lfs == 0) {
            out += 16;
            at += 8;
            continue;
        }
        const auto before = static_cast<std::size_t>(std::countr_zero(lfs)) / 2;
        out += before * sizeof(char16_t);
        std::memcpy(out, "\r\0\n\0", 4);
        out += 4;
        at += before + 1;
    }
    return PutUtf16WithCrLfByCharacters(out, text.substr(at));
}

// The first `width` bytes (16, 8 or 4) in a chunk, the rest of it zero.
template <std::size_t kWidth>
__attribute__((target("sse2"))) __m128i FirstBytes(const char* bytes)
{
    if constexpr (kWidth == 16) return ChunkAt(bytes);
    if constexpr (kWidth == 8) return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
    std::int32_t four = 0;
    std::memcpy(&four, bytes, 4);
    return _mm_cvtsi32_si128(four);
}

// Widens the bytes from `at` on, `kWidth` at a time, as long as that many are left: a chunk
// without an LF whole, one with an LF up to it.
template <std::size_t kWidth>
[[gnu::always_inline]] __attribute__((target("sse2"))) inline void PutUtf16Chunks(char*& out, std::string_view bytes,
                                                                                  std::size_t& at)
{
    const __m128i zero = _mm_setzero_si128();
    while (at + kWidth <= bytes.size()) {
        const __m128i chunk = FirstBytes<kWidth>(bytes.data() + at);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(chunk, zero));
        if constexpr (kWidth == 16) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi8(chunk, zero));
        const unsigned lfs = Hits(chunk, Repeated('\n'));
        if (lfs == 0) {
            out += kWidth * sizeof(char16_t);
            at += kWidth;
            continue;
        }
        const auto before = static_cast<std::size_t>(std::countr_zero(lfs));
        out += before * sizeof(char16_t);
        std::memcpy(out, "\r\0\n\0", 4);
        out += 4;
        at += before + 1;
    }
}

// Chunks of 16 bytes, then of 8, then of 4: most pieces written are short.
__attribute__((target("sse2"))) char* PutUtf16WithCrLfByChunks(char* out, std::string_view bytes)
{
    std::size_t at = 0;
    PutUtf16Chunks<16>(out, bytes, at);
    PutUtf16Chunks<8>(out, bytes, at);
    PutUtf16Chunks<4>(out, bytes, at);
    return PutUtf16WithCrLfByCharacters(out, bytes.substr(at));
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
    if (token.empty()) return from <= text.size() ? from : std::string_view::npos;
    if (token.size() > text.size() || from > text.size() - token.size()) return std::string_view::npos;
    // The token's first byte looked for on its own: the tightest loop, where most places fail.
    const char first = token.front();
    for (const char *at = text.data() + from, *last = text.data() + text.size() - token.size(); at <= last; ++at)
        if (*at == first && TokenStandsAt(text, token, static_cast<std::size_t>(at - text.data()))) return at - text.data();
    return std::string_view::npos;
}

template <class Char>
std::size_t PlacesOfFew(std::basic_string_view<Char> text, std::size_t from, const std::array<Char, kFewStops>& few,
                        std::span<std::size_t> places)
{
    return kChunks ? PlacesOfFewByChunks(text, from, few, places) : PlacesOfFewByCharacters(text, from, few, places);
}

template std::size_t PlacesOfFew(std::string_view text, std::size_t from, const std::array<char, kFewStops>& few,
                                 std::span<std::size_t> places);
template std::size_t PlacesOfFew(std::u16string_view text, std::size_t from,
                                 const std::array<char16_t, kFewStops>& few, std::span<std::size_t> places);

void Widen(const std::uint8_t* bytes, std::size_t size, char16_t* out)
{
    if (kChunks) return WidenByChunks(bytes, size, out);
    std::copy(bytes, bytes + size, out);
}

std::size_t FindTokens(std::string_view text, std::string_view token, std::size_t from, std::span<std::size_t> places)
{
    return kChunks ? FindTokensByChunks(text, token, from, places) : FindTokensByBytes(text, token, from, places);
}

std::size_t ReplaceEachInPlace(std::span<char> text, std::string_view token, std::string_view replacement)
{
    if (kChunks && token.size() <= 16 && CannotOverlapItself(token)) return ReplaceEachByChunks(text, token, replacement);
    return ReplaceEachByBytes(text, token, replacement, 0);
}

std::size_t PlainTextLength(const std::uint8_t* bytes, std::size_t size, PlainStops stops)
{
    return kChunks ? PlainTextLengthByChunks(bytes, size, stops) : PlainTextLengthByBytes(bytes, size, stops);
}

char* PutUtf16WithCrLf(char* out, std::u16string_view text)
{
    return kChunks ? PutUtf16WithCrLfByChunks(out, text) : PutUtf16WithCrLfByCharacters(out, text);
}

char* PutUtf16WithCrLf(char* out, std::string_view bytes)
{
    return kChunks ? PutUtf16WithCrLfByChunks(out, bytes) : PutUtf16WithCrLfByCharacters(out, bytes);
}

char* PutWithCrLf(char* out, std::string_view bytes, char previous, CrLf which)
{
    return kChunks ? PutWithCrLfByChunks(out, bytes, previous, which) : PutWithCrLfByBytes(out, bytes, previous, which);
}

}  // namespace zarvo
