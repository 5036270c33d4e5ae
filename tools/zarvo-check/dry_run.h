#pragma once
// The package's prerequisite and framework actions run on a simulated 64-bit Windows
// described on the command line, through the very code the DLL runs: what each answers, logs,
// sets and requests, and whether the installation goes on.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "package.h"
#include "platform/files.h"
#include "reg_file.h"

namespace zarvo::check {

struct MachineFile {
    std::u16string path;
    std::optional<FixedFileVersion> version;  // nothing: the file has no version resource
};

struct DryRunInput {
    std::vector<MachineDescription> machines;         // loaded in order, later values winning
    std::vector<MachineFile> files;                   // any other file is missing
    std::map<std::u16string, std::u16string> products;  // product code to its state ("5")
};

struct PropertyValue {
    std::string name;   // UTF-8
    std::string value;  // UTF-8; empty when the property was removed
};

struct ComponentRequest {
    std::string component;  // UTF-8
    std::string state;      // "absent"
};

struct ActionRun {
    std::string action;        // the library's action: "IsFrameworkInstalled"
    std::string customAction;  // the package's action that runs it
    std::vector<PropertyValue> given;  // the properties it reads, as they stood: FRAMEWORKTESTCOMMAND
    std::uint32_t answer = 0;
    std::vector<std::string> log;                // its own lines, as the installer's log shows them
    std::vector<PropertyValue> properties;       // what it set, by name
    std::vector<ComponentRequest> components;    // what it asked for, by component
    bool stops = false;  // its answer is not 0 and not ignored: the installation ends with it
};

struct DryRun {
    std::vector<ActionRun> actions;  // in the order they ran; the last may stop the installation

    // No action stopped the installation.
    bool Passes() const { return actions.empty() || !actions.back().stops; }
};

// Runs each call of CheckPrerequisites, ChangeElementsFromPrerequisites and
// IsFrameworkInstalled that the package's InstallExecuteSequence schedules, in its order, all
// in one session, so that each sees what the ones before set; as the installer, it stops after
// an action whose answer stops the installation. Conditions other than a plain 0 are not
// evaluated: the actions they guard run.
DryRun RunDry(const Package& package, const DryRunInput& input);

}  // namespace zarvo::check
