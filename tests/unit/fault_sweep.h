#pragma once
// Runs an action once on a clean simulated machine to count its platform calls, then once
// more for every N up to that count with call N failing, each time on a machine set up
// afresh. After every run no handle may be left open and the answer must be one the
// action may give.
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace zarvo::test {

// The call that failed in a run, or none in the clean run.
using FailedCall = std::optional<sim::Call>;

struct FaultSweep {
    // Sets up a fresh machine for one run and gives the session to run the action in.
    std::function<InstallerHandle(sim::SimPlatform&)> setUp;
    const char* action = nullptr;
    std::set<WinResult> allowedAnswers = {};
    // Optional: further checks on the machine after a run, told which call failed (none in
    // the clean run); the machine's ledger holds the run's calls.
    std::function<void(sim::SimPlatform&, InstallerHandle session, const FailedCall& failed)> check = {};
    // Optional: the answers allowed when a given call fails, where they are narrower.
    std::function<std::set<WinResult>(const FailedCall& failed)> answersWhen = {};
};

void RunFaultSweep(const FaultSweep& sweep);

// Whether the call that failed was one of this operation.
bool FailedOn(const FailedCall& failed, sim::Operation operation);

// Whether the call that failed was one of a log line's own (ActionLog::Write: CreateRecord,
// then SetRecordString, ProcessMessage and CloseInstallerHandle on that record), told by the
// calls before it in a run that made it: the run's own, or the clean run's.
bool FailedOnLog(const std::vector<sim::Operation>& calls, const FailedCall& failed);

// For a message: "with Write #2 failing", or "with nothing failing".
std::string Failing(const FailedCall& failed);

// For actions that use installer records for their log lines only: whether the call that
// failed was one of a log line's (CreateRecord, SetRecordString, ProcessMessage or
// CloseInstallerHandle).
bool FailedOnLog(const FailedCall& failed);

// For the same actions: answers as FaultSweep::answersWhen the clean run's answer when the
// failed call was a log line's, and any of `allowed` otherwise.
std::function<std::set<WinResult>(const FailedCall& failed)> CleanAnswerWhenLogFails(
    WinResult clean, std::set<WinResult> allowed);

// For the same actions: notes the calls of the clean run beside its log lines, and expects
// every run whose failed call was a log line's to make the same calls, in the same order.
class SameCallsBesideLog {
public:
    void Check(const sim::SimLedger& ledger, const FailedCall& failed);

private:
    std::vector<sim::Operation> clean_;
};

// Whether the calls of these operations were made in this order, others coming between.
bool CalledInOrder(const sim::SimLedger& ledger, std::initializer_list<sim::Operation> operations);

}  // namespace zarvo::test
