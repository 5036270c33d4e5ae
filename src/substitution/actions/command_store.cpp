#include "substitution/actions/command_store.h"

#include "frame/bounded_format.h"
#include "frame/machine_registry.h"
#include "frame/registry_view.h"
#include "frame/result_codes.h"

namespace zarvo {
namespace {

constexpr std::size_t kValueNameCapacity = 30;

const char16_t* ViewName(std::uint32_t access)
{
    return (access & kKeyWow64_64Key) != 0 ? u"64-bit" : u"32-bit";
}

// Each row's token and count, as many as the line holds: names only, for the values may be
// secrets.
void LogReplacements(const ActionLog& log, const char16_t* valueName, const std::vector<TokenCount>& counts)
{
    if (counts.empty()) {
        log.Write(log.Line() << valueName << u": nothing to replace");
        return;
    }
    LogLine line = log.Line();
    line << valueName << u": replacements: ";
    for (std::size_t row = 0; row < counts.size(); ++row)
        line << (row == 0 ? u"" : u", ") << counts[row].token << u" " << counts[row].replaced;
    log.Write(line);
}

void LogRewrite(const ActionLog& log, const char16_t* valueName, const RewriteReport& report)
{
    if (ReachedTheText(report.outcome)) {
        log.Write(log.Line() << valueName << u": read as "
                             << EncodingName(report.read.encoding, report.read.mark != ByteOrderMark::None)
                             << u", written as " << EncodingName(report.written, true));
        LogReplacements(log, valueName, report.replacements);
    }
    log.Write(DescribeOutcome(log.Line() << valueName << u": ", report));
}

void RunCommand(Files& files, const ActionLog& log, const char16_t* valueName, std::span<char16_t> command,
                SubstitutionEngine engine)
{
    // The command's first string names its target.
    log.Write((log.Line() << valueName << u": target ").Quoted(command.data()));
    LogRewrite(log, valueName, engine(files, command));
}

void DeleteCommand(Registry& registry, const ActionLog& log, RegistryKey key, const char16_t* valueName)
{
    const WinResult deleted = registry.DeleteValue(key, valueName);
    if (deleted == kErrorSuccess)
        log.Write(log.Line() << valueName << u" deleted");
    else
        log.Write(log.Line() << valueName << u" could not be deleted (error " << deleted << u"): it may run again");
}

}  // namespace

void ConsumeSubstitutionCommands(Platform& platform, const ActionLog& log, const char16_t* keyPath,
                                 std::u16string_view valuePrefix, std::uint32_t access,
                                 SubstitutionEngine engine)
{
    const RegistryKeyGuard key(platform.registry, OpenMachineKey(platform.registry, keyPath, access));
    if (key.Get() == 0) {
        log.Write(log.Line() << u"key " << keyPath << u" could not be opened in the " << ViewName(access)
                             << u" view: no command run");
        return;
    }
    log.Write(log.Line() << u"key " << keyPath << u" opened in the " << ViewName(access) << u" view");
    std::uint32_t taken = 0;
    for (std::int32_t number = 0; number < kSubstitutionCommandCount; ++number) {
        char16_t valueName[kValueNameCapacity];
        if (!FormatBounded(valueName, kValueNameCapacity, u"%s%d", {valuePrefix, number})) continue;
        // Only a value that holds data is taken up; from here on it is deleted in this pass,
        // so that a command never runs twice, even when its data could not be read or its
        // file could not be rewritten.
        const ValueText command = ReadValueText(platform.registry, key.Get(), valueName);
        if (!command.heldData) continue;
        ++taken;
        // The buffer ends as a multi-string even when the data does not.
        if (command.text)
            RunCommand(platform.files, log, valueName, std::span<char16_t>(command.text.get(), command.characters),
                       engine);
        else
            log.Write(log.Line() << valueName << u": its data could not be read: no file rewritten");
        DeleteCommand(platform.registry, log, key.Get(), valueName);
    }
    log.Write(log.Line() << u"commands taken up: " << taken);
}

}  // namespace zarvo
