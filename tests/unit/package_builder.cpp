#include "unit/package_builder.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace zarvo::test {
namespace {

// Each table's columns, an integer one marked with a leading "#".
const std::map<std::u16string, std::vector<std::u16string>> kColumns = {
    {u"CustomAction", {u"Action", u"#Type", u"Source", u"Target"}},
    {u"InstallExecuteSequence", {u"Action", u"Condition", u"#Sequence"}},
    {u"InstallUISequence", {u"Action", u"Condition", u"#Sequence"}},
    {u"AdminExecuteSequence", {u"Action", u"Condition", u"#Sequence"}},
    {u"AdvtExecuteSequence", {u"Action", u"Condition", u"#Sequence"}},
    {u"Property", {u"Property", u"Value"}},
    {u"Component", {u"Component", u"ComponentId", u"Directory_", u"#Attributes", u"Condition", u"KeyPath"}},
    {u"Directory", {u"Directory", u"Directory_Parent", u"DefaultDir"}},
    {u"File",
     {u"File", u"Component_", u"FileName", u"#FileSize", u"Version", u"Language", u"#Attributes",
      u"#Sequence"}},
    {u"Registry", {u"Registry", u"#Root", u"Key", u"Name", u"Value", u"Component_"}},
    {u"Prerequisites", {u"Type", u"Name", u"Destination", u"ValueName", u"Value", u"Component_", u"#Order"}},
};

check::Table& TableFor(Package& package, const std::u16string& name)
{
    check::Table& table = package.tables[name];
    if (table.present) return table;
    table.present = true;
    for (const std::u16string& column : kColumns.at(name)) {
        const bool integer = column.starts_with(u"#");
        table.columns.push_back(integer ? column.substr(1) : column);
        table.integer.push_back(integer);
    }
    return table;
}

std::u16string Number(std::int32_t number)
{
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

void AddRow(Package& package, const std::u16string& table, std::vector<Field> fields)
{
    check::Table& rows = TableFor(package, table);
    fields.resize(rows.columns.size());
    rows.rows.push_back(std::move(fields));
}

void AddCustomAction(Package& package, const std::u16string& action, std::int32_t type,
                     const std::u16string& source, const std::u16string& target)
{
    AddRow(package, u"CustomAction", {action, Number(type), source, target});
}

void Schedule(Package& package, const std::u16string& action, std::int32_t sequence, Field condition,
              const std::u16string& table)
{
    AddRow(package, table, {action, condition, Number(sequence)});
}

void AddProperty(Package& package, const std::u16string& property, const std::u16string& value)
{
    AddRow(package, u"Property", {property, value});
}

void AddComponent(Package& package, const std::u16string& component, std::int32_t attributes)
{
    AddRow(package, u"Component",
           {component, u"{00000000-0000-0000-0000-000000000000}", u"INSTALLDIR", Number(attributes),
            std::nullopt, std::nullopt});
}

void AddPrerequisite(Package& package, std::int32_t order, const std::u16string& type,
                     const std::u16string& name, const std::u16string& destination,
                     const std::u16string& valueName, const std::u16string& value)
{
    AddRow(package, u"Prerequisites",
           {type, name, destination, valueName, value, std::nullopt, Number(order)});
}

void AddRegistryValue(Package& package, const std::u16string& id, std::int32_t root,
                      const std::u16string& key, const std::u16string& name, const std::u16string& value,
                      const std::u16string& component)
{
    AddRow(package, u"Registry", {id, Number(root), key, name, value, component});
}

Field& Cell(Package& package, const std::u16string& table, const std::u16string& key,
            const std::u16string& column)
{
    check::Table& rows = package.tables.at(table);
    const std::size_t index = rows.Column(column).value();
    for (std::vector<Field>& row : rows.rows)
        if (row.front() == key) return row[index];
    throw std::out_of_range("no such row");
}

void DropRows(Package& package, const std::u16string& table, const std::u16string& key)
{
    std::erase_if(package.tables.at(table).rows,
                  [&](const std::vector<Field>& row) { return row.front() == key; });
}

void DropColumn(Package& package, const std::u16string& table, const std::u16string& column)
{
    check::Table& rows = package.tables.at(table);
    const auto index = static_cast<std::ptrdiff_t>(rows.Column(column).value());
    rows.columns.erase(rows.columns.begin() + index);
    rows.integer.erase(rows.integer.begin() + index);
    for (std::vector<Field>& row : rows.rows) row.erase(row.begin() + index);
}

}  // namespace zarvo::test
