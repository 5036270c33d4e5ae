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

// Asks for the length with a call that leaves no room even for the terminator, then reads
// into a buffer of exactly the size needed. An answer of 0 to the first call tells no
// length, so the read fails rather than guess at one.
template <typename ReadCall>
OwnedText ReadSizedText(ReadCall read)
{
    char16_t empty[1] = {u'\0'};
    std::uint32_t count = 0;
    if (read(empty, &count) != kErrorMoreData) return nullptr;
    OwnedText text = AllocateText(count);
    if (!text) return nullptr;
    count += 1;
    if (read(text.get(), &count) != kErrorSuccess) return nullptr;
    return text;
}

}  // namespace

OwnedText ReadPropertyAlloc(Installer& installer, InstallerHandle session, const char16_t* name)
{
    return ReadSizedText([&](char16_t* buffer, std::uint32_t* count) {
        return installer.GetProperty(session, name, buffer, count);
    });
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
    return ReadSizedText([&](char16_t* buffer, std::uint32_t* count) {
        return installer.FormatRecord(session, record, buffer, count);
    });
}

}  // namespace zarvo
