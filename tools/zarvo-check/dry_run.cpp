#include "dry_run.h"

#include <algorithm>
#include <string_view>
#include <tuple>

#include "dll/action_table.h"
#include "frame/installer_access.h"
#include "machine_load.h"
#include "package_session.h"
#include "platform/sim/sim_platform.h"
#include "scheduled_actions.h"
#include "utf8.h"

namespace zarvo::check {
namespace {

using Properties = std::map<std::u16string, std::u16string>;
using Requests = std::map<std::u16string, int>;

void PrepareMachine(sim::SimPlatform& sim, const DryRunInput& input)
{
    for (const MachineDescription& machine : input.machines) LoadMachine(machine, sim.registry);
    for (const MachineFile& file : input.files) {
        sim.files.PutFile(file.path, {});
        if (file.version) sim.files.SetVersion(file.path, *file.version);
    }
    for (const auto& [code, state] : input.products) sim.installer.InstallProduct(code, state);
}

// Names that differ only in a trailing number go by the number: FALSEPREREQUISITY_2 before
// FALSEPREREQUISITY_10. Ordered by the text before the number, then the number's length,
// then the whole name.
bool NameLess(std::u16string_view a, std::u16string_view b)
{
    const auto key = [](std::u16string_view name) {
        std::size_t digits = name.size();
        while (digits > 0 && name[digits - 1] >= u'0' && name[digits - 1] <= u'9') --digits;
        return std::tuple(name.substr(0, digits), name.size() - digits, name);
    };
    return key(a) < key(b);
}

std::vector<PropertyValue> PropertiesSet(const Properties& before, const Properties& after)
{
    std::vector<std::u16string> changed;
    for (const auto& [name, value] : after)
        if (const auto old = before.find(name); old == before.end() || old->second != value)
            changed.push_back(name);
    for (const auto& entry : before)
        if (!after.contains(entry.first)) changed.push_back(entry.first);
    std::ranges::sort(changed, NameLess);
    std::vector<PropertyValue> set;
    for (const std::u16string& name : changed) {
        const auto now = after.find(name);
        set.push_back({ToUtf8(name), now == after.end() ? std::string() : ToUtf8(now->second)});
    }
    return set;
}

std::vector<ComponentRequest> ComponentsRequested(const Requests& before, const Requests& after)
{
    std::vector<ComponentRequest> requested;
    for (const auto& [component, state] : after) {
        if (const auto old = before.find(component); old != before.end() && old->second == state)
            continue;
        requested.push_back({ToUtf8(component), state == kInstallStateAbsent
                                                    ? std::string("absent")
                                                    : "state " + std::to_string(state)});
    }
    return requested;
}

ActionRun Run(sim::SimPlatform& sim, InstallerHandle session, const ActionEntry& entry)
{
    const Properties properties = sim.installer.Properties(session);
    const Requests requests = sim.installer.ComponentRequests(session);
    const std::size_t logged = sim.installer.Messages(session).size();
    ActionRun run;
    run.action = entry.name;
    run.answer = InvokeAction(entry, sim.platform(), session);
    const std::vector<std::u16string>& messages = sim.installer.Messages(session);
    for (std::size_t i = logged; i < messages.size(); ++i) run.log.push_back(ToUtf8(messages[i]));
    run.properties = PropertiesSet(properties, sim.installer.Properties(session));
    run.components = ComponentsRequested(requests, sim.installer.ComponentRequests(session));
    return run;
}

// What a type-51 action does: the property becomes its Target, formatted.
void SetFormatted(sim::SimInstaller& installer, InstallerHandle session, const char16_t* property,
                  const std::u16string& target)
{
    const InstallerHandle record = installer.CreateOwnRecord(1);
    installer.SetRecordField(record, 1, target);
    const OwnedText value = ReadRecordField(installer, session, record, 1);
    installer.CloseInstallerHandle(record);
    installer.SetProperty(session, property, value ? value.get() : u"");
}

// A framework test reads the command that the package's actions before it set, which the
// run shows beside its answer.
ActionRun RunFrameworkTest(sim::SimPlatform& sim, InstallerHandle session, const ScheduledCall& call)
{
    if (call.command) SetFormatted(sim.installer, session, kFrameworkTestCommand, *call.command);
    const std::u16string command = sim.installer.PropertyValue(session, kFrameworkTestCommand);
    ActionRun run = Run(sim, session, *call.entry);
    run.given.push_back({ToUtf8(kFrameworkTestCommand), ToUtf8(command)});
    return run;
}

ActionRun RunCall(sim::SimPlatform& sim, InstallerHandle session, const ScheduledCall& call)
{
    ActionRun run = call.entry->name == "IsFrameworkInstalled" ? RunFrameworkTest(sim, session, call)
                                                                : Run(sim, session, *call.entry);
    run.customAction = ToUtf8(call.customAction);
    run.stops = run.answer != 0 && !call.answerIgnored;
    return run;
}

}  // namespace

DryRun RunDry(const Package& package, const DryRunInput& input)
{
    sim::SimPlatform sim;
    PrepareMachine(sim, input);
    const InstallerHandle session = OpenPackageSession(package, sim.installer);
    DryRun dry;
    for (const ScheduledCall& call : ScheduledCalls(package)) {
        dry.actions.push_back(RunCall(sim, session, call));
        if (dry.actions.back().stops) break;
    }
    return dry;
}

}  // namespace zarvo::check
