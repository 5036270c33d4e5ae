#include "action_input_rules.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "finding_text.h"
#include "frame/letter_case.h"
#include "framework/framework_presence.h"
#include "processes/close_window_by_guid.h"
#include "property_values.h"
#include "rules.h"
#include "scheduled_actions.h"

namespace zarvo::check {
namespace {

constexpr std::string_view kCommandAction = "RunCmdFile";
constexpr std::string_view kTestAction = "IsFrameworkInstalled";
constexpr std::u16string_view kRunAndEnd = u"/c";

// How deep a reference at a text's start is followed into what the package gives it, and how
// many texts are looked at in all: properties that set one another in circles, or that
// thousands of actions set, end there.
constexpr int kDeepest = 4;
constexpr std::size_t kMostTexts = 1024;

struct StartSearch {
    const PackageIndex& index;
    std::size_t textsLeft = kMostTexts;
};

// The texts whose own start is the start of the given one: itself, unless it begins with a
// property reference; then what the package gives that property, followed down.
void CollectStarts(StartSearch& search, const GivenText& given, int depth, std::vector<GivenText>& starts)
{
    if (!given.formatted || !given.text.starts_with(u'[')) {
        starts.push_back(given);
        return;
    }
    const std::size_t close = given.text.find(u']');
    if (close == std::u16string::npos || depth == kDeepest || search.textsLeft == 0) return;
    const std::vector<GivenText> values = TextsGiven(search.index, given.text.substr(1, close - 1));
    if (values.size() > search.textsLeft) {
        search.textsLeft = 0;
        return;
    }
    search.textsLeft -= values.size();
    for (const GivenText& value : values) CollectStarts(search, value, depth + 1, starts);
}

// Whether the command line tells the interpreter to run its command and end: it begins,
// after blanks, with /c in either letter case. Nothing when formatting decides, or when it is
// blank, for then the action starts nothing.
std::optional<bool> RunsAndEnds(const GivenText& given)
{
    const std::size_t start = given.text.find_first_not_of(u" \t");
    if (start == std::u16string::npos) return std::nullopt;
    const std::u16string_view line = std::u16string_view(given.text).substr(start);
    const std::u16string_view written = given.formatted ? line.substr(0, line.find(u'[')) : line;
    if (written.size() < kRunAndEnd.size() && written.size() < line.size()) return std::nullopt;
    return SameIgnoringLetterCase(written.substr(0, kRunAndEnd.size()), kRunAndEnd);
}

// RunCmdFile waits for the interpreter without a time limit.
void CheckCommandLines(const PackageIndex& index, Findings& findings)
{
    std::set<std::u16string> reported;
    StartSearch search{index};
    for (const CustomActionRow* call : CallsTo(index, kCommandAction)) {
        if (!IsDeferred(*call) || !IsScheduled(index, call->action)) continue;
        std::vector<GivenText> starts;
        for (const GivenText& data : TextsGiven(index, call->action)) CollectStarts(search, data, 0, starts);
        for (const GivenText& start : starts) {
            if (RunsAndEnds(start).value_or(true) || !reported.insert(start.where).second) continue;
            Report(findings, rules::kInterpreterWaits, start.where,
                   u"the command line " + Quoted(start.text) + u" of " + call->action +
                       u" does not begin with /c: Cmd.exe, given no command to run and end, waits for input "
                       u"that never comes, and the installation waits with it for ever");
        }
    }
}

// What IsFrameworkInstalled makes of a command it cannot use: no test, the answer of a
// framework that is missing.
std::optional<std::u16string> FrameworkTestFault(const std::u16string& command)
{
    std::array<char16_t, kFrameworkCommandCapacity> buffer{};
    if (command.size() >= buffer.size())
        return u"FRAMEWORKTESTCOMMAND is " + Decimal(static_cast<std::int64_t>(command.size())) +
               u" characters long: IsFrameworkInstalled reads at most " +
               Decimal(static_cast<std::int64_t>(buffer.size()) - 1) +
               u", so its read fails (error 234) and it answers 234";
    std::ranges::copy(command, buffer.begin());
    char16_t* valueName = nullptr;
    char16_t* version = nullptr;
    if (SplitFrameworkTestCommand(buffer.data(), valueName, version)) return std::nullopt;
    return u"FRAMEWORKTESTCOMMAND " + Quoted(command) +
           u" is not \"subkey,value name,version\": IsFrameworkInstalled reads no registry value and "
           u"answers 1";
}

void CheckFrameworkTests(const PackageIndex& index, Findings& findings)
{
    if (!RunsExport(index, kTestAction)) return;
    for (const GivenText& given : TextsGiven(index, kFrameworkTestCommand)) {
        if (given.formatted) continue;
        if (const std::optional<std::u16string> fault = FrameworkTestFault(given.text))
            Report(findings, rules::kMalformedFrameworkTest, given.where,
                   *fault + u", as if the framework were missing, and sets FrameworkNotInstalled");
    }
}

void CheckWindowTitles(const PackageIndex& index, Findings& findings)
{
    if (!RunsExport(index, "CloseWindowByGUID")) return;
    for (const GivenText& given : TextsGiven(index, kWindowTitleProperty))
        if (given.text.find(kShowMessageMarker) != std::u16string::npos)
            Report(findings, rules::kMessageBoxMarker, given.where,
                   u"the title holds " + std::u16string(kShowMessageMarker) +
                       u": CloseWindowByGUID first shows it in a message box and waits until someone presses "
                       u"OK, also in a silent installation (/qn), where no one may be there to press it");
}

}  // namespace

void CheckActionInputs(const PackageIndex& index, Findings& findings)
{
    CheckCommandLines(index, findings);
    CheckFrameworkTests(index, findings);
    CheckWindowTitles(index, findings);
}

}  // namespace zarvo::check
