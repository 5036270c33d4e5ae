#pragma once
// A built package as the checks see it: the tables they read, each with its columns and
// rows as text, the platform its summary names, and which Binary rows hold this library.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::check {

using Field = std::optional<std::u16string>;  // nullopt: a null field

struct Table {
    bool present = false;                 // the package holds the table
    std::vector<std::u16string> columns;  // every column of the table, in its order
    std::vector<bool> integer;            // per column: whether it holds integers (sorts as a number)
    std::vector<std::vector<Field>> rows; // each as many fields as there are columns; integers as decimal text

    // The index of the named column, or nothing when the table lacks it.
    std::optional<std::size_t> Column(std::u16string_view name) const;
    // The field of the row in the named column; nothing when it is null or the column missing.
    Field Get(std::size_t row, std::u16string_view column) const;
};

struct Package {
    std::u16string path;                   // as given on the command line, for the findings
    std::map<std::u16string, Table> tables; // by name; a table the package lacks may be absent
    std::u16string platform;               // the summary's Template before ';': "Intel", "x64", "Arm64", ...
    std::set<std::u16string> libraryBinaries;  // Binary rows whose data is this library

    // The named table; one that is not present when the package lacks it.
    const Table& TableNamed(std::u16string_view name) const;
    // Whether the package is meant for 64-bit Windows (its platform is x64, Intel64 or Arm64).
    bool For64BitWindows() const;
};

}  // namespace zarvo::check
