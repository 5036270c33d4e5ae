#pragma once
// Lines whose rows bring in no other rewritten once, from the tokens where they stood as read,
// rather than searched and made again for each row in turn.
//
// Where no row found in a line can make or touch another row's token, and each takes the
// tokens of the line as it was, one after another (resumeAfterReplacement), a row's tokens in
// the line the rows before it left are those of the line as read that no earlier row replaced
// any part of. Applying the rows in turn is then choosing, row by row in the table's order,
// each token after the end of the row's last one and on none replaced before, while there is
// room.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/block_lines.h"
#include "substitution/present_rows.h"
#include "substitution/text_rows.h"

namespace zarvo {

class TokensAlone {
public:
    TokensAlone(const std::vector<TokenEntry>& table, PresentRows& rows) : table_(table), rows_(rows) {}

    // Rewrites a line, given as its characters' bytes, using `spare`, a buffer of the line's
    // capacity. Answers false, leaving the line as it is, where a row takes tokens otherwise or
    // the line holds too many: the rows then go through it one by one.
    bool Replace(std::string& line, std::string& spare);
    // The same for a line in a block, its characters before its LF or CR LF, found from the
    // places of the tokens' first characters: the replacements are made through the block.
    bool Replace(std::string_view line, std::span<const std::size_t> starts, BlockLines& block);

private:
    // Marks the tokens replaced, of those found in a line of `size` characters, its LF among
    // them, in the order of their places; counted for the log. Answers false where a row takes
    // tokens otherwise.
    bool Choose(std::span<const TokenPlace> found, std::size_t size);
    // Whether a token of this size at `place` would overlap one of the first tokens chosen.
    bool OverlapsChosen(std::span<const TokenPlace> found, std::size_t chosen, std::size_t place,
                        std::size_t size) const;

    // The most tokens a line may hold to be rewritten so.
    static constexpr std::size_t kMostTokens = 32;
    const std::vector<TokenEntry>& table_;
    PresentRows& rows_;
    std::array<TokenPlace, kMostTokens> found_;
    // Which of them are replaced, and those in the order they were chosen.
    std::array<bool, kMostTokens> chosen_;
    std::array<std::uint8_t, kMostTokens> chosenOrder_;
};

}  // namespace zarvo
