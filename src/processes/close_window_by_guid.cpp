#include "processes/close_window_by_guid.h"

#include <string_view>

#include "frame/installer_access.h"
#include "frame/result_codes.h"

namespace zarvo {
namespace {

constexpr std::u16string_view kShowMessageMarker = u"/ShowActionMessage";

// Ends the text at the first marker, in its exact letter case; true when there was one.
bool CutAtMarker(char16_t* text)
{
    const std::size_t marker = std::u16string_view(text).find(kShowMessageMarker);
    if (marker == std::u16string_view::npos) return false;
    text[marker] = u'\0';
    return true;
}

}  // namespace

WinResult CloseWindowByGUID(Platform& platform, InstallerHandle session)
{
    const OwnedText title = ReadPropertyAlloc(platform.installer, session, u"CloseWindowByGUID");
    if (!title) return kErrorInstallFailure;
    const bool showMessage = CutAtMarker(title.get());
    // The search would return whichever window happens to have no title, and close it.
    if (title[0] == u'\0') return kErrorSuccess;
    if (showMessage)
        platform.desktop.ShowMessageBox(0, title.get(), u"CloseWindowByGUID",
                                        kMbOk | kMbIconInformation);
    const WindowHandle window = platform.desktop.FindTopLevelWindow(nullptr, title.get());
    if (window != 0) platform.desktop.Send(window, kWmSysCommand, kScClose, 0);
    return kErrorSuccess;
}

}  // namespace zarvo
