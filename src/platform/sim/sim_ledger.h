#pragma once
// What every simulated platform call shares: the record of the calls made, the choice of
// which of them fail, and the ledger of handles that are open.
#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_operation.h"

namespace zarvo::sim {

enum class HandleKind { Installer, RegistryKey, File, Kernel };

// One call told by its operation and by which of that operation's calls it was: Write #2.
struct Call {
    Operation operation{};
    std::uint64_t occurrence = 0;  // from 1

    bool operator==(const Call&) const = default;
};

// "Write #2"
std::string Describe(const Call& call);
std::ostream& operator<<(std::ostream& out, const Call& call);

class SimLedger {
public:
    // Records one call of the operation; true when it is a call that was told to fail.
    bool FailThisCall(Operation operation);

    // Each choice of what fails replaces the one before and starts the record afresh, so
    // that calls are counted from 1 from then on.
    // Call number n of all fails; 0 makes none fail.
    void FailCall(std::uint64_t n);
    // The occurrence-th call of the operation fails.
    void FailCall(Operation operation, std::uint64_t occurrence);
    void FailEveryCall(Operation operation);

    // The operation of every call since the last choice, in order: call n at n - 1.
    const std::vector<Operation>& Calls() const { return calls_; }
    std::uint64_t CallCount() const { return calls_.size(); }
    std::uint64_t CallCount(Operation operation) const;
    // Call number n, which must have been made.
    Call NthCall(std::uint64_t n) const;

    std::uintptr_t Open(HandleKind kind);
    // Counts a handle value from NewHandleValue as open from now on.
    void Track(HandleKind kind, std::uintptr_t handle);
    // A new handle of that kind for the object, which goes into the map under it. The handle
    // is counted open only once the object is in place, so that memory running out on the
    // way leaves no handle behind.
    template <typename Map, typename Object>
    typename Map::key_type OpenWith(HandleKind kind, Map& objects, Object&& object)
    {
        const auto handle = static_cast<typename Map::key_type>(NewHandleValue());
        objects.emplace(handle, std::forward<Object>(object));
        try {
            Track(kind, handle);
        } catch (...) {
            objects.erase(handle);
            throw;
        }
        return handle;
    }
    // A fresh handle value for something the caller of the library owns (a session, a
    // test's own record): not counted as open.
    std::uintptr_t NewHandleValue();
    // Forgets the handle; false when it was not open as that kind.
    bool Close(HandleKind kind, std::uintptr_t handle);
    bool IsOpen(HandleKind kind, std::uintptr_t handle) const;
    std::size_t OpenCount() const { return open_.size(); }
    // One line per open handle, for a test's failure message.
    std::string DescribeOpen() const;

private:
    using Choice = std::function<bool(std::uint64_t number, const Call& call)>;
    void Choose(Choice fails);

    Choice fails_;
    std::vector<Operation> calls_;  // a byte a call: a benchmark's machine makes millions
    std::array<std::uint64_t, kOperationCount> counts_{};
    std::uintptr_t next_ = 0x1000;
    std::map<std::uintptr_t, HandleKind> open_;
};

}  // namespace zarvo::sim
