#include "substitution/wizard_file.h"

#include <string>
#include <string_view>

#include "frame/action_log.h"
#include "frame/bounded_format.h"
#include "frame/capacities.h"
#include "frame/installer_access.h"
#include "frame/result_codes.h"
#include "substitution/file_rewrite.h"

namespace zarvo {
namespace {

constexpr std::size_t kDataCapacity = 520;
constexpr std::size_t kLineCapacity = 519;
constexpr std::string_view kPlaceholder = "[Zv.Dir.APITemplatesVS71]";

// The first placeholder of the line gives way to the replacement when the line still fits.
// The number of placeholders replaced: 1 or 0.
std::uint32_t ReplacePlaceholder(std::string& line, std::string_view replacement)
{
    const std::size_t found = line.find(kPlaceholder);
    if (found == std::string::npos) return 0;
    if (line.size() - kPlaceholder.size() + replacement.size() > kLineCapacity) return 0;
    line.replace(found, kPlaceholder.size(), replacement);
    return 1;
}

void LogUnreadData(const ActionLog& log, WinResult read)
{
    if (read == kErrorMoreData)
        log.Write(log.Line() << u"CustomActionData is longer than " << static_cast<std::uint32_t>(kDataCapacity - 1)
                             << u" characters: nothing done");
    else
        log.Write(log.Line() << u"CustomActionData could not be read (error " << read << u"): nothing done");
}

// The wizard file rewritten with the replacement, which the log never shows: it is the
// package's value.
void RewriteWizard(Files& files, const ActionLog& log, const char16_t* wizard, const char16_t* temporary,
                   std::u16string_view replacement)
{
    log.Write((log.Line() << u"wizard file ").Quoted(wizard));
    // A replacement that single-byte text cannot hold leaves every line as it was rather
    // than cut one short.
    const bool writable = FitsSingleByteText(replacement);
    if (!writable) log.Write(log.Line() << u"the text to put in is not single-byte text: every placeholder stays");
    const std::string bytes = writable ? SingleByteText(replacement) : std::string();
    std::uint32_t replaced = 0;
    const ByteRewriteFormat format{kLineCapacity, ByteSet().set(static_cast<unsigned char>(kPlaceholder.front()))};
    const ByteLineEdits edit{[&](std::string& line) {
                                 if (writable) replaced += ReplacePlaceholder(line, bytes);
                             },
                             nullptr};
    const RewriteReport report = RewriteThrough(files, wizard, temporary, format, edit, &MoveOverTarget);
    if (ReachedTheText(report.outcome)) log.Write(log.Line() << u"placeholders replaced: " << replaced);
    LogLine line = log.Line();
    log.Write(DescribeOutcome(line, report));
}

}  // namespace

WinResult UpdateVS71VszFile(Platform& platform, InstallerHandle session)
{
    const ActionLog log(platform.installer, session, u"UpdateVS71VszFile");
    char16_t data[kDataCapacity] = {};
    const WinResult read = ReadPropertyFixed(platform.installer, session, u"CustomActionData", data);
    if (read != kErrorSuccess) {
        LogUnreadData(log, read);
        return kErrorSuccess;
    }
    const std::u16string_view text(data);
    const std::size_t bar = text.find(u'|');
    if (bar == std::u16string_view::npos) {
        log.Write(log.Line() << u"CustomActionData holds no \"|\" after the wizard file's folder: nothing done");
        return kErrorSuccess;
    }
    data[bar] = u'\0';
    // A folder too long for the file names names no file of ours: nothing is touched.
    char16_t wizard[kPathCapacity];
    char16_t temporary[kPathCapacity];
    if (!FormatBounded(wizard, kPathCapacity, u"%sZarvoCSharpPlugin.vsz", {data}) ||
        !FormatBounded(temporary, kPathCapacity, u"%sZarvoCSharpPlugin.tmp.vsz", {data})) {
        log.Write((log.Line() << u"folder ").Quoted(data)
                  << u" is too long for the wizard file's names: nothing done");
        return kErrorSuccess;
    }
    RewriteWizard(platform.files, log, wizard, temporary, text.substr(bar + 1));
    return kErrorSuccess;
}

}  // namespace zarvo
