#include "platform/win32/win32_files.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace zarvo::win32 {
namespace {

// CreateFileW answers INVALID_HANDLE_VALUE for no file; the library's no-file is 0.
bool Opened(HANDLE handle, FileHandle* file)
{
    if (handle == INVALID_HANDLE_VALUE) return false;
    *file = reinterpret_cast<FileHandle>(handle);
    return true;
}

// A write that the system answers with success but no byte written makes no progress: it
// fails as a write fault, so that the caller has an error to name.
bool WriteWhole(HANDLE file, const void* data, DWORD size)
{
    const auto* next = static_cast<const BYTE*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, next, size, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        next += written;
        size -= written;
    }
    return true;
}

}  // namespace

bool Win32Files::OpenForRead(const char16_t* path, FileHandle* file)
{
    return Opened(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr),
                  file);
}

bool Win32Files::CreateNew(const char16_t* path, FileHandle* file)
{
    return Opened(CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr),
                  file);
}

bool Win32Files::Read(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* read)
{
    DWORD count = 0;
    const BOOL done = ReadFile(Native(file), buffer, size, &count, nullptr);
    *read = count;
    return done != FALSE;
}

bool Win32Files::Write(FileHandle file, const void* data, std::uint32_t size)
{
    return WriteWhole(Native(file), data, size);
}

bool Win32Files::Flush(FileHandle file)
{
    return FlushFileBuffers(Native(file)) != FALSE;
}

bool Win32Files::Close(FileHandle file)
{
    return ::CloseHandle(Native(file)) != FALSE;
}

bool Win32Files::Move(const char16_t* from, const char16_t* to, std::uint32_t flags)
{
    return MoveFileExW(Wide(from), Wide(to), flags) != FALSE;
}

bool Win32Files::Delete(const char16_t* path)
{
    return DeleteFileW(Wide(path)) != FALSE;
}

std::uint32_t Win32Files::GetAttributes(const char16_t* path)
{
    return GetFileAttributesW(Wide(path));
}

bool Win32Files::SetAttributes(const char16_t* path, std::uint32_t attributes)
{
    return SetFileAttributesW(Wide(path), attributes) != FALSE;
}

std::uint32_t Win32Files::VersionInfoSize(const char16_t* path)
{
    DWORD unused = 0;
    return GetFileVersionInfoSizeW(Wide(path), &unused);
}

bool Win32Files::VersionInfo(const char16_t* path, std::uint32_t size, void* block)
{
    return GetFileVersionInfoW(Wide(path), 0, size, block) != FALSE;
}

bool Win32Files::QueryFixedVersion(const void* block, FixedFileVersion* version)
{
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block, L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    *version = {fixed->dwFileVersionMS, fixed->dwFileVersionLS};
    return true;
}

std::uint32_t Win32Files::GetLastError()
{
    return ::GetLastError();
}

}  // namespace zarvo::win32
