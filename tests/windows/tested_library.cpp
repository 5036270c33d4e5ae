// Windows only: the DLL that the Wine tests load.
#include "windows/tested_library.h"

#include <windows.h>

#include <stdexcept>

namespace zarvo::test {

std::wstring TestedLibraryPath()
{
    const DWORD size = GetEnvironmentVariableW(L"ZARVO_DLL", nullptr, 0);
    std::wstring path(size, L'\0');
    if (size == 0 || GetEnvironmentVariableW(L"ZARVO_DLL", path.data(), size) != size - 1)
        throw std::runtime_error("ZARVO_DLL does not name the DLL to test");
    path.resize(size - 1);
    return path;
}

}  // namespace zarvo::test
