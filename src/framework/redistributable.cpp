#include "framework/redistributable.h"

#include <memory>
#include <new>
#include <string_view>

#include "frame/installer_access.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"

namespace zarvo {
namespace {

constexpr std::u16string_view kNotBuilt = u"the redistributable's path could not be built: ";

}  // namespace

bool BuildRedistributablePath(Platform& platform, InstallerHandle session, std::span<char16_t> path,
                              LogLine& why)
{
    const WinResult folderRead = ReadPropertyFixed(platform.installer, session, u"SourceDir", path);
    if (folderRead != kErrorSuccess) {
        // Whatever a refused read left there is no path of ours.
        path[0] = u'\0';
        why << kNotBuilt << u"SourceDir could not be read (error " << folderRead << u")";
        return false;
    }
    const char16_t* const fileNameProperty =
        IsWow64(platform.registry) ? u"NetFrameworkFileName64" : u"NetFrameworkFileName32";
    char16_t fileName[kPathCapacity];
    const WinResult nameRead = ReadPropertyFixed(platform.installer, session, fileNameProperty, fileName);
    if (nameRead != kErrorSuccess) {
        why << kNotBuilt << fileNameProperty << u" could not be read (error " << nameRead << u")";
        return false;
    }
    const std::u16string_view folder(path.data());
    const std::u16string_view name(fileName);
    // A path that does not fit is dropped whole: cut short, it could name another file.
    if (folder.size() + name.size() >= path.size()) {
        path[0] = u'\0';
        why << kNotBuilt << u"SourceDir and " << fileNameProperty << u" together pass the "
            << static_cast<std::uint32_t>(path.size() - 1) << u" characters of a path";
        return false;
    }
    name.copy(path.data() + folder.size(), name.size());
    path[folder.size() + name.size()] = u'\0';
    return true;
}

std::optional<FourPartVersion> ReadRedistributableVersion(Platform& platform, InstallerHandle session,
                                                          LogLine& account)
{
    char16_t path[kPathCapacity];
    if (!BuildRedistributablePath(platform, session, path, account)) return std::nullopt;
    account << u"redistributable " << path;
    const std::uint32_t size = platform.files.VersionInfoSize(path);
    const std::unique_ptr<std::uint8_t[]> block(size == 0 ? nullptr : new (std::nothrow) std::uint8_t[size]);
    FixedFileVersion fixed;
    if (!block || !platform.files.VersionInfo(path, size, block.get()) ||
        !platform.files.QueryFixedVersion(block.get(), &fixed)) {
        account << u" has no readable version";
        return std::nullopt;
    }
    FourPartVersion version;
    version.part1 = fixed.fileVersionMS >> 16;
    version.part2 = fixed.fileVersionMS & 0xFFFF;
    version.part3 = fixed.fileVersionLS >> 16;
    account << u" has version " << version;
    return version;
}

}  // namespace zarvo
