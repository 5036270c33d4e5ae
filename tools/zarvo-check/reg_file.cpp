#include "reg_file.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "frame/letter_case.h"
#include "platform/registry.h"
#include "reg_lines.h"
#include "reg_syntax.h"

namespace zarvo::check {
namespace {

constexpr std::u16string_view kHeader5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kHeader4 = u"REGEDIT4";
constexpr std::u16string_view kMachineRoots[] = {u"HKEY_LOCAL_MACHINE", u"HKLM"};
constexpr std::u16string_view kOtherRoots[] = {u"HKEY_CLASSES_ROOT", u"HKEY_CURRENT_USER",
                                               u"HKEY_USERS", u"HKEY_CURRENT_CONFIG",
                                               u"HKCR", u"HKCU", u"HKU", u"HKCC"};
constexpr std::uint32_t kRegExpandSz = 2;
constexpr char kRemovalRefused[] =
    "removes what it names: a machine description only adds keys and values";

bool OneOf(std::u16string_view name, std::span<const std::u16string_view> names)
{
    for (const std::u16string_view known : names)
        if (SameIgnoringLetterCase(name, known)) return true;
    return false;
}

// A comment runs from a semicolon to the end of the line.
std::u16string_view WithoutComment(std::u16string_view text)
{
    return text.substr(0, text.find(u';'));
}

// The names below the root, the empty path for the root itself; nothing when a name is empty.
std::optional<std::vector<std::u16string_view>> KeyNames(std::u16string_view path)
{
    std::vector<std::u16string_view> names;
    while (!path.empty()) {
        const std::size_t end = std::min(path.find(u'\\'), path.size());
        if (end == 0 || end + 1 == path.size()) return std::nullopt;
        names.push_back(path.substr(0, end));
        path.remove_prefix(std::min(end + 1, path.size()));
    }
    return names;
}

// SOFTWARE\Wow6432Node holds what the 32-bit view shows under SOFTWARE.
RegKey KeyInView(std::vector<std::u16string_view> names)
{
    RegKey key{{}, kKeyWow64_64Key};
    if (names.size() > 1 && SameIgnoringLetterCase(names[0], u"SOFTWARE") &&
        SameIgnoringLetterCase(names[1], u"Wow6432Node")) {
        names.erase(names.begin() + 1);
        key.view = kKeyWow64_32Key;
    }
    for (const std::u16string_view name : names) {
        if (!key.path.empty()) key.path += u'\\';
        key.path += name;
    }
    return key;
}

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2 + 2);
    for (const char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    bytes.insert(bytes.end(), 2, 0);
    return bytes;
}

// A REGEDIT4 file writes the text types' data in single bytes; the registry holds UTF-16LE.
std::vector<std::uint8_t> Widened(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint8_t> wide;
    wide.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) wide.insert(wide.end(), {byte, 0});
    return wide;
}

bool IsTextType(std::uint32_t type)
{
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Reads the file line by line; each step gives a message when its line is malformed.
class RegFileReader {
public:
    explicit RegFileReader(bool singleByte) : singleByte_(singleByte) {}

    SyntaxError Read(std::u16string_view line);
    // The file is over: a hex list continued on its last line ends there.
    SyntaxError End() { return hex_ ? FinishHex() : std::nullopt; }
    bool HeaderRead() const { return headerRead_; }
    MachineDescription& Machine() { return machine_; }

private:
    struct PendingHex {
        RegValue value;
        std::string who;
        HexList list;
    };

    SyntaxError Header(std::u16string_view line);
    SyntaxError Key(std::u16string_view line);
    SyntaxError Value(std::u16string_view line);
    // The data after the value's =, in any of its forms.
    SyntaxError Data(RegValue value, const std::string& who, std::u16string_view data);
    SyntaxError TextData(RegValue value, const std::string& who, std::u16string_view data);
    SyntaxError DwordData(RegValue value, const std::string& who, std::u16string_view data);
    SyntaxError HexPart(std::u16string_view part);
    SyntaxError FinishHex();
    void Keep(RegValue value);

    bool singleByte_;
    bool headerRead_ = false;
    std::optional<RegKey> key_;    // the key the values go to; nothing before the first key
    bool machineKey_ = false;      // whether that key belongs to HKEY_LOCAL_MACHINE
    std::optional<PendingHex> hex_;  // a hex list that goes on on the next line
    MachineDescription machine_;
};

SyntaxError RegFileReader::Read(std::u16string_view line)
{
    if (hex_) return HexPart(line);
    const std::u16string_view text = TrimSpace(line);
    if (!headerRead_) return text.empty() ? std::nullopt : Header(text);
    if (text.empty() || text.front() == u';') return std::nullopt;
    if (text.front() == u'[') return Key(text);
    if (text.front() == u'"' || text.front() == u'@') return Value(text);
    return "the line is neither a key ([...]), a value (\"name\"=... or @=...) nor a comment (;...)";
}

SyntaxError RegFileReader::Header(std::u16string_view line)
{
    if (line != kHeader5 && line != kHeader4)
        return "the file does not begin with \"Windows Registry Editor Version 5.00\" or "
               "\"REGEDIT4\": it is not a file that regedit exports";
    headerRead_ = true;
    return std::nullopt;
}

SyntaxError RegFileReader::Key(std::u16string_view line)
{
    // A key's name may hold a semicolon: the line has no comment.
    if (line.size() < 2 || line.back() != u']') return "the key's line does not end with ]";
    std::u16string_view path = line.substr(1, line.size() - 2);
    if (path.starts_with(u'-')) return "the key's line " + std::string(kRemovalRefused);
    const std::u16string_view root = path.substr(0, path.find(u'\\'));
    path.remove_prefix(std::min(root.size() + 1, path.size()));
    machineKey_ = OneOf(root, kMachineRoots);
    if (!machineKey_ && !OneOf(root, kOtherRoots))
        return "unknown root " + Shown(root) + ": a key begins with a root such as HKEY_LOCAL_MACHINE";
    const auto names = KeyNames(path);
    if (!names) return "the key's path holds an empty name (a backslash doubled or at its end)";
    key_ = KeyInView(*names);
    if (machineKey_) machine_.keys.push_back(*key_);
    return std::nullopt;
}

SyntaxError RegFileReader::Value(std::u16string_view line)
{
    if (!key_) return "a value before any key: a value belongs to the [key] above it";
    RegValue value{key_->path, key_->view, {}, 0, {}};
    if (line.front() == u'@') {
        line.remove_prefix(1);
    } else {
        auto name = TakeQuoted(line);
        if (auto* message = std::get_if<std::string>(&name)) return "the value's name: " + *message;
        value.name = std::move(std::get<std::u16string>(name));
    }
    const std::string who = value.name.empty() ? "default value (@)" : "value " + Shown(value.name);
    line = TrimSpace(line);
    if (!line.starts_with(u'=')) return who + " lacks its = and data";
    return Data(std::move(value), who, TrimSpace(line.substr(1)));
}

SyntaxError RegFileReader::Data(RegValue value, const std::string& who, std::u16string_view data)
{
    if (data.starts_with(u'"')) return TextData(std::move(value), who, data);
    if (data.starts_with(u'-')) return who + " " + kRemovalRefused;
    if (TakeKeyword(data, u"dword:")) return DwordData(std::move(value), who, data);
    if (TakeKeyword(data, u"hex:")) {
        value.type = kRegBinary;
    } else if (TakeKeyword(data, u"hex(")) {
        const std::size_t close = data.find(u')');
        const auto type = close == data.npos ? std::nullopt : HexNumber(data.substr(0, close), 8);
        if (!type || data.substr(close + 1, 1) != u":")
            return who + ": hex(type): wants a type of 1 to 8 hex digits, as in hex(7):";
        value.type = *type;
        data.remove_prefix(close + 2);
    } else {
        return who + ": unknown data " + Shown(data) +
               " (\"text\", dword:, hex: or hex(type): are read)";
    }
    hex_ = PendingHex{std::move(value), who, {}};
    return HexPart(data);
}

SyntaxError RegFileReader::TextData(RegValue value, const std::string& who, std::u16string_view data)
{
    auto text = TakeQuoted(data);
    if (auto* message = std::get_if<std::string>(&text)) return who + ": " + *message;
    if (!TrimSpace(WithoutComment(data)).empty())
        return who + ": text after the closing quote: " + Shown(TrimSpace(data));
    value.type = kRegSz;
    value.data = Utf16Bytes(std::get<std::u16string>(text));
    Keep(std::move(value));
    return std::nullopt;
}

SyntaxError RegFileReader::DwordData(RegValue value, const std::string& who, std::u16string_view data)
{
    const std::u16string_view digits = TrimSpace(WithoutComment(data));
    const auto number = digits.size() == 8 ? HexNumber(digits, 8) : std::nullopt;
    if (!number) return "dword " + who + " is not 8 hex digits: " + Shown(digits);
    value.type = kRegDword;
    for (int shift = 0; shift < 32; shift += 8) value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
    Keep(std::move(value));
    return std::nullopt;
}

SyntaxError RegFileReader::HexPart(std::u16string_view part)
{
    part = TrimSpace(WithoutComment(part));
    const bool continues = part.ends_with(u'\\');
    if (continues) part.remove_suffix(1);
    if (auto message = hex_->list.Add(part)) return hex_->who + ": " + *message;
    return continues ? std::nullopt : FinishHex();
}

SyntaxError RegFileReader::FinishHex()
{
    PendingHex pending = std::move(*hex_);
    hex_.reset();
    if (auto message = pending.list.Finish()) return pending.who + ": " + *message;
    pending.value.data = std::move(pending.list.Bytes());
    if (singleByte_ && IsTextType(pending.value.type)) pending.value.data = Widened(pending.value.data);
    Keep(std::move(pending.value));
    return std::nullopt;
}

void RegFileReader::Keep(RegValue value)
{
    if (machineKey_) machine_.values.push_back(std::move(value));
}

}  // namespace

std::variant<MachineDescription, RegFileError> ReadRegFile(std::span<const std::uint8_t> bytes)
{
    auto decoded = DecodeRegLines(bytes);
    if (auto* error = std::get_if<RegFileError>(&decoded)) return std::move(*error);
    const RegLines& text = std::get<RegLines>(decoded);
    RegFileReader reader(text.singleByte);
    for (std::size_t i = 0; i < text.lines.size(); ++i)
        if (auto message = reader.Read(text.lines[i])) return RegFileError{i + 1, std::move(*message)};
    // A message at the end of the file is about its last line.
    const std::size_t last = std::max<std::size_t>(text.lines.size(), 1);
    if (auto message = reader.End()) return RegFileError{last, std::move(*message)};
    if (!reader.HeaderRead()) return RegFileError{last, "the file is empty: it lacks even the header"};
    return std::move(reader.Machine());
}

}  // namespace zarvo::check
