// Windows only: the module's entry point and the exported actions. Each export builds the
// real platform on its stack and runs the portable action behind its name.
#include <windows.h>

#include <msi.h>

#include "frame/action_table.h"
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

extern "C" UINT __stdcall ChangeElementsFromPrerequisites(MSIHANDLE session)
{
    return RunExported("ChangeElementsFromPrerequisites", session);
}

extern "C" UINT __stdcall CheckPrerequisites(MSIHANDLE session)
{
    return RunExported("CheckPrerequisites", session);
}

extern "C" UINT __stdcall CloseWindowByGUID(MSIHANDLE session)
{
    return RunExported("CloseWindowByGUID", session);
}

extern "C" UINT __stdcall IsFrameworkInstalled(MSIHANDLE session)
{
    return RunExported("IsFrameworkInstalled", session);
}

extern "C" UINT __stdcall NetFrameworkInstall(MSIHANDLE session)
{
    return RunExported("NetFrameworkInstall", session);
}

extern "C" UINT __stdcall RunCmdFile(MSIHANDLE session)
{
    return RunExported("RunCmdFile", session);
}

extern "C" UINT __stdcall RunForegroundProgram(MSIHANDLE session)
{
    return RunExported("RunForegroundProgram", session);
}

extern "C" UINT __stdcall SetDateTimeProperty(MSIHANDLE session)
{
    return RunExported("SetDateTimeProperty", session);
}

extern "C" UINT __stdcall SetupSubstFiles(MSIHANDLE session)
{
    return RunExported("SetupSubstFiles", session);
}

extern "C" UINT __stdcall SetupSubstXmlFiles(MSIHANDLE session)
{
    return RunExported("SetupSubstXmlFiles", session);
}

extern "C" UINT __stdcall UpdateVS71VszFile(MSIHANDLE session)
{
    return RunExported("UpdateVS71VszFile", session);
}
