#include "platform/sim/sim_platform.h"

#include <string>

namespace zarvo::sim {
namespace {

std::u16string DecimalText(std::uint32_t number)
{
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

// The version text the installer reads from a file's fixed file information.
std::u16string VersionText(const FixedFileVersion& version)
{
    return DecimalText(version.fileVersionMS >> 16) + u"." +
           DecimalText(version.fileVersionMS & 0xFFFF) + u"." +
           DecimalText(version.fileVersionLS >> 16) + u"." +
           DecimalText(version.fileVersionLS & 0xFFFF);
}

}  // namespace

void SimClock::GetLocalTime(SystemTime* time)
{
    // The clock cannot fail; the call still counts, so that faults line up with calls.
    ledger_.FailThisCall(Operation::GetLocalTime);
    *time = now;
}

std::uint32_t SimClock::GetTickCount()
{
    // It cannot fail either; the count wraps as Windows' does.
    ledger_.FailThisCall(Operation::GetTickCount);
    return static_cast<std::uint32_t>(startTicks + processes_.ElapsedMilliseconds());
}

SimPlatform::SimPlatform()
    : installer(ledger, [this](const char16_t* path) -> std::optional<std::u16string> {
          if (!files.Exists(path)) return std::nullopt;
          const auto version = files.VersionOf(path);
          return version ? VersionText(*version) : std::u16string();
      })
{
}

}  // namespace zarvo::sim
