#pragma once
// The pieces findings are written from: names and texts of the package, as the README writes
// them, and the finding itself in UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

#include "finding.h"

namespace zarvo::check {

// Adds a finding of the rule to the list.
void Report(Findings& findings, const Rule& rule, std::u16string_view where, std::u16string_view message);

// "Table[key]", the place a finding names.
std::u16string Place(std::u16string_view table, std::u16string_view key);

// The text in double quotes, as a finding cites what the package holds.
std::u16string Quoted(std::u16string_view text);

// An ASCII name of the library, such as an export's, as UTF-16.
std::u16string Widened(std::string_view ascii);

std::u16string Decimal(std::int64_t number);

}  // namespace zarvo::check
