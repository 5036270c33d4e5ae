#pragma once
// What both prerequisite actions say in the installer's log about the table and its rows.
#include <cstdint>
#include <span>
#include <string_view>

#include "frame/action_log.h"
#include "prerequisites/prerequisite_table.h"

namespace zarvo {

// A line for the row, begun with its number among the rows read, its Type as written and
// its Name: `row 3 (CheckRegistryVersion "Needs Foo 2.0"): `.
LogLine RowLine(const ActionLog& log, std::uint32_t number, const PrerequisiteRow& row) noexcept;

// Why a row of none of the action's own kinds is passed over: `a row of OTHERACTION` for a
// kind of the other action; otherwise `unknown Type "X"`, with ` (did you mean KIND?)` when
// it is a likely typo of one of the action's own kinds.
void WriteOtherKind(LogLine& line, const char16_t* type, std::span<const std::u16string_view> own,
                    std::span<const std::u16string_view> others, std::u16string_view otherAction);

// `ValueName "X" is not KEYWORD`, for a row whose kind asks for a keyword there.
void WriteNotKeyword(LogLine& line, const char16_t* valueName, std::u16string_view keyword) noexcept;

// The list, with a comma added when it already names something, for the next name.
LogLine& NextInList(LogLine& list) noexcept;

// What a walk that did not hand over every row met: `the package has no Prerequisites
// table`, and so on; the empty text for a whole walk.
std::u16string_view TableProblem(TableWalk walk);

}  // namespace zarvo
