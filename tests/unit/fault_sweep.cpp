#include "unit/fault_sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "dll/action_table.h"

namespace zarvo::test {
namespace {

std::uint64_t RunOnce(const FaultSweep& sweep, std::uint64_t failedCall)
{
    auto sim = std::make_unique<sim::SimPlatform>();
    const InstallerHandle session = sweep.setUp(*sim);
    sim->ledger.FailCall(failedCall);
    const WinResult answer = InvokeAction(*FindAction(sweep.action), sim->platform(), session);
    const std::uint64_t calls = sim->ledger.CallCount();
    FailedCall failed;
    if (failedCall != 0) failed = sim->ledger.NthCall(failedCall);
    const std::string failing = Failing(failed) + " (call " + std::to_string(failedCall) + ")";
    const std::set<WinResult> allowed = sweep.answersWhen ? sweep.answersWhen(failed) : sweep.allowedAnswers;
    EXPECT_EQ(allowed.count(answer), 1u)
        << sweep.action << " answered " << answer << " " << failing;
    EXPECT_EQ(sim->ledger.OpenCount(), 0u)
        << sweep.action << " " << failing << " left open:\n" << sim->ledger.DescribeOpen();
    if (sweep.check) sweep.check(*sim, session, failed);
    return calls;
}

bool IsLogOperation(sim::Operation operation)
{
    return operation == sim::Operation::CreateRecord ||
           operation == sim::Operation::SetRecordString ||
           operation == sim::Operation::ProcessMessage ||
           operation == sim::Operation::CloseInstallerHandle;
}

}  // namespace

void RunFaultSweep(const FaultSweep& sweep)
{
    const std::uint64_t calls = RunOnce(sweep, 0);
    for (std::uint64_t n = 1; n <= calls; ++n) RunOnce(sweep, n);
}

bool FailedOn(const FailedCall& failed, sim::Operation operation)
{
    return failed && failed->operation == operation;
}

bool FailedOnLog(const std::vector<sim::Operation>& calls, const FailedCall& failed)
{
    using sim::Operation;
    constexpr Operation kWrite[] = {Operation::CreateRecord, Operation::SetRecordString,
                                    Operation::ProcessMessage, Operation::CloseInstallerHandle};
    if (!failed) return false;
    const auto* const step = std::find(std::begin(kWrite), std::end(kWrite), failed->operation);
    if (step == std::end(kWrite)) return false;
    const auto before = static_cast<std::size_t>(step - std::begin(kWrite));
    std::uint64_t seen = 0;
    for (std::size_t at = 0; at < calls.size(); ++at) {
        if (calls[at] != failed->operation || ++seen != failed->occurrence) continue;
        return at >= before && std::equal(std::begin(kWrite), step + 1,
                                          calls.begin() + static_cast<std::ptrdiff_t>(at - before));
    }
    return false;
}

std::string Failing(const FailedCall& failed)
{
    return failed ? "with " + sim::Describe(*failed) + " failing" : "with nothing failing";
}

bool FailedOnLog(const FailedCall& failed)
{
    return failed && IsLogOperation(failed->operation);
}

std::function<std::set<WinResult>(const FailedCall& failed)> CleanAnswerWhenLogFails(
    WinResult clean, std::set<WinResult> allowed)
{
    return [clean, allowed = std::move(allowed)](const FailedCall& failed) {
        return FailedOnLog(failed) ? std::set<WinResult>{clean} : allowed;
    };
}

void SameCallsBesideLog::Check(const sim::SimLedger& ledger, const FailedCall& failed)
{
    if (failed && !FailedOnLog(failed)) return;
    std::vector<sim::Operation> made;
    for (const sim::Operation operation : ledger.Calls())
        if (!IsLogOperation(operation)) made.push_back(operation);
    if (!failed)
        clean_ = made;
    else
        EXPECT_EQ(made, clean_) << Failing(failed);
}

bool CalledInOrder(const sim::SimLedger& ledger, std::initializer_list<sim::Operation> operations)
{
    const auto* next = operations.begin();
    for (const sim::Operation made : ledger.Calls())
        if (next != operations.end() && made == *next) ++next;
    return next == operations.end();
}

}  // namespace zarvo::test
