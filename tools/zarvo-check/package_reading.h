#pragma once
// A built package read into the checks' model, through whichever installer reads packages
// where the checker runs (msi.dll on Windows, libmsi elsewhere).
#include <optional>
#include <string>

#include "package.h"
#include "platform/package_database.h"

namespace zarvo::check {

// The package at `path`: its summary's platform, the tables the checks read (each with every
// column and row; one the package lacks is not present), and the Binary rows that hold this
// library. A stream field reads as an empty text when it holds data, as null otherwise.
// Nothing when there is no file at `path`, when it is a folder, when the file does not open
// as a package or a part of it cannot be read, with `error` saying which (UTF-8, without the
// package's name).
std::optional<Package> ReadPackage(PackageDatabase& installer, const char16_t* path, std::string& error);

}  // namespace zarvo::check
