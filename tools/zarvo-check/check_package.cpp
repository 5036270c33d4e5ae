#include "check_package.h"

#include "action_input_rules.h"
#include "custom_action_rules.h"
#include "package_index.h"
#include "prerequisite_rules.h"
#include "registry_command_rules.h"
#include "sequence_rules.h"

namespace zarvo::check {

Findings CheckPackage(const Package& package)
{
    const PackageIndex index = IndexPackage(package);
    Findings findings;
    CheckCustomActions(index, findings);
    CheckActionInputs(index, findings);
    CheckPrerequisiteTable(package, index, findings);
    CheckSequences(package, index, findings);
    CheckRegistryCommands(package, index, findings);
    return findings;
}

}  // namespace zarvo::check
