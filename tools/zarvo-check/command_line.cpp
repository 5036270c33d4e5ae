#include "command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace zarvo::check {
namespace {

// A file path may itself hold "=": the version is what follows the last one.
std::optional<FileVersionOption> SplitFileVersion(const std::string& text)
{
    const std::size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0) return std::nullopt;
    return FileVersionOption{text.substr(0, equals), text.substr(equals + 1)};
}

std::optional<ProductOption> SplitProduct(const std::string& text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) return std::nullopt;
    return ProductOption{text.substr(0, equals), text.substr(equals + 1)};
}

// Splits each NAME=VALUE text, or answers the first that is not one.
template <typename Option>
std::optional<std::string> SplitAll(const std::vector<std::string>& texts,
                                    std::optional<Option> (*split)(const std::string&), std::vector<Option>& into)
{
    for (const std::string& text : texts) {
        std::optional<Option> option = split(text);
        if (!option) return text;
        into.push_back(std::move(*option));
    }
    return std::nullopt;
}

CommandLine Refused(std::string message)
{
    return {std::nullopt, 2, "zarvo-check: " + std::move(message) + "\nRun with --help for more information.\n"};
}

Expectation ExpectationNamed(const std::string& name)
{
    if (name == "pass") return Expectation::Pass;
    return name == "fail" ? Expectation::Fail : Expectation::None;
}

}  // namespace

std::string VersionText()
{
    // The build gives the project's version, so that both checkers and the DLL tell the same.
    return std::string("zarvo-check ") + ZARVO_CHECK_VERSION + "\n";
}

CommandLine ReadCommandLine(std::vector<std::string> arguments)
{
    CLI::App app("Checks a package that uses ZarvoCustomActionDll before it ships, and runs its prerequisite "
                 "actions on a described machine.",
                 "zarvo-check");
    CheckRequest request;
    std::vector<std::string> fileVersions, products;
    std::string format = "text", expect;
    app.set_version_flag("--version", VersionText());
    app.add_flag("--dry-run", request.dryRun, "Run the package's actions on the baseline machine");
    app.add_option("--machine", request.machines,
                   "A .reg file, as regedit exports it, that adds to the baseline machine")
        ->type_name("FILE.reg");
    app.add_option("--file-version", fileVersions, "A file on the machine and its version (empty: none)")
        ->type_name("PATH=VERSION");
    app.add_option("--product", products, "A product installed on the machine, and its state")
        ->type_name("CODE=STATE");
    app.add_option("--expect", expect,
                   "What the dry run's installation must do, or the exit code is 1: go on to its end, or stop")
        ->check(CLI::IsMember({"pass", "fail"}));
    app.add_option("--format", format, "How to print the findings")->check(CLI::IsMember({"text", "json"}));
    app.add_option("package", request.package, "The built package")->required()->type_name("PACKAGE.msi");
    std::ranges::reverse(arguments);
    try {
        app.parse(arguments);
    } catch (const CLI::CallForHelp&) {
        return {std::nullopt, 0, app.help()};
    } catch (const CLI::CallForVersion& version) {
        return {std::nullopt, 0, version.what()};
    } catch (const CLI::ParseError& error) {
        return Refused(error.what());
    }
    if (const auto wrong = SplitAll(fileVersions, &SplitFileVersion, request.fileVersions))
        return Refused("--file-version \"" + *wrong + "\" is not PATH=VERSION");
    if (const auto wrong = SplitAll(products, &SplitProduct, request.products))
        return Refused("--product \"" + *wrong + "\" is not CODE=STATE");
    request.format = format == "json" ? OutputFormat::Json : OutputFormat::Text;
    request.expect = ExpectationNamed(expect);
    return {std::move(request), 0, {}};
}

}  // namespace zarvo::check
