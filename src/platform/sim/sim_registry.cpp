#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <iterator>

#include "platform/sim/sim_letter_case.h"
#include "platform/sim/sim_result_codes.h"

namespace zarvo::sim {
namespace {

constexpr std::uint32_t kKeyQueryValue = 0x1;
constexpr std::uint32_t kKeySetValue = 0x2;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x8;
constexpr std::uint32_t kBothViews = kKeyWow64_64Key | kKeyWow64_32Key;

using Path = std::vector<std::u16string>;

// Subkeys are kept, and so enumerated, in the order of their upper-case names.
struct FoldedLess {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const
    {
        return LessIgnoringCase(a, b);
    }
};

std::u16string_view Text(const char16_t* text)
{
    return text ? std::u16string_view(text) : std::u16string_view();
}

Path Below(Path path, std::u16string_view subKey)
{
    while (!subKey.empty()) {
        const auto cut = std::min(subKey.find(u'\\'), subKey.size());
        if (cut > 0) path.emplace_back(subKey.substr(0, cut));
        subKey.remove_prefix(std::min(cut + 1, subKey.size()));
    }
    return path;
}

// WOW64 shows a 32-bit process SOFTWARE\Wow6432Node wherever it asks for SOFTWARE,
// unless it asked for Wow6432Node itself.
Path Redirect(Path path, bool redirected)
{
    const bool underSoftware = !path.empty() && EqualIgnoringCase(path[0], u"SOFTWARE");
    const bool alreadyThere = path.size() > 1 && EqualIgnoringCase(path[1], u"Wow6432Node");
    if (redirected && underSoftware && !alreadyThere)
        path.insert(path.begin() + 1, u"Wow6432Node");
    return path;
}

}  // namespace

struct RegistryNode {
    struct NamedValue {
        std::u16string name;
        RegistryValue value;
    };

    std::map<std::u16string, std::unique_ptr<RegistryNode>, FoldedLess> subKeys;
    std::vector<NamedValue> values;  // in the order they were first written

    RegistryNode* Find(const Path& path)
    {
        RegistryNode* node = this;
        for (const auto& name : path) {
            const auto found = node->subKeys.find(name);
            if (found == node->subKeys.end()) return nullptr;
            node = found->second.get();
        }
        return node;
    }

    // A new key keeps the case it is first named with.
    RegistryNode& Make(const Path& path)
    {
        RegistryNode* node = this;
        for (const auto& name : path) {
            auto& slot = node->subKeys[name];
            if (!slot) slot = std::make_unique<RegistryNode>();
            node = slot.get();
        }
        return *node;
    }

    std::vector<NamedValue>::iterator FindValue(std::u16string_view name)
    {
        return std::find_if(values.begin(), values.end(),
                            [name](const NamedValue& value) { return EqualIgnoringCase(value.name, name); });
    }
};

namespace {

WinResult CopyValue(const RegistryValue& value, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size)
{
    const auto needed = static_cast<std::uint32_t>(value.data.size());
    if (type) *type = value.type;
    const bool fits = !data || *size >= needed;
    if (size) *size = needed;
    if (!fits) return kErrorMoreData;
    if (data) std::copy(value.data.begin(), value.data.end(), data);
    return kErrorSuccess;
}

WinResult CopyName(std::u16string_view text, char16_t* name, std::uint32_t* count)
{
    if (!name || !count) return kErrorInvalidParameter;
    if (*count < text.size() + 1) return kErrorMoreData;
    *std::copy(text.begin(), text.end(), name) = u'\0';
    *count = static_cast<std::uint32_t>(text.size());
    return kErrorSuccess;
}

void AppendUtf16(std::vector<std::uint8_t>& bytes, std::u16string_view text)
{
    for (const char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    bytes.insert(bytes.end(), 2, 0);
}

}  // namespace

SimRegistry::SimRegistry(SimLedger& ledger)
    : ledger_(ledger), root_(std::make_unique<RegistryNode>())
{
    // Every 64-bit Windows has the 32-bit view's home, even before anything is put there.
    root_->Make({u"SOFTWARE", u"Wow6432Node"});
}

SimRegistry::~SimRegistry() = default;

bool SimRegistry::CallIsWow64Process(std::int32_t* flag)
{
    // A failed call is still a call: the function was found, the flag is left alone.
    if (ledger_.FailThisCall(Operation::CallIsWow64Process)) return true;
    if (!kernelHasIsWow64Process) return false;
    *flag = windows64 ? 1 : 0;
    return true;
}

WinResult SimRegistry::OpenKey(RegistryKey root, const char16_t* subKey, std::uint32_t,
                               std::uint32_t access, RegistryKey* key)
{
    *key = 0;
    if (ledger_.FailThisCall(Operation::OpenKey)) return kErrorAccessDenied;
    // Windows hands a predefined key back as it is rather than opening it anew.
    if (root == kLocalMachine && Text(subKey).empty()) {
        *key = kLocalMachine;
        return kErrorSuccess;
    }
    if (windows64 && (access & kBothViews) == kBothViews) return kErrorInvalidParameter;
    const auto parent = Opened(root, access);
    if (!parent) return kErrorInvalidHandle;
    OpenedKey opened{Redirect(Below(parent->path, Text(subKey)), parent->redirected),
                     parent->redirected, access};
    if (!root_->Find(opened.path)) return kErrorFileNotFound;
    *key = ledger_.OpenWith(HandleKind::RegistryKey, opened_, std::move(opened));
    return kErrorSuccess;
}

WinResult SimRegistry::QueryValue(RegistryKey key, const char16_t* name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* size)
{
    if (ledger_.FailThisCall(Operation::QueryValue)) return kErrorAccessDenied;
    if (data && !size) return kErrorInvalidParameter;
    const auto [node, answer] = Reach(key, kKeyQueryValue);
    if (!node) return answer;
    const auto value = node->FindValue(Text(name));
    if (value == node->values.end()) return kErrorFileNotFound;
    return CopyValue(value->value, type, data, size);
}

WinResult SimRegistry::QueryInfoKey(RegistryKey key, std::uint32_t* subKeys,
                                    std::uint32_t* values)
{
    if (ledger_.FailThisCall(Operation::QueryInfoKey)) return kErrorAccessDenied;
    const auto [node, answer] = Reach(key, kKeyQueryValue);
    if (!node) return answer;
    if (subKeys) *subKeys = static_cast<std::uint32_t>(node->subKeys.size());
    if (values) *values = static_cast<std::uint32_t>(node->values.size());
    return kErrorSuccess;
}

WinResult SimRegistry::EnumKey(RegistryKey key, std::uint32_t index, char16_t* name,
                               std::uint32_t* count)
{
    if (ledger_.FailThisCall(Operation::EnumKey)) return kErrorAccessDenied;
    const auto [node, answer] = Reach(key, kKeyEnumerateSubKeys);
    if (!node) return answer;
    if (index >= node->subKeys.size()) return kErrorNoMoreItems;
    return CopyName(std::next(node->subKeys.begin(), index)->first, name, count);
}

WinResult SimRegistry::EnumValue(RegistryKey key, std::uint32_t index, char16_t* name,
                                 std::uint32_t* count)
{
    if (ledger_.FailThisCall(Operation::EnumValue)) return kErrorAccessDenied;
    const auto [node, answer] = Reach(key, kKeyQueryValue);
    if (!node) return answer;
    if (index >= node->values.size()) return kErrorNoMoreItems;
    return CopyName(node->values[index].name, name, count);
}

WinResult SimRegistry::DeleteValue(RegistryKey key, const char16_t* name)
{
    if (ledger_.FailThisCall(Operation::DeleteValue)) return kErrorAccessDenied;
    const auto [node, answer] = Reach(key, kKeySetValue);
    if (!node) return answer;
    const auto value = node->FindValue(Text(name));
    if (value == node->values.end()) return kErrorFileNotFound;
    node->values.erase(value);
    return kErrorSuccess;
}

WinResult SimRegistry::CloseKey(RegistryKey key)
{
    const bool failed = ledger_.FailThisCall(Operation::CloseKey);
    // Even a failed close lets the handle go: the caller cannot use it again either way.
    if (opened_.erase(key) == 1)
        ledger_.Close(HandleKind::RegistryKey, key);
    else if (key != kLocalMachine)
        return kErrorInvalidHandle;
    return failed ? kErrorInvalidHandle : kErrorSuccess;
}

void SimRegistry::CreateKey(std::u16string_view path, std::uint32_t view)
{
    root_->Make(Resolve(path, view));
}

void SimRegistry::WriteValue(std::u16string_view path, std::u16string_view name,
                             std::uint32_t type, std::vector<std::uint8_t> data,
                             std::uint32_t view)
{
    RegistryNode& node = root_->Make(Resolve(path, view));
    RegistryValue value{type, std::move(data)};
    // Rewriting a value keeps its place among the others.
    const auto found = node.FindValue(name);
    if (found != node.values.end())
        found->value = std::move(value);
    else
        node.values.push_back({std::u16string(name), std::move(value)});
}

void SimRegistry::WriteText(std::u16string_view path, std::u16string_view name,
                            std::u16string_view text, std::uint32_t view)
{
    std::vector<std::uint8_t> bytes;
    AppendUtf16(bytes, text);
    WriteValue(path, name, kRegSz, std::move(bytes), view);
}

void SimRegistry::WriteMultiString(std::u16string_view path, std::u16string_view name,
                                   const std::vector<std::u16string>& strings,
                                   std::uint32_t view)
{
    std::vector<std::uint8_t> bytes;
    for (const auto& text : strings) AppendUtf16(bytes, text);
    AppendUtf16(bytes, u"");
    WriteValue(path, name, kRegMultiSz, std::move(bytes), view);
}

void SimRegistry::WriteDword(std::u16string_view path, std::u16string_view name,
                             std::uint32_t value, std::uint32_t view)
{
    std::vector<std::uint8_t> bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    WriteValue(path, name, kRegDword, std::move(bytes), view);
}

std::optional<RegistryValue> SimRegistry::ReadValue(std::u16string_view path,
                                                    std::u16string_view name,
                                                    std::uint32_t view) const
{
    RegistryNode* node = Find(path, view);
    if (!node) return std::nullopt;
    const auto found = node->FindValue(name);
    if (found == node->values.end()) return std::nullopt;
    return found->value;
}

bool SimRegistry::HasValue(std::u16string_view path, std::u16string_view name,
                           std::uint32_t view) const
{
    return ReadValue(path, name, view).has_value();
}

bool SimRegistry::HasKey(std::u16string_view path, std::uint32_t view) const
{
    return Find(path, view) != nullptr;
}

// On 32-bit Windows there is one view and the view flags are ignored.
bool SimRegistry::Redirects(std::uint32_t view) const
{
    return windows64 && !(view & kKeyWow64_64Key);
}

std::vector<std::u16string> SimRegistry::Resolve(std::u16string_view path,
                                                 std::uint32_t view) const
{
    return Redirect(Below({}, path), Redirects(view));
}

RegistryNode* SimRegistry::Find(std::u16string_view path, std::uint32_t view) const
{
    return root_->Find(Resolve(path, view));
}

std::optional<SimRegistry::OpenedKey> SimRegistry::Opened(RegistryKey key,
                                                          std::uint32_t access) const
{
    if (key == kLocalMachine) return OpenedKey{{}, Redirects(access), kKeyAllAccess};
    const auto found = opened_.find(key);
    if (found == opened_.end()) return std::nullopt;
    return found->second;
}

SimRegistry::Reached SimRegistry::Reach(RegistryKey key, std::uint32_t right) const
{
    const auto opened = Opened(key, 0);
    if (!opened) return {nullptr, kErrorInvalidHandle};
    if (!(opened->access & right)) return {nullptr, kErrorAccessDenied};
    return {root_->Find(opened->path), kErrorSuccess};
}

}  // namespace zarvo::sim
