// The shape of the source tree: each layer includes only the layers below it, and the
// action table names exactly the actions the DLL exports.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dll/action_table.h"

namespace zarvo::test {
namespace {

namespace fs = std::filesystem;

struct Include {
    std::string file;    // relative to src/
    std::string target;  // as written between the quotes
};

// The layer a path below src/ or tools/ belongs to: its folder, with the platform
// implementations apart from the interfaces they implement.
std::string Layer(const std::string& path)
{
    for (const std::string implementation : {"platform/sim", "platform/win32", "platform/libmsi"})
        if (path.starts_with(implementation + "/")) return implementation;
    return path.substr(0, path.find('/'));
}

const std::map<std::string, std::set<std::string>>& AllowedLayers()
{
    static const std::map<std::string, std::set<std::string>> kAllowed{
        {"platform", {"platform"}},
        {"platform/sim", {"platform", "platform/sim"}},
        {"platform/win32", {"platform", "platform/win32"}},
        {"platform/libmsi", {"platform", "platform/libmsi"}},
        {"frame", {"frame", "platform"}},
        {"prerequisites", {"prerequisites", "frame", "platform"}},
        {"framework", {"framework", "frame", "platform"}},
        {"substitution", {"substitution", "frame", "platform"}},
        {"processes", {"processes", "frame", "platform"}},
        {"dll", {"dll", "prerequisites", "framework", "substitution", "processes", "frame", "platform",
                 "platform/win32"}},
        // The package checker runs the actions on the simulated machine and reads packages
        // through whichever installer the system it runs on has.
        {"zarvo-check", {"zarvo-check", "dll", "prerequisites", "framework", "substitution", "processes", "frame",
                         "platform", "platform/sim", "platform/win32", "platform/libmsi"}},
    };
    return kAllowed;
}

// Every include that reaches into a layer its file may not use, one line each.
std::vector<std::string> LayerViolations(const std::vector<Include>& includes)
{
    std::vector<std::string> violations;
    for (const Include& include : includes) {
        // A bare name is a file of the same folder.
        if (include.target.find('/') == std::string::npos) continue;
        const std::string from = Layer(include.file);
        const auto allowed = AllowedLayers().find(from);
        const std::string to = Layer(include.target);
        if (allowed == AllowedLayers().end() || !allowed->second.contains(to))
            violations.push_back(include.file + " (" + from + ") includes " + include.target);
    }
    return violations;
}

std::vector<Include> IncludesBelow(const fs::path& root)
{
    std::vector<Include> includes;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".h" && extension != ".cpp") continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            if (!line.starts_with("#include \"")) continue;
            const std::size_t end = line.find('"', 10);
            includes.push_back({fs::relative(entry.path(), root).generic_string(), line.substr(10, end - 10)});
        }
    }
    return includes;
}

TEST(Layout, EachLayerIncludesOnlyTheLayersBelowIt)
{
    std::vector<Include> includes = IncludesBelow(fs::path(ZARVO_SOURCE_DIR) / "src");
    ASSERT_GT(includes.size(), 100u) << "the source tree was not found";
    std::ranges::move(IncludesBelow(fs::path(ZARVO_SOURCE_DIR) / "tools"), std::back_inserter(includes));
    std::ostringstream report;
    for (const std::string& violation : LayerViolations(includes)) report << violation << "\n";
    EXPECT_EQ(report.str(), "");
}

TEST(Layout, AnIncludeUpwardOrIntoAMachineIsCaught)
{
    const std::vector<std::string> violations = LayerViolations({
        {"frame/versions.cpp", "prerequisites/prerequisite_table.h"},
        {"frame/versions.cpp", "dll/action_table.h"},
        {"substitution/line_file.cpp", "processes/started_process.h"},
        {"processes/run_cmd_file.cpp", "platform/win32/wide.h"},
        {"dll/exports.cpp", "platform/sim/sim_platform.h"},
        {"platform/sim/sim_files.cpp", "frame/letter_case.h"},
        {"tools/unknown.cpp", "frame/versions.h"},
        {"platform/libmsi/libmsi_installer.cpp", "platform/sim/sim_installer.h"},
        // Allowed: the same folder, the ground below, the DLL over the real machine.
        {"frame/versions.cpp", "versions.h"},
        {"prerequisites/key_path.cpp", "frame/letter_case.h"},
        {"dll/exports.cpp", "platform/win32/win32_platform.h"},
        {"zarvo-check/dry_run.cpp", "platform/sim/sim_platform.h"},
    });
    EXPECT_EQ(violations.size(), 8u);
}

TEST(Layout, TheActionTableNamesExactlyTheExportedActions)
{
    std::vector<std::string> listed;
    std::istringstream names(ZARVO_ACTION_NAMES);
    for (std::string name; std::getline(names, name, ',');) listed.push_back(name);
    std::vector<std::string> tabled;
    for (const ActionEntry& entry : ActionTable()) tabled.emplace_back(entry.name);
    std::ranges::sort(listed);
    std::ranges::sort(tabled);
    EXPECT_EQ(tabled, listed);
}

}  // namespace
}  // namespace zarvo::test
