#include "substitution/actions/substitution_actions.h"

#include "frame/action_log.h"
#include "frame/installer_access.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"
#include "substitution/actions/command_store.h"
#include "substitution/engines/text_engine.h"
#include "substitution/engines/xml_engine.h"

namespace zarvo {
namespace {

// The key path the package left in CustomActionData, or null (the log says so).
OwnedText ReadCommandKey(Installer& installer, InstallerHandle session, const ActionLog& log)
{
    OwnedText keyPath = ReadPropertyAlloc(installer, session, u"CustomActionData");
    if (!keyPath) log.Write(log.Line() << u"CustomActionData could not be read: fails");
    return keyPath;
}

}  // namespace

WinResult SetupSubstFiles(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"SetupSubstFiles");
    const OwnedText keyPath = ReadCommandKey(platform.installer, session, log);
    if (!keyPath) return kErrorInstallFailure;
    ConsumeSubstitutionCommands(platform, log, keyPath.get(), kTextCommandPrefix, kKeyAllAccess,
                                &SubstituteTextFile);
    return kErrorSuccess;
}

WinResult SetupSubstXmlFiles(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"SetupSubstXmlFiles");
    const OwnedText keyPath = ReadCommandKey(platform.installer, session, log);
    if (!keyPath) return kErrorInstallFailure;
    const std::uint32_t access = RegistryReadAccess(platform.registry, kKeyAllAccess);
    ConsumeSubstitutionCommands(platform, log, keyPath.get(), kXmlCommandPrefix, access,
                                &SubstituteXmlFile);
    return kErrorSuccess;
}

}  // namespace zarvo
