#pragma once
#include <string_view>

#include "platform/platform.h"

namespace zarvo {

// The property that holds the window's title.
inline constexpr std::u16string_view kWindowTitleProperty = u"CloseWindowByGUID";

// The marker that asks for a message box, in exactly this letter case.
inline constexpr std::u16string_view kShowMessageMarker = u"/ShowActionMessage";

// Sends the Close system command to the top-level window whose title is the property
// "CloseWindowByGUID". The marker "/ShowActionMessage" ends the title where it begins and
// first shows the title in a message box. 1603 when the property cannot be read, else 0,
// whether or not a window was found. An empty title addresses no window.
WinResult CloseWindowByGUID(Platform& platform, InstallerHandle session);

}  // namespace zarvo
