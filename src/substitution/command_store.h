#pragma once
// The registry side of the substitution actions: numbered command values under a key of
// the package's own, each taken up once and deleted.
#include <span>
#include <string_view>

#include "platform/platform.h"
#include "substitution/file_rewrite.h"

namespace zarvo {

// Rewrites the file one command names; the command buffer may be written into.
using SubstitutionEngine = RewriteOutcome (*)(Files& files, std::span<char16_t> command);

// For the values pattern 0 to 19 (such as "SetupSubstFileCmd_%d") under the key path below
// HKEY_LOCAL_MACHINE, in number order: a value that holds data runs the engine and is then
// deleted, whatever the engine met; a missing or empty value is left alone.
void ConsumeSubstitutionCommands(Platform& platform, const char16_t* keyPath,
                                 std::u16string_view pattern, std::uint32_t access,
                                 SubstitutionEngine engine);

}  // namespace zarvo
