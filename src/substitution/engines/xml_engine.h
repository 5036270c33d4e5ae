#pragma once
// XML files rewritten from a substitution command: the content of the first element of a
// pair's name on a line, opened and closed on that line, becomes the pair's value.
#include <span>

#include "substitution/files/file_rewrite.h"

namespace zarvo {

// Rewrites the command's target, read by its byte-order mark, as UTF-16LE with a mark and
// CR LF line ends, through the target's path with ".tmp" appended; the target's attributes
// (read-only included) are carried over. The target is replaced only by a complete rewrite.
// The report counts the replacements of each element by its opening tag, "<NAME>".
RewriteReport SubstituteXmlFile(Files& files, std::span<char16_t> command);

}  // namespace zarvo
