// Substitution commands and files from any bytes through both engines and the wizard
// action on the simulated machine: no read past a buffer, no endless loop, no handle left
// open, a target that is either untouched or wholly rewritten in its output encoding, and
// the rewrite byte for byte what the reference model makes of the file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dll/action_table.h"
#include "platform/sim/sim_platform.h"
#include "reference/command_model.h"
#include "reference/text_model.h"
#include "reference/wizard_model.h"
#include "reference/xml_model.h"

namespace {

constexpr const char16_t* kTarget = u"C:\\App\\ZarvoCSharpPlugin.vsz";

// The file as the model leaves it, given the command value's data or the wizard action's
// CustomActionData; nullopt for CustomActionData holding a NUL, which no installer's
// property can hold: such data is held to the other checks alone.
std::optional<std::string> ModelRewrite(std::string_view action, const std::vector<std::uint8_t>& data,
                                        std::u16string_view wizardData, const std::string& file)
{
    using namespace zarvo::reference;
    if (action == "UpdateVS71VszFile") {
        if (wizardData.find(u'\0') != std::u16string_view::npos) return std::nullopt;
        const std::optional<std::u16string> replacement = WizardReplacement(wizardData);
        return (replacement ? ExpectedWizardRewrite(file, *replacement) : std::nullopt).value_or(file);
    }
    const Pairs pairs = CommandOf(CommandCharacters(data)).pairs;
    return (action == "SetupSubstFiles" ? ExpectedTextRewrite(file, pairs) : ExpectedXmlRewrite(file, pairs)).value_or(file);
}

// Runs one action with the command value (any bytes, odd sizes and no terminator included)
// over the file, and checks what it left.
void RunAction(const char* action, const char16_t* valueName, const std::vector<std::uint8_t>& command,
               const std::string& file)
{
    zarvo::sim::SimPlatform sim;
    sim.files.PutFile(kTarget, file);
    std::vector<std::uint8_t> data;
    for (const char16_t c : std::u16string_view(kTarget)) data.insert(data.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
    data.insert(data.end(), {0, 0});
    data.insert(data.end(), command.begin(), command.end());
    for (std::uint32_t view : {zarvo::kKeyWow64_64Key, zarvo::kKeyWow64_32Key})
        if (valueName != nullptr) sim.registry.WriteValue(u"SOFTWARE\\Fuzz", valueName, zarvo::kRegMultiSz, data, view);
    const zarvo::InstallerHandle session = sim.installer.OpenSession(std::make_shared<zarvo::sim::SimDatabase>());
    std::u16string wizardData = u"C:\\App\\|";
    for (std::size_t i = 0; i + 1 < command.size() && wizardData.size() < 600; i += 2)
        wizardData += static_cast<char16_t>(command[i] | command[i + 1] << 8);
    sim.installer.SetPropertyValue(session, u"CustomActionData",
                                   valueName == nullptr ? wizardData : u"SOFTWARE\\Fuzz");
    zarvo::InvokeAction(*zarvo::FindAction(action), sim.platform(), session);
    if (sim.ledger.OpenCount() != 0) __builtin_trap();
    const std::string after = sim.files.ReadFileBytes(kTarget).value_or("");
    const bool utf16 = std::string(action) == "SetupSubstXmlFiles";
    if (after != file && utf16 && after.compare(0, 2, "\xFF\xFE") != 0) __builtin_trap();
    const std::optional<std::string> expected = ModelRewrite(action, data, wizardData, file);
    if (expected && after != *expected) __builtin_trap();
}

}  // namespace

// The first two bytes give the command's length; the command follows, the file after it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::size_t length = std::min<std::size_t>(data[0] | data[1] << 8, size - 2);
    const std::vector<std::uint8_t> command(data + 2, data + 2 + length);
    const std::string file(reinterpret_cast<const char*>(data + 2 + length), size - 2 - length);
    RunAction("SetupSubstFiles", u"SetupSubstFileCmd_0", command, file);
    RunAction("SetupSubstXmlFiles", u"SetupSubstXmlCmd_0", command, file);
    RunAction("UpdateVS71VszFile", nullptr, command, file);
    return 0;
}
