#include "platform/sim/sim_ledger.h"

namespace zarvo::sim {

bool SimLedger::FailThisCall()
{
    ++calls_;
    return failAt_ != 0 && calls_ == failAt_;
}

void SimLedger::FailCall(std::uint64_t n)
{
    calls_ = 0;
    failAt_ = n;
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
    open_.emplace(handle, kind);
    return handle;
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
