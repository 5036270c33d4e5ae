#pragma once
// What every simulated platform call shares: the count of calls made, the switch that
// makes one of them fail, and the ledger of handles that are open.
#include <cstdint>
#include <map>
#include <string>

namespace zarvo::sim {

enum class HandleKind { Installer, RegistryKey, File, Kernel };

class SimLedger {
public:
    // Counts one platform call; true when it is the call that was told to fail.
    bool FailThisCall();
    // Makes call number n (counting from 1 from now on) fail; 0 makes none fail.
    void FailCall(std::uint64_t n);
    std::uint64_t CallCount() const { return calls_; }

    std::uintptr_t Open(HandleKind kind);
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
    std::uint64_t calls_ = 0;
    std::uint64_t failAt_ = 0;
    std::uintptr_t next_ = 0x1000;
    std::map<std::uintptr_t, HandleKind> open_;
};

}  // namespace zarvo::sim
