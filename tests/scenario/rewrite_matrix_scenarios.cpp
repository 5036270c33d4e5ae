// The three rewrites held byte for byte to the reference model over a generated matrix of
// file shapes: sizes up to several megabytes, few tokens and many, every line end, every
// encoding, tokens, line ends and characters across the reader's blocks, token sets whose
// first characters are alike and different.
#include <gtest/gtest.h>

#include <ostream>

#include "frame/result_codes.h"
#include "reference/byte_difference.h"
#include "reference/command_model.h"
#include "reference/shape_matrix.h"
#include "reference/text_model.h"
#include "reference/wizard_model.h"
#include "reference/xml_model.h"
#include "scenario/machine.h"

namespace zarvo::reference {

// Named rather than dumped as bytes when a case fails.
void PrintTo(const Shape& shape, std::ostream* out)
{
    *out << ShapeName(shape);
}

}  // namespace zarvo::reference

namespace zarvo::test {
namespace {

using reference::Engine;
using reference::GeneratedFile;
using reference::Shape;

// The Windows build runs the real DLL in an installer session under Wine, where each file
// costs far more than on the simulated machine: it takes a subset of the shapes.
constexpr bool RunsUnderWine()
{
#ifdef _WIN32
    return true;
#else
    return false;
#endif
}

const std::u16string kCommandKey = std::u16string(kTestKeyRoot) + u"\\Commands";

class RewriteMatrix : public ::testing::TestWithParam<Shape> {
protected:
    // The file after one command of the generated pairs, with what the model expects of it
    // (the file as it was where the model says the action refuses it).
    struct Outcome {
        std::string got;
        std::string expected;
    };

    Outcome Substitute(const GeneratedFile& generated, const char* action, const char16_t* valueName,
                       std::uint32_t view, const reference::Rewritten& expected)
    {
        const std::u16string file = machine->FileFolder() + u"matrix.file";
        machine->PutFileBytes(file, generated.bytes);
        machine->WriteRegistryMultiString(kCommandKey, valueName, reference::CommandStrings(file, generated.pairs),
                                          view);
        machine->SetProperty(u"CustomActionData", kCommandKey);
        EXPECT_EQ(machine->RunAction(action), kErrorSuccess);
        return {machine->FileBytes(file).value_or("<missing>"), expected.value_or(generated.bytes)};
    }

    Outcome UpdateWizard(const GeneratedFile& generated)
    {
        const std::u16string folder = machine->FileFolder();
        const std::u16string wizard = folder + u"ZarvoCSharpPlugin.vsz";
        const std::u16string data = folder + u"|" + generated.replacement;
        machine->PutFileBytes(wizard, generated.bytes);
        machine->SetProperty(u"CustomActionData", data);
        EXPECT_EQ(machine->RunAction("UpdateVS71VszFile"), kErrorSuccess);
        const std::optional<std::u16string> replacement = reference::WizardReplacement(data);
        const reference::Rewritten expected =
            replacement ? reference::ExpectedWizardRewrite(generated.bytes, *replacement) : std::nullopt;
        return {machine->FileBytes(wizard).value_or("<missing>"), expected.value_or(generated.bytes)};
    }

    Outcome Run(const Shape& shape)
    {
        const GeneratedFile generated = reference::Generate(shape);
        switch (shape.engine) {
        case Engine::Text:
            return Substitute(generated, "SetupSubstFiles", u"SetupSubstFileCmd_0", 0,
                              reference::ExpectedTextRewrite(generated.bytes, generated.pairs));
        case Engine::Xml:
            // The XML commands are read in the 64-bit view under WOW64.
            return Substitute(generated, "SetupSubstXmlFiles", u"SetupSubstXmlCmd_0", kKeyWow64_64Key,
                              reference::ExpectedXmlRewrite(generated.bytes, generated.pairs));
        case Engine::Wizard: break;
        }
        return UpdateWizard(generated);
    }

    std::unique_ptr<Machine> machine = MakeMachine();
};

TEST_P(RewriteMatrix, WritesWhatTheReferenceModelWrites)
{
    const Outcome outcome = Run(GetParam());
    const std::string difference = reference::ByteDifference(outcome.got, outcome.expected);
    EXPECT_TRUE(difference.empty()) << difference;
}

std::string CaseName(const ::testing::TestParamInfo<Shape>& info)
{
    return std::to_string(info.index) + "_" + reference::ShapeName(info.param);
}

INSTANTIATE_TEST_SUITE_P(PlainText, RewriteMatrix,
                         ::testing::ValuesIn(reference::MatrixShapes(Engine::Text, RunsUnderWine())), CaseName);
INSTANTIATE_TEST_SUITE_P(Xml, RewriteMatrix,
                         ::testing::ValuesIn(reference::MatrixShapes(Engine::Xml, RunsUnderWine())), CaseName);
INSTANTIATE_TEST_SUITE_P(WizardFile, RewriteMatrix,
                         ::testing::ValuesIn(reference::MatrixShapes(Engine::Wizard, RunsUnderWine())), CaseName);

}  // namespace
}  // namespace zarvo::test
