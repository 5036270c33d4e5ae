// Windows only: a program that stands where a user with fewer rights could put one, under
// the name of a program the library starts. Should it ever run, it leaves a mark in its
// current folder for the scenario to find.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const HANDLE mark = CreateFileW(L"planted-program-ran.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    return 0;
}
