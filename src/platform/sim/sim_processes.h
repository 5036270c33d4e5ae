#pragma once
// Process start-up as the actions see it, recorded call by call so a test can read back
// exactly what was started, waited for, closed and allowed to come to the foreground.
// Programs a test describes do their work when they start; time passes only in Sleep and
// in waits for programs that take a while.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "platform/processes.h"
#include "platform/sim/sim_ledger.h"

namespace zarvo::sim {

struct CreateCall {
    std::optional<std::u16string> applicationName;
    std::optional<std::u16string> commandLine;
    bool inheritHandles = false;
    std::uint32_t creationFlags = 0;
    // As passed; its pointers are the caller's, so read the texts from desktop and title.
    std::optional<StartupInfo> startup;
    std::optional<std::u16string> desktop;
    std::optional<std::u16string> title;
    ProcessInformation started;  // all zero when the call failed
};
struct WaitCall {
    KernelHandle handle = 0;
    std::uint32_t milliseconds = 0;
    std::uint32_t answer = 0;
};
struct CloseCall {
    KernelHandle handle = 0;
    bool answer = false;
};
struct SleepCall {
    std::uint32_t milliseconds = 0;
};
struct AllowForegroundCall {
    std::uint32_t processId = 0;
    bool answer = false;
};
using ProcessCall = std::variant<CreateCall, WaitCall, CloseCall, SleepCall, AllowForegroundCall>;

// Where the simulated Windows keeps its programs, and the folder the process runs in.
inline constexpr std::u16string_view kSimSystemFolder = u"C:\\Windows\\System32";
inline constexpr std::u16string_view kSimCurrentFolder = u"C:\\Installer";

// How a program runs once started: how many milliseconds pass before it ends by itself, and
// the exit code it ends with.
struct ProgramRun {
    std::uint32_t milliseconds = 0;
    std::uint32_t exitCode = 0;
};

// What a program does when it starts, given its command line; answers how it then runs.
using SimProgram = std::function<ProgramRun(std::u16string_view commandLine)>;

class SimProcesses final : public Processes {
public:
    explicit SimProcesses(SimLedger& ledger);
    SimProcesses(const SimProcesses&) = delete;
    SimProcesses& operator=(const SimProcesses&) = delete;

    std::uint32_t SystemFolder(char16_t* buffer, std::uint32_t capacity) override;
    // GetStartupInfoW cannot fail, so a failed call still fills the record.
    void ReadStartupInfo(StartupInfo* startup) override;
    bool Create(const char16_t* applicationName, char16_t* commandLine, bool inheritHandles,
                std::uint32_t creationFlags, const StartupInfo* startup,
                ProcessInformation* information) override;
    // The error of the last call here that failed: ERROR_FILE_NOT_FOUND for a program
    // that is not there, ERROR_INVALID_HANDLE for a handle that is not open, and
    // ERROR_ACCESS_DENIED for a call that a test made fail. It cannot fail itself, so a
    // failed call still answers.
    std::uint32_t GetLastError() override;
    std::uint32_t Wait(KernelHandle handle, std::uint32_t milliseconds) override;
    bool GetExitCodeProcess(KernelHandle process, std::uint32_t* exitCode) override;
    bool CloseHandle(KernelHandle handle) override;
    void Sleep(std::uint32_t milliseconds) override;
    bool AllowSetForegroundWindow(std::uint32_t processId) override;

    // What ReadStartupInfo hands out. By default it is filled as a real process's is: flags
    // set, and desktop and title pointing at texts this object owns.
    void SetStartupInfo(const StartupInfo& startup) { startup_ = startup; }
    // The program is found by its application name (a bare one in the current folder), or
    // else by the first token of the command line (quotes removed), compared without regard
    // to letter case as file names are. Create fails for a missing program and for an empty
    // first token; any other program starts, and does nothing and ends with 0 unless it was
    // added.
    void MarkMissing(std::u16string_view program);
    void AddProgram(std::u16string_view program, SimProgram run);
    // What Wait answers for an open handle; WAIT_OBJECT_0 (0) unless told otherwise.
    void AnswerWaitsWith(std::uint32_t answer) { waitAnswer_ = answer; }
    // Every call made, in order, failed ones included.
    const std::vector<ProcessCall>& Calls() const { return calls_; }
    // The time slept, plus the time waited for programs until they ended.
    std::uint64_t ElapsedMilliseconds() const { return elapsed_; }

private:
    ProcessInformation Start(const std::u16string& program, std::u16string_view commandLine);
    // Lets time pass while the process runs, for at most that long; true once it has ended.
    bool PassRunTime(KernelHandle process, std::uint32_t milliseconds);
    // Records the call; when it is one told to fail, notes the error a failed call leaves.
    bool FailThisCall(Operation operation);

    SimLedger& ledger_;
    std::u16string desktopText_ = u"WinSta0\\Default";
    std::u16string titleText_ = u"C:\\Windows\\System32\\msiexec.exe";
    StartupInfo startup_;
    std::set<std::u16string> missing_;                // lower-case names
    std::map<std::u16string, SimProgram> programs_;   // by lower-case name
    std::map<KernelHandle, ProgramRun> running_;      // by process handle: time left, exit code
    std::uint64_t elapsed_ = 0;
    std::uint32_t lastError_ = 0;
    std::uint32_t waitAnswer_ = 0;
    std::uint32_t nextId_ = 0x1100;
    std::vector<ProcessCall> calls_;
};

}  // namespace zarvo::sim
