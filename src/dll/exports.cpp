// Windows only: the module's entry point and the exported actions. Each export builds the
// real platform on its stack and runs the portable action behind its name.
#include <windows.h>

#include <msi.h>

#include <cstdlib>
#include <exception>

#include "dll/action_table.h"
#include "platform/win32/win32_platform.h"

namespace {

UINT RunExported(std::string_view name, MSIHANDLE session)
{
    zarvo::win32::Win32Platform real;
    return zarvo::InvokeAction(*zarvo::FindAction(name), real.platform(), session);
}

}  // namespace

// Nothing is set up at load and nothing is torn down at unload.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

// The runtime's own terminate handler writes the pending exception's name, demangled, to a
// standard error that the installer's custom-action host does not have, and brings the
// demangler and formatted output with it: a quarter of the DLL. No exception leaves an
// export, so the handler runs only should a destructor throw; then it ends the process at
// once, as the runtime's handler does after its message.
void __gnu_cxx::__verbose_terminate_handler()
{
    std::abort();
}

// Each export is the action of its own name, one line a name written from the list of
// actions, so that the symbol and the name looked up cannot drift apart. A function
// cannot give a symbol its name, so this is a macro.
#define ZARVO_EXPORT(name)                                   \
    extern "C" UINT __stdcall name(MSIHANDLE session)        \
    {                                                        \
        return RunExported(#name, session);                  \
    }

#include "exported_actions.inc"
