/* The person installing, for the package test: waits (up to a minute) for a message box
   titled as its first argument says, writes the box's text (UTF-8) to the file its second
   names, and answers the box with OK. Ends with 0 once it answered a box, 1 if none came. */
#include <windows.h>

/* The box's text is its one static control with a text (the icon's has none). */
static BOOL CALLBACK FindBoxText(HWND child, LPARAM found)
{
    wchar_t className[8];
    if (GetClassNameW(child, className, 8) && lstrcmpiW(className, L"Static") == 0 &&
        GetWindowTextLengthW(child) > 0) {
        *(HWND*)found = child;
        return FALSE;
    }
    return TRUE;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) return 2;
    for (int tries = 0; tries < 600; ++tries, Sleep(100)) {
        HWND box = FindWindowW(NULL, argv[1]), text = NULL;
        if (box == NULL) continue;
        EnumChildWindows(box, FindBoxText, (LPARAM)&text);
        if (text == NULL) continue;
        wchar_t wide[1024];
        char utf8[4096];
        int length = GetWindowTextW(text, wide, 1024);
        int size = WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8, sizeof utf8, NULL, NULL);
        HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD written;
        WriteFile(file, utf8, (DWORD)size, &written, NULL);
        CloseHandle(file);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    return 1;
}
