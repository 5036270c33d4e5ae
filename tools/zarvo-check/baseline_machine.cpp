#include "baseline_machine.h"

#include <string_view>

#include "file_version_text.h"
#include "platform/registry.h"

namespace zarvo::check {
namespace {

// As regedit exports them from the 64-bit view. Windows 11 still names itself 6.3 in
// CurrentVersion and "Windows 10" in ProductName, as every Windows since 8.1 does for the
// programs that read them; its own number is in CurrentMajorVersionNumber. .NET Framework
// 4.8.1 comes with it (Release 533320); 3.5 is a feature left off until someone turns it on.
constexpr std::string_view kRegistry = R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion]
"CurrentVersion"="6.3"
"CurrentMajorVersionNumber"=dword:0000000a
"CurrentMinorVersionNumber"=dword:00000000
"CurrentBuild"="22631"
"CurrentBuildNumber"="22631"
"UBR"=dword:00000bbf
"DisplayVersion"="23H2"
"ReleaseId"="2009"
"ProductName"="Windows 10 Pro"
"EditionID"="Professional"
"InstallationType"="Client"
"InstallDate"=dword:6553f100
"SystemRoot"="C:\\Windows"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Client]
"Install"=dword:00000001
"Release"=dword:00082348
"Servicing"=dword:00000000
"TargetVersion"="4.0.0"
"Version"="4.8.09032"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Full]
"Install"=dword:00000001
"Release"=dword:00082348
"Servicing"=dword:00000000
"TargetVersion"="4.0.0"
"Version"="4.8.09032"

[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4.0\Client]
@="deprecated"
"Install"=dword:00000001
"Version"="4.0.0.0"
)";

// Windows Installer 5.0 of that build, for 64-bit programs and for 32-bit ones.
constexpr std::u16string_view kMsiVersion = u"5.0.22621.3007";
constexpr const char16_t* kMsiFiles[] = {u"C:\\Windows\\System32\\msi.dll", u"C:\\Windows\\SysWOW64\\msi.dll"};

// These keys are written alike in the 32-bit view (below SOFTWARE\Wow6432Node).
MachineDescription InBothViews(MachineDescription machine)
{
    const std::size_t keys = machine.keys.size(), values = machine.values.size();
    for (std::size_t i = 0; i < keys; ++i) machine.keys.push_back({machine.keys[i].path, kKeyWow64_32Key});
    for (std::size_t i = 0; i < values; ++i) {
        RegValue copy = machine.values[i];
        copy.view = kKeyWow64_32Key;
        machine.values.push_back(std::move(copy));
    }
    return machine;
}

}  // namespace

DryRunInput BaselineMachine()
{
    const auto bytes = reinterpret_cast<const std::uint8_t*>(kRegistry.data());
    DryRunInput baseline;
    baseline.machines.push_back(InBothViews(std::get<MachineDescription>(ReadRegFile({bytes, kRegistry.size()}))));
    for (const char16_t* path : kMsiFiles) baseline.files.push_back({path, ReadFileVersionText(kMsiVersion)});
    return baseline;
}

}  // namespace zarvo::check
