#pragma once
// What the reference model is given and what it answers, in the terms of the documented
// rules: pairs as a command writes them, and the bytes a rewrite leaves in the file.
#include <optional>
#include <string>
#include <vector>

namespace zarvo::reference {

struct Pair {
    std::u16string name;
    std::u16string value;
};
using Pairs = std::vector<Pair>;

// The file's bytes after the rewrite, or nullopt where the action refuses the file and
// leaves it as it was.
using Rewritten = std::optional<std::string>;

}  // namespace zarvo::reference
