#include "substitution/files/target_path.h"

namespace zarvo {
namespace {

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

bool IsDriveLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// The part of the path from `from` to the next separator.
std::u16string_view PartAt(std::u16string_view path, std::size_t from)
{
    std::size_t end = from;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    return path.substr(from, end - from);
}

bool StartsOnDrive(std::u16string_view path)
{
    return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == u':' && IsSeparator(path[2]);
}

// "\\server\share": the server is named, and is neither "." nor "?", which open devices.
bool StartsOnShare(std::u16string_view path)
{
    if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
    const std::u16string_view server = PartAt(path, 2);
    if (server.empty() || server == u"." || server == u"?") return false;
    const std::size_t shareStart = 2 + server.size() + 1;
    return shareStart < path.size() && !PartAt(path, shareStart).empty();
}

bool ClimbsUp(std::u16string_view path)
{
    for (std::size_t from = 0; from <= path.size();) {
        const std::u16string_view part = PartAt(path, from);
        if (part == u"..") return true;
        from += part.size() + 1;
    }
    return false;
}

}  // namespace

bool IsPlainAbsolutePath(std::u16string_view path)
{
    return (StartsOnDrive(path) || StartsOnShare(path)) && !ClimbsUp(path);
}

}  // namespace zarvo
