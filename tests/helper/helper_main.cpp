// Windows only: the helper program that scenarios and the sample package start. It does the
// steps on its command line (helper_steps.h) and ends with 0 unless a step says otherwise.
#include <windows.h>

#include "helper/helper_steps.h"

namespace {

using zarvo::test::HelperStep;

// A window left open by a test that failed half-way goes by itself, so no stray helper
// outlives its test run for long.
constexpr UINT kLifetimeMilliseconds = 120000;

const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

void WriteText(const HelperStep& step)
{
    const HANDLE file = CreateFileW(Wide(step.path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string bytes(step.text.begin(), step.text.end());
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) DestroyWindow(window);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

// Runs until the window is closed, by the Close command, WM_CLOSE or the lifetime's end.
// The window is never shown: FindWindowW finds it all the same, and under an X server
// without a window manager Wine spends two seconds waiting for one when a shown window
// goes away.
int RunWindow(HINSTANCE instance, const std::u16string& title)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ZarvoTestHelper";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowW(L"ZarvoTestHelper", Wide(title), WS_OVERLAPPEDWINDOW,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 320, 120, nullptr, nullptr,
                                      instance, nullptr);
    if (window == nullptr) return 1;
    SetTimer(window, 1, kLifetimeMilliseconds, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const auto commandLine = reinterpret_cast<const char16_t*>(GetCommandLineW());
    for (const HelperStep& step : zarvo::test::ParseHelperSteps(commandLine)) {
        switch (step.kind) {
        case HelperStep::Kind::Sleep: Sleep(step.number); break;
        case HelperStep::Kind::Write: WriteText(step); break;
        case HelperStep::Kind::Exit: return static_cast<int>(step.number);
        case HelperStep::Kind::Window: return RunWindow(instance, step.text);
        }
    }
    return 0;
}
