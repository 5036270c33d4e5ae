// What a rewrite costs on the simulated machine's files: the plain-text engine over a
// configuration file of 1 and 8 MB, to be set against `cp` (the floor) and `sed` doing the
// same replacements on the same bytes, which scripts/bench.sh times in the same run; the same
// with names as authors write them; the XML engine over an XML file of the same size.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "dll/action_table.h"
#include "platform/sim/sim_platform.h"

namespace {

// Lines of a configuration file, a token in every fourth.
std::string SampleText(std::size_t bytes)
{
    std::string text;
    for (int line = 0; text.size() < bytes; ++line)
        text += line % 4 == 0 ? "InstallFolder=<Name> ; set by the installer\n"
                              : "Setting" + std::to_string(line) + "=some ordinary value of a setting\n";
    return text;
}

// Names as package authors write them, with different first letters.
const std::vector<std::string> kAuthorsNames{"INSTALLDIR", "SERVERNAME", "PORTNUMBER", "DATADIR",   "LOGDIR",
                                             "USERNAME",   "TIMEOUT",    "BACKUPDIR",  "CACHESIZE", "EMAILHOST"};

// Lines of a configuration file, one of the authors' names twice in every fourth.
std::string AuthorsText(std::size_t bytes)
{
    std::string text;
    for (std::size_t line = 0; text.size() < bytes; ++line) {
        const std::string& name = kAuthorsNames[line % kAuthorsNames.size()];
        text += line % 4 == 0 ? "Path" + std::to_string(line) + "=<" + name + "> ; " + name + " here\n"
                              : "Setting" + std::to_string(line) + "=some ordinary value of a setting\n";
    }
    return text;
}

std::vector<std::u16string> AuthorsCommand()
{
    std::vector<std::u16string> command{u"C:\\App\\app.cfg"};
    for (std::size_t i = 0; i < kAuthorsNames.size(); ++i)
        command.push_back(std::u16string(kAuthorsNames[i].begin(), kAuthorsNames[i].end()) + u"=C:\\Program Files\\App" +
                          static_cast<char16_t>(u'0' + i));
    return command;
}

// An XML file in UTF-8 with its mark, ten elements each on a line of its own, again and again.
std::string XmlText(std::size_t bytes)
{
    std::string text = "\xEF\xBB\xBF<Settings>\n";
    for (int line = 0; text.size() < bytes; ++line) {
        const char digit = static_cast<char>('0' + line % 10);
        text.append("  <E").append(1, digit).append(">old value ").append(std::to_string(line));
        text.append("</E").append(1, digit).append(">\n");
    }
    return text + "</Settings>\n";
}

std::vector<std::u16string> XmlCommand()
{
    std::vector<std::u16string> command{u"C:\\App\\app.cfg"};
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) command.push_back(std::u16string(u"E") + digit + u"=new E" + digit);
    return command;
}

// Lines of 4,998 characters made only of tokens, each pair's value the next pair's name:
// every row of the command has work to do on every line, each on what the one before left.
std::string WorstText(std::size_t bytes)
{
    std::string line;
    while (line.size() < 4998) line += "Ka<Ka>";
    line.resize(4998);
    line += '\n';
    std::string text;
    while (text.size() < bytes) text += line;
    return text;
}

std::vector<std::u16string> ChainedCommand()
{
    std::vector<std::u16string> command{u"C:\\App\\app.cfg"};
    for (char16_t name = u'a'; name < u'a' + 20; ++name)
        command.push_back(std::u16string(u"K") + name + u"=K" + static_cast<char16_t>(name + 1));
    return command;
}

void Rewrite(benchmark::State& state, const char* action, const char16_t* valueName, const std::string& text,
             const std::vector<std::u16string>& command)
{
    for (auto _ : state) {
        state.PauseTiming();
        zarvo::sim::SimPlatform sim;
        sim.files.PutFile(u"C:\\App\\app.cfg", text);
        sim.registry.WriteMultiString(u"SOFTWARE\\C", valueName, command, zarvo::kKeyWow64_64Key);
        sim.registry.WriteMultiString(u"SOFTWARE\\C", valueName, command);
        const zarvo::InstallerHandle session = sim.installer.OpenSession(std::make_shared<zarvo::sim::SimDatabase>());
        sim.installer.SetPropertyValue(session, u"CustomActionData", u"SOFTWARE\\C");
        state.ResumeTiming();
        zarvo::InvokeAction(*zarvo::FindAction(action), sim.platform(), session);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

const std::vector<std::u16string> kOneName{u"C:\\App\\app.cfg", u"Name=C:\\Program Files\\App"};

std::string Megabytes(const benchmark::State& state, std::string (*sample)(std::size_t))
{
    return sample(static_cast<std::size_t>(state.range(0)) << 20);
}

void TextEngine(benchmark::State& state)
{
    Rewrite(state, "SetupSubstFiles", u"SetupSubstFileCmd_0", Megabytes(state, SampleText), kOneName);
}

void AuthorsNames(benchmark::State& state)
{
    Rewrite(state, "SetupSubstFiles", u"SetupSubstFileCmd_0", Megabytes(state, AuthorsText), AuthorsCommand());
}

void XmlEngine(benchmark::State& state)
{
    Rewrite(state, "SetupSubstXmlFiles", u"SetupSubstXmlCmd_0", Megabytes(state, XmlText), XmlCommand());
}

void WorstCase(benchmark::State& state)
{
    Rewrite(state, "SetupSubstFiles", u"SetupSubstFileCmd_0", Megabytes(state, WorstText), ChainedCommand());
}

BENCHMARK(TextEngine)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(AuthorsNames)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(XmlEngine)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(WorstCase)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

// "--sample PATH MB" writes the benchmark's file for the shell tools to work on.
int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--sample") {
        std::ofstream(argv[2], std::ios::binary) << SampleText(std::stoul(argv[3]) << 20);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
