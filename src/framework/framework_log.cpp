#include "framework/framework_log.h"

#include "frame/result_codes.h"

namespace zarvo {

void SetPropertyTold(Installer& installer, InstallerHandle session, const char16_t* name,
                     const char16_t* value, LogLine& line)
{
    const WinResult answer = installer.SetProperty(session, name, value);
    line << name << (answer == kErrorSuccess ? u" set to " : u" could not be set to ");
    line.Quoted(value);
    if (answer != kErrorSuccess) line << u" (error " << answer << u")";
}

}  // namespace zarvo
