#pragma once
// The searches and copies every byte of a rewritten file goes through, 16 bytes at a time
// (SSE2), which the processors of nearly every machine the library runs on have; where it is
// missing, they go unit by unit.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zarvo {

// The character a byte of single-byte text stands for; a character stands for itself.
inline char16_t CharacterOf(char byte)
{
    return static_cast<unsigned char>(byte);
}

inline char16_t CharacterOf(char16_t c)
{
    return c;
}

// Where the first LF stands in the text at or after `from`, or npos. Bytes, or characters.
template <class Char>
std::size_t FindLineEnd(std::basic_string_view<Char> text, std::size_t from);

// Pairs of bytes, a byte and the byte after it, searched for 16 places at a time. The shufti
// method finds the places where a pair's first byte stands with a pair's second after it: each
// byte's low and high four bits each pick a mask from a table of 16, and the byte is in the set
// where the two masks share a bit. A table of all 65,536 pairs then keeps the places of a pair
// alone. Where the processor lacks SSSE3, byte by byte.
class BytePairs {
public:
    // Each pair as its first byte and its second.
    explicit BytePairs(const std::vector<std::array<unsigned char, 2>>& pairs);
    // Where a pair stands, or the first byte of one at the text's end, in the text at or after
    // `from`, in order, for as many places as there are and at most `places.size()`: answers
    // how many it found.
    std::size_t Places(std::string_view text, std::size_t from, std::span<std::size_t> places) const;

private:
    // The masks of a set of bytes. Bytes whose high four bits are alike share a bit, so the
    // search is exact for sets of up to 8 kinds of high bits, and finds a few bytes more
    // otherwise, which the table of pairs rules out.
    struct Masks {
        alignas(16) std::array<std::uint8_t, 16> low{};
        alignas(16) std::array<std::uint8_t, 16> high{};
    };
    static Masks MasksOf(const std::array<bool, 256>& in);

    bool PairAt(std::string_view text, std::size_t place) const
    {
        const auto first = static_cast<unsigned char>(text[place]);
        return place + 1 == text.size() ? firsts_[first]
                                        : pairs_[first * 256u + static_cast<unsigned char>(text[place + 1])];
    }
    std::size_t PlacesByBytes(std::string_view text, std::size_t from, std::span<std::size_t> places) const;
    std::size_t PlacesByChunks(std::string_view text, std::size_t from, std::span<std::size_t> places) const;

    std::vector<bool> pairs_ = std::vector<bool>(256 * 256);
    std::array<bool, 256> firsts_{};
    Masks firstMasks_;
    Masks secondMasks_;
};

// Where the first byte above 127 stands, or the size where there is none.
std::size_t FirstAbove127(std::string_view bytes);

// Where the token first stands in the text at or after `from`, or npos: 16 bytes at a time, the
// places where both the token's first and its last unit stand at their distance (a
// first-and-last-byte filter), each then compared whole.
template <class Char>
std::size_t FindToken(std::basic_string_view<Char> text, std::basic_string_view<Char> token, std::size_t from);

// Which LFs are written as CR LF: each of them (the LF of a line's characters, its CR LF pair
// read as one LF), or those without a CR before them (text as the file holds it, whose CR LF
// pairs are already there).
enum class CrLf { Every, Bare };

// Puts single-byte text at out with the LFs written as CR LF; `previous` is the byte before
// them. Answers where the next go, and may write up to 16 bytes past that.
char* PutWithCrLf(char* out, std::string_view bytes, char previous, CrLf which);

// Puts the text at out as UTF-16LE, bytes as the characters of their codes, with the LFs written
// as CR LF; `previous` is the unit before them. Answers where the next go, and may write up to
// 32 bytes past that.
template <class Char>
char* PutUtf16WithCrLf(char* out, std::basic_string_view<Char> text, Char previous, CrLf which);

// The most any put writes past where the next bytes go.
inline constexpr std::size_t kPutPastTheEnd = 32;

}  // namespace zarvo
