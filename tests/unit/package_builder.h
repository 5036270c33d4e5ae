#pragma once
// Packages built in memory for the checker's tests: the tables the checks read, with the
// columns a built package gives them, a row at a time.
#include <cstdint>
#include <string>
#include <vector>

#include "zarvo-check/package.h"

namespace zarvo::test {

using check::Field;
using check::Package;

// A row of the table, which gets its usual columns when it is new; integers as decimal text.
void AddRow(Package& package, const std::u16string& table, std::vector<Field> fields);

void AddCustomAction(Package& package, const std::u16string& action, std::int32_t type,
                     const std::u16string& source, const std::u16string& target);
void Schedule(Package& package, const std::u16string& action, std::int32_t sequence,
              Field condition = std::nullopt, const std::u16string& table = u"InstallExecuteSequence");
void AddProperty(Package& package, const std::u16string& property, const std::u16string& value);
void AddComponent(Package& package, const std::u16string& component, std::int32_t attributes);
void AddPrerequisite(Package& package, std::int32_t order, const std::u16string& type,
                     const std::u16string& name, const std::u16string& destination,
                     const std::u16string& valueName, const std::u16string& value);
void AddRegistryValue(Package& package, const std::u16string& id, std::int32_t root,
                      const std::u16string& key, const std::u16string& name, const std::u16string& value,
                      const std::u16string& component);

// The field of the first row whose first field is the key; the row must be there.
Field& Cell(Package& package, const std::u16string& table, const std::u16string& key,
            const std::u16string& column);
// Takes out the rows whose first field is the key.
void DropRows(Package& package, const std::u16string& table, const std::u16string& key);
// Takes the column out of the table, from every row too.
void DropColumn(Package& package, const std::u16string& table, const std::u16string& column);

}  // namespace zarvo::test
