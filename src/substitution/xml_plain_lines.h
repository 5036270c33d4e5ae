#pragma once
// XML lines that need no decoding, edited many at a time where they stand in the block read:
// most lines of an installed XML file hold one element to replace, or none.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "substitution/block_lines.h"
#include "substitution/file_rewrite.h"
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
    // through the edit of a line.
    void Edit(std::string_view lines, LineWriter& writer);

private:
    // A line's characters before its LF or CR LF, and the places of its "<". Inlined into the
    // walk over the lines, which asks it for nearly every line.
    [[gnu::always_inline]] bool EditTagged(std::string_view line, std::span<const std::size_t> tags);

    PresentRows& rows_;
    const std::vector<ElementEntry<std::string>>& elements_;
    BlockLines block_;
};

}  // namespace zarvo
