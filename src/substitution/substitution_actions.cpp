#include "substitution/substitution_actions.h"

#include "frame/installer_access.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"
#include "substitution/command_store.h"
#include "substitution/text_substitution.h"
#include "substitution/xml_substitution.h"

namespace zarvo {

WinResult SetupSubstFiles(Platform& platform, InstallerHandle session)
{
    const OwnedText keyPath = ReadPropertyAlloc(platform.installer, session, u"CustomActionData");
    if (!keyPath) return kErrorInstallFailure;
    ConsumeSubstitutionCommands(platform, keyPath.get(), u"SetupSubstFileCmd_%d", kKeyAllAccess,
                                &SubstituteTextFile);
    return kErrorSuccess;
}

WinResult SetupSubstXmlFiles(Platform& platform, InstallerHandle session)
{
    const OwnedText keyPath = ReadPropertyAlloc(platform.installer, session, u"CustomActionData");
    if (!keyPath) return kErrorInstallFailure;
    const std::uint32_t access = RegistryReadAccess(platform.registry, kKeyAllAccess);
    ConsumeSubstitutionCommands(platform, keyPath.get(), u"SetupSubstXmlCmd_%d", access,
                                &SubstituteXmlFile);
    return kErrorSuccess;
}

}  // namespace zarvo
