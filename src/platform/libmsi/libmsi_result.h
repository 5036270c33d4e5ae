#pragma once
// Linux only: libmsi's errors as the Windows codes that msi.dll answers with.
#include <glib.h>

#include "platform/installer.h"

namespace zarvo::libmsi {

inline constexpr WinResult kSuccess = 0;
inline constexpr WinResult kInvalidHandle = 6;
inline constexpr WinResult kInvalidParameter = 87;
inline constexpr WinResult kOpenFailed = 110;
inline constexpr WinResult kNoMoreItems = 259;
inline constexpr WinResult kUnknownProperty = 1608;
inline constexpr WinResult kBadQuerySyntax = 1615;
inline constexpr WinResult kInstallPackageInvalid = 1620;
inline constexpr WinResult kFunctionFailed = 1627;
inline constexpr WinResult kInvalidTable = 1628;
inline constexpr WinResult kDatatypeMismatch = 1629;
inline constexpr WinResult kInvalidDatatype = 1804;

// The code of the same name for one of libmsi's own results; `otherwise` for no error, an
// error of another library, or a result libmsi does not name.
WinResult ResultOf(const GError* error, WinResult otherwise);

}  // namespace zarvo::libmsi
