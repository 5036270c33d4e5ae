#include "framework/framework_presence.h"

#include <cstring>
#include <string_view>

#include "frame/installer_access.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"
#include "frame/versions.h"

namespace zarvo {
namespace {

constexpr WinResult kTestFailed = 1;
// The registered version is read into 64 bytes: at most 31 characters and a terminator.
constexpr std::uint32_t kRegisteredVersionBytes = 64;

// Cuts the text at its first comma and gives what follows, or null without a comma.
char16_t* SplitAtComma(char16_t* text)
{
    const std::size_t comma = std::u16string_view(text).find(u',');
    if (comma == std::u16string_view::npos) return nullptr;
    text[comma] = u'\0';
    return text + comma + 1;
}

// The registered version text, or the registry's code when the key or value cannot be read.
WinResult ReadRegisteredText(Registry& registry, const char16_t* subKey, const char16_t* valueName,
                             char16_t (&text)[kRegisteredVersionBytes / 2 + 1])
{
    RegistryKey opened = 0;
    const WinResult answer = registry.OpenKey(kLocalMachine, subKey, 0,
                                              RegistryReadAccess(registry, kKeyRead), &opened);
    if (answer != kErrorSuccess) return answer;
    const RegistryKeyGuard key(registry, opened);
    std::uint8_t data[kRegisteredVersionBytes] = {};
    std::uint32_t size = kRegisteredVersionBytes;
    const WinResult read = registry.QueryValue(key.Get(), valueName, nullptr, data, &size);
    if (read != kErrorSuccess) return read;
    // Whatever its type, the data is text; 64 bytes without a terminator still end.
    std::memcpy(text, data, kRegisteredVersionBytes);
    text[kRegisteredVersionBytes / 2] = u'\0';
    return kErrorSuccess;
}

}  // namespace

WinResult EvaluateFrameworkTest(Registry& registry, char16_t* command)
{
    char16_t* const valueName = SplitAtComma(command);
    if (valueName == nullptr) return kTestFailed;
    char16_t* const version = SplitAtComma(valueName);
    if (version == nullptr) return kTestFailed;
    // An empty subkey would look the value up at the root of HKEY_LOCAL_MACHINE, which no
    // package means: it is as malformed as an empty value name or version.
    if (*command == u'\0' || *valueName == u'\0' || *version == u'\0') return kTestFailed;
    const FourPartVersion required = ParseVersion(version);
    char16_t text[kRegisteredVersionBytes / 2 + 1] = {};
    const WinResult read = ReadRegisteredText(registry, command, valueName, text);
    if (read != kErrorSuccess) return read;
    if (text[0] == u'\0') return kTestFailed;
    return VersionLess(ParseVersion(text), required) ? kTestFailed : kErrorSuccess;
}

WinResult IsFrameworkInstalled(Platform& platform, InstallerHandle session)
{
    char16_t command[kFrameworkCommandCapacity];
    WinResult result = ReadPropertyFixed(platform.installer, session, u"FRAMEWORKTESTCOMMAND", command);
    if (result == kErrorSuccess) result = EvaluateFrameworkTest(platform.registry, command);
    if (result == kErrorSuccess) return kErrorSuccess;
    platform.installer.SetProperty(session, u"FrameworkNotInstalled", u"NotInstalled");
    return result;
}

}  // namespace zarvo
