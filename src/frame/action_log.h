#pragma once
// What an action read, decided and did, written into the installer's log as information
// messages. Lines are built in a fixed buffer and cut, never refused: a line that would pass
// kLogLineLength characters ends in an ellipsis at that length. Writing a line never
// changes what the action does: a line that cannot be sent is dropped, and nothing here
// allocates memory or throws.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/installer.h"

namespace zarvo {

// Characters of a line, the action's name included.
inline constexpr std::size_t kLogLineLength = 1000;

class LogLine {
public:
    LogLine& operator<<(std::u16string_view text) noexcept;
    // A null text adds nothing.
    LogLine& operator<<(const char16_t* text) noexcept;
    LogLine& operator<<(std::uint32_t number) noexcept;
    // Text in double quotes, as the package wrote it.
    LogLine& Quoted(std::u16string_view text) noexcept;
    std::u16string_view Text() const { return {buffer_, length_}; }

private:
    char16_t buffer_[kLogLineLength];
    std::size_t length_ = 0;
    bool cut_ = false;
};

// One action's log: every line starts with the action's name and a colon.
class ActionLog {
public:
    ActionLog(Installer& installer, InstallerHandle session, std::u16string_view action)
        : installer_(installer), session_(session), action_(action)
    {
    }

    // A line holding the action's name, for the rest to be added.
    LogLine Line() const noexcept;
    // Sends the line as an information message.
    void Write(const LogLine& line) const noexcept;

private:
    Installer& installer_;
    InstallerHandle session_;
    std::u16string_view action_;
};

}  // namespace zarvo
