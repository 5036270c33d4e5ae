#pragma once
// The five tests a Prerequisites row can ask for. Each answers whether the row passed, and
// what it read to decide; none sets a property or writes the log, and each has its own
// answer for an object it cannot read.
#include "frame/action_log.h"
#include "platform/platform.h"
#include "prerequisites/prerequisite_table.h"

namespace zarvo {

struct CheckResult {
    bool passed = false;
    // What was read, where, and how it compares with Value, as the log tells it:
    // `key SOFTWARE\Foo not found in the 64-bit view`, `file C:\App\app.dll has version
    // 2.0.0.0, which is below 3.0.0.0`.
    LogLine reading;
};

using PrerequisiteCheck = CheckResult (*)(Platform& platform, const PrerequisiteRow& row);

// The file Destination carries a version at least Value; failed without a readable version.
CheckResult CheckFileVersion(Platform& platform, const PrerequisiteRow& row);
// The text value ValueName under the key Destination holds a version at least Value;
// failed when the key or value cannot be read.
CheckResult CheckRegistryVersion(Platform& platform, const PrerequisiteRow& row);
// The REG_DWORD value ValueName under the key Destination is at least the number Value;
// failed when it cannot be read or is of another type.
CheckResult CheckRegistryDWord(Platform& platform, const PrerequisiteRow& row);
// ValueName is "ValueGreaterThanOrEqualTo" and the product Destination, installed for the
// machine, has a state at least Value; failed otherwise.
CheckResult CheckProductState(Platform& platform, const PrerequisiteRow& row);
// The product whose code the value ValueName under the key Destination holds has a state
// below Value; passed whenever that product cannot be found.
CheckResult CheckInstanceProductState(Platform& platform, const PrerequisiteRow& row);

}  // namespace zarvo
