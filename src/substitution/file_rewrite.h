#pragma once
// The one way an installed file is rewritten: line by line into a temporary file beside it,
// created new by the action itself, flushed to the disk, and only then moved over the file.
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "frame/action_log.h"
#include "substitution/byte_lines.h"
#include "substitution/line_file.h"

namespace zarvo {

// The line buffers of both substitution engines hold 5,000 characters, terminator included.
inline constexpr std::size_t kSubstitutionLineCapacity = 4999;

// Text decoded into characters line by line, and written in the output encoding.
struct RewriteFormat {
    TextInput input;
    TextEncoding output;
    std::size_t lineCapacity;  // characters of a line before its terminator
};

// Single-byte text written as single-byte text, never decoded: each byte is the character of
// its code, and a line holding none of the edit's triggers is copied as its bytes.
struct ByteRewriteFormat {
    static constexpr TextEncoding output = TextEncoding::SingleByte;
    std::size_t lineCapacity;  // characters of a line before its terminator
    ByteSet editTriggers;      // the bytes a line must hold for the edit to change it
};

// What became of one rewrite. Only Replaced and AttributesNotRestored changed the target.
enum class RewriteOutcome {
    Replaced,               // the target holds the whole rewrite
    TargetRefused,          // not a plain absolute path: never opened
    TargetNotOpened,        // missing, or held by another program
    EncodingRefused,        // its byte-order mark names an encoding it cannot be read in
    TemporaryNotCreated,    // something at the temporary file's name could not be removed
    ReadFailed,             // a read of the target failed; the unfinished rewrite is deleted
    WriteFailed,            // a write, the flush or the close of the temporary file failed; the same
    AttributesUnread,       // the target's attributes could not be read to be kept
    MoveRefused,            // the target could not be replaced; the temporary file stays
    AttributesNotRestored,  // replaced, but its attributes could not be put back
};

// How often one row of an engine's table replaced its token in the file, by the token as
// the file holds it ("<INSTALLDIR>", "INSTALLDIR", "<Port>"): never the value put in.
struct TokenCount {
    std::u16string token;
    std::uint32_t replaced = 0;

    // Stops at the largest count rather than start again from zero. Inline: a count is added
    // for nearly every line of some files.
    void Add(std::uint32_t more)
    {
        const std::uint32_t room = std::numeric_limits<std::uint32_t>::max() - replaced;
        replaced = more > room ? std::numeric_limits<std::uint32_t>::max() : replaced + more;
    }
};

// What became of one rewrite, for the log.
struct RewriteReport {
    RewriteOutcome outcome = RewriteOutcome::TargetRefused;
    std::uint32_t error = 0;       // the Windows error of a read or write that failed
    bool temporaryDeleted = true;  // after a failed read or write: the unfinished rewrite is gone
    ReadEncoding read;  // once the target was opened
    TextEncoding written = TextEncoding::SingleByte;
    std::vector<TokenCount> replacements;  // the engines' rows, in the order they apply
};

// Whether the rewrite went through the target's text, so that its encodings and counts say
// what the rewrite holds.
bool ReachedTheText(RewriteOutcome outcome);

// Adds what became of the target to the line, in the log's words: "file replaced", or "file not
// replaced: " and why, with the Windows error of a read or write that failed.
LogLine& DescribeOutcome(LogLine& line, const RewriteReport& report);

// Changes one line in place; the line never grows past the format's line capacity.
using LineEdit = std::function<void(std::u16string& line)>;
// The same for a line of single-byte text, given as its characters' bytes.
using ByteLineEdit = std::function<void(std::string& line)>;

// Edits whole lines given as their bytes, as LineReader::TakePlainLines and
// ByteLineReader::TakeLines take them, and writes them.
using PlainLinesEdit = std::function<void(std::string_view lines, LineWriter& writer)>;

// The edit of a decoded line, and the same edit of a line whose characters are all below 256,
// given as their bytes: most lines are read so, undecoded. Without the latter every line is
// decoded. With it, the same edit may take such lines many at a time, where they stand.
struct LineEdits {
    LineEdit characters;
    ByteLineEdit bytes;
    PlainLinesEdit lines;
};

// The edit of a line of single-byte text, and the same edit of many whole lines at a time,
// where they stand; without the latter, the lines that hold no edit trigger are written as they
// stand and the others edited one by one.
struct ByteLineEdits {
    ByteLineEdit line;
    PlainLinesEdit lines;
};

// Puts the complete rewrite in the target's place.
using ReplaceStep = RewriteOutcome (*)(Files& files, const char16_t* temporary, const char16_t* target);
RewriteOutcome MoveOverTarget(Files& files, const char16_t* temporary, const char16_t* target);

// Rewrites the target through the temporary file, which replaces it, by the replace step,
// only when it holds the whole rewrite.
RewriteReport RewriteThrough(Files& files, const char16_t* target, const char16_t* temporary,
                             const ByteRewriteFormat& format, const ByteLineEdits& edit, ReplaceStep replace);

// The same through the temporary file "<target>.tmp" beside the target.
RewriteReport RewriteBeside(Files& files, const char16_t* target, const RewriteFormat& format,
                            const LineEdits& edit, ReplaceStep replace);
RewriteReport RewriteBeside(Files& files, const char16_t* target, const ByteRewriteFormat& format,
                            const ByteLineEdits& edit, ReplaceStep replace);

}  // namespace zarvo
