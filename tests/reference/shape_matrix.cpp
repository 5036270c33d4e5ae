#include "reference/shape_matrix.h"

#include <array>
#include <span>

namespace zarvo::reference {
namespace {

constexpr std::size_t kMegabyte = 1024 * 1024;

constexpr std::size_t kSizes[] = {0,      1,      17,     2500,   4999,        5000,   40000,  65535,
                                  65536,  65537,  70000,  100000, 150000,      200000, 300000, kMegabyte + 100};
constexpr std::size_t kTextLengths[] = {40, 0, 1, kVaryingLines, 4997, 4998, 4999, 5000, 5001, 9998, 70000, 80};
constexpr std::size_t kWizardLengths[] = {40, 0, 1, kVaryingLines, 517, 518, 519, 520, 521, 1038, 70000, 80};
constexpr Encoding kSingleByteEncodings[] = {Encoding::Ascii,        Encoding::Latin1, Encoding::Utf8,
                                             Encoding::Utf8WithMark, Encoding::Utf8LateWide, Encoding::Latin1,
                                             Encoding::Utf16Le};
constexpr Encoding kXmlEncodings[] = {Encoding::Ascii, Encoding::Latin1,       Encoding::Utf8,         Encoding::Utf8LateWide,
                                      Encoding::Utf8LateBroken, Encoding::Utf8WithMark, Encoding::Utf16Le,
                                      Encoding::Utf8WithMark, Encoding::Utf16Le,      Encoding::Utf16Be};
constexpr LineEnds kLineEnds[] = {LineEnds::Lf, LineEnds::CrLf, LineEnds::LoneCr, LineEnds::Mixed};
constexpr Density kDensities[] = {Density::None, Density::Few, Density::AtEnd, Density::EveryLine};
constexpr NameSet kNameSets[] = {NameSet::Alike, NameSet::FewStarts, NameSet::Different, NameSet::Prefixes,
                                 NameSet::Odd};

std::span<const Encoding> EncodingsOf(Engine engine)
{
    if (engine == Engine::Xml) return kXmlEncodings;
    return kSingleByteEncodings;
}

// The parameters that are not crossed turn with the shape's number, each at its own pace.
Shape Turned(Engine engine, std::size_t i)
{
    const std::span<const std::size_t> lengths = engine == Engine::Wizard ? std::span(kWizardLengths)
                                                                          : std::span(kTextLengths);
    const std::span<const Encoding> encodings = EncodingsOf(engine);
    Shape shape;
    shape.engine = engine;
    shape.bytes = kSizes[i % std::size(kSizes)];
    shape.lineLength = lengths[i % lengths.size()];
    shape.encoding = encodings[i % encodings.size()];
    shape.acrossBlocks = i % 2 == 1;
    shape.lastLineEnd = i % 3 != 0;
    shape.pairCount = 1 + i % 10;
    shape.chained = i % 4 == 1;
    shape.valuesHoldTokens = i % 3 == 2;
    shape.wideValues = i % 7 == 3;
    shape.seed = 1000 * static_cast<std::size_t>(engine) + i;
    return shape;
}

std::vector<Shape> Crossed(Engine engine)
{
    std::vector<Shape> shapes;
    for (const LineEnds ends : kLineEnds)
        for (const Density density : kDensities)
            for (const NameSet names : kNameSets) {
                Shape shape = Turned(engine, shapes.size());
                shape.lineEnds = ends;
                shape.density = density;
                shape.names = names;
                shapes.push_back(shape);
            }
    return shapes;
}

Shape Large(Engine engine, std::size_t bytes, Density density, LineEnds ends, std::uint64_t seed)
{
    Shape shape = Turned(engine, seed);
    shape.bytes = bytes;
    shape.lineLength = kVaryingLines;
    shape.lineEnds = ends;
    shape.density = density;
    shape.acrossBlocks = true;
    shape.lastLineEnd = true;
    shape.encoding = engine == Engine::Xml ? Encoding::Utf8WithMark : Encoding::Ascii;
    shape.names = NameSet::FewStarts;
    shape.pairCount = 2;
    shape.wideValues = false;
    shape.seed = seed;
    return shape;
}

}  // namespace

Shape SparseAsciiShape(Engine engine, std::size_t pairCount)
{
    Shape shape;
    shape.engine = engine;
    shape.bytes = 3 * kMegabyte;
    shape.lineLength = 30;
    shape.lineEnds = LineEnds::Lf;
    shape.encoding = Encoding::Ascii;
    shape.density = Density::AtEnd;
    shape.names = NameSet::FewStarts;
    shape.pairCount = pairCount;
    shape.seed = 1000 * static_cast<std::size_t>(engine) + 3 + pairCount;
    return shape;
}

std::vector<Shape> MatrixShapes(Engine engine, bool underWine)
{
    const std::vector<Shape> crossed = Crossed(engine);
    std::vector<Shape> shapes;
    // Under Wine, every eleventh and thirteenth crossed shape (steps that no parameter's
    // turn divides, so that every one still turns), no larger than a few hundred kilobytes.
    for (std::size_t i = 0; i < crossed.size(); ++i)
        if (!underWine || ((i % 11 == 0 || i % 13 == 0) && crossed[i].bytes <= 300000)) shapes.push_back(crossed[i]);
    shapes.push_back(Large(engine, 4 * kMegabyte, Density::Few, LineEnds::CrLf, 11));
    shapes.push_back(SparseAsciiShape(engine, 1));
    shapes.push_back(Large(engine, 2 * kMegabyte, Density::EveryLine, LineEnds::CrLf, 15));
    if (underWine) return shapes;
    shapes.push_back(SparseAsciiShape(engine, 2));
    shapes.push_back(Large(engine, 8 * kMegabyte, Density::Few, LineEnds::Lf, 12));
    shapes.push_back(Large(engine, 3 * kMegabyte, Density::AtEnd, LineEnds::Mixed, 13));
    shapes.push_back(Large(engine, 2 * kMegabyte, Density::EveryLine, LineEnds::Lf, 14));
    return shapes;
}

}  // namespace zarvo::reference
