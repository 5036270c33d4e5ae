#pragma once
// The exported actions: each name, the portable action behind it, and what it answers
// when something unforeseen (such as memory running out) stops it.
#include <span>
#include <string_view>

#include "platform/platform.h"

namespace zarvo {

using Action = WinResult (*)(Platform& platform, InstallerHandle session);

struct ActionEntry {
    std::string_view name;
    Action action;
    WinResult answerWhenStopped;
    // Its only input is CustomActionData, which the installer gives deferred actions alone.
    bool readsCustomActionData;
};

std::span<const ActionEntry> ActionTable();

// The entry of that name, or null.
const ActionEntry* FindAction(std::string_view name);

// Runs the action so that no exception leaves it: one that escapes becomes the entry's
// answer when stopped.
WinResult InvokeAction(const ActionEntry& entry, Platform& platform, InstallerHandle session);

}  // namespace zarvo
