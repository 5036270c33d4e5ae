#include "substitution/file_rewrite.h"

#include <optional>

#include "substitution/target_path.h"

namespace zarvo {
namespace {

RewriteOutcome OpenOutcome(ReaderOpen opened)
{
    return opened == ReaderOpen::Failed ? RewriteOutcome::TargetNotOpened : RewriteOutcome::EncodingRefused;
}

// The temporary file's name is known to everyone, and its folder may be writable by users
// with fewer rights than the installer: what stands there may be a link to another file,
// through which a write would go. It is removed (which removes a link, never what it points
// at) and the file created new, so that the rewrite is only ever written into a file the
// action made itself; should something appear there in between, the rewrite is refused.
bool CreateOwnTemporary(Files& files, LineWriter& writer, const char16_t* temporary, TextEncoding encoding)
{
    files.Delete(temporary);
    return writer.Create(temporary, encoding);
}

// Reads the target through the edit into the temporary file, closing the target, then the
// temporary file. The reason it stopped, or nothing when the temporary file holds the whole
// rewrite.
std::optional<RewriteOutcome> RewriteToTemporary(Files& files, const char16_t* target, const char16_t* temporary,
                                  const RewriteFormat& format, const LineEdit& edit)
{
    if (!IsPlainAbsolutePath(target)) return RewriteOutcome::TargetRefused;
    LineReader reader(files);
    const ReaderOpen opened = reader.Open(target, format.input);
    if (opened != ReaderOpen::Opened) return OpenOutcome(opened);
    LineWriter writer(files);
    if (!CreateOwnTemporary(files, writer, temporary, format.output)) return RewriteOutcome::TemporaryNotCreated;
    std::u16string line;
    line.reserve(format.lineCapacity + 1);
    while (reader.ReadLine(line, format.lineCapacity)) {
        edit(line);
        writer.WriteLine(line);
    }
    const bool readWhole = !reader.Failed();
    reader.Close();
    if (!writer.Finish() || !readWhole) return RewriteOutcome::Incomplete;
    return std::nullopt;
}

}  // namespace

RewriteOutcome MoveOverTarget(Files& files, const char16_t* temporary, const char16_t* target)
{
    // Written through, so that the move itself is on the disk when the action goes on.
    return files.Move(temporary, target, kMoveFileReplaceExisting | kMoveFileWriteThrough)
               ? RewriteOutcome::Replaced
               : RewriteOutcome::MoveRefused;
}

RewriteOutcome RewriteThrough(Files& files, const char16_t* target, const char16_t* temporary,
                              const RewriteFormat& format, const LineEdit& edit, ReplaceStep replace)
{
    const std::optional<RewriteOutcome> stopped = RewriteToTemporary(files, target, temporary, format, edit);
    return stopped ? *stopped : replace(files, temporary, target);
}

RewriteOutcome RewriteBeside(Files& files, const char16_t* target, const RewriteFormat& format,
                             const LineEdit& edit, ReplaceStep replace)
{
    const std::u16string temporary = std::u16string(target) + u".tmp";
    return RewriteThrough(files, target, temporary.c_str(), format, edit, replace);
}

}  // namespace zarvo
