#include "substitution/tokens_alone.h"

#include <algorithm>
#include <cstdint>

namespace zarvo {
namespace {

// The first row, in the table's order, from `from` on, that a token found belongs to; npos for
// none.
std::size_t FirstRowFrom(std::span<const TokenPlace> found, std::size_t from)
{
    std::size_t first = std::string_view::npos;
    for (const TokenPlace& token : found)
        if (token.row >= from && token.row < first) first = token.row;
    return first;
}

}  // namespace

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
    if (!std::ranges::all_of(found, [&](const TokenPlace& token) { return table_[token.row].resumeAfterReplacement; }))
        return false;
    std::fill_n(chosen_.begin(), found.size(), false);
    for (std::size_t row = FirstRowFrom(found, 0); row != std::string_view::npos; row = FirstRowFrom(found, row + 1)) {
        const TokenEntry& entry = table_[row];
        std::uint32_t made = 0;
        // In the order of their places: each token after the end of the row's last one, which
        // it would overlap otherwise, and on none that a row before replaced.
        for (std::size_t i = 0; i < found.size(); ++i) {
            if (found[i].row != row || OverlapsChosen(found, found[i].place, entry.tokenBytes.size())) continue;
            if (!RoomForOneMore(made, size, entry)) break;
            chosen_[i] = true;
            ++made;
            size = size - entry.tokenBytes.size() + entry.replacementBytes.size();
        }
        if (made > 0) rows_.Count(row, made);
    }
    return true;
}

bool TokensAlone::OverlapsChosen(std::span<const TokenPlace> found, std::size_t place, std::size_t size) const
{
    for (std::size_t i = 0; i < found.size(); ++i)
        if (chosen_[i] && place < found[i].place + table_[found[i].row].tokenBytes.size() && found[i].place < place + size)
            return true;
    return false;
}

}  // namespace zarvo
