#include "reference/text_model.h"

#include <algorithm>

#include "reference/decode.h"
#include "reference/lines.h"

namespace zarvo::reference {
namespace {

// The README's bound on the replacements of one token in one line.
constexpr std::size_t kMostReplacements = 4999;
constexpr std::size_t kMostPairs = 20;

struct Row {
    std::u16string token;
    std::u16string replacement;
};

std::u16string BackslashesDoubled(const std::u16string& value)
{
    std::u16string doubled;
    for (const char16_t c : value) {
        if (c == u'\\') doubled += c;
        doubled += c;
    }
    return doubled;
}

// Two rows a pair, bracketed first. A value single-byte text cannot hold brings no row; an
// empty name has no bare row.
std::vector<Row> RowsOf(const Pairs& pairs)
{
    std::vector<Row> rows;
    for (std::size_t i = 0; i < std::min(pairs.size(), kMostPairs); ++i) {
        const Pair& pair = pairs[i];
        if (std::ranges::any_of(pair.value, [](char16_t c) { return c > 0xFF; })) continue;
        rows.push_back({u"<" + pair.name + u">", BackslashesDoubled(pair.value)});
        if (!pair.name.empty()) rows.push_back({pair.name, pair.value});
    }
    return rows;
}

// Every occurrence, each search from the line's start, while the line has room. A
// replacement that holds its token has the search go on after it instead. The first
// occurrence was the first in the line, so the line before it holds none and a search from
// just ahead of it, where one could reach into the replacement, finds what a search from the
// start finds.
void Apply(const Row& row, std::u16string& line)
{
    const bool holdsItsToken = row.replacement.find(row.token) != std::u16string::npos;
    std::size_t at = line.find(row.token);
    for (std::size_t made = 0; at != std::u16string::npos && made < kMostReplacements; ++made) {
        if (line.size() - row.token.size() + row.replacement.size() > kLineCapacity) return;
        line.replace(at, row.token.size(), row.replacement);
        const std::size_t from = holdsItsToken ? at + row.replacement.size()
                                               : at + 1 - std::min(at + 1, row.token.size());
        at = line.find(row.token, from);
    }
}

}  // namespace

Rewritten ExpectedTextRewrite(std::string_view file, const Pairs& pairs)
{
    if (file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF")) return std::nullopt;
    const std::vector<Row> rows = RowsOf(pairs);
    std::vector<std::u16string> lines = LinesAsRead(SingleByteText(file), kLineCapacity);
    for (std::u16string& line : lines)
        for (const Row& row : rows) Apply(row, line);
    return WrittenAsSingleByte(lines);
}

}  // namespace zarvo::reference
