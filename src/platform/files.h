#pragma once
// Files as byte streams; every text encoding is the actions' own business.
#include <cstdint>

namespace zarvo {

using FileHandle = std::uintptr_t;  // 0 means no file

inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x1;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;
inline constexpr std::uint32_t kMoveFileReplaceExisting = 0x1;
inline constexpr std::uint32_t kMoveFileWriteThrough = 0x8;

// The file-version words of a version resource's fixed file information.
struct FixedFileVersion {
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
};

class Files {
public:
    virtual ~Files() = default;
    // An existing file for reading; others may read it meanwhile but not write it.
    virtual bool OpenForRead(const char16_t* path, FileHandle* file) = 0;
    // A file created new for writing, not shared (CREATE_NEW): refused when anything stands
    // at the path already, so that a link put there never redirects the write.
    virtual bool CreateNew(const char16_t* path, FileHandle* file) = 0;
    // Reads up to size bytes; *read is 0 at the end of the file.
    virtual bool Read(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* read) = 0;
    virtual bool Write(FileHandle file, const void* data, std::uint32_t size) = 0;
    // FlushFileBuffers: what was written is on the disk when it answers true.
    virtual bool Flush(FileHandle file) = 0;
    virtual bool Close(FileHandle file) = 0;
    virtual bool Move(const char16_t* from, const char16_t* to, std::uint32_t flags) = 0;
    // DeleteFileW: a link is removed itself, never the file it points at.
    virtual bool Delete(const char16_t* path) = 0;
    virtual std::uint32_t GetAttributes(const char16_t* path) = 0;
    virtual bool SetAttributes(const char16_t* path, std::uint32_t attributes) = 0;
    // GetFileVersionInfoSizeW, GetFileVersionInfoW, and VerQueryValueW of the root block.
    virtual std::uint32_t VersionInfoSize(const char16_t* path) = 0;
    virtual bool VersionInfo(const char16_t* path, std::uint32_t size, void* block) = 0;
    virtual bool QueryFixedVersion(const void* block, FixedFileVersion* version) = 0;
    // GetLastError: the Windows error of the last of these calls that failed on this thread.
    virtual std::uint32_t GetLastError() = 0;
};

}  // namespace zarvo
