// Shapes of files rather than their bytes: a few input bytes choose the parameters of the
// shape generator (size up to 8 MB, line length, line ends, encoding, token density, pairs),
// which writes a file of that shape for each of the three rewrites; each action runs on the
// simulated machine and must leave exactly what the reference model makes of the file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "dll/action_table.h"
#include "platform/sim/sim_platform.h"
#include "reference/command_model.h"
#include "reference/shape.h"
#include "reference/text_model.h"
#include "reference/wizard_model.h"
#include "reference/xml_model.h"

namespace {

using namespace zarvo::reference;

constexpr std::u16string_view kFolder = u"C:\\App\\";
constexpr std::u16string_view kKey = u"SOFTWARE\\Fuzz";
constexpr std::size_t kShapeBytes = 16;
constexpr std::size_t kMostBytes = 8 * 1024 * 1024;

// Lengths about the two line capacities, and lines longer than a read.
constexpr std::array<std::size_t, 20> kLineLengths = {0,    1,    2,    30,   80,   500,  517,
                                                      518,  519,  520,  1038, 4997, 4998, 4999,
                                                      5000, 5001, 9998, 9999, 70000, kVaryingLines};

Shape ShapeOf(const std::uint8_t* data)
{
    Shape shape;
    const std::size_t size = static_cast<std::size_t>(data[0] | data[1] << 8) << (data[2] % 8);
    shape.bytes = std::min(size, kMostBytes);
    shape.lineLength = data[3] < 128 ? kLineLengths[data[3] % kLineLengths.size()] : data[3] - 128u;
    shape.lineEnds = static_cast<LineEnds>(data[4] % 4);
    shape.lastLineEnd = (data[4] & 4) == 0;
    shape.encoding = static_cast<Encoding>(data[5] % 8);
    shape.density = static_cast<Density>(data[6] % 4);
    shape.acrossBlocks = (data[6] & 4) != 0;
    shape.pairCount = 1 + data[7] % 20;
    shape.names = static_cast<NameSet>(data[8] % 5);
    shape.chained = (data[8] & 8) != 0;
    shape.valuesHoldTokens = (data[8] & 16) != 0;
    shape.wideValues = (data[8] & 32) != 0;
    shape.seed = 0;
    for (std::size_t i = 9; i < kShapeBytes; ++i) shape.seed = shape.seed << 8 | data[i];
    return shape;
}

std::vector<std::uint8_t> CommandData(const std::u16string& target, const Pairs& pairs)
{
    std::vector<std::uint8_t> data;
    for (const std::u16string& string : CommandStrings(target, pairs))
        for (const char16_t c : string + u'\0') data.insert(data.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
    data.insert(data.end(), {0, 0});
    return data;
}

// Runs the action over the file with the generated pairs or replacement, and gives what it left.
std::string RunAction(const char* action, const std::u16string& file, const GeneratedFile& generated)
{
    zarvo::sim::SimPlatform sim;
    sim.files.PutFile(file, generated.bytes);
    const std::vector<std::uint8_t> command = CommandData(file, generated.pairs);
    for (const std::uint32_t view : {zarvo::kKeyWow64_64Key, zarvo::kKeyWow64_32Key}) {
        sim.registry.WriteValue(std::u16string(kKey), u"SetupSubstFileCmd_0", zarvo::kRegMultiSz, command, view);
        sim.registry.WriteValue(std::u16string(kKey), u"SetupSubstXmlCmd_0", zarvo::kRegMultiSz, command, view);
    }
    const zarvo::InstallerHandle session = sim.installer.OpenSession(std::make_shared<zarvo::sim::SimDatabase>());
    const bool wizard = std::string_view(action) == "UpdateVS71VszFile";
    sim.installer.SetPropertyValue(session, u"CustomActionData",
                                   wizard ? std::u16string(kFolder) + u"|" + generated.replacement : std::u16string(kKey));
    zarvo::InvokeAction(*zarvo::FindAction(action), sim.platform(), session);
    if (sim.ledger.OpenCount() != 0) __builtin_trap();
    return sim.files.ReadFileBytes(file).value_or("<missing>");
}

void Check(Shape shape, Engine engine)
{
    shape.engine = engine;
    const GeneratedFile generated = Generate(shape);
    Rewritten expected;
    std::string after;
    switch (engine) {
    case Engine::Text:
        expected = ExpectedTextRewrite(generated.bytes, generated.pairs);
        after = RunAction("SetupSubstFiles", std::u16string(kFolder) + u"app.cfg", generated);
        break;
    case Engine::Xml:
        expected = ExpectedXmlRewrite(generated.bytes, generated.pairs);
        after = RunAction("SetupSubstXmlFiles", std::u16string(kFolder) + u"settings.xml", generated);
        break;
    case Engine::Wizard:
        if (const auto replacement = WizardReplacement(std::u16string(kFolder) + u"|" + generated.replacement))
            expected = ExpectedWizardRewrite(generated.bytes, *replacement);
        after = RunAction("UpdateVS71VszFile", std::u16string(kFolder) + u"ZarvoCSharpPlugin.vsz", generated);
        break;
    }
    if (after != expected.value_or(generated.bytes)) __builtin_trap();
}

}  // namespace

// The first 16 bytes are the shape; shorter inputs are left out.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kShapeBytes) return 0;
    const Shape shape = ShapeOf(data);
    for (const Engine engine : {Engine::Text, Engine::Xml, Engine::Wizard}) Check(shape, engine);
    return 0;
}
