// zarvo-check: reads a built package, says what in it will not do what its author meant, and
// runs its prerequisite actions on a described machine. Exit code 0 when nothing is an
// error, 1 when something is or the dry run's installation did not do what --expect said, 2
// when the package or the command line cannot be read.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "zarvo-check/check_package.h"
#include "zarvo-check/command_line.h"
#include "zarvo-check/expectation.h"
#include "zarvo-check/machine_request.h"
#include "zarvo-check/package_reading.h"
#include "zarvo-check/report.h"
#include "zarvo-check/utf8.h"

#ifdef _WIN32
#include "platform/win32/win32_package_database.h"
using SystemPackageDatabase = zarvo::win32::Win32PackageDatabase;
#else
#include "platform/libmsi/libmsi_package_database.h"
using SystemPackageDatabase = zarvo::libmsi::LibmsiPackageDatabase;
#endif

namespace zarvo::check {
namespace {

constexpr int kPackageUnread = 2;

void Print(std::FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

int Stop(const std::string& message)
{
    Print(stderr, "zarvo-check: " + message + "\n");
    return kPackageUnread;
}

int Check(const CheckRequest& request)
{
    std::variant<DryRunInput, std::string> machine = MachineFromRequest(request);
    if (const std::string* error = std::get_if<std::string>(&machine)) return Stop(*error);
    SystemPackageDatabase installer;
    std::string error;
    const std::u16string path = FromArgument(request.package);
    const std::optional<Package> package = ReadPackage(installer, path.c_str(), error);
    if (!package) return Stop(request.package + ": " + error);
    Report report{request.package, CheckPackage(*package), std::nullopt};
    if (request.WantsDryRun()) report.dryRun = RunDry(*package, std::get<DryRunInput>(machine));
    Print(stdout, request.format == OutputFormat::Json ? ReportJson(report) : ReportText(report));
    const std::optional<std::string> unmet =
        report.dryRun ? UnmetExpectation(request.expect, *report.dryRun) : std::nullopt;
    if (unmet) Print(stderr, "zarvo-check: " + request.package + ": " + *unmet + "\n");
    return report.HasErrors() || unmet ? 1 : 0;
}

// Whatever a package holds, the checker answers with a message rather than a crash: memory
// running out on an enormous table included.
int Run(std::vector<std::string> arguments)
{
    try {
        const CommandLine line = ReadCommandLine(std::move(arguments));
        if (!line.request) {
            Print(line.exitCode == 0 ? stdout : stderr, line.message);
            return line.exitCode;
        }
        return Check(*line.request);
    } catch (const std::exception& stopped) {
        return Stop(std::string("stopped: ") + stopped.what());
    }
}

}  // namespace
}  // namespace zarvo::check

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(zarvo::check::ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
    return zarvo::check::Run(std::move(arguments));
}
#else
int main(int argc, char** argv)
{
    return zarvo::check::Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
