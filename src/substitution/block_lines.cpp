#include "substitution/block_lines.h"

namespace zarvo {

BlockLines::BlockLines(const std::array<char, kFewStops>& stops, const ByteLineEdit& edit) : stops_(stops), edit_(edit)
{
    line_.reserve(kSubstitutionLineCapacity + 1);
    staged_ = std::make_unique_for_overwrite<char[]>(kStagedBytes);
}

void BlockLines::EditLine(std::string_view line, std::size_t next)
{
    const std::size_t at = Offset(line);
    Stage(Between(written_, at));
    line_.assign(line);
    if (next > at + line.size()) line_.push_back('\n');
    edit_(line_);
    Stage(line_);
    written_ = next;
}

void BlockLines::EditPieces(std::string_view line, std::size_t lf)
{
    ReadAsPieces(line, kSubstitutionLineCapacity, [&](std::string_view piece, bool ends) {
        EditLine(piece, ends ? lf + 1 : Offset(piece) + piece.size());
    });
}

void BlockLines::WriteStaged()
{
    writer_->WriteLine(std::string_view(staged_.get(), stagedSize_));
    stagedSize_ = 0;
}

}  // namespace zarvo
