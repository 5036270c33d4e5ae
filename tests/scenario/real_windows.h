#pragma once
// Windows only: the real machine's helper windows and message boxes, as the scenarios see
// them through the Machine fixture.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "scenario/machine.h"

namespace zarvo::test {

// Helper programs started with a window each; those still running are ended with the set.
class HelperWindows {
public:
    HelperWindows() = default;
    HelperWindows(const HelperWindows&) = delete;
    HelperWindows& operator=(const HelperWindows&) = delete;
    ~HelperWindows();

    // Starts the helper with a window of this title and gives the window once it is up.
    WindowHandle Open(const std::u16string& helper, const std::u16string& title);

private:
    std::vector<HANDLE> processes_;
};

// A top-level window of that title, looked for during a few seconds; 0 if none comes up.
WindowHandle WaitForTopLevelWindow(const std::u16string& title);
// Posts WM_CLOSE to the window and waits a few seconds for it to go.
void CloseTopLevelWindow(WindowHandle window);

// A thread that plays the user for message boxes of one caption, which the action shows on
// the test's own thread while it blocks there.
class MessageBoxWatcher {
public:
    MessageBoxWatcher(const std::u16string& caption, WindowHandle window);
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    ~MessageBoxWatcher();

    // Stops watching and gives the boxes seen, in order.
    std::vector<MessageBoxSeen> Stop();

private:
    void Watch();
    void Answer(HWND box);

    std::wstring caption_;
    HWND window_;
    std::atomic<bool> stopping_{false};
    std::vector<MessageBoxSeen> seen_;  // read only once the thread has ended
    std::thread thread_;
};

}  // namespace zarvo::test
