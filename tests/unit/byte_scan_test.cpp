// The 16-byte searches and copies held to plain ones on random bytes: tokens at, across and
// near the ends of chunks and texts, searches from every place, LFs with and without a CR.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "substitution/byte_scan.h"

namespace zarvo::test {
namespace {

std::string RandomBytes(std::mt19937& random, std::size_t shortest, std::size_t longest, std::string_view from)
{
    std::string bytes(std::uniform_int_distribution<std::size_t>(shortest, longest)(random), ' ');
    for (char& byte : bytes) byte = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    return bytes;
}

TEST(ByteScan, FindsATokenWhereAPlainSearchFindsIt)
{
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        const std::string text = RandomBytes(random, 0, 70, "ab\xE9");
        const std::string token = RandomBytes(random, 1, 4, "ab\xE9");
        for (std::size_t from = 0; from <= text.size() + 1; ++from)
            ASSERT_EQ(FindToken(text, token, from), std::string_view(text).find(token, from))
                << ::testing::PrintToString(text) << " " << ::testing::PrintToString(token) << " from " << from;
    }
}

// The places a plain search finds, each searched for from the end of the one before.
std::vector<std::size_t> PlacesEachAfterTheLast(std::string_view text, std::string_view token, std::size_t from)
{
    std::vector<std::size_t> places;
    for (std::size_t at = text.find(token, from); at != std::string_view::npos; at = text.find(token, at + token.size()))
        places.push_back(at);
    return places;
}

TEST(ByteScan, FindsInBatchesEachTokenAfterTheEndOfTheOneBefore)
{
    std::mt19937 random(14);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomBytes(random, 0, 90, round % 2 == 0 ? "ab" : "abc\xE9");
        const std::string token = RandomBytes(random, 1, 5, "ab");
        const std::size_t from = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
        std::vector<std::size_t> batch(std::uniform_int_distribution<std::size_t>(1, 5)(random));
        std::vector<std::size_t> found;
        for (std::size_t next = from;;) {
            const std::size_t count = FindTokens(text, token, next, batch);
            found.insert(found.end(), batch.begin(), batch.begin() + static_cast<std::ptrdiff_t>(count));
            if (count < batch.size()) break;
            next = found.back() + token.size();
        }
        ASSERT_EQ(found, PlacesEachAfterTheLast(text, token, from))
            << ::testing::PrintToString(text) << " " << ::testing::PrintToString(token) << " from " << from;
    }
}

// Tokens that overlap themselves ("aba") or not ("ab"), within 16 bytes and past them, in texts
// of many chunks dense with them.
TEST(ByteScan, ReplacesInPlaceEachTokenAfterTheEndOfTheOneBefore)
{
    std::mt19937 random(15);
    for (int round = 0; round < 3000; ++round) {
        std::string text = RandomBytes(random, 0, 120, round % 3 == 0 ? "abc" : "ab");
        const std::string token = round % 10 == 0 ? "ab" + RandomBytes(random, 14, 17, "ab") : RandomBytes(random, 1, 5, "ab");
        const std::string replacement = RandomBytes(random, token.size(), token.size(), "abxy");
        std::string expected = text;
        const std::vector<std::size_t> places = PlacesEachAfterTheLast(text, token, 0);
        for (const std::size_t at : places) expected.replace(at, token.size(), replacement);
        const std::string before = text;
        ASSERT_EQ(ReplaceEachInPlace(text, token, replacement), places.size())
            << ::testing::PrintToString(before) << " " << ::testing::PrintToString(token);
        ASSERT_EQ(text, expected) << ::testing::PrintToString(before) << " " << ::testing::PrintToString(token);
    }
}

TEST(ByteScan, WidensEachByteToTheCharacterOfItsCode)
{
    std::mt19937 random(16);
    for (int round = 0; round < 500; ++round) {
        const std::string bytes = RandomBytes(random, 0, 70, "a\n\x80\xFF");
        std::u16string out(bytes.size() + 1, u'!');
        Widen(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out.data());
        std::u16string expected;
        for (const char byte : bytes) expected += static_cast<char16_t>(static_cast<unsigned char>(byte));
        ASSERT_EQ(out, expected + u"!");
    }
}

TEST(ByteScan, WritesEachLfOrEachBareLfAsCrLf)
{
    std::mt19937 random(12);
    for (int round = 0; round < 2000; ++round) {
        const std::string bytes = RandomBytes(random, 0, 70, "\r\n\n\nab");
        const char previous = round % 2 == 0 ? '\r' : 'x';
        for (const CrLf which : {CrLf::Every, CrLf::Bare}) {
            std::string expected;
            char before = previous;
            for (const char byte : bytes) {
                if (byte == '\n' && (which == CrLf::Every || before != '\r')) expected += '\r';
                expected += byte;
                before = byte;
            }
            std::string out(bytes.size() * 2 + 16, '\0');
            out.resize(static_cast<std::size_t>(PutWithCrLf(out.data(), bytes, previous, which) - out.data()));
            ASSERT_EQ(out, expected) << ::testing::PrintToString(bytes);
        }
    }
}

TEST(ByteScan, WritesCharactersAsUtf16LeWithEachLfAsCrLf)
{
    std::mt19937 random(17);
    const std::u16string from = u"ab\n\r\u00E9\u20AC\u0A0D";
    for (int round = 0; round < 2000; ++round) {
        std::u16string text(std::uniform_int_distribution<std::size_t>(0, 40)(random), u' ');
        for (char16_t& c : text) c = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
        std::string expected;
        for (const char16_t c : text) {
            if (c == u'\n') expected += std::string("\r\0", 2);
            expected += static_cast<char>(c & 0xFF);
            expected += static_cast<char>(c >> 8);
        }
        std::string out(text.size() * 4 + 16, '\0');
        out.resize(static_cast<std::size_t>(PutUtf16WithCrLf(out.data(), text) - out.data()));
        ASSERT_EQ(out, expected);
    }
}

TEST(ByteScan, WritesBytesAsUtf16LeAsTheCharactersOfTheirCodes)
{
    std::mt19937 random(19);
    for (int round = 0; round < 2000; ++round) {
        const std::string bytes = RandomBytes(random, 0, 60, "ab\n\r\xE9\xFF");
        std::u16string text;
        for (const char byte : bytes) text += CharacterOf(byte);
        std::string expected(text.size() * 4 + 16, '\0');
        expected.resize(static_cast<std::size_t>(PutUtf16WithCrLf(expected.data(), text) - expected.data()));
        // Exactly the room the writer makes for them, so that a write past it is caught.
        const auto out = std::make_unique<char[]>(bytes.size() * 4);
        ASSERT_EQ(std::string(out.get(), PutUtf16WithCrLf(out.get(), bytes)), expected) << ::testing::PrintToString(bytes);
    }
}

// Checks, from random places of random texts, that the places found batch by batch are each
// place of the few characters.
template <class Char>
void FindEachPlaceOfAFew(std::basic_string_view<Char> from, const std::array<Char, kFewStops>& few)
{
    std::mt19937 random(18);
    for (int round = 0; round < 2000; ++round) {
        std::basic_string<Char> text(std::uniform_int_distribution<std::size_t>(0, 40)(random), Char(' '));
        for (Char& c : text) c = from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
        const std::size_t start = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
        std::vector<std::size_t> expected;
        for (std::size_t at = start; at < text.size(); ++at)
            if (std::ranges::find(few, text[at]) != few.end()) expected.push_back(at);
        std::vector<std::size_t> batch(std::uniform_int_distribution<std::size_t>(1, 5)(random)), found;
        for (std::size_t next = start;;) {
            const std::size_t count = PlacesOfFew(std::basic_string_view<Char>(text), next, few, batch);
            found.insert(found.end(), batch.begin(), batch.begin() + static_cast<std::ptrdiff_t>(count));
            ASSERT_LE(found.size(), text.size()) << "places found again";
            if (count < batch.size()) break;
            next = found.back() + 1;
        }
        ASSERT_EQ(found, expected) << "from " << start;
    }
}

// One, two, three and four different characters, given again in any place.
TEST(ByteScan, FindsInBatchesEachPlaceOfAFewCharacters)
{
    FindEachPlaceOfAFew<char16_t>(u"<ab\u3C00\u003C\n", {u'<', u'\u3C00', u'<', u'<'});
    FindEachPlaceOfAFew<char16_t>(u"<ab\u3C00\u003C\n", {u'\n', u'\n', u'\n', u'\n'});
    FindEachPlaceOfAFew<char>("<ab\xE9\n>", {'<', '\xE9', '>', 'a'});
    FindEachPlaceOfAFew<char>("<ab\xE9\n>", {'<', 'N', '\n', '\n'});
    FindEachPlaceOfAFew<char>("<ab\xE9\n>", {'a', '\n', 'a', '>'});
    FindEachPlaceOfAFew<char>("<ab\xE9\n>", {'>', '>', '>', '>'});
}

// Places taken one after another from texts with more of them than a batch holds.
TEST(ByteScan, TakesEachPlaceOfAFewBytesInOrder)
{
    std::mt19937 random(21);
    const std::array<char, kFewStops> few{'<', '\n', '\n', '\n'};
    for (int round = 0; round < 300; ++round) {
        const std::string text = RandomBytes(random, 0, 600, "<<\nab");
        std::vector<std::size_t> expected, taken;
        for (std::size_t at = 0; at < text.size(); ++at)
            if (text[at] == '<' || text[at] == '\n') expected.push_back(at);
        for (PlacesInOrder<char> places(text, few); places.Current() != std::string_view::npos; places.Advance())
            taken.push_back(places.Current());
        ASSERT_EQ(taken, expected) << ::testing::PrintToString(text);
    }
}

// The run that needs no decoding ends at a CR, at an LF unless it is of whole lines, and in
// UTF-8 at a byte above 127.
TEST(ByteScan, EndsARunOfPlainTextWhereAByteByByteLookWould)
{
    std::mt19937 random(22);
    for (const PlainStops stops : {PlainStops{true, true}, PlainStops{true, false}, PlainStops{false, true},
                                   PlainStops{false, false}}) {
        for (int round = 0; round < 1000; ++round) {
            const std::string text = RandomBytes(random, 0, 70, "abcdefghijklmnopqrstuvwxyz\n\r\xE9");
            std::size_t expected = 0;
            for (; expected < text.size(); ++expected) {
                const auto byte = static_cast<unsigned char>(text[expected]);
                if (byte == '\r' || (stops.lineFeed && byte == '\n') || (stops.above127 && byte > 127)) break;
            }
            ASSERT_EQ(PlainTextLength(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), stops), expected)
                << ::testing::PrintToString(text);
        }
    }
}

TEST(ByteScan, FindsTheFirstByteOfASetOfAnySize)
{
    std::mt19937 random(13);
    for (const ByteSet& set : {ByteSet(), ByteSet().set('a'), ByteSet().set('a').set('\n').set(0xE9).set('c'),
                               ByteSet().set('a').set('b').set('c').set('d').set(0xE9)}) {
        const ByteSearch search(set);
        for (int round = 0; round < 500; ++round) {
            const std::string text = RandomBytes(random, 0, 70, "abcdxyz\n\xE9");
            std::size_t expected = 0;
            while (expected < text.size() && !set.test(static_cast<unsigned char>(text[expected]))) ++expected;
            ASSERT_EQ(search.First(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), expected);
        }
    }
}

}  // namespace
}  // namespace zarvo::test
