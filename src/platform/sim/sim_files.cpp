#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/sim/sim_letter_case.h"
#include "platform/sim/sim_result_codes.h"

namespace zarvo::sim {
namespace {

constexpr std::uint32_t kFileAttributeDirectory = 0x10;

// The block VersionInfo hands out; the tag tells QueryFixedVersion it is one of ours.
struct VersionBlock {
    std::uint32_t tag = 0;
    FixedFileVersion version;
};
constexpr std::uint32_t kVersionBlockTag = 0x5A564552;

std::u16string_view View(const char16_t* path)
{
    return path ? std::u16string_view(path) : std::u16string_view();
}

std::u16string FolderKey(std::u16string_view path)
{
    std::u16string key = InLowerCase(path);
    while (!key.empty() && key.back() == u'\\') key.pop_back();
    return key;
}

std::u16string FolderOf(const std::u16string& key)
{
    const std::size_t at = key.rfind(u'\\');
    return at == std::u16string::npos ? std::u16string() : key.substr(0, at);
}

// FILE_ATTRIBUTE_NORMAL stands only for the absence of every other attribute.
std::uint32_t Normalized(std::uint32_t attributes)
{
    const std::uint32_t others = attributes & ~kFileAttributeNormal;
    return others != 0 ? others : kFileAttributeNormal;
}

bool SharesReading(const auto& entry)
{
    return entry.writers == 0 && entry.held != SimFiles::Hold::Writing;
}

bool IsOpen(const auto& entry)
{
    return entry.readers != 0 || entry.writers != 0 || entry.held != SimFiles::Hold::None;
}

// Symbolic links that lead to links are followed this deep, as Windows follows them.
constexpr int kLinkDepth = 8;

}  // namespace

SimFiles::SimFiles(SimLedger& ledger) : ledger_(ledger)
{
    CreateFolder(u"C:\\");
}

bool SimFiles::OpenForRead(const char16_t* path, FileHandle* file)
{
    if (ledger_.FailThisCall(Operation::OpenForRead)) return false;
    std::shared_ptr<FileData> data = Followed(View(path));
    if (!data || !SharesReading(*data)) return false;
    *file = OpenHandle(std::move(data), false);
    return true;
}

bool SimFiles::CreateNew(const char16_t* path, FileHandle* file)
{
    if (ledger_.FailThisCall(Operation::CreateNew)) return false;
    const std::u16string key = InLowerCase(View(path));
    // Whatever stands at the name, a file, a link or a dangling link, refuses the creation.
    if (!CanPlace(key) || files_.contains(key)) return false;
    auto data = std::make_shared<FileData>();
    files_.emplace(key, Entry{std::u16string(View(path)), data, std::nullopt});
    *file = OpenHandle(std::move(data), true);
    return true;
}

bool SimFiles::Read(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* read)
{
    *read = 0;  // ReadFile clears the count before it checks anything
    if (ledger_.FailThisCall(Operation::Read)) return Failed(kErrorReadFault);
    OpenFile* open = Handle(file, false);
    if (!open) return Failed(kErrorInvalidHandle);
    const std::string& bytes = open->data->bytes;
    const std::size_t from = std::min(open->position, bytes.size());
    const std::size_t count = std::min<std::size_t>(size, bytes.size() - from);
    std::memcpy(buffer, bytes.data() + from, count);
    open->position = from + count;
    *read = static_cast<std::uint32_t>(count);
    return true;
}

bool SimFiles::Write(FileHandle file, const void* data, std::uint32_t size)
{
    if (ledger_.FailThisCall(Operation::Write)) return Failed(kErrorWriteFault);
    OpenFile* open = Handle(file, true);
    if (!open) return Failed(kErrorInvalidHandle);
    const std::size_t end = open->position + size;
    const std::size_t growth = end > open->data->bytes.size() ? end - open->data->bytes.size() : 0;
    if (volumeBytes_ && BytesOnVolume() + growth > *volumeBytes_) return Failed(kErrorDiskFull);
    open->data->bytes.replace(open->position, size, static_cast<const char*>(data), size);
    open->position += size;
    return true;
}

bool SimFiles::Flush(FileHandle file)
{
    if (ledger_.FailThisCall(Operation::Flush)) return Failed(kErrorWriteFault);
    OpenFile* open = Handle(file, true);
    if (!open) return Failed(kErrorInvalidHandle);
    open->data->flushed = open->data->bytes;
    return true;
}

bool SimFiles::Close(FileHandle file)
{
    const bool failed = ledger_.FailThisCall(Operation::Close);
    const auto found = open_.find(file);
    if (found == open_.end()) return Failed(kErrorInvalidHandle);
    FileData& data = *found->second.data;
    --(found->second.writing ? data.writers : data.readers);
    open_.erase(found);
    ledger_.Close(HandleKind::File, file);
    return !failed || Failed(kErrorGenFailure);
}

bool SimFiles::Move(const char16_t* from, const char16_t* to, std::uint32_t flags)
{
    if (ledger_.FailThisCall(Operation::Move)) return false;
    const auto source = files_.find(InLowerCase(View(from)));
    if (source == files_.end() || IsOpen(*source->second.data)) return false;
    const FileData& moved = *source->second.data;
    moves_.push_back({std::u16string(View(from)), std::u16string(View(to)), flags, moved.bytes == moved.flushed});
    std::u16string target = InLowerCase(View(to));
    if (target == source->first) {  // a change of case only
        source->second.path = View(to);
        return true;
    }
    if (!CanPlace(target)) return false;
    if (const auto existing = files_.find(target); existing != files_.end()) {
        const FileData& replaced = *existing->second.data;
        if ((flags & kMoveFileReplaceExisting) == 0 || IsOpen(replaced) ||
            (replaced.attributes & kFileAttributeReadOnly) != 0)
            return false;
        files_.erase(existing);
    }
    auto node = files_.extract(source);
    node.key() = std::move(target);
    node.mapped().path = View(to);
    files_.insert(std::move(node));
    return true;
}

// A link's name goes; the file it named, or that other names still name, stays.
bool SimFiles::Delete(const char16_t* path)
{
    if (ledger_.FailThisCall(Operation::Delete)) return false;
    const auto found = files_.find(InLowerCase(View(path)));
    if (found == files_.end()) return false;
    const FileData& data = *found->second.data;
    if (IsOpen(data) || (data.attributes & kFileAttributeReadOnly) != 0) return false;
    files_.erase(found);
    return true;
}

std::uint32_t SimFiles::GetAttributes(const char16_t* path)
{
    if (ledger_.FailThisCall(Operation::GetAttributes)) return kInvalidFileAttributes;
    if (const Entry* entry = Find(View(path))) return entry->data->attributes;
    return folders_.contains(FolderKey(View(path))) ? kFileAttributeDirectory
                                                    : kInvalidFileAttributes;
}

bool SimFiles::SetAttributes(const char16_t* path, std::uint32_t attributes)
{
    if (ledger_.FailThisCall(Operation::SetAttributes)) return false;
    Entry* entry = Find(View(path));
    if (!entry) return false;
    entry->data->attributes = Normalized(attributes);
    return true;
}

std::uint32_t SimFiles::VersionInfoSize(const char16_t* path)
{
    if (ledger_.FailThisCall(Operation::VersionInfoSize)) return 0;
    return Versioned(path) ? sizeof(VersionBlock) : 0;
}

bool SimFiles::VersionInfo(const char16_t* path, std::uint32_t size, void* block)
{
    if (ledger_.FailThisCall(Operation::VersionInfo)) return false;
    const std::shared_ptr<FileData> data = Versioned(path);
    if (!data || size < sizeof(VersionBlock)) return false;
    const VersionBlock filled{kVersionBlockTag, *data->version};
    std::memcpy(block, &filled, sizeof filled);
    return true;
}

bool SimFiles::QueryFixedVersion(const void* block, FixedFileVersion* version)
{
    if (ledger_.FailThisCall(Operation::QueryFixedVersion) || !block) return false;
    VersionBlock read;
    std::memcpy(&read, block, sizeof read);
    if (read.tag != kVersionBlockTag) return false;
    *version = read.version;
    return true;
}

void SimFiles::CreateFolder(std::u16string_view path)
{
    const std::u16string key = FolderKey(path);
    for (std::size_t at = key.find(u'\\'); at != std::u16string::npos; at = key.find(u'\\', at + 1))
        folders_.insert(key.substr(0, at));
    if (!key.empty()) folders_.insert(key);
}

void SimFiles::PutFile(std::u16string_view path, std::string bytes, std::uint32_t attributes)
{
    const std::u16string key = InLowerCase(path);
    CreateFolder(FolderOf(key));
    auto data = std::make_shared<FileData>();
    data->flushed = bytes;
    data->bytes = std::move(bytes);
    data->attributes = Normalized(attributes);
    files_[key] = Entry{std::u16string(path), std::move(data), std::nullopt};
}

void SimFiles::PutHardLink(std::u16string_view link, std::u16string_view existing)
{
    const std::u16string key = InLowerCase(link);
    CreateFolder(FolderOf(key));
    files_[key] = Entry{std::u16string(link), files_.at(InLowerCase(existing)).data, std::nullopt};
}

void SimFiles::PutSymbolicLink(std::u16string_view link, std::u16string_view target)
{
    const std::u16string key = InLowerCase(link);
    CreateFolder(FolderOf(key));
    auto data = std::make_shared<FileData>();
    data->attributes = kFileAttributeReparsePoint | kFileAttributeArchive;
    files_[key] = Entry{std::u16string(link), std::move(data), std::u16string(target)};
}

std::optional<std::string> SimFiles::ReadFileBytes(std::u16string_view path) const
{
    const std::shared_ptr<FileData> data = Followed(path);
    return data ? std::optional(data->bytes) : std::nullopt;
}

void SimFiles::CutPower()
{
    for (auto& [key, entry] : files_) entry.data->bytes = entry.data->flushed;
}

bool SimFiles::Exists(std::u16string_view path) const
{
    return Find(path) != nullptr;
}

std::vector<std::u16string> SimFiles::Paths() const
{
    std::vector<std::u16string> paths;
    for (const auto& [key, entry] : files_) paths.push_back(entry.path);
    return paths;
}

void SimFiles::SetVersion(std::u16string_view path, FixedFileVersion version)
{
    files_.at(InLowerCase(path)).data->version = version;
}

std::optional<FixedFileVersion> SimFiles::VersionOf(const char16_t* path) const
{
    const std::shared_ptr<FileData> data = Followed(View(path));
    return data ? data->version : std::nullopt;
}

void SimFiles::HoldElsewhere(std::u16string_view path, Hold hold)
{
    files_.at(InLowerCase(path)).data->held = hold;
}

const SimFiles::Entry* SimFiles::Find(std::u16string_view path) const
{
    const auto found = files_.find(InLowerCase(path));
    return found == files_.end() ? nullptr : &found->second;
}

SimFiles::Entry* SimFiles::Find(std::u16string_view path)
{
    return const_cast<Entry*>(std::as_const(*this).Find(path));
}

std::shared_ptr<SimFiles::FileData> SimFiles::Followed(std::u16string_view path) const
{
    std::u16string key = InLowerCase(path);
    for (int depth = 0; depth < kLinkDepth; ++depth) {
        const auto found = files_.find(key);
        if (found == files_.end()) return nullptr;
        if (!found->second.linkTarget) return found->second.data;
        key = InLowerCase(*found->second.linkTarget);
    }
    return nullptr;
}

// A file may go where its folder exists and no folder of that name stands.
bool SimFiles::CanPlace(const std::u16string& key) const
{
    return folders_.contains(FolderOf(key)) && !folders_.contains(key);
}

// The file behind a path when its version resource can be read: it has one, and nobody
// holds the file open for writing.
std::shared_ptr<SimFiles::FileData> SimFiles::Versioned(const char16_t* path) const
{
    std::shared_ptr<FileData> data = Followed(View(path));
    return data && data->version && SharesReading(*data) ? data : nullptr;
}

FileHandle SimFiles::OpenHandle(std::shared_ptr<FileData> data, bool writing)
{
    FileData& opened = *data;
    const FileHandle file = ledger_.OpenWith(HandleKind::File, open_, OpenFile{std::move(data), writing});
    ++(writing ? opened.writers : opened.readers);
    return file;
}

std::uint32_t SimFiles::GetLastError()
{
    ledger_.FailThisCall(Operation::GetLastError);
    return lastError_;
}

void SimFiles::LeaveFree(std::size_t bytes)
{
    volumeBytes_ = BytesOnVolume() + bytes;
}

std::size_t SimFiles::BytesOnVolume() const
{
    std::set<const FileData*> counted;
    std::size_t bytes = 0;
    for (const auto& [key, entry] : files_)
        if (counted.insert(entry.data.get()).second) bytes += entry.data->bytes.size();
    return bytes;
}

bool SimFiles::Failed(std::uint32_t error)
{
    lastError_ = error;
    return false;
}

SimFiles::OpenFile* SimFiles::Handle(FileHandle file, bool writing)
{
    const auto found = open_.find(file);
    return found != open_.end() && found->second.writing == writing ? &found->second : nullptr;
}

}  // namespace zarvo::sim
