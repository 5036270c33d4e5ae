#include "platform/libmsi/libmsi_result.h"

#include <libmsi.h>

#include <array>

namespace zarvo::libmsi {
namespace {

// libmsi's results in the order of its LibmsiResultError, which numbers them 0, 1, 2, ...
// rather than by their Windows codes (and has no "no more items": a fetch past the last row
// answers nothing without an error).
constexpr std::array<WinResult, 19> kWindowsCodes{
    kSuccess,            // LIBMSI_RESULT_SUCCESS
    5,                   // LIBMSI_RESULT_ACCESS_DENIED
    kInvalidHandle,      // LIBMSI_RESULT_INVALID_HANDLE
    8,                   // LIBMSI_RESULT_NOT_ENOUGH_MEMORY
    13,                  // LIBMSI_RESULT_INVALID_DATA
    14,                  // LIBMSI_RESULT_OUTOFMEMORY
    kInvalidParameter,   // LIBMSI_RESULT_INVALID_PARAMETER
    kOpenFailed,         // LIBMSI_RESULT_OPEN_FAILED
    120,                 // LIBMSI_RESULT_CALL_NOT_IMPLEMENTED
    234,                 // LIBMSI_RESULT_MORE_DATA
    1168,                // LIBMSI_RESULT_NOT_FOUND
    1246,                // LIBMSI_RESULT_CONTINUE
    kUnknownProperty,    // LIBMSI_RESULT_UNKNOWN_PROPERTY
    kBadQuerySyntax,     // LIBMSI_RESULT_BAD_QUERY_SYNTAX
    1616,                // LIBMSI_RESULT_INVALID_FIELD
    kFunctionFailed,     // LIBMSI_RESULT_FUNCTION_FAILED
    kInvalidTable,       // LIBMSI_RESULT_INVALID_TABLE
    kDatatypeMismatch,   // LIBMSI_RESULT_DATATYPE_MISMATCH
    kInvalidDatatype,    // LIBMSI_RESULT_INVALID_DATATYPE
};
static_assert(LIBMSI_RESULT_INVALID_DATATYPE + 1 == kWindowsCodes.size());

}  // namespace

WinResult ResultOf(const GError* error, WinResult otherwise)
{
    if (error == nullptr || error->domain != LIBMSI_RESULT_ERROR || error->code <= 0 ||
        static_cast<std::size_t>(error->code) >= kWindowsCodes.size())
        return otherwise;
    return kWindowsCodes[static_cast<std::size_t>(error->code)];
}

}  // namespace zarvo::libmsi
