// The 16-byte searches and copies held to plain ones on random text: places at, across and
// near the ends of chunks and texts, searches from every place, LFs with and without a CR.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "substitution/scanning/byte_scan.h"

namespace zarvo::test {
namespace {

template <class Char>
std::basic_string<Char> RandomText(std::mt19937& random, std::size_t shortest, std::size_t longest,
                                   std::basic_string_view<Char> from)
{
    std::basic_string<Char> text(std::uniform_int_distribution<std::size_t>(shortest, longest)(random), Char(' '));
    for (Char& c : text) c = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    return text;
}

template <class Char>
void FindAsAPlainSearchFinds(std::basic_string_view<Char> from)
{
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        const std::basic_string<Char> text = RandomText(random, 0, 70, from);
        // Tokens whose last unit stands in the next chunk of the text, too.
        const std::basic_string<Char> token = RandomText(random, 1, round % 2 == 0 ? 4 : 20, from.substr(0, 3));
        const std::basic_string_view<Char> view(text);
        for (std::size_t at = 0; at <= text.size() + 1; ++at) {
            ASSERT_EQ(FindToken(view, std::basic_string_view<Char>(token), at), view.find(token, at));
            ASSERT_EQ(FindLineEnd(view, std::min(at, text.size())), view.find(Char('\n'), std::min(at, text.size())));
        }
    }
}

TEST(ByteScan, FindsATokenAndALineEndWhereAPlainSearchFindsThem)
{
    FindAsAPlainSearchFinds<char>("ab\xE9\n");
    FindAsAPlainSearchFinds<char16_t>(u"ab\u0A0D\n");
}

TEST(ByteScan, FindsTheFirstByteAbove127)
{
    std::mt19937 random(13);
    for (int round = 0; round < 2000; ++round) {
        const std::string text = RandomText<char>(random, 0, 70, "abcdefghijklmnopqrstuvwxyz\n\xE9");
        const std::size_t expected = text.find('\xE9');
        ASSERT_EQ(FirstAbove127(text), expected == std::string::npos ? text.size() : expected);
    }
}

// Pairs of many kinds of high bits too, where the 16-place search finds more than it keeps; the
// places asked for from every place, in batches of every size, chunk ends among them.
TEST(ByteScan, FindsThePairPlacesAPlainWalkFinds)
{
    std::mt19937 random(14);
    const std::string alphabet = "ab\n\x01\x13\x27\x3F\x42\x5A\x6B\x7C\x8D\x9E\xAF\xC0\xFF";
    const auto pair = [](char first, char second) {
        return static_cast<unsigned char>(first) * 256u + static_cast<unsigned char>(second);
    };
    for (int round = 0; round < 500; ++round) {
        std::vector<bool> pairs(256 * 256);
        std::array<bool, 256> firsts{};
        std::vector<std::array<unsigned char, 2>> listed;
        for (const char first : alphabet)
            for (const char second : alphabet)
                if (random() % 8 == 0) {
                    pairs[pair(first, second)] = firsts[static_cast<unsigned char>(first)] = true;
                    listed.push_back({static_cast<unsigned char>(first), static_cast<unsigned char>(second)});
                }
        const BytePairs search(listed);
        const std::string text = RandomText<char>(random, 0, 90, alphabet);
        std::vector<std::size_t> expected;
        for (std::size_t at = 0; at < text.size(); ++at)
            if (at + 1 == text.size() ? firsts[static_cast<unsigned char>(text[at])] : pairs[pair(text[at], text[at + 1])])
                expected.push_back(at);
        const std::size_t batch = 1 + static_cast<std::size_t>(round % 5);
        for (std::size_t from = 0; from <= text.size(); ++from) {
            std::vector<std::size_t> places(batch);
            places.resize(search.Places(text, from, places));
            const auto start = std::lower_bound(expected.begin(), expected.end(), from);
            const auto count = std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(batch), expected.end() - start);
            const std::vector<std::size_t> wanted(start, start + count);
            ASSERT_EQ(places, wanted) << "from " << from;
        }
    }
}

// What a plain copy puts: each LF that `which` names after a CR, the units in the output's form.
template <class Char>
std::string PlainPut(std::basic_string_view<Char> text, Char previous, CrLf which, bool wide)
{
    std::string out;
    const auto put = [&](char16_t c) {
        out += static_cast<char>(c & 0xFF);
        if (wide) out += static_cast<char>(c >> 8);
    };
    for (const Char unit : text) {
        if (unit == Char('\n') && (which == CrLf::Every || previous != Char('\r'))) put(u'\r');
        put(CharacterOf(unit));
        previous = unit;
    }
    return out;
}

// Into exactly the room the writer makes, so that a write past it is caught.
template <class Char, class Put>
void PutAsAPlainCopyPuts(std::basic_string_view<Char> from, bool wide, Put put)
{
    std::mt19937 random(12);
    for (int round = 0; round < 2000; ++round) {
        const std::basic_string<Char> text = RandomText(random, 0, 70, from);
        const Char previous = round % 2 == 0 ? Char('\r') : Char('x');
        for (const CrLf which : {CrLf::Every, CrLf::Bare}) {
            std::string out(text.size() * 4 + kPutPastTheEnd, '\0');
            out.resize(static_cast<std::size_t>(put(out.data(), std::basic_string_view<Char>(text), previous, which) -
                                                out.data()));
            ASSERT_EQ(out, PlainPut(std::basic_string_view<Char>(text), previous, which, wide));
        }
    }
}

TEST(ByteScan, WritesEachLfOrEachBareLfAsCrLfInEitherEncoding)
{
    PutAsAPlainCopyPuts<char>("\r\n\n\nab\xE9", false, [](char* out, std::string_view text, char previous, CrLf which) {
        return PutWithCrLf(out, text, previous, which);
    });
    PutAsAPlainCopyPuts<char>("\r\n\n\nab\xE9", true, [](char* out, std::string_view text, char previous, CrLf which) {
        return PutUtf16WithCrLf(out, text, previous, which);
    });
    PutAsAPlainCopyPuts<char16_t>(u"\r\n\n\nab\u00E9\u20AC\u0A0D", true,
                                  [](char* out, std::u16string_view text, char16_t previous, CrLf which) {
                                      return PutUtf16WithCrLf(out, text, previous, which);
                                  });
}

}  // namespace
}  // namespace zarvo::test
