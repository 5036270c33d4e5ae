#include "machine_load.h"

namespace zarvo::check {

void LoadMachine(const MachineDescription& machine, sim::SimRegistry& registry)
{
    for (const RegKey& key : machine.keys) registry.CreateKey(key.path, key.view);
    for (const RegValue& value : machine.values)
        registry.WriteValue(value.keyPath, value.name, value.type, value.data, value.view);
}

}  // namespace zarvo::check
