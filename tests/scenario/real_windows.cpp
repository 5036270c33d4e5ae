// Windows only: helper windows and message boxes for the real machine.
#include "scenario/real_windows.h"

#include <stdexcept>

#include "platform/win32/wide.h"

namespace zarvo::test {
namespace {

using win32::Wide;

constexpr DWORD kPollMilliseconds = 10;
constexpr DWORD kPatienceMilliseconds = 10000;
// The dialog item of a message box that holds its text.
constexpr int kMessageBoxTextItem = 0xFFFF;

// Asks until the answer is true or the patience runs out; gives the last answer.
template <typename Check>
bool WaitUntil(Check check)
{
    const ULONGLONG end = GetTickCount64() + kPatienceMilliseconds;
    while (!check()) {
        if (GetTickCount64() > end) return false;
        Sleep(kPollMilliseconds);
    }
    return true;
}

HWND Native(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

struct ProcessWindow {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK NoteWindowOfProcess(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<ProcessWindow*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId) return TRUE;
    search.found = window;
    return FALSE;
}

// The top-level window of the process, whatever its title (which may be empty, as other
// windows' are too).
HWND WindowOfProcess(DWORD processId)
{
    ProcessWindow search{processId, nullptr};
    EnumWindows(NoteWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

HelperWindows::~HelperWindows()
{
    for (const HANDLE process : processes_) {
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 1);
        CloseHandle(process);
    }
}

WindowHandle HelperWindows::Open(const std::u16string& helper, const std::u16string& title)
{
    std::u16string commandLine = u"\"" + helper + u"\" window " + title;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(Wide(helper.c_str()), Wide(commandLine.data()), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &started))
        throw std::runtime_error("the helper program did not start");
    CloseHandle(started.hThread);
    processes_.push_back(started.hProcess);
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = WindowOfProcess(started.dwProcessId)) != nullptr; }))
        throw std::runtime_error("the helper's window did not come up");
    return reinterpret_cast<WindowHandle>(window);
}

WindowHandle WaitForTopLevelWindow(const std::u16string& title)
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowW(nullptr, Wide(title.c_str()))) != nullptr; });
    return reinterpret_cast<WindowHandle>(window);
}

void CloseTopLevelWindow(WindowHandle window)
{
    PostMessageW(Native(window), WM_CLOSE, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(Native(window)); }))
        throw std::runtime_error("a window did not close");
}

MessageBoxWatcher::MessageBoxWatcher(const std::u16string& caption, WindowHandle window)
    : caption_(caption.begin(), caption.end()), window_(Native(window)),
      thread_([this] { Watch(); })
{
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    Stop();
}

std::vector<MessageBoxSeen> MessageBoxWatcher::Stop()
{
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    return std::move(seen_);
}

void MessageBoxWatcher::Watch()
{
    while (!stopping_) {
        if (const HWND box = FindWindowW(L"#32770", caption_.c_str())) Answer(box);
        Sleep(kPollMilliseconds);
    }
}

// Reads the box, notes whether the window was still open, presses OK and waits until the
// box has gone, so that it is not seen twice.
void MessageBoxWatcher::Answer(HWND box)
{
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, kMessageBoxTextItem, text, 1024);
    seen_.push_back({std::u16string(text, text + wcslen(text)), IsWindow(window_) != FALSE});
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindow(box); });
}

}  // namespace zarvo::test
