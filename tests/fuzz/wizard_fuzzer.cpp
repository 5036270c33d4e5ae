// The wizard action with any folder, replacement and file: no read past a buffer, no
// handle left open, a wizard file that changes only where it held a placeholder or a line
// end to be written as CR LF, and the rewrite byte for byte the reference model's.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dll/action_table.h"
#include "platform/sim/sim_platform.h"
#include "reference/wizard_model.h"

namespace {

constexpr const char16_t* kWizard = u"C:\\App\\ZarvoCSharpPlugin.vsz";

}  // namespace

// The first two bytes give the length of the replacement, read as UTF-16; the file follows.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::size_t length = std::min<std::size_t>(data[0] | data[1] << 8, size - 2);
    std::u16string customActionData = u"C:\\App\\|";
    for (std::size_t i = 2; i + 1 < 2 + length; i += 2) customActionData += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    const std::string file(reinterpret_cast<const char*>(data + 2 + length), size - 2 - length);

    zarvo::sim::SimPlatform sim;
    sim.files.PutFile(kWizard, file);
    const zarvo::InstallerHandle session = sim.installer.OpenSession(std::make_shared<zarvo::sim::SimDatabase>());
    sim.installer.SetPropertyValue(session, u"CustomActionData", customActionData);
    zarvo::InvokeAction(*zarvo::FindAction("UpdateVS71VszFile"), sim.platform(), session);
    if (sim.ledger.OpenCount() != 0) __builtin_trap();
    const std::string after = sim.files.ReadFileBytes(kWizard).value_or("");
    const bool mayChange = file.find("[Zv.Dir.APITemplatesVS71]") != std::string::npos || file.find('\n') != std::string::npos;
    if (after != file && !mayChange) __builtin_trap();
    // No installer's property holds a NUL: data with one is held to the checks above alone.
    if (customActionData.find(u'\0') != std::u16string::npos) return 0;
    const std::optional<std::u16string> replacement = zarvo::reference::WizardReplacement(customActionData);
    const zarvo::reference::Rewritten expected =
        replacement ? zarvo::reference::ExpectedWizardRewrite(file, *replacement) : std::nullopt;
    if (after != expected.value_or(file)) __builtin_trap();
    return 0;
}
