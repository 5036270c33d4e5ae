#pragma once
// The checks over one Prerequisites row of a known kind: the fields its kind reads.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "finding.h"
#include "package_index.h"

namespace zarvo::check {

// One row's fields, its kind as written in the README's letter case, and where it stands.
struct PrerequisiteFields {
    std::u16string_view kind;
    std::u16string name;
    std::u16string destination;
    std::u16string valueName;
    std::u16string value;
    std::u16string where;
};

// The components a row may ask to leave out. A suggestion for a name that is none compares it
// with every one of them, so the names that get one are as many as a bound on the comparisons
// allows: a table of many rows would otherwise cost its rows times the components.
struct KnownComponents {
    std::vector<std::u16string_view> names;
    std::size_t suggestionsLeft = 0;
};

KnownComponents ListComponents(const PackageIndex& index);

// A row of one of CheckPrerequisites' kinds.
void CheckGateRow(const PrerequisiteFields& row, Findings& findings);
// A row of one of ChangeElementsFromPrerequisites' kinds.
void CheckChangeRow(const PackageIndex& index, KnownComponents& components, const PrerequisiteFields& row,
                    Findings& findings);

}  // namespace zarvo::check
