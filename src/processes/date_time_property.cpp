#include "processes/date_time_property.h"

#include "frame/action_log.h"
#include "frame/bounded_format.h"
#include "frame/result_codes.h"

namespace zarvo {

WinResult SetDateTimeProperty(Platform& platform, InstallerHandle session)
{
    SystemTime now;
    platform.clock.GetLocalTime(&now);
    // Six fields of at most five digits each: the text always fits.
    char16_t text[256];
    FormatBounded(text, 256, u"%02d.%02d.%04d;%02d:%02d:%02d",
                  {now.day, now.month, now.year, now.hour, now.minute, now.second});
    const ActionLog log(platform.installer, session, u"SetDateTimeProperty");
    if (platform.installer.SetProperty(session, u"DateTime", text) == kErrorSuccess)
        log.Write(log.Line() << u"DateTime set to " << text);
    else
        log.Write(log.Line() << u"DateTime could not be set");
    return kErrorSuccess;
}

}  // namespace zarvo
