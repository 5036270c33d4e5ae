#pragma once
// The rows of the plain-text engine's table, and how far a row may go in a line.
#include <cstdint>
#include <string>

#include "substitution/file_rewrite.h"

namespace zarvo {

// A row as the command gives it, for the counts, and as the single-byte text it is found in
// and put into the lines as. A token beyond single-byte text is in no line: no line is
// searched for it.
struct TokenEntry {
    std::u16string token;
    std::u16string replacement;
    std::string tokenBytes;
    std::string replacementBytes;
    // The search goes on after what was put in rather than a token's length before it: a
    // replacement that holds its own token would be found again at once, and where no token
    // can stand even partly on a replacement, none can begin before its end.
    bool resumeAfterReplacement;
};

// Whether a row may make one more replacement in a line of `size` characters, its LF among
// them: the number of replacements is bounded, so that no pair of tokens can keep a line busy,
// and the line must stay within its capacity.
inline bool RoomForOneMore(std::uint32_t replaced, std::size_t size, const TokenEntry& row)
{
    return replaced < kSubstitutionLineCapacity &&
           size - row.tokenBytes.size() + row.replacementBytes.size() <= kSubstitutionLineCapacity;
}

}  // namespace zarvo
