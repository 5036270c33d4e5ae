#pragma once
// UpdateVS71VszFile's rewrite of the wizard file as the documented rules and the README's
// choices describe it: single-byte text cut into lines of 519 characters, the first
// placeholder of each line replaced where the line has room.
#include <string_view>

#include "reference/pairs.h"

namespace zarvo::reference {

inline constexpr std::u16string_view kWizardPlaceholder = u"[Zv.Dir.APITemplatesVS71]";

// What the action makes of a wizard file of these bytes, given the replacement that follows
// the "|" of its CustomActionData.
Rewritten ExpectedWizardRewrite(std::string_view file, std::u16string_view replacement);

// The replacement that a CustomActionData of the folder (with its trailing backslash), a
// "|" and a text carries, or nullopt where the action changes nothing (more than 519
// characters, no "|", a folder too long for the file's names).
std::optional<std::u16string> WizardReplacement(std::u16string_view customActionData);

}  // namespace zarvo::reference
