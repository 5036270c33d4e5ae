#pragma once
// XML lines that need no decoding, edited many at a time where they stand in the block read:
// most lines of an installed XML file hold one element to replace, or none.
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/file_rewrite.h"
#include "substitution/line_file.h"
#include "substitution/present_rows.h"
#include "substitution/xml_elements.h"

namespace zarvo {

// Lines taken as their bytes (LineReader::TakePlainLines), edited as the rows edit them one by
// one, and written.
class XmlPlainLines {
public:
    // The rows of the elements, their entries as bytes, and the edit of one line given as its
    // bytes, for the lines that the rows must go through in full.
    XmlPlainLines(PresentRows& rows, const std::vector<ElementEntry<std::string>>& elements, const ByteLineEdit& edit);

    // Most lines hold the opening tags of one element alone, whose value brings in no other
    // element's: its value is written in place of its content, between the line's bytes around
    // it. Lines without an opening tag are written as they stand, together. Any other line goes
    // through the edit of a line, as does a line longer than a line's capacity, piece by piece.
    void Edit(std::string_view lines, LineWriter& writer);

private:
    // A line's characters before its LF (at `lf`) or CR LF, and the places of its "<". Inlined, as
    // is Stage, into the walk over the lines, which asks them for nearly every line.
    [[gnu::always_inline]] void EditTagged(std::string_view lines, std::string_view line, std::size_t lf,
                                           std::span<const std::size_t> tags, LineWriter& writer);
    // A line, or a piece of one, through the edit of a line: its characters, and the LF that
    // ends it where the lines go on at `next` only after its LF or CR LF.
    void EditLine(std::string_view lines, std::string_view line, std::size_t next, LineWriter& writer);
    // A line as long as a line's capacity or longer, read as pieces of it; its LF at `lf`.
    void EditPieces(std::string_view lines, std::string_view line, std::size_t lf, LineWriter& writer);
    // Adds the bytes to those gathered, writing these out first where there is no room; as many
    // bytes as the room go out at once.
    [[gnu::always_inline]] void Stage(std::string_view bytes, LineWriter& writer);
    void WriteStaged(LineWriter& writer);

    PresentRows& rows_;
    const std::vector<ElementEntry<std::string>>& elements_;
    const ByteLineEdit& edit_;
    std::string line_;
    std::unique_ptr<char[]> staged_;
    std::size_t stagedSize_ = 0;
    std::size_t written_ = 0;  // the bytes of the lines before it are written, or left out for a value
};

}  // namespace zarvo
