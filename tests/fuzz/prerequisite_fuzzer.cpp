// Prerequisite rows and registry data from any bytes, run through every check on the
// simulated machine: no read past a text or a buffer, and no key left open.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "prerequisites/check_prerequisites.h"
#include "prerequisites/key_path.h"
#include "prerequisites/prerequisite_checks.h"

namespace {

// Splits UTF-16 text at '|' into at most three fields.
std::vector<std::u16string> Fields(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::u16string> fields(3);
    std::size_t field = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == u'|' && field < 2) ++field;
        else if (c != u'\0') fields[field] += c;
    }
    return fields;
}

zarvo::OwnedText Owned(const std::u16string& text)
{
    zarvo::OwnedText owned(new char16_t[text.size() + 1]);
    std::copy(text.begin(), text.end(), owned.get());
    owned[text.size()] = u'\0';
    return owned;
}

void CheckViewKeyPath(const zarvo::PrerequisiteRow& row)
{
    const std::u16string destination(row.Destination.get());
    const zarvo::ViewedKeyPath viewed = zarvo::ViewKeyPath(row.Destination.get(), true);
    const std::u16string path(viewed.path);
    if (destination.compare(destination.size() - path.size(), path.size(), path) != 0)
        __builtin_trap();
}

}  // namespace

// Byte 0 is the registry type of the value; the rest is both the value's data, of any size,
// and, read as UTF-16, the row's Destination|ValueName|Value.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    zarvo::sim::SimPlatform sim;
    const std::vector<std::uint8_t> value(data + 1, data + size);
    for (std::uint32_t view : {zarvo::kKeyWow64_64Key, zarvo::kKeyWow64_32Key})
        sim.registry.WriteValue(u"SOFTWARE\\Fuzz", u"V", data[0], value, view);
    const std::vector<std::u16string> fields = Fields(data + 1, size - 1);
    const zarvo::PrerequisiteRow row{Owned(u"Type"), Owned(u"Name"), Owned(fields[0]),
                                     Owned(fields[1]), Owned(fields[2]), Owned(u"")};
    CheckViewKeyPath(row);
    for (zarvo::PrerequisiteCheck check :
         {&zarvo::CheckFileVersion, &zarvo::CheckRegistryVersion, &zarvo::CheckRegistryDWord,
          &zarvo::CheckProductState, &zarvo::CheckInstanceProductState})
        check(sim.platform(), row);
    if (sim.ledger.OpenCount() != 0) __builtin_trap();
    return 0;
}
