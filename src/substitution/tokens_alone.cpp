#include "substitution/tokens_alone.h"

#include <algorithm>
#include <cstdint>

namespace zarvo {

bool TokensAlone::Replace(std::string& line, std::string& spare)
{
    const std::optional<std::size_t> count = rows_.TokensAlone(line, found_);
    if (!count) return false;
    const std::span<const TokenPlace> found = std::span(found_).first(*count);
    if (!Choose(found, line.size())) return false;
    spare.clear();
    std::size_t taken = 0;  // bytes of the line already in `spare`
    for (std::size_t i = 0; i < found.size(); ++i)
        if (chosen_[i]) {
            spare.append(line, taken, found[i].place - taken).append(table_[found[i].row].replacementBytes);
            taken = found[i].place + table_[found[i].row].tokenBytes.size();
        }
    // Nothing was chosen: no token is empty.
    if (taken == 0) return true;
    spare.append(line, taken);
    line.swap(spare);
    return true;
}

bool TokensAlone::Replace(std::string_view line, std::span<const std::size_t> starts, BlockLines& block)
{
    const std::optional<std::size_t> count = rows_.TokensAlone(line, starts, found_);
    if (!count) return false;
    const std::span<const TokenPlace> found = std::span(found_).first(*count);
    // The line as read ends in an LF.
    if (!Choose(found, line.size() + 1)) return false;
    for (std::size_t i = 0; i < found.size(); ++i)
        if (chosen_[i]) {
            const TokenEntry& entry = table_[found[i].row];
            block.Replace(line, found[i].place, found[i].place + entry.tokenBytes.size(), entry.replacementBytes);
        }
    return true;
}

bool TokensAlone::Choose(std::span<const TokenPlace> found, std::size_t size)
{
    // The tokens found by their rows, each row's in the order of their places, as they stand.
    std::array<std::uint8_t, kMostTokens> order;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (!table_[found[i].row].resumeAfterReplacement) return false;
        std::size_t at = i;
        for (; at > 0 && found[order[at - 1]].row > found[i].row; --at) order[at] = order[at - 1];
        order[at] = static_cast<std::uint8_t>(i);
    }
    std::fill_n(chosen_.begin(), found.size(), false);
    std::size_t chosen = 0;
    for (std::size_t k = 0; k < found.size();) {
        const std::size_t row = found[order[k]].row;
        const TokenEntry& entry = table_[row];
        std::uint32_t made = 0;
        bool room = true;
        // Each token after the end of the row's last one, which it would overlap otherwise, and
        // on none that a row before replaced.
        for (; k < found.size() && found[order[k]].row == row; ++k) {
            const TokenPlace& token = found[order[k]];
            if (!room || OverlapsChosen(found, chosen, token.place, entry.tokenBytes.size())) continue;
            room = RoomForOneMore(made, size, entry);
            if (!room) continue;
            chosen_[order[k]] = true;
            chosenOrder_[chosen++] = order[k];
            ++made;
            size = size - entry.tokenBytes.size() + entry.replacementBytes.size();
        }
        if (made > 0) rows_.Count(row, made);
    }
    return true;
}

bool TokensAlone::OverlapsChosen(std::span<const TokenPlace> found, std::size_t chosen, std::size_t place,
                                 std::size_t size) const
{
    for (std::size_t k = 0; k < chosen; ++k) {
        const TokenPlace& token = found[chosenOrder_[k]];
        if (place < token.place + table_[token.row].tokenBytes.size() && token.place < place + size) return true;
    }
    return false;
}

}  // namespace zarvo
