#pragma once
// Searches and copies over the bytes of single-byte text that pass over 16 bytes at a time
// (SSE2), which the processors of nearly every machine the library runs on have; where it is
// missing, they go byte by byte. Nearly every byte of a rewritten file goes through here.
#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string_view>

namespace zarvo {

// Bytes of single-byte text, each standing for the character of its code.
using ByteSet = std::bitset<256>;

// The character a byte of single-byte text stands for; a character stands for itself.
inline char16_t CharacterOf(char byte)
{
    return static_cast<unsigned char>(byte);
}

inline char16_t CharacterOf(char16_t c)
{
    return c;
}

// How many bytes a search can look for 16 bytes at a time.
inline constexpr std::size_t kFewStops = 4;

// A search for the first of a set of bytes.
class ByteSearch {
public:
    explicit ByteSearch(const ByteSet& set);
    // How many of the bytes come before the first one of the set.
    std::size_t First(const std::uint8_t* bytes, std::size_t size) const;
    bool Holds(std::uint8_t byte) const { return in_[byte]; }

private:
    bool in_[256] = {};
    bool empty_ = true;
    // The set's bytes, the first again where there are fewer, when chunks can be passed over.
    std::array<std::uint8_t, kFewStops> few_{};
    bool skipsChunks_ = false;
};

// Where one of up to four characters (the first again where there are fewer) stands in the
// text at or after `from`, a chunk of 16 bytes at a time, for as many places as there are and at
// most `places.size()`. Answers how many it found. Text of characters, or single-byte text.
template <class Char>
std::size_t PlacesOfFew(std::basic_string_view<Char> text, std::size_t from, const std::array<Char, kFewStops>& few,
                        std::span<std::size_t> places);

// The places where one of up to four characters (the first again where there are fewer) stands
// in a text, taken one after another in order; found a batch at a time. Text of characters, or
// single-byte text.
template <class Char>
class PlacesInOrder {
public:
    PlacesInOrder(std::basic_string_view<Char> text, const std::array<Char, kFewStops>& few) : text_(text), few_(few)
    {
        Find(0);
    }
    // The place at hand; npos once there are no more.
    std::size_t Current() const { return taken_ < found_ ? places_[taken_] : std::string_view::npos; }
    void Advance()
    {
        if (++taken_ == found_ && found_ == places_.size()) Find(places_.back() + 1);
    }
    // Goes on from `from`, passing over the places before it.
    void GoOnFrom(std::size_t from) { Find(from); }

private:
    void Find(std::size_t from)
    {
        found_ = PlacesOfFew(text_, from, few_, places_);
        taken_ = 0;
    }

    std::basic_string_view<Char> text_;
    std::array<Char, kFewStops> few_;
    std::array<std::size_t, 64> places_;
    std::size_t found_ = 0;
    std::size_t taken_ = 0;
};

// Whether the token stands in the text at `at`. Inline: it is asked at most places a search
// finds the token's first byte.
inline bool TokenStandsAt(std::string_view text, std::string_view token, std::size_t at)
{
    if (at > text.size() || token.size() > text.size() - at) return false;
    std::size_t same = 0;
    while (same < token.size() && text[at + same] == token[same]) ++same;
    return same == token.size();
}

// Where the token first stands in the text at or after `from`, or npos. A plain search of its
// own: lines are short, and the system's C library would cost a call for every place the
// token's first byte stands; where the token's first byte is frequent, a 16-byte search for it
// costs more than it saves.
std::size_t FindToken(std::string_view text, std::string_view token, std::size_t from);

// Where the (non-empty) token stands in the text at or after `from`, each place at or after the
// end of the one before, for as many places as there are and at most `places.size()`.
// Answers how many it found.
std::size_t FindTokens(std::string_view text, std::string_view token, std::size_t from, std::span<std::size_t> places);

// Puts the replacement, as long as the (non-empty) token, wherever the token stands in the
// text, each place after the end of the one before. Answers how many it replaced.
std::size_t ReplaceEachInPlace(std::span<char> text, std::string_view token, std::string_view replacement);

// Puts each byte at out as the character of its code.
void Widen(const std::uint8_t* bytes, std::size_t size, char16_t* out);

// What ends a run of text that needs no decoding: a CR, an LF unless the run is of whole lines,
// and a byte above 127 in UTF-8.
struct PlainStops {
    bool lineFeed;
    bool above127;
};

// How many of the bytes come before the first that ends the run.
std::size_t PlainTextLength(const std::uint8_t* bytes, std::size_t size, PlainStops stops);

// Which LFs are written as CR LF: each of them (the LF of a character), or those without a CR
// before them (the bytes of a line as read, whose CR LF pair is already there).
enum class CrLf { Every, Bare };

// Puts the bytes at out with the LFs written as CR LF; `previous` is the byte before them.
// Answers where the next go, and may write up to 16 bytes past that.
char* PutWithCrLf(char* out, std::string_view bytes, char previous, CrLf which);

// Puts the characters at out as UTF-16LE with each LF written as CR LF. Answers where the next
// go.
char* PutUtf16WithCrLf(char* out, std::u16string_view text);
// The same for single-byte text given as its bytes, each the character of its code. May write
// past where the next go, but within the four bytes for each byte given that an LF takes.
char* PutUtf16WithCrLf(char* out, std::string_view bytes);

}  // namespace zarvo
