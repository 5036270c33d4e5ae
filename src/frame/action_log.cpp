#include "frame/action_log.h"

#include <algorithm>

#include "frame/installer_access.h"

namespace zarvo {
namespace {

constexpr char16_t kEllipsis = u'\u2026';

}  // namespace

LogLine& LogLine::operator<<(std::u16string_view text) noexcept
{
    if (cut_) return *this;
    const std::size_t taken = std::min(text.size(), kLogLineLength - length_);
    std::copy_n(text.begin(), taken, buffer_ + length_);
    length_ += taken;
    if (taken < text.size()) {
        // The line is full: its last character gives way to the ellipsis.
        buffer_[kLogLineLength - 1] = kEllipsis;
        cut_ = true;
    }
    return *this;
}

LogLine& LogLine::operator<<(const char16_t* text) noexcept
{
    return *this << (text ? std::u16string_view(text) : std::u16string_view());
}

LogLine& LogLine::operator<<(std::uint32_t number) noexcept
{
    char16_t digits[10];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + number % 10);
        number /= 10;
    } while (number != 0);
    std::reverse(digits, digits + count);
    return *this << std::u16string_view(digits, count);
}

LogLine& LogLine::Quoted(std::u16string_view text) noexcept
{
    return *this << u"\"" << text << u"\"";
}

LogLine ActionLog::Line() const noexcept
{
    LogLine line;
    line << action_ << u": ";
    return line;
}

// The installer formats a message's text, so each "[" is written as its escape "[\\[]":
// brackets in the text (property names, paths as the package wrote them) then reach the log
// as they are. A "]" without its "[" is text already.
void ActionLog::Write(const LogLine& line) const noexcept
{
    char16_t escaped[4 * kLogLineLength + 1];
    std::size_t length = 0;
    for (const char16_t c : line.Text()) {
        if (c != u'[') {
            escaped[length++] = c;
            continue;
        }
        for (const char16_t e : std::u16string_view(u"[\\[]")) escaped[length++] = e;
    }
    escaped[length] = u'\0';
    try {
        InstallerHandleGuard record(installer_, installer_.CreateRecord(0));
        if (record.Get() == 0 || installer_.SetRecordString(record.Get(), 0, escaped) != 0) return;
        installer_.ProcessMessage(session_, kInstallMessageInfo, record.Get());
    } catch (...) {
        // A log line is never worth an action's answer.
    }
}

}  // namespace zarvo
