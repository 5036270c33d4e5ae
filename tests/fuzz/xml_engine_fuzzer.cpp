// The XML engine on its own, with commands and files of any bytes: no read past a buffer,
// no endless loop, no handle left open, a target either untouched or wholly rewritten as
// UTF-16LE with its mark, the same rewrite whether the lines that need no decoding are
// edited as their bytes or decoded, and that rewrite byte for byte the reference model's.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "reference/command_model.h"
#include "reference/xml_model.h"
#include "substitution/engines/xml_engine.h"

namespace {

constexpr std::u16string_view kTarget = u"C:\\App\\settings.xml";
// A first pair whose element no line is expected to hold. With a value above 255, which no
// line of bytes can take, every line is decoded.
constexpr std::u16string_view kName = u"\x01zarvo\x02";
constexpr std::u16string_view kAsBytes = u"\x01zarvo\x02=x";
constexpr std::u16string_view kDecoded = u"\x01zarvo\x02=\u0100";

std::string Rewrite(const std::string& file, std::u16string_view first, const std::vector<char16_t>& pairs)
{
    std::vector<char16_t> command(kTarget.begin(), kTarget.end());
    command.push_back(0);
    command.insert(command.end(), first.begin(), first.end());
    command.push_back(0);
    command.insert(command.end(), pairs.begin(), pairs.end());
    command.insert(command.end(), {0, 0});
    // Read before the engine splits the pairs in place.
    const zarvo::reference::Pairs pairsRead = zarvo::reference::CommandOf({command.data(), command.size()}).pairs;
    zarvo::sim::SimPlatform sim;
    sim.files.PutFile(kTarget, file);
    zarvo::SubstituteXmlFile(sim.files, command);
    if (sim.ledger.OpenCount() != 0) __builtin_trap();
    const std::string after = sim.files.ReadFileBytes(kTarget).value_or("");
    if (after != file && after.compare(0, 2, "\xFF\xFE") != 0) __builtin_trap();
    if (after != zarvo::reference::ExpectedXmlRewrite(file, pairsRead).value_or(file)) __builtin_trap();
    return after;
}

bool HoldsName(const std::string& rewritten)
{
    std::string name;
    for (const char16_t c : kName) name += {static_cast<char>(c), '\0'};
    return rewritten.find(name) != std::string::npos;
}

}  // namespace

// The first two bytes give the length of the pairs, read as UTF-16 strings each ended by a
// zero; the file follows them.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::size_t length = std::min<std::size_t>(data[0] | data[1] << 8, size - 2);
    std::vector<char16_t> pairs;
    for (std::size_t i = 2; i + 1 < 2 + length; i += 2) pairs.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    const std::string file(reinterpret_cast<const char*>(data + 2 + length), size - 2 - length);
    const std::string asBytes = Rewrite(file, kAsBytes, pairs);
    if (!HoldsName(asBytes) && Rewrite(file, kDecoded, pairs) != asBytes) __builtin_trap();
    return 0;
}
