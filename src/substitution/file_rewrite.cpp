#include "substitution/file_rewrite.h"

#include <iterator>
#include <optional>

#include "frame/result_codes.h"
#include "substitution/target_path.h"

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

void CopyLines(LineReader& reader, LineWriter& writer, const RewriteFormat& format, const LineEdits& edit)
{
    std::u16string line;
    line.reserve(format.lineCapacity + 1);
    std::string bytes;
    bytes.reserve(format.lineCapacity + 1);
    for (;;) {
        if (const std::string_view lines = edit.lines ? reader.TakePlainLines() : std::string_view(); !lines.empty()) {
            edit.lines(lines, writer);
            continue;
        }
        if (edit.bytes && reader.ReadPlainLine(bytes, format.lineCapacity)) {
            edit.bytes(bytes);
            writer.WriteLine(bytes);
            continue;
        }
        if (!reader.ReadLine(line, format.lineCapacity)) return;
        edit.characters(line);
        writer.WriteLine(line);
    }
}

// A line that holds no edit trigger is one the edit would leave as it is: its bytes are
// written as they were read, together with the lines around it that hold none either.
void CopyLines(ByteLineReader& reader, LineWriter& writer, const ByteRewriteFormat& format, const ByteLineEdits& edit)
{
    std::string line;
    line.reserve(format.lineCapacity + 1);
    for (;;) {
        if (edit.lines) {
            if (const std::string_view lines = reader.TakeLines(); !lines.empty()) {
                edit.lines(lines, writer);
                continue;
            }
        } else if (const std::string_view plain = reader.TakePlainLines(); !plain.empty()) {
            writer.WriteBytes(plain);
            continue;
        }
        const ByteLine read = reader.ReadLine(format.lineCapacity);
        if (read.bytes.empty()) return;
        if (!read.holdsMarked) {
            writer.WriteBytes(read.bytes);
            continue;
        }
        LineCharacters(read.bytes, line);
        edit.line(line);
        writer.WriteLine(line);
    }
}

// Copies the lines of the target, opened by the reader, through the edit into the temporary
// file, closing the target, then the temporary file; notes how the target was read once it
// was opened. The reason it stopped, or nothing when the temporary file holds the whole
// rewrite. An unfinished rewrite is deleted: on a full disk it would keep the disk full for
// the rest of the installation.
template <class Reader, class Format, class Edit>
std::optional<RewriteOutcome> CopyToTemporary(Files& files, Reader& reader, ReaderOpen opened,
                                              const char16_t* temporary, const Format& format, const Edit& edit,
                                              RewriteReport& report)
{
    report.read = reader.Encoding();
    if (opened != ReaderOpen::Opened) return OpenOutcome(opened);
    LineWriter writer(files);
    if (!CreateOwnTemporary(files, writer, temporary, format.output)) return RewriteOutcome::TemporaryNotCreated;
    CopyLines(reader, writer, format, edit);
    const std::uint32_t readError = reader.ReadError();
    reader.Close();
    const std::uint32_t writeError = writer.Finish();
    if (readError == kErrorSuccess && writeError == kErrorSuccess) return std::nullopt;
    report.error = readError != kErrorSuccess ? readError : writeError;
    report.temporaryDeleted = files.Delete(temporary);
    return readError != kErrorSuccess ? RewriteOutcome::ReadFailed : RewriteOutcome::WriteFailed;
}

// Reads the target through the edit into the temporary file, as bytes or decoded.
std::optional<RewriteOutcome> RewriteToTemporary(Files& files, const char16_t* target, const char16_t* temporary,
                                                 const ByteRewriteFormat& format, const ByteLineEdits& edit,
                                                 RewriteReport& report)
{
    ByteLineReader reader(files, format.editTriggers);
    return CopyToTemporary(files, reader, reader.Open(target), temporary, format, edit, report);
}

std::optional<RewriteOutcome> RewriteToTemporary(Files& files, const char16_t* target, const char16_t* temporary,
                                                 const RewriteFormat& format, const LineEdits& edit,
                                                 RewriteReport& report)
{
    LineReader reader(files);
    return CopyToTemporary(files, reader, reader.Open(target, format.input), temporary, format, edit, report);
}

template <class Format, class Edit>
RewriteReport Rewrite(Files& files, const char16_t* target, const char16_t* temporary, const Format& format,
                      const Edit& edit, ReplaceStep replace)
{
    RewriteReport report;
    report.written = format.output;
    if (!IsPlainAbsolutePath(target)) return report;
    const std::optional<RewriteOutcome> stopped =
        RewriteToTemporary(files, target, temporary, format, edit, report);
    report.outcome = stopped ? *stopped : replace(files, temporary, target);
    return report;
}

std::u16string TemporaryBeside(const char16_t* target)
{
    return std::u16string(target) + u".tmp";
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

RewriteReport RewriteThrough(Files& files, const char16_t* target, const char16_t* temporary,
                             const ByteRewriteFormat& format, const ByteLineEdits& edit, ReplaceStep replace)
{
    return Rewrite(files, target, temporary, format, edit, replace);
}

RewriteReport RewriteBeside(Files& files, const char16_t* target, const RewriteFormat& format,
                            const LineEdits& edit, ReplaceStep replace)
{
    return Rewrite(files, target, TemporaryBeside(target).c_str(), format, edit, replace);
}

RewriteReport RewriteBeside(Files& files, const char16_t* target, const ByteRewriteFormat& format,
                            const ByteLineEdits& edit, ReplaceStep replace)
{
    return Rewrite(files, target, TemporaryBeside(target).c_str(), format, edit, replace);
}

}  // namespace zarvo
