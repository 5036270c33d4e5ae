#pragma once
// What the checker is asked to do, from its command line:
//   zarvo-check [--dry-run] [--machine FILE.reg]... [--file-version PATH=VERSION]...
//               [--product CODE=STATE]... [--expect pass|fail] [--format text|json] PACKAGE.msi
//   zarvo-check --version
#include <optional>
#include <string>
#include <vector>

namespace zarvo::check {

enum class OutputFormat { Text, Json };

// What the dry run's installation is to do: nothing said, or go on to the end, or stop.
enum class Expectation { None, Pass, Fail };

struct FileVersionOption {
    std::string path;     // UTF-8
    std::string version;  // UTF-8; empty for a file without a version resource
};

struct ProductOption {
    std::string code;   // UTF-8
    std::string state;  // UTF-8
};

struct CheckRequest {
    std::string package;                 // UTF-8
    std::vector<std::string> machines;   // .reg files, in the order given
    std::vector<FileVersionOption> fileVersions;
    std::vector<ProductOption> products;
    OutputFormat format = OutputFormat::Text;
    bool dryRun = false;  // --dry-run: on the baseline machine, even when nothing is added to it
    Expectation expect = Expectation::None;

    // Whether the command asks for the package's actions to run on a machine.
    bool WantsDryRun() const
    {
        return dryRun || expect != Expectation::None || !machines.empty() || !fileVersions.empty() ||
               !products.empty();
    }
};

// What the command line asks for, or why it cannot be followed.
struct CommandLine {
    std::optional<CheckRequest> request;  // nothing when the checker is to stop at once
    int exitCode = 0;                     // then: 0 after --help or --version, 2 for a wrong command line
    std::string message;                  // then: the help, the version or the error, for the terminal
};

// What --version prints: "zarvo-check 1.0.0", the project's version, and a line end.
std::string VersionText();

// The arguments after the program's name, in UTF-8.
CommandLine ReadCommandLine(std::vector<std::string> arguments);

}  // namespace zarvo::check
