#pragma once
// A file system in memory that refuses what Windows refuses: names compare without regard
// to case, files are shared the way CreateFileW's access and share modes allow, and a
// read-only file cannot be emptied or replaced.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/sim/sim_ledger.h"

namespace zarvo::sim {

inline constexpr std::uint32_t kFileAttributeArchive = 0x20;

class SimFiles final : public Files {
public:
    // How another process has a file open, as far as sharing is concerned.
    enum class Hold { None, Reading, Writing };

    explicit SimFiles(SimLedger& ledger);

    bool OpenForRead(const char16_t* path, FileHandle* file) override;
    bool CreateForWrite(const char16_t* path, FileHandle* file) override;
    bool Read(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* read) override;
    bool Write(FileHandle file, const void* data, std::uint32_t size) override;
    bool Close(FileHandle file) override;
    bool Move(const char16_t* from, const char16_t* to, std::uint32_t flags) override;
    std::uint32_t GetAttributes(const char16_t* path) override;
    bool SetAttributes(const char16_t* path, std::uint32_t attributes) override;
    std::uint32_t VersionInfoSize(const char16_t* path) override;
    bool VersionInfo(const char16_t* path, std::uint32_t size, void* block) override;
    bool QueryFixedVersion(const void* block, FixedFileVersion* version) override;

    // Creates the folder and every folder above it; "C:\" is there from the start.
    void CreateFolder(std::u16string_view path);
    // Places a file and its folders, replacing any file there; it has no version resource.
    void PutFile(std::u16string_view path, std::string bytes,
                 std::uint32_t attributes = kFileAttributeArchive);
    std::optional<std::string> ReadFileBytes(std::u16string_view path) const;
    bool Exists(std::u16string_view path) const;
    // Every file's path as it was last written, ordered without regard to case.
    std::vector<std::u16string> Paths() const;
    // The file must exist (std::out_of_range otherwise).
    void SetVersion(std::u16string_view path, FixedFileVersion version);
    std::optional<FixedFileVersion> VersionOf(const char16_t* path) const;
    // Another process opens the file (which must exist) or lets go of it.
    void HoldElsewhere(std::u16string_view path, Hold hold);

private:
    struct Entry {
        std::u16string path;
        std::string bytes;
        std::uint32_t attributes = kFileAttributeArchive;
        std::optional<FixedFileVersion> version;
        int readers = 0;
        int writers = 0;
        Hold held = Hold::None;
    };
    struct OpenFile {
        std::u16string key;
        bool writing = false;
        std::size_t position = 0;
    };

    const Entry* Find(std::u16string_view path) const;
    Entry* Find(std::u16string_view path);
    bool CanPlace(const std::u16string& key) const;
    const Entry* Versioned(const char16_t* path) const;
    FileHandle OpenHandle(std::u16string key, Entry& entry, bool writing);
    OpenFile* Handle(FileHandle file, bool writing);

    SimLedger& ledger_;
    std::map<std::u16string, Entry> files_;  // keyed by the folded path
    std::set<std::u16string> folders_;       // folded, without a trailing backslash
    std::map<FileHandle, OpenFile> open_;
};

}  // namespace zarvo::sim
