// Machine descriptions from any bytes: the reader never crashes, hangs or reads out of
// bounds; a refusal names a line of the file; and a file it reads loads into the simulated
// registry with every key there and every value reading back as it was read.
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "platform/sim/sim_letter_case.h"
#include "platform/sim/sim_registry.h"
#include "zarvo-check/machine_load.h"
#include "zarvo-check/reg_file.h"

namespace {

using zarvo::check::MachineDescription;
using zarvo::check::RegValue;

// The registry names keys and values without regard to case: of several values of one name,
// the last is the one that stays.
bool ReplacedLater(const MachineDescription& machine, std::size_t index)
{
    const RegValue& value = machine.values[index];
    for (std::size_t later = index + 1; later < machine.values.size(); ++later) {
        const RegValue& other = machine.values[later];
        if (other.view == value.view && zarvo::sim::EqualIgnoringCase(other.keyPath, value.keyPath) &&
            zarvo::sim::EqualIgnoringCase(other.name, value.name))
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto read = zarvo::check::ReadRegFile(std::span(data, size));
    if (const auto* error = std::get_if<zarvo::check::RegFileError>(&read)) {
        if (error->line == 0 || error->line > size + 1 || error->message.empty()) __builtin_trap();
        return 0;
    }
    const MachineDescription& machine = std::get<MachineDescription>(read);
    zarvo::sim::SimLedger ledger;
    zarvo::sim::SimRegistry registry(ledger);
    zarvo::check::LoadMachine(machine, registry);
    for (const auto& key : machine.keys)
        if (!registry.HasKey(key.path, key.view)) __builtin_trap();
    for (std::size_t i = 0; i < machine.values.size(); ++i) {
        if (ReplacedLater(machine, i)) continue;
        const RegValue& value = machine.values[i];
        const auto stored = registry.ReadValue(value.keyPath, value.name, value.view);
        if (!stored || stored->type != value.type || stored->data != value.data) __builtin_trap();
    }
    return 0;
}
