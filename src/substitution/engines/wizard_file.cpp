#include "substitution/engines/wizard_file.h"

#include <string>
#include <string_view>

#include "frame/action_log.h"
#include "frame/bounded_format.h"
#include "frame/capacities.h"
#include "frame/installer_access.h"
#include "frame/result_codes.h"
#include "substitution/engines/edit_lines.h"
#include "substitution/files/file_rewrite.h"

namespace zarvo {
namespace {

constexpr std::size_t kDataCapacity = 520;
constexpr std::size_t kLineCapacity = 519;
constexpr std::string_view kPlaceholder = "[Zv.Dir.APITemplatesVS71]";

// The first placeholder of each line gives way to the replacement where the line still fits.
class WizardEngine {
public:
    static constexpr TextInput kInput = TextInput::SingleByte;
    static constexpr TextEncoding kOutput = TextEncoding::SingleByte;

    // A replacement that single-byte text cannot hold leaves every line as it was rather than
    // cut one short.
    explicit WizardEngine(std::u16string_view replacement)
        : writable_(FitsSingleByteText(replacement)), replacement_(writable_ ? SingleByteText(replacement) : "")
    {
    }

    std::size_t Capacity() const { return kLineCapacity; }
    bool TakesBytes() const { return true; }
    std::size_t Edit(std::string_view block, LineChanges<char>& changes)
    {
        return lines_.Edit(block, changes, [this](std::string& line, const RowBits*) {
            const std::size_t found = line.find(kPlaceholder);
            if (!writable_ || line.size() - kPlaceholder.size() + replacement_.size() > kLineCapacity) return false;
            line.replace(found, kPlaceholder.size(), replacement_);
            ++replaced_;
            return true;
        });
    }
    // The placeholders replaced.
    std::uint32_t Replaced() const { return replaced_; }
    // Whether the replacement fits single-byte text.
    bool Writable() const { return writable_; }

private:
    bool writable_;
    std::string replacement_;
    TokenTrie placeholder_{{std::u16string(kPlaceholder.begin(), kPlaceholder.end())}};
    LineEditor<char> lines_{kLineCapacity, placeholder_};
    std::uint32_t replaced_ = 0;
};

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
    WizardEngine engine(replacement);
    if (!engine.Writable()) log.Write(log.Line() << u"the text to put in is not single-byte text: every placeholder stays");
    const RewriteReport report = RewriteFile(files, wizard, temporary, engine, &MoveOverTarget);
    if (ReachedTheText(report.outcome)) log.Write(log.Line() << u"placeholders replaced: " << engine.Replaced());
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
