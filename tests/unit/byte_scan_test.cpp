// The 16-byte searches and copies held to plain ones on random bytes: tokens at, across and
// near the ends of chunks and texts, searches from every place, LFs with and without a CR.
#include <gtest/gtest.h>

#include <random>
#include <string>

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
