#pragma once
// Whole lines of the block a reader holds, taken as their bytes and edited where they stand:
// most lines of an installed file hold nothing to replace, or one or two things, and the rest
// of the line is written as it was read, many lines at a time.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "substitution/byte_scan.h"
#include "substitution/file_rewrite.h"
#include "substitution/line_file.h"

namespace zarvo {

class BlockLines {
public:
    // The places an edit starts from, whose bytes `stops` holds beside LF (LF fills what is
    // left of it), and the edit of one line given as its bytes, for the lines that must go
    // through it in full.
    BlockLines(const std::array<char, kFewStops>& stops, const ByteLineEdit& edit);

    // Edits and writes whole lines (each ends in LF), as LineReader::TakePlainLines and
    // ByteLineReader::TakeLines take them. Each line with starts, up to 16 of them, is given to
    // editStarts(line, starts), its characters before its LF or CR LF and the places of the
    // stops among them. It either makes its edit with Replace and answers true, or answers
    // false, and the line goes through the edit of a line; as does a line with more starts,
    // and a line as long as a line's capacity or longer, piece by piece. Other lines are
    // written as they stand.
    template <class EditStarts>
    void Edit(std::string_view lines, LineWriter& writer, EditStarts editStarts);

    // Puts the value in place of the line's bytes from `from` to `to`, after what was put in
    // the line before.
    [[gnu::always_inline]] void Replace(std::string_view line, std::size_t from, std::size_t to,
                                        std::string_view value)
    {
        const std::size_t at = Offset(line);
        Stage(Between(written_, at + from));
        Stage(value);
        written_ = at + to;
    }

private:
    using StartPlaces = std::array<std::size_t, 16>;
    // A line, or a piece of one, through the edit of a line: its characters, and the LF that
    // ends it where the lines go on at `next` only after its LF or CR LF.
    void EditLine(std::string_view line, std::size_t next);
    // A line as long as a line's capacity or longer, read as pieces of it; its LF at `lf`.
    void EditPieces(std::string_view line, std::size_t lf);
    // Adds the bytes to those gathered, writing these out first where there is no room; as many
    // bytes as the room go out at once.
    [[gnu::always_inline]] void Stage(std::string_view bytes);
    void WriteStaged();
    std::size_t Offset(std::string_view part) const { return static_cast<std::size_t>(part.data() - lines_.data()); }
    // The bytes of the lines from one place to another, both within them.
    std::string_view Between(std::size_t from, std::size_t to) const { return {lines_.data() + from, to - from}; }

    std::array<char, kFewStops> stops_;
    const ByteLineEdit& edit_;
    std::string line_;
    std::unique_ptr<char[]> staged_;
    std::size_t stagedSize_ = 0;
    // While lines are edited: they, where they are written, and how far: the bytes of the
    // lines before it are written, or left out for a value.
    std::string_view lines_;
    LineWriter* writer_ = nullptr;
    std::size_t written_ = 0;
};

// The bytes gathered before they are written, in one go rather than piece by piece.
inline constexpr std::size_t kStagedBytes = 16 * 1024;

inline void BlockLines::Stage(std::string_view bytes)
{
    if (stagedSize_ + bytes.size() > kStagedBytes) WriteStaged();
    if (bytes.size() > kStagedBytes) return writer_->WriteLine(bytes);
    std::memcpy(staged_.get() + stagedSize_, bytes.data(), bytes.size());
    stagedSize_ += bytes.size();
}

template <class EditStarts>
void BlockLines::Edit(std::string_view lines, LineWriter& writer, EditStarts editStarts)
{
    lines_ = lines;
    writer_ = &writer;
    written_ = 0;
    PlacesInOrder<char> places(lines, stops_);
    for (std::size_t at = 0; at < lines.size();) {
        StartPlaces starts;
        std::size_t count = 0;
        std::size_t lf = places.Current();
        for (; lf < lines.size() && lines[lf] != '\n'; places.Advance(), lf = places.Current()) {
            if (count == starts.size()) {
                // The line goes through the edit of a line: its other starts are passed over.
                ++count;
                places.GoOnFrom(lines.find('\n', lf));
                lf = places.Current();
                break;
            }
            starts[count++] = lf - at;
        }
        places.Advance();
        lf = std::min(lf, lines.size() - 1);
        const std::size_t end = lf > at && lines[lf - 1] == '\r' ? lf - 1 : lf;
        const std::string_view line = Between(at, end);
        if (line.size() >= kSubstitutionLineCapacity) EditPieces(line, lf);
        else if (count > starts.size() || (count > 0 && !editStarts(line, std::span(starts.data(), count), *this)))
            EditLine(line, lf + 1);
        // A CR LF pair reads as an LF: the CR is left out.
        if (end != lf && written_ < lf) {
            Stage(Between(written_, end));
            written_ = lf;
        }
        at = lf + 1;
    }
    Stage(Between(written_, lines.size()));
    WriteStaged();
}

}  // namespace zarvo
