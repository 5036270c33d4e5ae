#include "framework/redistributable.h"

#include <memory>
#include <new>
#include <string_view>

#include "frame/installer_access.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"

namespace zarvo {

bool BuildRedistributablePath(Platform& platform, InstallerHandle session, std::span<char16_t> path)
{
    if (ReadPropertyFixed(platform.installer, session, u"SourceDir", path) != kErrorSuccess) {
        // Whatever a refused read left there is no path of ours.
        path[0] = u'\0';
        return false;
    }
    const char16_t* const fileNameProperty =
        IsWow64(platform.registry) ? u"NetFrameworkFileName64" : u"NetFrameworkFileName32";
    char16_t fileName[kPathCapacity];
    if (ReadPropertyFixed(platform.installer, session, fileNameProperty, fileName) != kErrorSuccess)
        return false;
    const std::u16string_view folder(path.data());
    const std::u16string_view name(fileName);
    // A path that does not fit is dropped whole: cut short, it could name another file.
    if (folder.size() + name.size() >= path.size()) {
        path[0] = u'\0';
        return false;
    }
    name.copy(path.data() + folder.size(), name.size());
    path[folder.size() + name.size()] = u'\0';
    return true;
}

std::optional<FourPartVersion> ReadRedistributableVersion(Platform& platform, InstallerHandle session)
{
    char16_t path[kPathCapacity];
    if (!BuildRedistributablePath(platform, session, path)) return std::nullopt;
    const std::uint32_t size = platform.files.VersionInfoSize(path);
    if (size == 0) return std::nullopt;
    const std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[size]);
    if (!block || !platform.files.VersionInfo(path, size, block.get())) return std::nullopt;
    FixedFileVersion fixed;
    if (!platform.files.QueryFixedVersion(block.get(), &fixed)) return std::nullopt;
    FourPartVersion version;
    version.part1 = fixed.fileVersionMS >> 16;
    version.part2 = fixed.fileVersionMS & 0xFFFF;
    version.part3 = fixed.fileVersionLS >> 16;
    return version;
}

}  // namespace zarvo
