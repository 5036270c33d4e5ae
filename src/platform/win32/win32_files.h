#pragma once
// Files over the Windows file and version calls, one call each.
#include "platform/files.h"

namespace zarvo::win32 {

class Win32Files final : public Files {
public:
    bool OpenForRead(const char16_t* path, FileHandle* file) override;
    bool CreateNew(const char16_t* path, FileHandle* file) override;
    bool Read(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* read) override;
    // WriteFile may write less than asked; this keeps going until all is written.
    bool Write(FileHandle file, const void* data, std::uint32_t size) override;
    bool Flush(FileHandle file) override;
    bool Close(FileHandle file) override;
    bool Move(const char16_t* from, const char16_t* to, std::uint32_t flags) override;
    bool Delete(const char16_t* path) override;
    std::uint32_t GetAttributes(const char16_t* path) override;
    bool SetAttributes(const char16_t* path, std::uint32_t attributes) override;
    std::uint32_t VersionInfoSize(const char16_t* path) override;
    bool VersionInfo(const char16_t* path, std::uint32_t size, void* block) override;
    bool QueryFixedVersion(const void* block, FixedFileVersion* version) override;
    std::uint32_t GetLastError() override;
};

}  // namespace zarvo::win32
