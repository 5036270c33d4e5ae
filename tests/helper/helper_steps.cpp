#include "helper/helper_steps.h"

#include <optional>

namespace zarvo::test {
namespace {

// Takes the next blank-separated word off the front of the line; nullopt at its end.
std::optional<std::u16string> NextWord(std::u16string_view& line)
{
    if (line.empty()) return std::nullopt;
    const std::size_t blank = line.find(u' ');
    const std::u16string word(line.substr(0, blank));
    line = blank == std::u16string_view::npos ? std::u16string_view() : line.substr(blank + 1);
    return word;
}

std::optional<std::uint32_t> Number(const std::optional<std::u16string>& word)
{
    if (!word || word->empty()) return std::nullopt;
    std::uint32_t number = 0;
    for (char16_t c : *word) {
        if (c < u'0' || c > u'9') return std::nullopt;
        number = number * 10 + (c - u'0');
    }
    return number;
}

std::u16string_view AfterProgramName(std::u16string_view commandLine)
{
    const std::size_t end = commandLine.starts_with(u'"') ? commandLine.find(u'"', 1) + 1
                                                          : commandLine.find(u' ');
    if (end == 0 || end >= commandLine.size()) return {};
    return commandLine.substr(end + (commandLine[end] == u' ' ? 1 : 0));
}

std::optional<HelperStep> NextStep(std::u16string_view& line)
{
    const std::optional<std::u16string> verb = NextWord(line);
    HelperStep step;
    if (verb == u"window") {
        step.kind = HelperStep::Kind::Window;
        step.text = std::u16string(line);
        line = {};
        return step;
    }
    if (verb == u"write") {
        step.kind = HelperStep::Kind::Write;
        const auto path = NextWord(line);
        const auto text = NextWord(line);
        if (!path || !text) return std::nullopt;
        step.path = *path;
        step.text = *text;
        return step;
    }
    step.kind = verb == u"sleep" ? HelperStep::Kind::Sleep : HelperStep::Kind::Exit;
    if (verb != u"sleep" && verb != u"exit") return std::nullopt;
    const auto number = Number(NextWord(line));
    if (!number) return std::nullopt;
    step.number = *number;
    return step;
}

}  // namespace

std::vector<HelperStep> ParseHelperSteps(std::u16string_view commandLine)
{
    std::u16string_view line = AfterProgramName(commandLine);
    std::vector<HelperStep> steps;
    while (const auto step = NextStep(line)) steps.push_back(*step);
    return steps;
}

}  // namespace zarvo::test
