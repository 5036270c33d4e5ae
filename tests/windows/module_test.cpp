// Windows only: the module as the system loads it.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

// The module's entry point as the loader calls it, found through its PE headers.
EntryPoint FindEntryPoint(HMODULE module)
{
    const auto base = reinterpret_cast<const BYTE*>(module);
    const auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return reinterpret_cast<EntryPoint>(
        reinterpret_cast<ULONG_PTR>(base + nt->OptionalHeader.AddressOfEntryPoint));
}

DWORD WINAPI EndAtOnce(LPVOID)
{
    return 0;
}

TEST(Module, LoadsAndUnloadsAnsweringTrueForEveryReason)
{
    // The loader refuses a module whose entry point answers FALSE to the process attach.
    const HMODULE module = LoadLibraryW(L"ZarvoCustomActionDll.dll");
    ASSERT_NE(module, nullptr);
    const EntryPoint entry = FindEntryPoint(module);
    const auto instance = reinterpret_cast<HINSTANCE>(module);
    EXPECT_TRUE(entry(instance, DLL_THREAD_ATTACH, nullptr));
    EXPECT_TRUE(entry(instance, DLL_THREAD_DETACH, nullptr));

    // A thread started and ended while the module is loaded reaches it through the loader.
    const HANDLE thread = CreateThread(nullptr, 0, EndAtOnce, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);

    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleW(L"ZarvoCustomActionDll.dll"), nullptr);
}

}  // namespace
