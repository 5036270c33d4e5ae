#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <utility>

#include "platform/sim/sim_letter_case.h"

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
    return !wanted || EqualIgnoringCase(*wanted, actual);
}

}  // namespace

int SimDesktop::ShowMessageBox(WindowHandle owner, const char16_t* text, const char16_t* caption,
                               std::uint32_t type)
{
    const int answer = ledger_.FailThisCall(Operation::ShowMessageBox) ? 0 : kIdOk;
    MessageBoxEvent event{owner, Copy(text), Copy(caption), type, answer};
    if (answer != 0 && whileBoxShown) whileBoxShown(event);
    events_.push_back(std::move(event));
    return answer;
}

WindowHandle SimDesktop::FindTopLevelWindow(const char16_t* className, const char16_t* title)
{
    const bool failed = ledger_.FailThisCall(Operation::FindTopLevelWindow);
    FindEvent event{Copy(className), Copy(title)};
    if (!failed) event.found = Lookup(event.className, event.title);
    const WindowHandle answer = event.found;
    events_.push_back(std::move(event));
    return answer;
}

std::intptr_t SimDesktop::Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam)
{
    const bool failed = ledger_.FailThisCall(Operation::Send);
    events_.emplace_back(SendEvent{window, message, wParam, lParam});
    if (!failed && message == kWmSysCommand && (wParam & kSysCommandMask) == kScClose)
        RemoveWindow(window);
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

WindowHandle SimDesktop::WindowTitled(std::u16string_view title) const
{
    return Lookup(std::nullopt, std::u16string(title));
}

void SimDesktop::RemoveWindow(WindowHandle window)
{
    std::erase_if(windows_, [window](const Window& open) { return open.handle == window; });
}

WindowHandle SimDesktop::Lookup(const std::optional<std::u16string>& className,
                                const std::optional<std::u16string>& title) const
{
    const auto found = std::find_if(windows_.begin(), windows_.end(), [&](const Window& window) {
        return Matches(className, window.className) && Matches(title, window.title);
    });
    return found == windows_.end() ? 0 : found->handle;
}

}  // namespace zarvo::sim
