#pragma once
// Every rule of the checker, with its id: ZC1.. the library's custom actions and their places
// in the sequences, ZC2.. the Prerequisites table, ZC3.. the substitution commands in the
// Registry table, ZC4.. the properties the actions read.
#include "finding.h"

namespace zarvo::check::rules {

inline constexpr Rule kUnknownExport{"ZC101", Severity::Error};
inline constexpr Rule kImmediateDataReader{"ZC102", Severity::Error};
inline constexpr Rule kUnfedDataReader{"ZC103", Severity::Error};
inline constexpr Rule kDeferredOutsideScript{"ZC104", Severity::Error};
inline constexpr Rule kChangesOutsideCosting{"ZC105", Severity::Warning};
inline constexpr Rule kFrameworkBeforeSource{"ZC106", Severity::Warning};

inline constexpr Rule kNoPrerequisiteTable{"ZC201", Severity::Error};
inline constexpr Rule kLackingColumns{"ZC202", Severity::Error};
inline constexpr Rule kUnknownType{"ZC203", Severity::Error};
inline constexpr Rule kVersionReadsAsZero{"ZC204", Severity::Warning};
inline constexpr Rule kNotFileVersionKeyword{"ZC205", Severity::Warning};
inline constexpr Rule kNotStateKeyword{"ZC206", Severity::Error};
inline constexpr Rule kInstanceIn32BitView{"ZC207", Severity::Warning};
inline constexpr Rule kNoSuchComponent{"ZC208", Severity::Warning};
inline constexpr Rule kKeyPathWithRoot{"ZC209", Severity::Error};
inline constexpr Rule kHexadecimalValue{"ZC210", Severity::Warning};
inline constexpr Rule kNotAProductCode{"ZC211", Severity::Error};
inline constexpr Rule kSameOrder{"ZC212", Severity::Warning};

inline constexpr Rule kNumberNeverRead{"ZC301", Severity::Error};
inline constexpr Rule kOtherRoot{"ZC302", Severity::Error};
inline constexpr Rule kNoActionRunsCommands{"ZC303", Severity::Error};
inline constexpr Rule kKeyNotRead{"ZC304", Severity::Error};
inline constexpr Rule kOtherView{"ZC305", Severity::Error};
inline constexpr Rule kXmlCommandIn32BitPackage{"ZC306", Severity::Error};
inline constexpr Rule kTargetWithoutFolder{"ZC307", Severity::Warning};
inline constexpr Rule kNotAMultiString{"ZC308", Severity::Warning};
inline constexpr Rule kPairsEndEarly{"ZC309", Severity::Warning};
inline constexpr Rule kTooManyPairs{"ZC310", Severity::Warning};
inline constexpr Rule kNearCommandName{"ZC311", Severity::Warning};

inline constexpr Rule kPropertyNotSet{"ZC401", Severity::Warning};
inline constexpr Rule kInterpreterWaits{"ZC402", Severity::Error};
inline constexpr Rule kMalformedFrameworkTest{"ZC403", Severity::Error};
inline constexpr Rule kMessageBoxMarker{"ZC404", Severity::Warning};

}  // namespace zarvo::check::rules
