#pragma once
// Plain-text files rewritten from a substitution command: each pair's name in angle
// brackets becomes its value with backslashes doubled, the bare name its value as it is.
#include <span>

#include "substitution/files/file_rewrite.h"

namespace zarvo {

// Rewrites the command's target as single-byte text with CR LF line ends, through the
// target's path with ".tmp" appended. The target is replaced only by a complete rewrite;
// one that cannot be replaced (read-only) stays as it was, with the rewrite beside it. A
// file that starts with a UTF-16 mark is left as it is: as single-byte text it would be
// broken at every line end. The report counts the replacements of each token, "<NAME>" and
// "NAME" for each pair, those that could only loop or lose text left out.
RewriteReport SubstituteTextFile(Files& files, std::span<char16_t> command);

}  // namespace zarvo
