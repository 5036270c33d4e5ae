#pragma once
// The one way an installed file is rewritten: line by line into a temporary file beside it,
// created new by the action itself, flushed to the disk, and only then moved over the file.
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

// What became of one rewrite. Only Replaced and AttributesNotRestored changed the target.
enum class RewriteOutcome {
    Replaced,               // the target holds the whole rewrite
    TargetRefused,          // not a plain absolute path: never opened
    TargetNotOpened,        // missing, or held by another program
    EncodingRefused,        // its byte-order mark names an encoding it cannot be read in
    TemporaryNotCreated,    // something at the temporary file's name could not be removed
    Incomplete,             // a read, write, flush or close failed; the temporary file stays
    AttributesUnread,       // the target's attributes could not be read to be kept
    MoveRefused,            // the target could not be replaced; the temporary file stays
    AttributesNotRestored,  // replaced, but its attributes could not be put back
};

// Changes one line in place; the line never grows past the format's line capacity.
using LineEdit = std::function<void(std::u16string& line)>;

// Puts the complete rewrite in the target's place.
using ReplaceStep = RewriteOutcome (*)(Files& files, const char16_t* temporary, const char16_t* target);
RewriteOutcome MoveOverTarget(Files& files, const char16_t* temporary, const char16_t* target);

// Rewrites the target through the temporary file, which replaces it, by the replace step,
// only when it holds the whole rewrite.
RewriteOutcome RewriteThrough(Files& files, const char16_t* target, const char16_t* temporary,
                              const RewriteFormat& format, const LineEdit& edit, ReplaceStep replace);

// The same through the temporary file "<target>.tmp" beside the target.
RewriteOutcome RewriteBeside(Files& files, const char16_t* target, const RewriteFormat& format,
                             const LineEdit& edit, ReplaceStep replace);

}  // namespace zarvo
