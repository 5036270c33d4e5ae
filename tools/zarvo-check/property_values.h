#pragma once
// What the package's properties hold, as far as the package itself tells: the Property table
// and the type-51 actions it schedules. Everything else (folders, files, what the machine or
// the command line sets) only the installation knows.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "package_index.h"

namespace zarvo::check {

// Whether the installer formats something into the text at installation: it holds a "[".
bool IsFormatted(std::u16string_view text);

// A text the package gives a property, and where its author wrote it.
struct GivenText {
    std::u16string text;
    std::u16string where;  // "Property[NAME]", or the type-51 action's "CustomAction[SetNAME]"
    bool formatted;        // the installer formats it: a type-51 action's Target that holds a "["
};

// What the Property table and each scheduled type-51 action give the property, in that order.
std::vector<GivenText> TextsGiven(const PackageIndex& index, std::u16string_view property);

// Whether the Property table or a scheduled type-51 action sets the property.
bool IsSetByPackage(const PackageIndex& index, std::u16string_view property);

// The texts a formatted text can become, from property references ([NAME]) that the package
// sets. Nothing when it refers to anything else, to a property the package does not set, or
// could become too many texts to tell.
std::optional<std::vector<std::u16string>> PossibleTexts(const PackageIndex& index, std::u16string_view text);

}  // namespace zarvo::check
