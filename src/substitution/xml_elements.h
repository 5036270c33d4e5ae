#pragma once
// An element of an XML substitution: its tags, the content it gets, and whether that fits a line.
#include <cstddef>

#include "substitution/file_rewrite.h"

namespace zarvo {

// An element's tags and the content it gets, as characters, or as the bytes of single-byte
// text for the lines read undecoded.
template <class Text>
struct ElementEntry {
    Text opening;
    Text closing;
    Text value;
};

// Whether a line of `lineSize` characters, its LF among them, still fits a line's capacity with
// a value of `valueSize` in place of the content between the tags, from `content` to `close`.
inline bool ValueFits(std::size_t lineSize, std::size_t content, std::size_t close, std::size_t valueSize)
{
    return lineSize - (close - content) + valueSize <= kSubstitutionLineCapacity;
}

}  // namespace zarvo
