#pragma once
// Prerequisites tables as a package author writes them, for the scenarios of both
// prerequisite actions.
#include <string>
#include <vector>

#include "scenario/machine.h"

namespace zarvo::test {

struct PrerequisiteLine {
    std::u16string order;
    std::u16string type;
    std::u16string name;
    std::u16string destination;
    std::u16string valueName;
    std::u16string value;
};

// The package's Prerequisites table with the seven columns; Order, an integer, is the
// primary key, so that rows may share every other column. Empty texts are null fields, as
// the installer stores them.
void AddPrerequisites(Machine& machine, const std::vector<PrerequisiteLine>& lines);

// The key below HKEY_LOCAL_MACHINE that the scenarios write their values under.
inline const std::u16string kPrerequisiteKey = std::u16string(kTestKeyRoot) + u"\\Prerequisites";

}  // namespace zarvo::test
