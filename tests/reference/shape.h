#pragma once
// The shape of a generated file and its pairs: the few parameters a matrix or a fuzzer
// chooses, from which one seed makes the same file on every machine.
#include <cstddef>
#include <cstdint>
#include <string>

#include "reference/pairs.h"

namespace zarvo::reference {

enum class Engine { Text, Xml, Wizard };
enum class LineEnds { Lf, CrLf, LoneCr, Mixed };
enum class Encoding {
    Ascii,           // words, digits and punctuation alone, as most configuration files are:
                     // no control characters (the other encodings have a few)
    Latin1,          // bytes above 127 as their own characters
    Utf8,            // without a mark, characters beyond ASCII here and there
    Utf8LateWide,    // without a mark, ASCII but for a character beyond it in the last line
    Utf8LateBroken,  // without a mark, valid UTF-8 but for a Latin-1 byte in the last line
    Utf8WithMark,    // EF BB BF, with an ill-formed sequence here and there
    Utf16Le,         // FF FE
    Utf16Be,         // FE FF, which no rewrite reads
};
enum class Density {
    None,
    Few,        // about one line in 10,000
    AtEnd,      // the last line alone
    EveryLine,  // one to three on every line
};
enum class NameSet {
    Alike,      // NAME1, NAME2, ...: the tokens start with two characters
    FewStarts,  // INSTALLDIR, SERVERNAME, ...: three
    Different,  // INSTALLDIR, SERVERNAME, PORTNUMBER, DATADIR, ...: many
    Prefixes,   // N, NAME, NAME1, NAME10, ...: one inside the other
    Odd,        // empty, one character, one above 255, one holding brackets or blanks
};

inline constexpr std::size_t kVaryingLines = 0xFFFFFFFF;
inline constexpr std::size_t kReadBlockBytes = 64 * 1024;
inline constexpr std::size_t kWriteBufferBytes = 1024 * 1024;

struct Shape {
    Engine engine = Engine::Text;
    std::size_t bytes = 0;  // about: the last line may go past it
    std::size_t lineLength = 40;  // characters before the line end, or kVaryingLines
    LineEnds lineEnds = LineEnds::Lf;
    bool lastLineEnd = true;
    Encoding encoding = Encoding::Latin1;
    Density density = Density::EveryLine;
    // At each 64 KB of the file, a token, a line end or a character of several bytes stands
    // across the offset; at each megabyte, a token where there are any.
    bool acrossBlocks = false;
    std::size_t pairCount = 1;  // 1 to 20
    NameSet names = NameSet::Alike;
    bool chained = false;  // each value the next pair's name: X=Y, Y=Z
    // Values with backslashes, their own token, other pairs' tokens and line ends.
    bool valuesHoldTokens = false;
    // Values with a character above 255, which single-byte text cannot hold.
    bool wideValues = false;
    std::uint64_t seed = 1;
};

struct GeneratedFile {
    std::string bytes;
    Pairs pairs;                // the pairs of the command (Text, Xml)
    std::u16string replacement; // the text put in for the placeholder (Wizard)
};

GeneratedFile Generate(const Shape& shape);

// A name for the shape made of letters, digits and underscores.
std::string ShapeName(const Shape& shape);

}  // namespace zarvo::reference
