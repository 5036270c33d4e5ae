// Windows only: times one substitution action of the DLL under test on a real file, in a real
// installer session, for scripts/bench.sh. Only the action's own call is timed.
//   zarvo_bench_driver.exe ACTION FILE NAME=VALUE...
// ACTION is SetupSubstFiles or SetupSubstXmlFiles; FILE a Windows path. Prints "ms N".
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "scenario/machine.h"

namespace {

const std::u16string kCommandKey = std::u16string(zarvo::test::kTestKeyRoot) + u"\\Bench";

std::u16string Utf16(const wchar_t* text)
{
    return reinterpret_cast<const char16_t*>(text);
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fputs("usage: zarvo_bench_driver ACTION FILE NAME=VALUE...\n", stderr);
        return 2;
    }
    const std::u16string action = Utf16(argv[1]);
    const bool xml = action == u"SetupSubstXmlFiles";
    std::vector<std::u16string> command{Utf16(argv[2])};
    for (int i = 3; i < argc; ++i) command.push_back(Utf16(argv[i]));

    const auto machine = zarvo::test::MakeMachine();
    // The XML action reads the 64-bit view under WOW64, the plain-text one its own.
    machine->WriteRegistryMultiString(kCommandKey, xml ? u"SetupSubstXmlCmd_0" : u"SetupSubstFileCmd_0",
                                      command, xml ? zarvo::kKeyWow64_64Key : 0);
    machine->SetProperty(u"CustomActionData", kCommandKey);
    const std::string name(action.begin(), action.end());
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const zarvo::WinResult answer = machine->RunAction(name.c_str());
    QueryPerformanceCounter(&end);
    std::printf("ms %.1f\n", Milliseconds(start, end));
    return answer == 0 ? 0 : 1;
}
