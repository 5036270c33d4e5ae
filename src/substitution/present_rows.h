#pragma once
// The rows of an engine's table applied to each line in their order, each on the line as
// the rows before it left it, and counted for the log. A row whose token is not in the line
// has nothing to do and is passed over; a replacement may bring in a later row's token, so
// after one every later row is tried.
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/file_rewrite.h"
#include "substitution/token_presence.h"

namespace zarvo {

class PresentRows {
public:
    // The rows' tokens, in the table's order. Counted beside the table, which is made before
    // the file is touched: nothing is allocated once the target may have been replaced.
    explicit PresentRows(const std::vector<std::u16string_view>& tokens);

    // Applies row N of the table with applyRow(line, N), which answers the replacements made.
    // Once a row has changed the line, the later rows look for their tokens themselves.
    template <typename ApplyRow>
    void Apply(std::u16string& line, ApplyRow applyRow)
    {
        presence_.Find(line, present_);
        bool changed = false;
        for (std::size_t row = 0; row < counts_.size(); ++row) {
            if (!changed && !present_[row]) continue;
            const std::uint32_t made = applyRow(line, row);
            counts_[row].Add(made);
            changed = changed || made != 0;
        }
    }

    // The characters below 256 that the tokens start with: a line of single-byte text that
    // holds none of them has nothing to do.
    std::bitset<256> FirstCharacters() const { return presence_.FirstCharacters(); }

    // The replacements per token, once the file is done.
    std::vector<TokenCount> TakeCounts() { return std::move(counts_); }

private:
    std::vector<TokenCount> counts_;
    TokenPresence presence_;
    std::vector<char> present_;
};

}  // namespace zarvo
