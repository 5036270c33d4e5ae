#pragma once
// Reading from the installer: properties of any length, fixed-capacity property reads,
// formatted record fields, and the owner of a database, view or record handle.
#include <cstdint>
#include <memory>
#include <span>

#include "frame/handle_guard.h"
#include "platform/installer.h"

namespace zarvo {

// A text read from the installer, owned by the reader; null means nothing was read.
using OwnedText = std::unique_ptr<char16_t[]>;

// The whole text of a property, or null when the read failed (the action then answers
// 1603). Costs two installer calls and one allocation of exactly the needed size.
OwnedText ReadPropertyAlloc(Installer& installer, InstallerHandle session, const char16_t* name);

// One GetProperty call into the caller's buffer, with its capacity as the count. A text of
// as many characters as the capacity, or more, is refused by the installer with 234.
WinResult ReadPropertyFixed(Installer& installer, InstallerHandle session, const char16_t* name,
                            std::span<char16_t> buffer);

// The formatted text of field 1 to 99 of a fetched record, or null. Leaves the template
// "[N]" in field 0 of the record.
OwnedText ReadRecordField(Installer& installer, InstallerHandle session, InstallerHandle record,
                          std::uint32_t field);

// Owns one database, view or record handle and closes it when its scope ends.
using InstallerHandleGuard =
    HandleGuard<Installer, InstallerHandle, &Installer::CloseInstallerHandle>;

}  // namespace zarvo
