#include "framework/framework_install.h"

#include "frame/action_log.h"
#include "frame/result_codes.h"
#include "framework/framework_log.h"
#include "framework/redistributable.h"
#include "framework/registered_framework.h"

namespace zarvo {
namespace {

// The decision's line holds its reason; the properties set are added to it.
WinResult RunRedistributable(Platform& platform, InstallerHandle session, const ActionLog& log,
                             LogLine& decision)
{
    // The path is not tested: a missing file is the package's own later concern.
    char16_t path[kPathCapacity] = {};
    LogLine why = log.Line();
    if (!BuildRedistributablePath(platform, session, path, why)) log.Write(why);
    decision << u": ";
    SetPropertyTold(platform.installer, session, u"NetFrameworkFullPath", path, decision);
    decision << u", ";
    SetPropertyTold(platform.installer, session, u"NetFrameworkInstallationMode", u"1", decision);
    log.Write(decision);
    return kErrorSuccess;
}

WinResult LeaveRedistributable(Platform& platform, InstallerHandle session, const ActionLog& log,
                               LogLine& decision)
{
    decision << u": ";
    SetPropertyTold(platform.installer, session, u"NetFrameworkInstallationMode", u"0", decision);
    log.Write(decision);
    return kErrorSuccess;
}

}  // namespace

WinResult NetFrameworkInstall(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"NetFrameworkInstall");
    LogLine found;
    const std::optional<FourPartVersion> registered =
        ReadRegisteredFrameworkVersion(platform.registry, found);
    if (!registered) {
        log.Write(log.Line() << u"no framework registered: " << found.Text());
        return RunRedistributable(platform, session, log, log.Line() << u"no framework registered");
    }
    log.Write(log.Line() << u"registered framework " << *registered << u", from " << found.Text());
    LogLine offered = log.Line();
    const std::optional<FourPartVersion> redistributable =
        ReadRedistributableVersion(platform, session, offered);
    log.Write(offered);
    if (!redistributable)
        return LeaveRedistributable(platform, session, log,
                                    log.Line() << u"the redistributable's version is unknown");
    const bool below = VersionLess(*registered, *redistributable);
    LogLine decision = log.Line();
    decision << u"registered framework " << *registered << (below ? u" is below" : u" is not below")
             << u" the redistributable's " << *redistributable;
    if (below) return RunRedistributable(platform, session, log, decision);
    return LeaveRedistributable(platform, session, log, decision);
}

}  // namespace zarvo
