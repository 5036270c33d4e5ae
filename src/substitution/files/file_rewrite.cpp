#include "substitution/files/file_rewrite.h"

#include <iterator>

#include "frame/result_codes.h"
#include "substitution/files/target_path.h"

namespace zarvo {
namespace {

// In the order of RewriteOutcome. Single-byte text refuses either UTF-16 mark, the reading
// by mark only the big-endian one, which DescribeOutcome tells apart.
constexpr std::u16string_view kOutcomeTexts[] = {
    u"file replaced",
    u"file not replaced: not a plain absolute path, so never opened",
    u"file not replaced: it could not be opened (missing, or held by another program)",
    u"file not replaced: it starts with the UTF-16LE byte-order mark, which is not read as single-byte text",
    u"file not replaced: its temporary file could not be created",
    u"file not replaced: reading it failed with Windows error ",
    u"file not replaced: writing its temporary file failed with Windows error ",
    u"file not replaced: its attributes could not be read to be kept; the rewrite stays in its temporary file",
    u"file not replaced: the rewrite could not be moved over it and stays in its temporary file",
    u"file replaced, but its attributes could not be put back",
};
static_assert(std::size(kOutcomeTexts) == static_cast<std::size_t>(RewriteOutcome::AttributesNotRestored) + 1);

RewriteOutcome OpenOutcome(ReaderOpen opened)
{
    return opened == ReaderOpen::Failed ? RewriteOutcome::TargetNotOpened : RewriteOutcome::EncodingRefused;
}

}  // namespace

bool ReachedTheText(RewriteOutcome outcome)
{
    return outcome != RewriteOutcome::TargetRefused && outcome != RewriteOutcome::TargetNotOpened &&
           outcome != RewriteOutcome::EncodingRefused && outcome != RewriteOutcome::TemporaryNotCreated;
}

LogLine& DescribeOutcome(LogLine& line, const RewriteReport& report)
{
    if (report.outcome == RewriteOutcome::EncodingRefused && report.read.mark == ByteOrderMark::Utf16Be)
        return line << u"file not replaced: it starts with the big-endian UTF-16 byte-order mark, which is not read";
    line << kOutcomeTexts[static_cast<std::size_t>(report.outcome)];
    if (report.outcome != RewriteOutcome::ReadFailed && report.outcome != RewriteOutcome::WriteFailed) return line;
    return line << report.error
                << (report.temporaryDeleted ? u"; the unfinished rewrite was deleted"
                                            : u"; the unfinished rewrite could not be deleted and stays in its "
                                              u"temporary file");
}

RewriteOutcome MoveOverTarget(Files& files, const char16_t* temporary, const char16_t* target)
{
    // Written through, so that the move itself is on the disk when the action goes on.
    return files.Move(temporary, target, kMoveFileReplaceExisting | kMoveFileWriteThrough)
               ? RewriteOutcome::Replaced
               : RewriteOutcome::MoveRefused;
}

std::u16string TemporaryBeside(const char16_t* target)
{
    return std::u16string(target) + u".tmp";
}

namespace rewrite_steps {

std::optional<RewriteOutcome> OpenTarget(BlockReader& reader, const char16_t* target, TextInput input,
                                         RewriteReport& report)
{
    if (!IsPlainAbsolutePath(target)) return RewriteOutcome::TargetRefused;
    const ReaderOpen opened = reader.Open(target, input);
    report.read = reader.Encoding();
    if (opened != ReaderOpen::Opened) return OpenOutcome(opened);
    return std::nullopt;
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

// An unfinished rewrite is deleted: on a full disk it would keep the disk full for the rest of
// the installation.
RewriteOutcome Finish(Files& files, BlockReader& reader, LineWriter& writer, const char16_t* temporary,
                      const char16_t* target, ReplaceStep replace, RewriteReport& report)
{
    const std::uint32_t readError = reader.ReadError();
    reader.Close();
    const std::uint32_t writeError = writer.Finish();
    if (readError == kErrorSuccess && writeError == kErrorSuccess) return replace(files, temporary, target);
    report.error = readError != kErrorSuccess ? readError : writeError;
    report.temporaryDeleted = files.Delete(temporary);
    return readError != kErrorSuccess ? RewriteOutcome::ReadFailed : RewriteOutcome::WriteFailed;
}

}  // namespace rewrite_steps
}  // namespace zarvo
