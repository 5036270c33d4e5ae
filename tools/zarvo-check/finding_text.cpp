#include "finding_text.h"

#include "utf8.h"

namespace zarvo::check {

void Report(Findings& findings, const Rule& rule, std::u16string_view where, std::u16string_view message)
{
    findings.push_back({rule.severity, std::string(rule.id), ToUtf8(where), ToUtf8(message)});
}

std::u16string Place(std::u16string_view table, std::u16string_view key)
{
    // Built piece by piece: the optimiser misreads a chain of concatenations as overlapping copies.
    std::u16string place(table);
    place += u'[';
    place += key;
    place += u']';
    return place;
}

std::u16string Quoted(std::u16string_view text)
{
    std::u16string quoted(1, u'"');
    quoted += text;
    quoted += u'"';
    return quoted;
}

std::u16string Widened(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string Decimal(std::int64_t number)
{
    const std::string digits = std::to_string(number);
    return Widened(digits);
}

}  // namespace zarvo::check
