#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <utility>

namespace zarvo::sim {
namespace {

constexpr int kIdOk = 1;
// The low four bits of a WM_SYSCOMMAND command are the system's own.
constexpr std::uintptr_t kSysCommandMask = 0xFFF0;

std::optional<std::u16string> Copy(const char16_t* text)
{
    return text ? std::optional<std::u16string>(text) : std::nullopt;
}

bool Matches(const std::optional<std::u16string>& wanted, const std::u16string& actual)
{
    return !wanted || *wanted == actual;
}

}  // namespace

int SimDesktop::ShowMessageBox(WindowHandle owner, const char16_t* text, const char16_t* caption,
                               std::uint32_t type)
{
    const int answer = ledger_.FailThisCall() ? 0 : kIdOk;
    events_.push_back(MessageBoxEvent{owner, Copy(text), Copy(caption), type, answer});
    return answer;
}

WindowHandle SimDesktop::FindTopLevelWindow(const char16_t* className, const char16_t* title)
{
    const bool failed = ledger_.FailThisCall();
    FindEvent event{Copy(className), Copy(title)};
    const auto found = std::find_if(windows_.begin(), windows_.end(), [&](const Window& window) {
        return Matches(event.className, window.className) && Matches(event.title, window.title);
    });
    if (!failed && found != windows_.end()) event.found = found->handle;
    const WindowHandle answer = event.found;
    events_.push_back(std::move(event));
    return answer;
}

std::intptr_t SimDesktop::Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam)
{
    const bool failed = ledger_.FailThisCall();
    events_.push_back(SendEvent{window, message, wParam, lParam});
    if (!failed && message == kWmSysCommand && (wParam & kSysCommandMask) == kScClose)
        std::erase_if(windows_, [window](const Window& open) { return open.handle == window; });
    return 0;
}

WindowHandle SimDesktop::AddWindow(std::u16string title, std::u16string className)
{
    const WindowHandle handle = nextWindow_;
    nextWindow_ += 0x10;
    windows_.push_back(Window{handle, std::move(title), std::move(className)});
    return handle;
}

bool SimDesktop::HasWindow(WindowHandle window) const
{
    return std::any_of(windows_.begin(), windows_.end(),
                       [window](const Window& open) { return open.handle == window; });
}

}  // namespace zarvo::sim
