#pragma once
// The part of the installer's query language that the library uses:
// SELECT columns FROM table [ORDER BY column], names bare or in backquotes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::sim {

struct SimQuery {
    std::vector<std::u16string> columns;  // empty: every column ("*")
    std::u16string table;
    std::optional<std::u16string> orderBy;
};

std::optional<SimQuery> ParseQuery(std::u16string_view text);

}  // namespace zarvo::sim
