#include "command_target.h"

#include <algorithm>

namespace zarvo::check {
namespace {

// The installer's own folder properties, set whatever the Directory table holds.
constexpr std::u16string_view kStandardFolders[] = {
    u"AdminToolsFolder",   u"AppDataFolder",        u"CommonAppDataFolder", u"CommonFiles64Folder",
    u"CommonFilesFolder",  u"DesktopFolder",        u"FavoritesFolder",     u"FontsFolder",
    u"LocalAppDataFolder", u"MyPicturesFolder",     u"NetHoodFolder",       u"PersonalFolder",
    u"PrintHoodFolder",    u"ProgramFiles64Folder", u"ProgramFilesFolder",  u"ProgramMenuFolder",
    u"RecentFolder",       u"SendToFolder",         u"StartMenuFolder",     u"StartupFolder",
    u"System16Folder",     u"System64Folder",       u"SystemFolder",        u"TempFolder",
    u"TemplateFolder",     u"WindowsFolder",        u"WindowsVolume",       u"ROOTDRIVE",
    u"TARGETDIR",
};

// A path on a drive (C:\ or C:/) or on a share (\\server\share).
bool IsAbsolute(std::u16string_view path)
{
    const bool drive = path.size() >= 3 &&
                       ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) &&
                       path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
    return drive || path.starts_with(u"\\\\");
}

// Whether the reference at the start of the target names a folder.
bool IsFolderReference(const PackageIndex& index, std::u16string_view name)
{
    if (name.starts_with(u"#") || name.starts_with(u"!")) return index.files.contains(name.substr(1));
    if (index.directories.contains(name) ||
        std::ranges::find(kStandardFolders, name) != std::end(kStandardFolders))
        return true;
    // A type-51 action's value is known only at installation.
    if (!ScheduledSetters(index, name).empty()) return true;
    const auto row = index.properties.find(name);
    return row != index.properties.end() && IsAbsolute(row->second);
}

}  // namespace

bool BeginsWithFolder(const PackageIndex& index, std::u16string_view target)
{
    if (IsAbsolute(target)) return true;
    const std::size_t close = target.find(u']');
    return target.starts_with(u"[") && close != std::u16string_view::npos &&
           IsFolderReference(index, target.substr(1, close - 1));
}

}  // namespace zarvo::check
