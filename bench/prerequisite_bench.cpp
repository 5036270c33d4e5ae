// What a Prerequisites row costs on the simulated machine: the gate over N rows of
// registry, file and product checks, against the bare walk over the same rows (the table
// read and formatted, no check run), the floor any gate pays.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/sim/sim_platform.h"
#include "prerequisites/check_prerequisites.h"
#include "prerequisites/prerequisite_table.h"

namespace {

constexpr const char16_t* kProduct = u"{11111111-2222-3333-4444-555555555555}";

std::u16string Decimal(int number)
{
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

// Registry, file and product rows in turn, each of which passes.
std::vector<zarvo::sim::SimField> Row(int order)
{
    switch (order % 3) {
    case 0:
        return {Decimal(order), u"CheckRegistryVersion", u"r", u"SOFTWARE\\Vendor", u"Version",
                u"2.0", u"C"};
    case 1:
        return {Decimal(order), u"CheckFileVersion", u"f", u"C:\\App\\app.dll", u"FileVersion",
                u"1.5", u"C"};
    default:
        return {Decimal(order), u"CheckProductState", u"p", kProduct, u"ValueGreaterThanOrEqualTo",
                u"5", u"C"};
    }
}

// A machine whose table holds `rows` rows that all pass.
zarvo::InstallerHandle Prepare(zarvo::sim::SimPlatform& sim, int rows)
{
    sim.registry.WriteText(u"SOFTWARE\\Vendor", u"Version", u"2.0.1");
    sim.files.PutFile(u"C:\\App\\app.dll", "MZ");
    sim.files.SetVersion(u"C:\\App\\app.dll", {0x00020000, 0});
    sim.installer.InstallProduct(kProduct, u"5");
    auto database = std::make_shared<zarvo::sim::SimDatabase>();
    zarvo::sim::SimTable table{{{u"Order", true}, {u"Type"}, {u"Name"}, {u"Destination"},
                                {u"ValueName"}, {u"Value"}, {u"Component_"}},
                               {},
                               true};
    for (int order = 0; order < rows; ++order) table.rows.push_back(Row(order));
    database->tables[u"Prerequisites"] = table;
    return sim.installer.OpenSession(database);
}

void WalkRows(benchmark::State& state)
{
    zarvo::sim::SimPlatform sim;
    const zarvo::InstallerHandle session = Prepare(sim, static_cast<int>(state.range(0)));
    for (auto _ : state)
        zarvo::ForEachPrerequisiteRow(sim.installer, session,
                                      [](zarvo::InstallerHandle, const zarvo::PrerequisiteRow& row) {
                                          benchmark::DoNotOptimize(row.Type.get());
                                      });
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void CheckRows(benchmark::State& state)
{
    zarvo::sim::SimPlatform sim;
    const zarvo::InstallerHandle session = Prepare(sim, static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (zarvo::CheckPrerequisites(sim.platform(), session) != 0) state.SkipWithError("a row failed");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(WalkRows)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(CheckRows)->Arg(100)->Arg(1000)->Arg(10000);

}  // namespace
