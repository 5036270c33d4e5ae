// The shape generator makes the files its parameters promise: a matrix whose files silently
// lacked their tokens, their boundaries or their encoding would hold the engines to nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "reference/decode.h"
#include "reference/shape_matrix.h"

namespace zarvo::reference {
namespace {

constexpr std::size_t kMegabyte = 1024 * 1024;

Shape Plain(Engine engine, std::size_t bytes)
{
    Shape shape;
    shape.engine = engine;
    shape.bytes = bytes;
    shape.encoding = Encoding::Ascii;
    shape.density = Density::None;
    return shape;
}

TEST(ShapeGenerator, MakesTheSameFileFromTheSameSeedAndAnotherFromAnother)
{
    Shape shape = Plain(Engine::Text, 50000);
    shape.lineLength = kVaryingLines;
    shape.density = Density::EveryLine;
    shape.encoding = Encoding::Latin1;
    const GeneratedFile first = Generate(shape);
    EXPECT_EQ(Generate(shape).bytes, first.bytes);
    shape.seed = 2;
    EXPECT_NE(Generate(shape).bytes, first.bytes);
    EXPECT_GE(first.bytes.size(), 50000u);
    EXPECT_LT(first.bytes.size(), 50000u + 13 * 4999);
}

TEST(ShapeGenerator, PutsALineEndPairAcrossEveryBlockBoundary)
{
    Shape shape = Plain(Engine::Xml, 3 * kMegabyte);
    shape.lineEnds = LineEnds::CrLf;
    shape.acrossBlocks = true;
    const std::string bytes = Generate(shape).bytes;
    for (std::size_t boundary = kReadBlockBytes; boundary < bytes.size(); boundary += kReadBlockBytes)
        ASSERT_EQ(bytes.substr(boundary - 1, 2), "\r\n") << boundary;
}

TEST(ShapeGenerator, PutsATokenAcrossEachMegabyteWhereTheFileHasTokens)
{
    Shape shape = Plain(Engine::Text, 3 * kMegabyte);
    shape.density = Density::Few;
    shape.acrossBlocks = true;
    const GeneratedFile file = Generate(shape);
    const std::string name = "NAME1";
    for (std::size_t boundary = kMegabyte; boundary < file.bytes.size(); boundary += kMegabyte) {
        const std::size_t before = file.bytes.rfind(name, boundary);
        ASSERT_NE(before, std::string::npos);
        EXPECT_LT(boundary - before, 12u) << boundary;
    }
}

TEST(ShapeGenerator, PutsACharacterOfSeveralBytesAcrossABoundaryInUtf16)
{
    Shape shape = Plain(Engine::Xml, 200000);
    shape.encoding = Encoding::Utf16Le;
    shape.acrossBlocks = true;
    const std::string bytes = Generate(shape).bytes;
    ASSERT_EQ(bytes.size() % 2, 0u);
    const std::u16string text = Utf16LeText(std::string_view(bytes).substr(2));
    // The high surrogate of U+1F600 just before the boundary, its low one just after.
    EXPECT_EQ(text.substr(kReadBlockBytes / 2 - 2, 2), u"\U0001F600");
}

TEST(ShapeGenerator, EndsTheSparseFileWithItsOneTokenAndLeavesTheFirstMegabyteWithout)
{
    const GeneratedFile file = Generate(SparseAsciiShape(Engine::Text, 2));
    ASSERT_EQ(file.pairs.size(), 2u);
    EXPECT_EQ(file.pairs[0].name, u"INSTALLDIR");
    EXPECT_EQ(file.pairs[1].name, u"SERVERNAME");
    EXPECT_TRUE(file.bytes.ends_with("\nPath=<INSTALLDIR>\n"));
    EXPECT_GT(file.bytes.size(), 3 * kMegabyte);
    // Not even the first characters of the tokens.
    EXPECT_EQ(file.bytes.find_first_of("<IS"), file.bytes.size() - 13);
}

TEST(ShapeGenerator, KeepsTheEncodingsPromises)
{
    Shape shape = Plain(Engine::Xml, 100000);
    shape.lastLineEnd = false;
    shape.encoding = Encoding::Utf8LateWide;
    std::string bytes = Generate(shape).bytes;
    EXPECT_TRUE(bytes.ends_with("\xC3\xA9"));
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end() - 2, [](char c) { return (c & 0x80) == 0; }));
    shape.encoding = Encoding::Utf8LateBroken;
    bytes = Generate(shape).bytes;
    EXPECT_TRUE(bytes.ends_with("\xE9"));
    EXPECT_TRUE(Utf8Decoded(bytes.substr(0, bytes.size() - 1)).valid);
    EXPECT_FALSE(Utf8Decoded(bytes).valid);
    shape.encoding = Encoding::Utf8;
    EXPECT_TRUE(Utf8Decoded(Generate(shape).bytes).valid);
    shape.encoding = Encoding::Utf8WithMark;
    bytes = Generate(shape).bytes;
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
    EXPECT_FALSE(Utf8Decoded(bytes).valid);
}

TEST(ShapeMatrix, HoldsEveryEngineToFilesOfSeveralMegabytesWithFewTokensUnderWineToo)
{
    for (const Engine engine : {Engine::Text, Engine::Xml, Engine::Wizard})
        for (const bool underWine : {false, true}) {
            const std::vector<Shape> shapes = MatrixShapes(engine, underWine);
            EXPECT_TRUE(std::ranges::any_of(shapes, [](const Shape& shape) {
                return shape.bytes >= 3 * kMegabyte && (shape.density == Density::Few || shape.density == Density::AtEnd);
            }));
            for (const Shape& shape : shapes) EXPECT_EQ(shape.engine, engine);
            EXPECT_GT(shapes.size(), underWine ? 8u : 80u);
        }
}

}  // namespace
}  // namespace zarvo::reference
