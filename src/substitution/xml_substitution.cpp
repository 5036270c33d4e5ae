#include "substitution/xml_substitution.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "substitution/byte_scan.h"
#include "substitution/file_rewrite.h"
#include "substitution/line_file.h"
#include "substitution/substitution_command.h"
#include "substitution/present_rows.h"

namespace zarvo {
namespace {

// "</" and ">" around the name must fit a tag buffer of the line's size.
constexpr std::size_t kLongestName = kSubstitutionLineCapacity - 3;

// An element's tags and the content it gets, as characters, or as the bytes of single-byte
// text for the lines read undecoded.
template <class Text>
struct ElementEntry {
    Text opening;
    Text closing;
    Text value;
};

// The tags of each pair, made once for the whole file. A name too long for the tag buffers
// could never find both its tags on one line and is left out.
std::vector<ElementEntry<std::u16string>> ElementTable(const SubstitutionCommand& command)
{
    std::vector<ElementEntry<std::u16string>> table;
    for (const SubstitutionPair& pair : command.pairs) {
        if (pair.name.size() > kLongestName) continue;
        table.push_back({Enclosed(u"<", pair.name, u">"), Enclosed(u"</", pair.name, u">"), std::u16string(pair.value)});
    }
    return table;
}

// The same table for lines given as their bytes; none when a tag or content holds a character
// above 255, which such a line cannot take: then every line is decoded.
std::vector<ElementEntry<std::string>> ByteElementTable(const std::vector<ElementEntry<std::u16string>>& table)
{
    std::vector<ElementEntry<std::string>> bytes;
    for (const ElementEntry<std::u16string>& element : table) {
        if (!FitsSingleByteText(element.closing) || !FitsSingleByteText(element.value)) return {};
        bytes.push_back({SingleByteText(element.opening), SingleByteText(element.closing), SingleByteText(element.value)});
    }
    return bytes;
}

std::size_t Find(std::u16string_view line, std::u16string_view tag, std::size_t from)
{
    return line.find(tag, from);
}

std::size_t Find(std::string_view line, std::string_view tag, std::size_t from)
{
    return FindToken(line, tag, from);
}

// Whether the line still fits with the value in place of the content between the tags, from
// `content` to `close`.
bool ValueFits(std::size_t lineSize, std::size_t content, std::size_t close, std::size_t valueSize)
{
    return lineSize - (close - content) + valueSize <= kSubstitutionLineCapacity;
}

// Puts the value between the first opening tag on the line and the first closing tag
// after it, when both are there and the line still fits. The number of replacements made:
// 1 or 0.
template <class Text>
std::uint32_t ReplaceElementContent(Text& line, const ElementEntry<Text>& element)
{
    const std::size_t open = Find(line, element.opening, 0);
    if (open == Text::npos) return 0;
    const std::size_t content = open + element.opening.size();
    const std::size_t close = Find(line, element.closing, content);
    if (close == Text::npos || !ValueFits(line.size(), content, close, element.value.size())) return 0;
    line.replace(content, close - content, element.value);
    return 1;
}

// Every tag starts with "<": where it stands, and where the LFs that end lines stand, are found
// together, a chunk at a time.
constexpr std::array<char, kFewStops> kTagsAndLineEnds{'<', '\n', '\n', '\n'};

// The places of "<" in a line; a line with more goes through the rows.
using TagPlaces = std::array<std::size_t, 16>;

// The bytes gathered before they are widened and written, in one go rather than piece by piece.
constexpr std::size_t kStagedBytes = 16 * 1024;

// Lines taken as their bytes, many at a time where they stand.
class PlainLinesEditor {
public:
    PlainLinesEditor(PresentRows& rows, const std::vector<ElementEntry<std::string>>& elements, const ByteLineEdit& edit)
        : rows_(rows), elements_(elements), edit_(edit)
    {
        line_.reserve(kSubstitutionLineCapacity + 1);
        staged_.reserve(kStagedBytes);
    }

    // Most lines hold the opening tags of one element alone, whose value brings in no other
    // element's: its value is written in place of its content, between the line's bytes around
    // it. Lines without an opening tag are written as they stand, together. Any other line goes
    // through the edit of a line, as does a line longer than a line's capacity, piece by piece.
    void Edit(std::string_view lines, LineWriter& writer)
    {
        BytePlaces places(lines, kTagsAndLineEnds);
        written_ = 0;
        for (std::size_t at = 0; at < lines.size();) {
            TagPlaces tags;
            std::size_t count = 0;
            std::size_t lf = places.Current();
            for (; lf < lines.size() && lines[lf] != '\n'; places.Advance(), lf = places.Current())
                if (count++ < tags.size()) tags[count - 1] = lf - at;
            places.Advance();
            lf = std::min(lf, lines.size() - 1);
            const std::size_t end = lf > at && lines[lf - 1] == '\r' ? lf - 1 : lf;
            const std::string_view line = lines.substr(at, end - at);
            if (line.size() >= kSubstitutionLineCapacity) EditPieces(lines, line, lf, writer);
            else if (count > tags.size()) EditLine(lines, line, lf + 1, writer);
            else EditTagged(lines, line, lf, std::span(tags.data(), count), writer);
            // A CR LF pair reads as an LF: the CR is left out.
            if (end != lf && written_ < lf) {
                Stage(lines.substr(written_, end - written_), writer);
                written_ = lf;
            }
            at = lf + 1;
        }
        Stage(lines.substr(written_), writer);
        WriteStaged(writer);
    }

private:
    // A line's characters before its LF (at `lf`) or CR LF, and the places of its "<".
    void EditTagged(std::string_view lines, std::string_view line, std::size_t lf, std::span<const std::size_t> tags,
                    LineWriter& writer)
    {
        const RowsInLine in = rows_.InLine(line, tags);
        if (in.rows == LineRows::Several) return EditLine(lines, line, lf + 1, writer);
        if (in.rows == LineRows::None) return;
        const ElementEntry<std::string>& element = elements_[in.row];
        const std::size_t content = in.place + element.opening.size();
        // The first closing tag after the content stands at one of the line's "<".
        const auto close = std::ranges::find_if(
            tags, [&](std::size_t tag) { return tag >= content && TokenStandsAt(line, element.closing, tag); });
        // The line as read ends in an LF.
        if (close == tags.end() || !ValueFits(line.size() + 1, content, *close, element.value.size())) return;
        const std::size_t at = Offset(lines, line);
        Stage(lines.substr(written_, at + content - written_), writer);
        Stage(element.value, writer);
        written_ = at + *close;
        rows_.Count(in.row, 1);
    }

    // A line, or a piece of one, through the edit of a line: its characters, and the LF that
    // ends it where the lines go on at `next` only after its LF or CR LF.
    void EditLine(std::string_view lines, std::string_view line, std::size_t next, LineWriter& writer)
    {
        const std::size_t at = Offset(lines, line);
        Stage(lines.substr(written_, at - written_), writer);
        line_.assign(line);
        if (next > at + line.size()) line_.push_back('\n');
        edit_(line_);
        Stage(line_, writer);
        written_ = next;
    }

    // A line as long as a line's capacity or longer, read as pieces of it; its LF at `lf`.
    void EditPieces(std::string_view lines, std::string_view line, std::size_t lf, LineWriter& writer)
    {
        ReadAsPieces(line, kSubstitutionLineCapacity, [&](std::string_view piece, bool ends) {
            EditLine(lines, piece, ends ? lf + 1 : Offset(lines, piece) + piece.size(), writer);
        });
    }

    static std::size_t Offset(std::string_view lines, std::string_view part)
    {
        return static_cast<std::size_t>(part.data() - lines.data());
    }

    // Adds the bytes to those gathered, writing these out first where there is no room; as many
    // bytes as the room go out at once.
    void Stage(std::string_view bytes, LineWriter& writer)
    {
        if (staged_.size() + bytes.size() > kStagedBytes) WriteStaged(writer);
        if (bytes.size() > kStagedBytes) return writer.WriteLine(bytes);
        staged_.append(bytes);
    }

    void WriteStaged(LineWriter& writer)
    {
        writer.WriteLine(staged_);
        staged_.clear();
    }

    PresentRows& rows_;
    const std::vector<ElementEntry<std::string>>& elements_;
    const ByteLineEdit& edit_;
    std::string line_;
    std::string staged_;
    std::size_t written_ = 0;  // the bytes of the lines before it are written, or left out for a value
};

// The rewrite takes the target's place with the target's attributes, also when those
// would refuse the replacement (read-only, hidden, system). A target whose attributes
// cannot be read is not replaced: it would lose them. When the move is refused, the target
// gets its attributes back all the same.
RewriteOutcome ReplaceKeepingAttributes(Files& files, const char16_t* temporary, const char16_t* target)
{
    const std::uint32_t attributes = files.GetAttributes(target);
    if (attributes == kInvalidFileAttributes) return RewriteOutcome::AttributesUnread;
    files.SetAttributes(target, kFileAttributeNormal);
    const RewriteOutcome moved = MoveOverTarget(files, temporary, target);
    const bool restored = files.SetAttributes(target, attributes);
    return moved == RewriteOutcome::Replaced && !restored ? RewriteOutcome::AttributesNotRestored : moved;
}

}  // namespace

RewriteReport SubstituteXmlFile(Files& files, std::span<char16_t> command)
{
    const SubstitutionCommand parsed = ReadSubstitutionCommand(command);
    const std::vector<ElementEntry<std::u16string>> table = ElementTable(parsed);
    const std::vector<ElementEntry<std::string>> byteTable = ByteElementTable(table);
    std::vector<std::u16string_view> openings, values;
    for (const ElementEntry<std::u16string>& element : table) {
        openings.push_back(element.opening);
        values.push_back(element.value);
    }
    PresentRows rows(openings, values);
    const auto edit = [&rows](auto& line, const auto& elements) {
        rows.Apply(line, [&elements](auto& text, std::size_t row) { return ReplaceElementContent(text, elements[row]); });
    };
    LineEdits edits{[&](std::u16string& line) { edit(line, table); }, nullptr, nullptr};
    if (byteTable.size() == table.size()) edits.bytes = [&](std::string& line) { edit(line, byteTable); };
    PlainLinesEditor editor(rows, byteTable, edits.bytes);
    if (edits.bytes) edits.lines = [&editor](std::string_view lines, LineWriter& writer) { editor.Edit(lines, writer); };
    RewriteReport report = RewriteBeside(
        files, parsed.target, {TextInput::ByMark, TextEncoding::Utf16Le, kSubstitutionLineCapacity}, edits,
        &ReplaceKeepingAttributes);
    report.replacements = rows.TakeCounts();
    return report;
}

}  // namespace zarvo
