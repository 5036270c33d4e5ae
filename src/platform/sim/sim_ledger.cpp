#include "platform/sim/sim_ledger.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace zarvo::sim {
namespace {

std::size_t Index(Operation operation)
{
    return static_cast<std::size_t>(operation);
}

}  // namespace

std::string Describe(const Call& call)
{
    return std::string(OperationName(call.operation)) + " #" + std::to_string(call.occurrence);
}

std::ostream& operator<<(std::ostream& out, const Call& call)
{
    return out << Describe(call);
}

bool SimLedger::FailThisCall(Operation operation)
{
    calls_.push_back(operation);
    const Call call{operation, ++counts_.at(Index(operation))};
    return fails_ && fails_(calls_.size(), call);
}

void SimLedger::FailCall(std::uint64_t n)
{
    Choose([n](std::uint64_t number, const Call&) { return number == n; });
}

void SimLedger::FailCall(Operation operation, std::uint64_t occurrence)
{
    Choose([operation, occurrence](std::uint64_t, const Call& call) {
        return call == Call{operation, occurrence};
    });
}

void SimLedger::FailEveryCall(Operation operation)
{
    Choose([operation](std::uint64_t, const Call& call) { return call.operation == operation; });
}

std::uint64_t SimLedger::CallCount(Operation operation) const
{
    return counts_.at(Index(operation));
}

Call SimLedger::NthCall(std::uint64_t n) const
{
    const Operation operation = calls_.at(n - 1);
    const auto made = std::count(calls_.begin(), calls_.begin() + n, operation);
    return {operation, static_cast<std::uint64_t>(made)};
}

void SimLedger::Choose(Choice fails)
{
    fails_ = std::move(fails);
    calls_.clear();
    counts_.fill(0);
}

std::uintptr_t SimLedger::NewHandleValue()
{
    const std::uintptr_t handle = next_;
    next_ += 4;
    return handle;
}

std::uintptr_t SimLedger::Open(HandleKind kind)
{
    const std::uintptr_t handle = NewHandleValue();
    Track(kind, handle);
    return handle;
}

void SimLedger::Track(HandleKind kind, std::uintptr_t handle)
{
    open_.emplace(handle, kind);
}

bool SimLedger::Close(HandleKind kind, std::uintptr_t handle)
{
    const auto found = open_.find(handle);
    if (found == open_.end() || found->second != kind) return false;
    open_.erase(found);
    return true;
}

bool SimLedger::IsOpen(HandleKind kind, std::uintptr_t handle) const
{
    const auto found = open_.find(handle);
    return found != open_.end() && found->second == kind;
}

std::string SimLedger::DescribeOpen() const
{
    static const char* const names[] = {"installer", "registry key", "file", "kernel"};
    std::string text;
    for (const auto& [handle, kind] : open_)
        text += std::string(names[static_cast<int>(kind)]) + " handle " + std::to_string(handle) + "\n";
    return text;
}

}  // namespace zarvo::sim
