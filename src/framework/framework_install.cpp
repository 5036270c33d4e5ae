#include "framework/framework_install.h"

#include "frame/result_codes.h"
#include "framework/redistributable.h"
#include "framework/registered_framework.h"

namespace zarvo {
namespace {

WinResult RunRedistributable(Platform& platform, InstallerHandle session)
{
    // The path is not tested: a missing file is the package's own later concern.
    char16_t path[kPathCapacity] = {};
    BuildRedistributablePath(platform, session, path);
    platform.installer.SetProperty(session, u"NetFrameworkFullPath", path);
    platform.installer.SetProperty(session, u"NetFrameworkInstallationMode", u"1");
    return kErrorSuccess;
}

WinResult LeaveRedistributable(Platform& platform, InstallerHandle session)
{
    platform.installer.SetProperty(session, u"NetFrameworkInstallationMode", u"0");
    return kErrorSuccess;
}

}  // namespace

WinResult NetFrameworkInstall(Platform& platform, InstallerHandle session)
{
    const std::optional<FourPartVersion> registered =
        ReadRegisteredFrameworkVersion(platform.registry);
    if (!registered) return RunRedistributable(platform, session);
    const std::optional<FourPartVersion> redistributable =
        ReadRedistributableVersion(platform, session);
    if (!redistributable) return LeaveRedistributable(platform, session);
    if (VersionLess(*registered, *redistributable)) return RunRedistributable(platform, session);
    return LeaveRedistributable(platform, session);
}

}  // namespace zarvo
