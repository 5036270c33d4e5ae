#include "dll/action_table.h"

#include "frame/result_codes.h"
#include "framework/framework_install.h"
#include "framework/framework_presence.h"
#include "prerequisites/change_elements.h"
#include "prerequisites/check_prerequisites.h"
#include "processes/close_window_by_guid.h"
#include "processes/date_time_property.h"
#include "processes/run_cmd_file.h"
#include "processes/run_foreground_program.h"
#include "substitution/actions/substitution_actions.h"
#include "substitution/engines/wizard_file.h"

namespace zarvo {
namespace {

constexpr ActionEntry kActions[] = {
    {"ChangeElementsFromPrerequisites", &ChangeElementsFromPrerequisites, kErrorSuccess, false},
    // Fails closed: a gate that could not finish must not let the installation go on.
    {"CheckPrerequisites", &CheckPrerequisites, kErrorInstallFailure, false},
    {"CloseWindowByGUID", &CloseWindowByGUID, kErrorInstallFailure, false},
    {"IsFrameworkInstalled", &IsFrameworkInstalled, kErrorInstallFailure, false},
    {"NetFrameworkInstall", &NetFrameworkInstall, kErrorSuccess, false},
    {"RunCmdFile", &RunCmdFile, kErrorInstallFailure, true},
    {"RunForegroundProgram", &RunForegroundProgram, kErrorInstallFailure, false},
    {"SetDateTimeProperty", &SetDateTimeProperty, kErrorSuccess, false},
    // These can fail, so they fail closed; their files are safe whatever stops them, since a
    // rewrite replaces a file only whole.
    {"SetupSubstFiles", &SetupSubstFiles, kErrorInstallFailure, true},
    {"SetupSubstXmlFiles", &SetupSubstXmlFiles, kErrorInstallFailure, true},
    {"UpdateVS71VszFile", &UpdateVS71VszFile, kErrorSuccess, true},
};

}  // namespace

std::span<const ActionEntry> ActionTable()
{
    return kActions;
}

const ActionEntry* FindAction(std::string_view name)
{
    for (const ActionEntry& entry : kActions)
        if (entry.name == name) return &entry;
    return nullptr;
}

WinResult InvokeAction(const ActionEntry& entry, Platform& platform, InstallerHandle session)
{
    try {
        return entry.action(platform, session);
    } catch (...) {
        return entry.answerWhenStopped;
    }
}

}  // namespace zarvo
