#pragma once
// The one way an installed file is rewritten: line by line into a temporary file beside it,
// which takes the file's place only once it holds the whole rewrite.
#include <functional>
#include <string>

#include "substitution/line_file.h"

namespace zarvo {

// The line buffers of both substitution engines hold 5,000 characters, terminator included.
inline constexpr std::size_t kSubstitutionLineCapacity = 4999;

struct RewriteFormat {
    TextInput input;
    TextEncoding output;
    std::size_t lineCapacity;  // characters of a line before its terminator
};

// Changes one line in place; the line never grows past the format's line capacity.
using LineEdit = std::function<void(std::u16string& line)>;

// Reads the target through the edit into the temporary file, closing the target, then the
// temporary file. True only when the target was read whole and every line was written:
// only then may the temporary file replace the target. False, with nothing created, when
// the target cannot be opened.
bool RewriteToTemporary(Files& files, const char16_t* target, const char16_t* temporary,
                        const RewriteFormat& format, const LineEdit& edit);

// Puts the complete rewrite in the target's place.
using ReplaceStep = void (*)(Files& files, const char16_t* temporary, const char16_t* target);
void MoveOverTarget(Files& files, const char16_t* temporary, const char16_t* target);

// Rewrites the target through the temporary file "<target>.tmp" beside it, which replaces
// the target, by the replace step, only when it holds the whole rewrite.
void RewriteBeside(Files& files, const char16_t* target, const RewriteFormat& format,
                   const LineEdit& edit, ReplaceStep replace);

}  // namespace zarvo
