#pragma once
// A file system in memory that refuses what Windows refuses: names compare without regard
// to case, files are shared the way CreateFileW's access and share modes allow, and a
// read-only file cannot be emptied or replaced. A file may have several names (hard links),
// and a name may be a symbolic link that opening follows. What was written reaches the disk
// only when flushed, so that a test can cut the power and see what a file would hold.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/sim/sim_ledger.h"

namespace zarvo::sim {

inline constexpr std::uint32_t kFileAttributeArchive = 0x20;
inline constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;

class SimFiles final : public Files {
public:
    // How another process has a file open, as far as sharing is concerned.
    enum class Hold { None, Reading, Writing };

    explicit SimFiles(SimLedger& ledger);

    bool OpenForRead(const char16_t* path, FileHandle* file) override;
    bool CreateNew(const char16_t* path, FileHandle* file) override;
    bool Read(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* read) override;
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
    // The error of the last call here that failed: ERROR_DISK_FULL for a write that the volume
    // has no room for, and for a failure a test injected the fault its call stands for.
    std::uint32_t GetLastError() override;

    // Creates the folder and every folder above it; "C:\" is there from the start.
    void CreateFolder(std::u16string_view path);
    // Places a file and its folders, replacing any file there; it has no version resource.
    void PutFile(std::u16string_view path, std::string bytes,
                 std::uint32_t attributes = kFileAttributeArchive);
    // A second name for an existing file (CreateHardLinkW): both names open the one file.
    void PutHardLink(std::u16string_view link, std::u16string_view existing);
    // A symbolic link to a path, which need not exist; opening the link opens what it names.
    void PutSymbolicLink(std::u16string_view link, std::u16string_view target);
    // Through a symbolic link, the bytes of the file it names.
    std::optional<std::string> ReadFileBytes(std::u16string_view path) const;
    // Every file loses what was written to it since it was last flushed.
    void CutPower();
    // A move as Move made it: its flags, and whether every byte of the file moved had been
    // flushed.
    struct MoveMade {
        std::u16string from;
        std::u16string to;
        std::uint32_t flags = 0;
        bool flushed = false;
    };
    const std::vector<MoveMade>& MovesMade() const { return moves_; }
    bool Exists(std::u16string_view path) const;
    // Every file's path as it was last written, ordered without regard to case.
    std::vector<std::u16string> Paths() const;
    // The file must exist (std::out_of_range otherwise).
    void SetVersion(std::u16string_view path, FixedFileVersion version);
    std::optional<FixedFileVersion> VersionOf(const char16_t* path) const;
    // Another process opens the file (which must exist) or lets go of it.
    void HoldElsewhere(std::u16string_view path, Hold hold);
    // From now on the files together may grow by this many bytes only, as on a disk that is
    // nearly full: a write past that fails with ERROR_DISK_FULL.
    void LeaveFree(std::size_t bytes);

private:
    // One file, whatever names it has.
    struct FileData {
        std::string bytes;
        std::string flushed;  // what is on the disk
        std::uint32_t attributes = kFileAttributeArchive;
        std::optional<FixedFileVersion> version;
        int readers = 0;
        int writers = 0;
        Hold held = Hold::None;
    };
    // One name: of a file, or of a symbolic link (whose own data holds its attributes).
    struct Entry {
        std::u16string path;
        std::shared_ptr<FileData> data;
        std::optional<std::u16string> linkTarget;
    };
    struct OpenFile {
        std::shared_ptr<FileData> data;
        bool writing = false;
        std::size_t position = 0;
    };

    const Entry* Find(std::u16string_view path) const;
    Entry* Find(std::u16string_view path);
    // The file a path opens: symbolic links followed, a few deep at most, as Windows does.
    std::shared_ptr<FileData> Followed(std::u16string_view path) const;
    bool CanPlace(const std::u16string& key) const;
    std::shared_ptr<FileData> Versioned(const char16_t* path) const;
    FileHandle OpenHandle(std::shared_ptr<FileData> data, bool writing);
    OpenFile* Handle(FileHandle file, bool writing);
    std::size_t BytesOnVolume() const;
    // Notes the error of a call that fails, and answers false.
    bool Failed(std::uint32_t error);

    SimLedger& ledger_;
    std::map<std::u16string, Entry> files_;  // keyed by the folded path
    std::set<std::u16string> folders_;       // folded, without a trailing backslash
    std::map<FileHandle, OpenFile> open_;
    std::vector<MoveMade> moves_;
    std::optional<std::size_t> volumeBytes_;
    std::uint32_t lastError_ = 0;
};

}  // namespace zarvo::sim
