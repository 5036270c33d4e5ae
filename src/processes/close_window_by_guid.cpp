#include "processes/close_window_by_guid.h"

#include <string_view>

#include "frame/action_log.h"
#include "frame/installer_access.h"
#include "frame/result_codes.h"

namespace zarvo {
namespace {

// Ends the text at the first marker, in its exact letter case; true when there was one.
bool CutAtMarker(char16_t* text)
{
    const std::size_t marker = std::u16string_view(text).find(kShowMessageMarker);
    if (marker == std::u16string_view::npos) return false;
    text[marker] = u'\0';
    return true;
}

// Shows the title in an information box, which waits for the user's OK.
void ShowTitle(Desktop& desktop, const ActionLog& log, const char16_t* title)
{
    const bool shown =
        desktop.ShowMessageBox(0, title, u"CloseWindowByGUID", kMbOk | kMbIconInformation) != 0;
    log.Write((log.Line() << (shown ? u"showed" : u"could not show") << u" the title ")
                  .Quoted(title)
              << u" in a message box");
}

// Sends the Close system command to the first top-level window of that title, if there is
// one.
void CloseWindowTitled(Desktop& desktop, const ActionLog& log, const char16_t* title)
{
    const WindowHandle window = desktop.FindTopLevelWindow(nullptr, title);
    if (window == 0) {
        log.Write((log.Line() << u"no window titled ").Quoted(title) << u" found");
        return;
    }
    desktop.Send(window, kWmSysCommand, kScClose, 0);
    log.Write((log.Line() << u"found the window titled ").Quoted(title)
              << u" and sent it the Close command");
}

}  // namespace

WinResult CloseWindowByGUID(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"CloseWindowByGUID");
    const OwnedText title = ReadPropertyAlloc(platform.installer, session, kWindowTitleProperty.data());
    if (!title) {
        log.Write(log.Line() << u"the property CloseWindowByGUID could not be read: fails");
        return kErrorInstallFailure;
    }
    const bool showMessage = CutAtMarker(title.get());
    // The search would return whichever window happens to have no title, and close it.
    if (title[0] == u'\0') {
        log.Write(log.Line() << u"the title is empty: no window looked for");
        return kErrorSuccess;
    }
    if (showMessage) ShowTitle(platform.desktop, log, title.get());
    CloseWindowTitled(platform.desktop, log, title.get());
    return kErrorSuccess;
}

}  // namespace zarvo
