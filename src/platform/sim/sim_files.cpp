#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/sim/sim_letter_case.h"

namespace zarvo::sim {
namespace {

constexpr std::uint32_t kFileAttributeHidden = 0x2;
constexpr std::uint32_t kFileAttributeSystem = 0x4;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
// CreateFileW with CREATE_ALWAYS and FILE_ATTRIBUTE_NORMAL answers access denied for these.
constexpr std::uint32_t kRefusesOverwrite =
    kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem;

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

// New content replaces the old, and the version resource goes with the old.
void Refill(auto& entry, std::string bytes, std::uint32_t attributes)
{
    entry.bytes = std::move(bytes);
    entry.attributes = attributes;
    entry.version.reset();
}

}  // namespace

SimFiles::SimFiles(SimLedger& ledger) : ledger_(ledger)
{
    CreateFolder(u"C:\\");
}

bool SimFiles::OpenForRead(const char16_t* path, FileHandle* file)
{
    if (ledger_.FailThisCall(Operation::OpenForRead)) return false;
    std::u16string key = InLowerCase(View(path));
    const auto found = files_.find(key);
    if (found == files_.end() || !SharesReading(found->second)) return false;
    *file = OpenHandle(std::move(key), found->second, false);
    return true;
}

bool SimFiles::CreateForWrite(const char16_t* path, FileHandle* file)
{
    if (ledger_.FailThisCall(Operation::CreateForWrite)) return false;
    std::u16string key = InLowerCase(View(path));
    if (!CanPlace(key)) return false;
    const auto [at, created] = files_.try_emplace(key);
    Entry& entry = at->second;
    if (!created && (IsOpen(entry) || (entry.attributes & kRefusesOverwrite) != 0)) return false;
    if (created) entry.path = View(path);  // an overwritten file keeps its name's case
    Refill(entry, {}, kFileAttributeArchive);
    *file = OpenHandle(std::move(key), entry, true);
    return true;
}

bool SimFiles::Read(FileHandle file, void* buffer, std::uint32_t size, std::uint32_t* read)
{
    *read = 0;  // ReadFile clears the count before it checks anything
    if (ledger_.FailThisCall(Operation::Read)) return false;
    OpenFile* open = Handle(file, false);
    if (!open) return false;
    const std::string& bytes = files_.at(open->key).bytes;
    const std::size_t from = std::min(open->position, bytes.size());
    const std::size_t count = std::min<std::size_t>(size, bytes.size() - from);
    std::memcpy(buffer, bytes.data() + from, count);
    open->position = from + count;
    *read = static_cast<std::uint32_t>(count);
    return true;
}

bool SimFiles::Write(FileHandle file, const void* data, std::uint32_t size)
{
    if (ledger_.FailThisCall(Operation::Write)) return false;
    OpenFile* open = Handle(file, true);
    if (!open) return false;
    files_.at(open->key).bytes.replace(open->position, size, static_cast<const char*>(data), size);
    open->position += size;
    return true;
}

bool SimFiles::Close(FileHandle file)
{
    const bool failed = ledger_.FailThisCall(Operation::Close);
    const auto found = open_.find(file);
    if (found == open_.end()) return false;
    Entry& entry = files_.at(found->second.key);
    --(found->second.writing ? entry.writers : entry.readers);
    open_.erase(found);
    ledger_.Close(HandleKind::File, file);
    return !failed;
}

bool SimFiles::Move(const char16_t* from, const char16_t* to, std::uint32_t flags)
{
    if (ledger_.FailThisCall(Operation::Move)) return false;
    const auto source = files_.find(InLowerCase(View(from)));
    if (source == files_.end() || IsOpen(source->second)) return false;
    std::u16string target = InLowerCase(View(to));
    if (target == source->first) {  // a change of case only
        source->second.path = View(to);
        return true;
    }
    if (!CanPlace(target)) return false;
    if (const auto existing = files_.find(target); existing != files_.end()) {
        const Entry& replaced = existing->second;
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

std::uint32_t SimFiles::GetAttributes(const char16_t* path)
{
    if (ledger_.FailThisCall(Operation::GetAttributes)) return kInvalidFileAttributes;
    if (const Entry* entry = Find(View(path))) return entry->attributes;
    return folders_.contains(FolderKey(View(path))) ? kFileAttributeDirectory
                                                    : kInvalidFileAttributes;
}

bool SimFiles::SetAttributes(const char16_t* path, std::uint32_t attributes)
{
    if (ledger_.FailThisCall(Operation::SetAttributes)) return false;
    Entry* entry = Find(View(path));
    if (!entry) return false;
    entry->attributes = Normalized(attributes);
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
    const Entry* entry = Versioned(path);
    if (!entry || size < sizeof(VersionBlock)) return false;
    const VersionBlock filled{kVersionBlockTag, *entry->version};
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
    Entry& entry = files_[key];
    entry.path = path;
    Refill(entry, std::move(bytes), Normalized(attributes));
}

std::optional<std::string> SimFiles::ReadFileBytes(std::u16string_view path) const
{
    const Entry* entry = Find(path);
    return entry ? std::optional(entry->bytes) : std::nullopt;
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
    files_.at(InLowerCase(path)).version = version;
}

std::optional<FixedFileVersion> SimFiles::VersionOf(const char16_t* path) const
{
    const Entry* entry = Find(View(path));
    return entry ? entry->version : std::nullopt;
}

void SimFiles::HoldElsewhere(std::u16string_view path, Hold hold)
{
    files_.at(InLowerCase(path)).held = hold;
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

// A file may go where its folder exists and no folder of that name stands.
bool SimFiles::CanPlace(const std::u16string& key) const
{
    return folders_.contains(FolderOf(key)) && !folders_.contains(key);
}

// The file behind a path when its version resource can be read: it has one, and nobody
// holds the file open for writing.
const SimFiles::Entry* SimFiles::Versioned(const char16_t* path) const
{
    const Entry* entry = Find(View(path));
    return entry && entry->version && SharesReading(*entry) ? entry : nullptr;
}

FileHandle SimFiles::OpenHandle(std::u16string key, Entry& entry, bool writing)
{
    ++(writing ? entry.writers : entry.readers);
    const FileHandle file = ledger_.Open(HandleKind::File);
    open_.emplace(file, OpenFile{std::move(key), writing});
    return file;
}

SimFiles::OpenFile* SimFiles::Handle(FileHandle file, bool writing)
{
    const auto found = open_.find(file);
    return found != open_.end() && found->second.writing == writing ? &found->second : nullptr;
}

}  // namespace zarvo::sim
