// The scenario fixture over the simulated machine.
#include "frame/action_table.h"
#include "platform/sim/sim_platform.h"
#include "scenario/machine.h"

namespace zarvo::test {
namespace {

std::vector<sim::SimColumn> SimColumns(const std::vector<TableColumn>& columns)
{
    std::vector<sim::SimColumn> simColumns;
    for (const TableColumn& column : columns) simColumns.push_back({column.name, column.integer});
    return simColumns;
}

class SimMachine final : public Machine {
public:
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
    sim::SimPlatform sim_;
    std::shared_ptr<sim::SimDatabase> database_ = std::make_shared<sim::SimDatabase>();
    InstallerHandle session_ = 0;
};

}  // namespace

std::unique_ptr<Machine> MakeMachine()
{
    return std::make_unique<SimMachine>();
}

}  // namespace zarvo::test
