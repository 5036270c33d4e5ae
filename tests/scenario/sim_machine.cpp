// The scenario fixture over the simulated machine.
#include <utility>

#include "dll/action_table.h"
#include "frame/versions.h"
#include "helper/helper_steps.h"
#include "platform/sim/sim_platform.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

constexpr std::u16string_view kHelperProgram = u"C:\\ZarvoTests\\zarvo_helper.exe";
// How the interpreter is asked to run one command and end.
constexpr std::u16string_view kRunAndEnd = u"/c ";

std::vector<sim::SimColumn> SimColumns(const std::vector<TableColumn>& columns)
{
    std::vector<sim::SimColumn> simColumns;
    for (const TableColumn& column : columns) simColumns.push_back({column.name, column.integer});
    return simColumns;
}

// The fixture files lie in one folder; a version text "a.b.c.d" becomes the file's fixed
// file version.
FixedFileVersion FixedVersion(const std::u16string& version)
{
    const FourPartVersion parts = ParseVersion(version.c_str());
    return {parts.part1 << 16 | parts.part2, parts.part3 << 16 | parts.part4};
}

class SimMachine final : public Machine {
public:
    SimMachine()
    {
        sim_.installer.InstallProduct(kInstalledProductCode, u"5");
        sim_.processes.MarkMissing(kMissingProgram);
        sim_.processes.AddProgram(kHelperProgram, [this](std::u16string_view commandLine) {
            return RunHelper(commandLine);
        });
        sim_.processes.AddProgram(std::u16string(sim::kSimSystemFolder) + u"\\cmd.exe",
                                  [this](std::u16string_view commandLine) {
            return RunInterpreter(commandLine);
        });
    }

    Platform& platform() override { return sim_.platform(); }

    InstallerHandle Session() override
    {
        if (session_ == 0) session_ = sim_.installer.OpenSession(database_);
        return session_;
    }
    void SetProperty(const std::u16string& name, const std::u16string& value) override
    {
        sim_.installer.SetPropertyValue(Session(), name, value);
    }
    std::u16string Property(const std::u16string& name) override
    {
        return sim_.installer.PropertyValue(Session(), name);
    }
    void AddTable(const std::u16string& name, const std::vector<TableColumn>& columns,
                  const std::vector<TableRow>& rows) override
    {
        database_->tables[name] = sim::SimTable{SimColumns(columns), rows, true};
    }
    void AddTemporaryTable(const std::u16string& name,
                           const std::vector<TableColumn>& columns) override
    {
        database_->tables[name] = sim::SimTable{SimColumns(columns), {}, false};
    }
    WinResult RunAction(const char* name) override
    {
        return InvokeAction(*FindAction(name), sim_.platform(), Session());
    }
    WinResult RunActionWithoutSession(const char* name) override
    {
        return InvokeAction(*FindAction(name), sim_.platform(), 0);
    }
    // The actions are called here as any C++ function is, by code that keeps the stack as it
    // assumes: no caller of another compiler stands between.
    void SetStackOffset(unsigned) override {}

    InstallerHandle CreateRecord(std::uint32_t fields) override
    {
        return sim_.installer.CreateRecord(fields);
    }
    void SetRecordField(InstallerHandle record, std::uint32_t field,
                        const std::u16string& text) override
    {
        sim_.installer.SetRecordField(record, field, text);
    }
    std::optional<std::u16string> RecordField(InstallerHandle record, std::uint32_t field) override
    {
        return sim_.installer.RecordField(record, field);
    }
    void CloseRecord(InstallerHandle record) override
    {
        sim_.installer.CloseInstallerHandle(record);
    }

    void WriteRegistryValue(const std::u16string& path, const std::u16string& name,
                            std::uint32_t type, const std::vector<std::uint8_t>& data,
                            std::uint32_t view) override
    {
        sim_.registry.WriteValue(path, name, type, data, view);
    }

    void CreateRegistryKey(const std::u16string& path, std::uint32_t view) override
    {
        sim_.registry.CreateKey(path, view);
    }
    // A simulated machine starts with an empty registry: there is nothing to empty or keep.
    void TakeOverKey(const std::u16string&, std::uint32_t) override {}

    std::u16string FileFolder() override
    {
        sim_.files.CreateFolder(u"C:\\Scenario");
        return u"C:\\Scenario\\";
    }
    void PutFileBytes(const std::u16string& path, const std::string& bytes) override
    {
        sim_.files.PutFile(path, bytes);
    }
    std::u16string SmallDiskFolder() override
    {
        sim_.files.CreateFolder(u"C:\\Small");
        return u"C:\\Small\\";
    }
    void FillSmallDisk(std::uint64_t bytes) override { sim_.files.LeaveFree(bytes); }
    std::optional<std::string> FileBytes(const std::u16string& path) override
    {
        return sim_.files.ReadFileBytes(path);
    }
    std::uint32_t AttributesOf(const std::u16string& path) override
    {
        return sim_.files.GetAttributes(path.c_str());
    }
    void SetAttributesOf(const std::u16string& path, std::uint32_t attributes) override
    {
        sim_.files.SetAttributes(path.c_str(), attributes);
    }
    void PutHardLink(const std::u16string& link, const std::u16string& existing) override
    {
        sim_.files.PutHardLink(link, existing);
    }
    void HoldFile(const std::u16string& path) override
    {
        sim_.files.HoldElsewhere(path, sim::SimFiles::Hold::Reading);
    }

    std::u16string FileWithVersion(const std::u16string& version) override
    {
        const std::u16string path = u"C:\\Fixtures\\version-" +
                                    (version.empty() ? u"none" : version) + u".dll";
        sim_.files.PutFile(path, "MZ");
        if (!version.empty()) sim_.files.SetVersion(path, FixedVersion(version));
        return path;
    }

    void AddComponent(const std::u16string& name) override { sim_.installer.AddComponent(name); }
    bool ComponentRequestedAbsent(const std::u16string& name) override
    {
        const auto& requests = sim_.installer.ComponentRequests(Session());
        const auto found = requests.find(name);
        return found != requests.end() && found->second == kInstallStateAbsent;
    }

    std::vector<std::u16string> LogLines() override { return sim_.installer.Messages(Session()); }

    void PlantProgramInCurrentFolder(const std::u16string& name) override
    {
        sim_.processes.AddProgram(std::u16string(sim::kSimCurrentFolder) + u"\\" + name,
                                  [this](std::u16string_view) {
                                      plantedRan_ = true;
                                      return sim::ProgramRun();
                                  });
    }
    bool PlantedProgramRan() override { return plantedRan_; }

    std::u16string HelperProgram() override { return std::u16string(kHelperProgram); }
    std::uint64_t Milliseconds() override { return sim_.processes.ElapsedMilliseconds(); }
    WindowHandle OpenWindow(const std::u16string& title) override
    {
        return sim_.desktop.AddWindow(title);
    }
    WindowHandle WaitForWindow(const std::u16string& title) override
    {
        return sim_.desktop.WindowTitled(title);
    }
    bool IsWindowOpen(WindowHandle window) override { return sim_.desktop.HasWindow(window); }
    void CloseWindow(WindowHandle window) override { sim_.desktop.RemoveWindow(window); }
    void WatchMessageBoxes(const std::u16string& caption, WindowHandle window) override
    {
        sim_.desktop.whileBoxShown = [this, caption, window](const sim::MessageBoxEvent& box) {
            if (box.caption == caption)
                boxesSeen_.push_back({box.text.value_or(u""), sim_.desktop.HasWindow(window)});
        };
    }
    std::vector<MessageBoxSeen> MessageBoxesSeen() override
    {
        sim_.desktop.whileBoxShown = nullptr;
        return std::exchange(boxesSeen_, {});
    }

    SystemTime LocalTime() override { return sim_.clock.now; }
    bool SetLocalTime(const SystemTime& time) override
    {
        sim_.clock.now = time;
        return true;
    }
    bool IsWindows64() override { return sim_.registry.windows64; }
    bool SetWindows64(bool windows64) override
    {
        sim_.registry.windows64 = windows64;
        return true;
    }

private:
    // The helper's steps, done at once as it starts; it runs on for the time it sleeps, and
    // ends with 0 unless a step says otherwise.
    sim::ProgramRun RunHelper(std::u16string_view commandLine)
    {
        sim::ProgramRun run;
        for (const HelperStep& step : ParseHelperSteps(commandLine)) {
            switch (step.kind) {
            case HelperStep::Kind::Sleep: run.milliseconds += step.number; break;
            case HelperStep::Kind::Write:
                sim_.files.PutFile(step.path, std::string(step.text.begin(), step.text.end()));
                break;
            case HelperStep::Kind::Exit: run.exitCode = step.number; return run;
            case HelperStep::Kind::Window: sim_.desktop.AddWindow(step.text); return run;
            }
        }
        return run;
    }
    // The interpreter as the scenarios use it: "/c" and a command that starts the helper,
    // which it waits for and whose exit code it ends with. Any other command does nothing
    // here, and the interpreter ends with 0.
    sim::ProgramRun RunInterpreter(std::u16string_view commandLine)
    {
        if (!commandLine.starts_with(kRunAndEnd)) return {};
        const std::u16string_view command = commandLine.substr(kRunAndEnd.size());
        return command.starts_with(kHelperProgram) ? RunHelper(command) : sim::ProgramRun();
    }

    sim::SimPlatform sim_;
    std::shared_ptr<sim::SimDatabase> database_ = std::make_shared<sim::SimDatabase>();
    InstallerHandle session_ = 0;
    std::vector<MessageBoxSeen> boxesSeen_;
    bool plantedRan_ = false;
};

}  // namespace

std::unique_ptr<Machine> MakeMachine()
{
    return std::make_unique<SimMachine>();
}

}  // namespace zarvo::test
