#include "substitution/file_rewrite.h"

#include <iterator>
#include <optional>

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
    u"file not replaced: a read, write, flush or close failed; the unfinished rewrite stays in its temporary file",
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
// rewrite.
template <class Reader, class Format, class Edit>
std::optional<RewriteOutcome> CopyToTemporary(Files& files, Reader& reader, ReaderOpen opened,
                                              const char16_t* temporary, const Format& format, const Edit& edit,
                                              ReadEncoding& read)
{
    read = reader.Encoding();
    if (opened != ReaderOpen::Opened) return OpenOutcome(opened);
    LineWriter writer(files);
    if (!CreateOwnTemporary(files, writer, temporary, format.output)) return RewriteOutcome::TemporaryNotCreated;
    CopyLines(reader, writer, format, edit);
    const bool readWhole = !reader.Failed();
    reader.Close();
    if (!writer.Finish() || !readWhole) return RewriteOutcome::Incomplete;
    return std::nullopt;
}

// Reads the target through the edit into the temporary file, as bytes or decoded.
std::optional<RewriteOutcome> RewriteToTemporary(Files& files, const char16_t* target, const char16_t* temporary,
                                                 const ByteRewriteFormat& format, const ByteLineEdits& edit,
                                                 ReadEncoding& read)
{
    ByteLineReader reader(files, format.editTriggers);
    return CopyToTemporary(files, reader, reader.Open(target), temporary, format, edit, read);
}

std::optional<RewriteOutcome> RewriteToTemporary(Files& files, const char16_t* target, const char16_t* temporary,
                                                 const RewriteFormat& format, const LineEdits& edit,
                                                 ReadEncoding& read)
{
    LineReader reader(files);
    return CopyToTemporary(files, reader, reader.Open(target, format.input), temporary, format, edit, read);
}

template <class Format, class Edit>
RewriteReport Rewrite(Files& files, const char16_t* target, const char16_t* temporary, const Format& format,
                      const Edit& edit, ReplaceStep replace)
{
    RewriteReport report;
    report.written = format.output;
    if (!IsPlainAbsolutePath(target)) return report;
    const std::optional<RewriteOutcome> stopped =
        RewriteToTemporary(files, target, temporary, format, edit, report.read);
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

std::u16string_view DescribeOutcome(const RewriteReport& report)
{
    if (report.outcome == RewriteOutcome::EncodingRefused && report.read.mark == ByteOrderMark::Utf16Be)
        return u"file not replaced: it starts with the big-endian UTF-16 byte-order mark, which is not read";
    return kOutcomeTexts[static_cast<std::size_t>(report.outcome)];
}

RewriteOutcome MoveOverTarget(Files& files, const char16_t* temporary, const char16_t* target)
{
    // Written through, so that the move itself is on the disk when the action goes on.
    return files.Move(temporary, target, kMoveFileReplaceExisting | kMoveFileWriteThrough)
               ? RewriteOutcome::Replaced
               : RewriteOutcome::MoveRefused;
}

RewriteReport RewriteThrough(Files& files, const char16_t* target, const char16_t* temporary,
                             const RewriteFormat& format, const LineEdits& edit, ReplaceStep replace)
{
    return Rewrite(files, target, temporary, format, edit, replace);
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
