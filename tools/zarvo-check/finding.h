#pragma once
// What the checker has to say about a package: one finding per mistake, where it is and why
// it matters, in the words a package author reads in the README, under the id of its rule.
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::check {

// An error: the package cannot work as its author meant. A warning: it may.
enum class Severity { Error, Warning };

// A kind of mistake: its id, which stays the same from one version of the checker to the
// next (a build may filter on it), and how much it matters, which every finding of it shares.
struct Rule {
    std::string_view id;
    Severity severity;
};

struct Finding {
    Severity severity = Severity::Error;
    std::string rule;     // "ZC203"
    std::string where;    // UTF-8, what the author wrote: "CustomAction[SubstFiles]", ...
    std::string message;  // UTF-8, without the package's name or the severity
};

using Findings = std::vector<Finding>;

}  // namespace zarvo::check
