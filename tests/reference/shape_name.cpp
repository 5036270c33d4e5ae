// A shape's name, for the matrix's test names and for messages.
#include <string>

#include "reference/shape.h"

namespace zarvo::reference {
namespace {

const char* EngineName(Engine engine)
{
    static constexpr const char* kNames[] = {"text", "xml", "wizard"};
    return kNames[static_cast<int>(engine)];
}

const char* LineEndsName(LineEnds ends)
{
    static constexpr const char* kNames[] = {"lf", "crlf", "cr", "mixed"};
    return kNames[static_cast<int>(ends)];
}

const char* EncodingName(Encoding encoding)
{
    static constexpr const char* kNames[] = {"ascii", "latin1", "utf8", "utf8latewide", "utf8latebroken",
                                             "utf8bom", "utf16le", "utf16be"};
    return kNames[static_cast<int>(encoding)];
}

const char* DensityName(Density density)
{
    static constexpr const char* kNames[] = {"notokens", "fewtokens", "tokenatend", "tokenseveryline"};
    return kNames[static_cast<int>(density)];
}

const char* NameSetName(NameSet names)
{
    static constexpr const char* kNames[] = {"alike", "fewstarts", "different", "prefixes", "odd"};
    return kNames[static_cast<int>(names)];
}

}  // namespace

std::string ShapeName(const Shape& shape)
{
    std::string name = std::string(EngineName(shape.engine)) + "_" + std::to_string(shape.bytes) + "bytes_";
    name += shape.lineLength == kVaryingLines ? "varyinglines" : "lines" + std::to_string(shape.lineLength);
    name += std::string("_") + LineEndsName(shape.lineEnds) + (shape.lastLineEnd ? "" : "_nolastend");
    name += std::string("_") + EncodingName(shape.encoding) + "_" + DensityName(shape.density);
    name += shape.acrossBlocks ? "_acrossblocks" : "";
    name += "_" + std::to_string(shape.pairCount) + NameSetName(shape.names);
    name += shape.chained ? "_chained" : "";
    name += shape.valuesHoldTokens ? "_valuetokens" : "";
    name += shape.wideValues ? "_widevalues" : "";
    return name + "_seed" + std::to_string(shape.seed);
}

}  // namespace zarvo::reference
