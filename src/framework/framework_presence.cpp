#include "framework/framework_presence.h"

#include <cstring>
#include <string_view>

#include "frame/installer_access.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"
#include "frame/versions.h"
#include "framework/framework_log.h"

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

// The registered version text, or the registry's code when the key or value cannot be read;
// the account tells which, and where it was read.
WinResult ReadRegisteredText(Registry& registry, const char16_t* subKey, const char16_t* valueName,
                             char16_t (&text)[kRegisteredVersionBytes / 2 + 1], LogLine& account)
{
    const RegistryRead read = RegistryReadView(registry, kKeyRead);
    RegistryKey opened = 0;
    const WinResult answer = registry.OpenKey(kLocalMachine, subKey, 0, read.access, &opened);
    if (answer != kErrorSuccess) {
        account << u"key " << subKey << u" could not be opened in " << read.view << u" (error "
                << answer << u")";
        return answer;
    }
    const RegistryKeyGuard key(registry, opened);
    WriteValueOfKey(account, valueName, subKey, read.view);
    std::uint8_t data[kRegisteredVersionBytes] = {};
    std::uint32_t size = kRegisteredVersionBytes;
    const WinResult queried = registry.QueryValue(key.Get(), valueName, nullptr, data, &size);
    if (queried != kErrorSuccess) {
        account << u" could not be read (error " << queried << u")";
        return queried;
    }
    // Whatever its type, the data is text; 64 bytes without a terminator still end.
    std::memcpy(text, data, kRegisteredVersionBytes);
    text[kRegisteredVersionBytes / 2] = u'\0';
    return kErrorSuccess;
}

}  // namespace

// An empty subkey would look the value up at the root of HKEY_LOCAL_MACHINE, which no package
// means: it is as malformed as an empty value name or version.
bool SplitFrameworkTestCommand(char16_t* command, char16_t*& valueName, char16_t*& version)
{
    valueName = SplitAtComma(command);
    if (valueName == nullptr) return false;
    version = SplitAtComma(valueName);
    if (version == nullptr) return false;
    return *command != u'\0' && *valueName != u'\0' && *version != u'\0';
}

WinResult EvaluateFrameworkTest(Registry& registry, char16_t* command, LogLine& account)
{
    // The command as the package wrote it, for the account of a malformed one.
    LogLine written;
    written.Quoted(command);
    char16_t* valueName = nullptr;
    char16_t* version = nullptr;
    if (!SplitFrameworkTestCommand(command, valueName, version)) {
        account << u"FRAMEWORKTESTCOMMAND " << written.Text()
                << u" is not \"subkey,value name,version\"";
        return kTestFailed;
    }
    const FourPartVersion required = ParseVersion(version);
    char16_t text[kRegisteredVersionBytes / 2 + 1] = {};
    const WinResult read = ReadRegisteredText(registry, command, valueName, text, account);
    if (read != kErrorSuccess) return read;
    if (text[0] == u'\0') {
        account << u" holds no text";
        return kTestFailed;
    }
    account << u" holds ";
    const FourPartVersion found = WriteVersionText(account, text);
    return WriteBelow(account, found, required) ? kTestFailed : kErrorSuccess;
}

WinResult IsFrameworkInstalled(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"IsFrameworkInstalled");
    LogLine line = log.Line();
    char16_t command[kFrameworkCommandCapacity];
    WinResult result = ReadPropertyFixed(platform.installer, session, u"FRAMEWORKTESTCOMMAND", command);
    if (result == kErrorSuccess)
        result = EvaluateFrameworkTest(platform.registry, command, line);
    else
        line << u"FRAMEWORKTESTCOMMAND could not be read (error " << result << u")";
    if (result == kErrorSuccess) {
        log.Write(line << u": passes; answers 0");
        return kErrorSuccess;
    }
    line << u": fails: ";
    SetPropertyTold(platform.installer, session, u"FrameworkNotInstalled", u"NotInstalled", line);
    log.Write(line << u"; answers " << result);
    return result;
}

}  // namespace zarvo
