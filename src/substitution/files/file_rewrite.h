#pragma once
// The one way an installed file is rewritten: line by line into a temporary file beside it,
// created new by the action itself, flushed to the disk, and only then moved over the file.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/action_log.h"
#include "substitution/files/block_reader.h"
#include "substitution/files/line_changes.h"
#include "substitution/files/line_writer.h"

namespace zarvo {

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

// Puts the complete rewrite in the target's place.
using ReplaceStep = RewriteOutcome (*)(Files& files, const char16_t* temporary, const char16_t* target);
RewriteOutcome MoveOverTarget(Files& files, const char16_t* temporary, const char16_t* target);

// The temporary file "<target>.tmp" beside the target.
std::u16string TemporaryBeside(const char16_t* target);

// The steps of a rewrite around the engine's edit of the lines.
namespace rewrite_steps {

// Opens the target and notes how it is read: the reason it stopped, or nothing.
std::optional<RewriteOutcome> OpenTarget(BlockReader& reader, const char16_t* target, TextInput input,
                                         RewriteReport& report);
// Creates the temporary file new, by the action itself.
bool CreateOwnTemporary(Files& files, LineWriter& writer, const char16_t* temporary, TextEncoding encoding);
// Closes both files; replaces the target only when the temporary file holds the whole rewrite,
// and deletes an unfinished one.
RewriteOutcome Finish(Files& files, BlockReader& reader, LineWriter& writer, const char16_t* temporary,
                      const char16_t* target, ReplaceStep replace, RewriteReport& report);

// The block's lines through the engine into the writer, as much changed text at a time as the
// engine gathers.
template <class Char, class Engine>
void EditAndWrite(std::basic_string_view<Char> block, Engine& engine, LineWriter& writer, LineChanges<Char>& changes)
{
    while (!block.empty()) {
        changes.Clear();
        const std::size_t edited = engine.Edit(block, changes);
        writer.Write(block.substr(0, edited), changes);
        block.remove_prefix(edited);
    }
}

}  // namespace rewrite_steps

// Rewrites the target through the temporary file, which replaces it by the replace step only
// when it holds the whole rewrite. The engine names how the target is read (Engine::kInput) and
// written (Engine::kOutput), the characters of its lines (Capacity()), whether its table fits
// single-byte text (TakesBytes()), and edits the lines of a block (Edit(block, changes)): of
// bytes, and of decoded characters where it reads by the byte-order mark. Single-byte text is
// never decoded.
template <class Engine>
RewriteReport RewriteFile(Files& files, const char16_t* target, const char16_t* temporary, Engine& engine,
                          ReplaceStep replace)
{
    using namespace rewrite_steps;
    RewriteReport report;
    report.written = Engine::kOutput;
    BlockReader reader(files);
    if (const std::optional<RewriteOutcome> stopped = OpenTarget(reader, target, Engine::kInput, report)) {
        report.outcome = *stopped;
        return report;
    }
    LineWriter writer(files);
    if (!CreateOwnTemporary(files, writer, temporary, Engine::kOutput)) {
        report.outcome = RewriteOutcome::TemporaryNotCreated;
        return report;
    }
    LineChanges<char> byteChanges;
    LineChanges<char16_t> characterChanges;
    for (TextBlock block; !(block = reader.Next(engine.Capacity(), engine.TakesBytes())).Empty();) {
        EditAndWrite(block.bytes, engine, writer, byteChanges);
        if constexpr (Engine::kInput == TextInput::ByMark)
            EditAndWrite(block.characters, engine, writer, characterChanges);
    }
    report.outcome = Finish(files, reader, writer, temporary, target, replace, report);
    return report;
}

}  // namespace zarvo
