#pragma once
// What the checker has to say about a package: one finding per mistake, where it is and why
// it matters, in the words a package author reads in the README.
#include <string>
#include <vector>

namespace zarvo::check {

enum class Severity { Error, Warning };

struct Finding {
    Severity severity = Severity::Error;
    std::string where;    // UTF-8: "Prerequisites[Order 3]", "CustomAction[SubstFiles]", ...
    std::string message;  // UTF-8, without the package's name or the severity
};

using Findings = std::vector<Finding>;

}  // namespace zarvo::check
