// Windows only: the module as the system loads it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "windows/tested_library.h"

namespace {

using zarvo::test::TestedLibraryPath;
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
    const std::wstring path = TestedLibraryPath();
    const HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(module, nullptr);
    // The very file named, not another of the same name found first.
    wchar_t loaded[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, loaded, MAX_PATH);
    EXPECT_EQ(CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, loaded, static_cast<int>(length),
                             path.c_str(), static_cast<int>(path.size())), CSTR_EQUAL);
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

// The version resource as Windows reads it for the file's properties and for an installer
// comparing file versions: the project's version in its numbers and its texts.
class ModuleVersion : public testing::Test {
protected:
    void SetUp() override
    {
        const std::wstring path = TestedLibraryPath();
        DWORD ignored = 0;
        block_.resize(GetFileVersionInfoSizeW(path.c_str(), &ignored));
        ASSERT_FALSE(block_.empty()) << "the DLL has no version resource";
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block_.size()), block_.data()));
    }

    const void* Query(const std::wstring& name)
    {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block_.data(), name.c_str(), &value, &length) || length == 0) return nullptr;
        return value;
    }

    std::wstring Text(const std::wstring& name)
    {
        const void* value = Query(L"\\StringFileInfo\\040904B0\\" + name);
        return value == nullptr ? L"<none>" : static_cast<const wchar_t*>(value);
    }

private:
    std::vector<BYTE> block_;
};

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

// The project's version with four numbers, as the fixed part holds it.
std::wstring FourNumbers(const char* version)
{
    std::wstring numbers = Widen(version);
    for (auto dots = std::count(numbers.begin(), numbers.end(), L'.'); dots < 3; ++dots) numbers += L".0";
    return numbers;
}

std::wstring NumbersOf(DWORD high, DWORD low)
{
    return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
           std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
}

TEST_F(ModuleVersion, HoldsTheProjectVersionInItsNumbersAndTexts)
{
    const auto fixed = static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\"));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(NumbersOf(fixed->dwFileVersionMS, fixed->dwFileVersionLS), FourNumbers(ZARVO_VERSION));
    EXPECT_EQ(NumbersOf(fixed->dwProductVersionMS, fixed->dwProductVersionLS), FourNumbers(ZARVO_VERSION));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(Text(L"FileVersion"), Widen(ZARVO_VERSION));
    EXPECT_EQ(Text(L"ProductVersion"), Widen(ZARVO_VERSION));
}

TEST_F(ModuleVersion, NamesTheFileItsProductAndItsMaker)
{
    // The texts are found through the translation the resource declares: US English, Unicode.
    const auto translation = static_cast<const WORD*>(Query(L"\\VarFileInfo\\Translation"));
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);
    EXPECT_EQ(Text(L"OriginalFilename"), L"ZarvoCustomActionDll.dll");
    EXPECT_EQ(Text(L"InternalName"), L"ZarvoCustomActionDll");
    EXPECT_EQ(Text(L"ProductName"), L"ZarvoCustomActionDll");
    EXPECT_EQ(Text(L"CompanyName"), L"Zarvo");
    for (const wchar_t* name : {L"FileDescription", L"LegalCopyright"}) EXPECT_NE(Text(name), L"<none>") << name;
}

}  // namespace
