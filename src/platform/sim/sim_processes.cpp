#include "platform/sim/sim_processes.h"

#include <algorithm>
#include <utility>

#include "platform/sim/sim_letter_case.h"
#include "platform/sim/sim_result_codes.h"

namespace zarvo::sim {
namespace {

constexpr std::uint32_t kWaitFailed = 0xFFFFFFFF;
constexpr std::uint32_t kWaitTimeout = 0x102;
constexpr std::uint32_t kStartfUseShowWindow = 0x1;
constexpr std::uint16_t kSwShowNormal = 1;

std::optional<std::u16string> Copy(const char16_t* text)
{
    return text ? std::optional<std::u16string>(text) : std::nullopt;
}

// The program a command line names: its first token, quoted or ended by a blank.
std::u16string FirstToken(std::u16string_view commandLine)
{
    if (commandLine.starts_with(u'"'))
        return std::u16string(commandLine.substr(1, commandLine.find(u'"', 1) - 1));
    return std::u16string(commandLine.substr(0, commandLine.find_first_of(u" \t")));
}

// The name CreateProcessW looks for, in lower case: the application name when one is
// given (a bare name completed from the current folder, and from nowhere else), else the
// command line's first token.
std::u16string ProgramName(const char16_t* applicationName, const char16_t* commandLine)
{
    if (applicationName) {
        const std::u16string_view name(applicationName);
        if (name.find_first_of(u"\\/") != std::u16string_view::npos) return InLowerCase(name);
        return InLowerCase(std::u16string(kSimCurrentFolder) + u"\\" + std::u16string(name));
    }
    return commandLine ? InLowerCase(FirstToken(commandLine)) : std::u16string();
}

}  // namespace

SimProcesses::SimProcesses(SimLedger& ledger) : ledger_(ledger)
{
    startup_.size = sizeof(StartupInfo);
    startup_.desktop = desktopText_.data();
    startup_.title = titleText_.data();
    startup_.flags = kStartfUseShowWindow;
    startup_.showWindow = kSwShowNormal;
}

std::uint32_t SimProcesses::SystemFolder(char16_t* buffer, std::uint32_t capacity)
{
    if (FailThisCall(Operation::SystemFolder)) return 0;
    const auto length = static_cast<std::uint32_t>(kSimSystemFolder.size());
    if (capacity <= length) return length + 1;
    std::copy(kSimSystemFolder.begin(), kSimSystemFolder.end(), buffer);
    buffer[length] = u'\0';
    return length;
}

void SimProcesses::ReadStartupInfo(StartupInfo* startup)
{
    ledger_.FailThisCall(Operation::ReadStartupInfo);
    *startup = startup_;
}

bool SimProcesses::Create(const char16_t* applicationName, char16_t* commandLine,
                          bool inheritHandles, std::uint32_t creationFlags,
                          const StartupInfo* startup, ProcessInformation* information)
{
    const bool failed = FailThisCall(Operation::Create);
    CreateCall call;
    call.applicationName = Copy(applicationName);
    call.commandLine = Copy(commandLine);
    call.inheritHandles = inheritHandles;
    call.creationFlags = creationFlags;
    if (startup) {
        call.startup = *startup;
        call.desktop = Copy(startup->desktop);
        call.title = Copy(startup->title);
    }
    const std::u16string program = ProgramName(applicationName, commandLine);
    const bool starts = !failed && startup && information && !program.empty() &&
                        !missing_.contains(program);
    if (starts) *information = call.started = Start(program, call.commandLine.value_or(u""));
    if (!failed && !starts) lastError_ = kErrorFileNotFound;
    calls_.push_back(std::move(call));
    return starts;
}

std::uint32_t SimProcesses::GetLastError()
{
    ledger_.FailThisCall(Operation::GetLastError);
    return lastError_;
}

std::uint32_t SimProcesses::Wait(KernelHandle handle, std::uint32_t milliseconds)
{
    const bool failed = FailThisCall(Operation::Wait);
    const bool open = !failed && ledger_.IsOpen(HandleKind::Kernel, handle);
    if (!failed && !open) lastError_ = kErrorInvalidHandle;
    std::uint32_t answer = kWaitFailed;
    if (open) answer = PassRunTime(handle, milliseconds) ? waitAnswer_ : kWaitTimeout;
    calls_.emplace_back(WaitCall{handle, milliseconds, answer});
    return answer;
}

bool SimProcesses::GetExitCodeProcess(KernelHandle process, std::uint32_t* exitCode)
{
    if (FailThisCall(Operation::GetExitCodeProcess)) return false;
    const auto found = running_.find(process);
    if (found == running_.end()) {
        lastError_ = kErrorInvalidHandle;
        return false;
    }
    *exitCode = found->second.milliseconds == 0 ? found->second.exitCode : kStillActive;
    return true;
}

bool SimProcesses::CloseHandle(KernelHandle handle)
{
    const bool failed = FailThisCall(Operation::CloseHandle);
    const bool closed = ledger_.Close(HandleKind::Kernel, handle);
    if (!failed && !closed) lastError_ = kErrorInvalidHandle;
    running_.erase(handle);
    calls_.emplace_back(CloseCall{handle, closed && !failed});
    return closed && !failed;
}

void SimProcesses::Sleep(std::uint32_t milliseconds)
{
    ledger_.FailThisCall(Operation::Sleep);
    elapsed_ += milliseconds;
    calls_.emplace_back(SleepCall{milliseconds});
}

bool SimProcesses::AllowSetForegroundWindow(std::uint32_t processId)
{
    const bool answer = !FailThisCall(Operation::AllowSetForegroundWindow);
    calls_.emplace_back(AllowForegroundCall{processId, answer});
    return answer;
}

bool SimProcesses::PassRunTime(KernelHandle process, std::uint32_t milliseconds)
{
    const auto running = running_.find(process);
    if (running == running_.end()) return true;
    std::uint32_t& left = running->second.milliseconds;
    const std::uint32_t waited = std::min(left, milliseconds);
    elapsed_ += waited;
    left -= waited;
    return left == 0;
}

bool SimProcesses::FailThisCall(Operation operation)
{
    if (!ledger_.FailThisCall(operation)) return false;
    lastError_ = kErrorAccessDenied;
    return true;
}

void SimProcesses::MarkMissing(std::u16string_view program)
{
    missing_.insert(InLowerCase(program));
}

void SimProcesses::AddProgram(std::u16string_view program, SimProgram run)
{
    programs_[InLowerCase(program)] = std::move(run);
}

ProcessInformation SimProcesses::Start(const std::u16string& program,
                                       std::u16string_view commandLine)
{
    const auto known = programs_.find(program);
    const ProgramRun run = known == programs_.end() ? ProgramRun() : known->second(commandLine);
    const KernelHandle process = ledger_.OpenWith(HandleKind::Kernel, running_, run);
    const KernelHandle thread = ledger_.Open(HandleKind::Kernel);
    const ProcessInformation started{process, thread, nextId_, nextId_ + 4};
    nextId_ += 8;
    return started;
}

}  // namespace zarvo::sim
