// Framework test commands and registered version data from any bytes: the command is split
// in place without leaving its buffer, the 64 bytes read stay 64, and no key is left open.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/framework_presence.h"
#include "platform/sim/sim_platform.h"

// Byte 0 is the registry type of the value SOFTWARE\Fuzz\V; the rest is both its data and,
// read as UTF-16, the command (at most 259 characters, as the property read allows).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    zarvo::sim::SimPlatform sim;
    sim.registry.WriteValue(u"SOFTWARE\\Fuzz", u"V", data[0],
                            std::vector<std::uint8_t>(data + 1, data + size), zarvo::kKeyWow64_64Key);
    // Exactly the command's capacity, so that a read past its terminator is caught.
    std::vector<char16_t> command;
    for (std::size_t i = 1; i + 1 < size && command.size() + 1 < zarvo::kFrameworkCommandCapacity; i += 2) {
        const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == u'\0') break;
        command.push_back(c);
    }
    command.push_back(u'\0');
    zarvo::LogLine account;
    const zarvo::WinResult answer = zarvo::EvaluateFrameworkTest(sim.registry, command.data(), account);
    if (sim.ledger.OpenCount() != 0) __builtin_trap();
    // The test answers 0, 1 or the registry's own code.
    if (answer != 0 && answer != 1 && answer != 2 && answer != 234) __builtin_trap();
    return 0;
}
