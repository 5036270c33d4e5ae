#pragma once
// The desktop as the actions see it: top-level windows a test puts up, and one ordered
// record of the boxes shown, the windows looked for and the messages sent.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/desktop.h"
#include "platform/sim/sim_ledger.h"

namespace zarvo::sim {

struct MessageBoxEvent {
    WindowHandle owner = 0;
    std::optional<std::u16string> text;
    std::optional<std::u16string> caption;
    std::uint32_t type = 0;
    int answer = 0;
};
struct FindEvent {
    std::optional<std::u16string> className;
    std::optional<std::u16string> title;
    WindowHandle found = 0;
};
struct SendEvent {
    WindowHandle window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};
using DesktopEvent = std::variant<MessageBoxEvent, FindEvent, SendEvent>;

class SimDesktop final : public Desktop {
public:
    explicit SimDesktop(SimLedger& ledger) : ledger_(ledger) {}

    // Every box is answered IDOK (1), after whileBoxShown has seen it.
    int ShowMessageBox(WindowHandle owner, const char16_t* text, const char16_t* caption,
                       std::uint32_t type) override;
    // The first window added whose class and title match, without regard to letter case
    // as FindWindowW compares them; a null one matches any.
    WindowHandle FindTopLevelWindow(const char16_t* className, const char16_t* title) override;
    // WM_SYSCOMMAND with SC_CLOSE closes the window; every message answers 0.
    std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) override;

    // What a test asks of the desktop; none of these counts as a platform call.
    WindowHandle AddWindow(std::u16string title, std::u16string className = u"");
    bool HasWindow(WindowHandle window) const;
    // The window FindTopLevelWindow would find by this title alone, or 0.
    WindowHandle WindowTitled(std::u16string_view title) const;
    // The window goes away as though its program had ended.
    void RemoveWindow(WindowHandle window);
    // Called while a box is up, before it is answered: a test plays the user here.
    std::function<void(const MessageBoxEvent&)> whileBoxShown;
    // Every call made, in order, failed ones included.
    const std::vector<DesktopEvent>& Events() const { return events_; }

private:
    struct Window {
        WindowHandle handle = 0;
        std::u16string title;
        std::u16string className;
    };

    WindowHandle Lookup(const std::optional<std::u16string>& className,
                        const std::optional<std::u16string>& title) const;

    SimLedger& ledger_;
    std::vector<Window> windows_;
    WindowHandle nextWindow_ = 0x10010;
    std::vector<DesktopEvent> events_;
};

}  // namespace zarvo::sim
