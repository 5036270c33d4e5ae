#include "scenario/prerequisites_table.h"

namespace zarvo::test {
namespace {

std::optional<std::u16string> Field(const std::u16string& text)
{
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

void AddPrerequisites(Machine& machine, const std::vector<PrerequisiteLine>& lines)
{
    std::vector<TableRow> rows;
    for (const PrerequisiteLine& line : lines)
        rows.push_back({line.order, Field(line.type), Field(line.name), Field(line.destination),
                        Field(line.valueName), Field(line.value), u"Main"});
    machine.AddTable(u"Prerequisites",
                     {{u"Order", true}, {u"Type"}, {u"Name"}, {u"Destination"}, {u"ValueName"},
                      {u"Value"}, {u"Component_"}},
                     rows);
}

}  // namespace zarvo::test
