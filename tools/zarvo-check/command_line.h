#pragma once
// What the checker is asked to do, from its command line:
//   zarvo-check [--machine FILE.reg]... [--file-version PATH=VERSION]...
//               [--product CODE=STATE]... [--format text|json] PACKAGE.msi
#include <optional>
#include <string>
#include <vector>

namespace zarvo::check {

enum class OutputFormat { Text, Json };

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

    // Whether the command describes a machine to run the prerequisite actions on.
    bool WantsDryRun() const { return !machines.empty() || !fileVersions.empty() || !products.empty(); }
};

// What the command line asks for, or why it cannot be followed.
struct CommandLine {
    std::optional<CheckRequest> request;  // nothing when the checker is to stop at once
    int exitCode = 0;                     // then: 0 after --help, 2 for a wrong command line
    std::string message;                  // then: the help or the error, for the terminal
};

// The arguments after the program's name, in UTF-8.
CommandLine ReadCommandLine(std::vector<std::string> arguments);

}  // namespace zarvo::check
