#include "prerequisites/prerequisite_log.h"

#include <optional>

#include "frame/letter_case.h"
#include "frame/nearest_name.h"

namespace zarvo {

LogLine RowLine(const ActionLog& log, std::uint32_t number, const PrerequisiteRow& row) noexcept
{
    LogLine line = log.Line();
    line << u"row " << number << u" (" << row.Type.get() << u" ";
    line.Quoted(row.Name.get()) << u"): ";
    return line;
}

void WriteOtherKind(LogLine& line, const char16_t* type, std::span<const std::u16string_view> own,
                    std::span<const std::u16string_view> others, std::u16string_view otherAction)
{
    for (const std::u16string_view other : others) {
        if (!SameIgnoringLetterCase(type, other)) continue;
        line << u"a row of " << otherAction;
        return;
    }
    line << u"unknown Type ";
    line.Quoted(type);
    const std::optional<std::u16string_view> nearest = NearestName(type, own);
    if (nearest) line << u" (did you mean " << *nearest << u"?)";
}

void WriteNotKeyword(LogLine& line, const char16_t* valueName, std::u16string_view keyword) noexcept
{
    line << u"ValueName ";
    line.Quoted(valueName) << u" is not " << keyword;
}

LogLine& NextInList(LogLine& list) noexcept
{
    if (!list.Text().empty()) list << u", ";
    return list;
}

std::u16string_view TableProblem(TableWalk walk)
{
    switch (walk) {
    case TableWalk::Whole: break;
    case TableWalk::NoTable: return u"the package has no Prerequisites table";
    case TableWalk::TemporaryTable:
        return u"the Prerequisites table is a temporary table of the running installation, "
               u"not the package's own";
    case TableWalk::LacksColumn:
        return u"the Prerequisites table lacks one of the columns Type, Name, Destination, "
               u"ValueName, Value, Component_ and Order";
    case TableWalk::Failed: return u"the Prerequisites table could not be read whole";
    }
    return {};
}

}  // namespace zarvo
