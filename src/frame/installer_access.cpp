#include "frame/installer_access.h"

#include <new>

#include "frame/bounded_format.h"
#include "frame/result_codes.h"

namespace zarvo {
namespace {

// A buffer for a text of the given length and its terminator, or null when its size in
// bytes does not fit 32 bits or the memory cannot be had.
OwnedText AllocateText(std::uint32_t length)
{
    const std::uint64_t characters = std::uint64_t{length} + 1;
    if (characters * sizeof(char16_t) > 0xFFFFFFFFu) return nullptr;
    return OwnedText(new (std::nothrow) char16_t[characters]);
}

}  // namespace

OwnedText ReadPropertyAlloc(Installer& installer, InstallerHandle session, const char16_t* name)
{
    char16_t empty[1] = {u'\0'};
    std::uint32_t count = 0;
    // An answer of 0 to a call that leaves no room for the terminator tells no length;
    // the read fails rather than guess at one.
    if (installer.GetProperty(session, name, empty, &count) != kErrorMoreData) return nullptr;
    OwnedText text = AllocateText(count);
    if (!text) return nullptr;
    count += 1;
    if (installer.GetProperty(session, name, text.get(), &count) != kErrorSuccess) return nullptr;
    return text;
}

WinResult ReadPropertyFixed(Installer& installer, InstallerHandle session, const char16_t* name,
                            std::span<char16_t> buffer)
{
    auto count = static_cast<std::uint32_t>(buffer.size());
    return installer.GetProperty(session, name, buffer.data(), &count);
}

OwnedText ReadRecordField(Installer& installer, InstallerHandle session, InstallerHandle record,
                          std::uint32_t field)
{
    if (field == 0 || field > 99) return nullptr;
    char16_t fieldTemplate[10];
    if (!FormatBounded(fieldTemplate, 10, u"[%d]", {static_cast<std::int32_t>(field)}))
        return nullptr;
    if (installer.SetRecordString(record, 0, fieldTemplate) != kErrorSuccess) return nullptr;
    char16_t empty[1] = {u'\0'};
    std::uint32_t count = 0;
    if (installer.FormatRecord(session, record, empty, &count) != kErrorMoreData) return nullptr;
    OwnedText text = AllocateText(count);
    if (!text) return nullptr;
    count += 1;
    if (installer.FormatRecord(session, record, text.get(), &count) != kErrorSuccess)
        return nullptr;
    return text;
}

InstallerHandle* InstallerHandleGuard::Receive()
{
    Close();
    return &handle_;
}

void InstallerHandleGuard::Close()
{
    if (handle_ != 0) installer_.CloseInstallerHandle(handle_);
    handle_ = 0;
}

}  // namespace zarvo
