#pragma once
// The Types of the Prerequisites table. One table serves both actions: each knows its own
// kinds, and passes over the other's, which its log names as the other's rather than unknown.
#include <string_view>

namespace zarvo {

inline constexpr std::u16string_view kCheckFileVersion = u"CheckFileVersion";
inline constexpr std::u16string_view kCheckRegistryVersion = u"CheckRegistryVersion";
inline constexpr std::u16string_view kCheckRegistryDWord = u"CheckRegistryDWord";
inline constexpr std::u16string_view kCheckProductState = u"CheckProductState";
inline constexpr std::u16string_view kCheckInstanceProductState = u"CheckInstanceProductState";

inline constexpr std::u16string_view kCheckVersionSetProperty = u"CheckVersionSetProperty";
inline constexpr std::u16string_view kCheckVersionDisableComponent = u"CheckVersionDisableComponent";
inline constexpr std::u16string_view kCheckFileVersionDisableComponent =
    u"CheckFileVersionDisableComponent";

// The keywords a row's ValueName must hold for the gate to check it: a CheckFileVersion row
// with another ValueName passes unchecked, a CheckProductState row with another fails.
inline constexpr std::u16string_view kFileVersionKeyword = u"FileVersion";
inline constexpr std::u16string_view kStateKeyword = u"ValueGreaterThanOrEqualTo";

// The kinds of CheckPrerequisites.
inline constexpr std::u16string_view kGateTypes[] = {
    kCheckFileVersion, kCheckRegistryVersion, kCheckRegistryDWord, kCheckProductState,
    kCheckInstanceProductState,
};

// The kinds of ChangeElementsFromPrerequisites.
inline constexpr std::u16string_view kChangeTypes[] = {
    kCheckVersionSetProperty, kCheckVersionDisableComponent, kCheckFileVersionDisableComponent,
};

}  // namespace zarvo
