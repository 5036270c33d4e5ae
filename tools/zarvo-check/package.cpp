#include "package.h"

#include <algorithm>

namespace zarvo::check {

std::optional<std::size_t> Table::Column(std::u16string_view name) const
{
    const auto found = std::ranges::find(columns, name);
    if (found == columns.end()) return std::nullopt;
    return static_cast<std::size_t>(found - columns.begin());
}

Field Table::Get(std::size_t row, std::u16string_view column) const
{
    const std::optional<std::size_t> index = Column(column);
    if (!index || row >= rows.size() || *index >= rows[row].size()) return std::nullopt;
    return rows[row][*index];
}

const Table& Package::TableNamed(std::u16string_view name) const
{
    static const Table kAbsent;
    const auto found = tables.find(std::u16string(name));
    return found == tables.end() ? kAbsent : found->second;
}

bool Package::For64BitWindows() const
{
    return platform == u"x64" || platform == u"Intel64" || platform == u"Arm64";
}

}  // namespace zarvo::check
