#include "substitution/wizard_file.h"

#include <string_view>

#include "frame/bounded_format.h"
#include "frame/capacities.h"
#include "frame/installer_access.h"
#include "frame/result_codes.h"
#include "substitution/file_rewrite.h"

namespace zarvo {
namespace {

constexpr std::size_t kDataCapacity = 520;
constexpr std::size_t kLineCapacity = 519;
constexpr std::u16string_view kPlaceholder = u"[Zv.Dir.APITemplatesVS71]";

// The first placeholder of the line gives way to the replacement when the line still fits.
void ReplacePlaceholder(std::u16string& line, std::u16string_view replacement)
{
    const std::size_t found = line.find(kPlaceholder);
    if (found == std::u16string::npos) return;
    if (line.size() - kPlaceholder.size() + replacement.size() > kLineCapacity) return;
    line.replace(found, kPlaceholder.size(), replacement);
}

}  // namespace

WinResult UpdateVS71VszFile(Platform& platform, InstallerHandle session)
{
    char16_t data[kDataCapacity] = {};
    if (ReadPropertyFixed(platform.installer, session, u"CustomActionData", data) != kErrorSuccess)
        return kErrorSuccess;
    const std::u16string_view text(data);
    const std::size_t bar = text.find(u'|');
    if (bar == std::u16string_view::npos) return kErrorSuccess;
    data[bar] = u'\0';
    const std::u16string_view replacement = text.substr(bar + 1);
    // A folder too long for the file names names no file of ours: nothing is touched.
    char16_t wizard[kPathCapacity];
    char16_t temporary[kPathCapacity];
    if (!FormatBounded(wizard, kPathCapacity, u"%sZarvoCSharpPlugin.vsz", {data}) ||
        !FormatBounded(temporary, kPathCapacity, u"%sZarvoCSharpPlugin.tmp.vsz", {data}))
        return kErrorSuccess;
    // A replacement that single-byte text cannot hold leaves every line as it was rather
    // than cut one short.
    const bool writable = FitsSingleByteText(replacement);
    const RewriteFormat format{TextInput::SingleByte, TextEncoding::SingleByte, kLineCapacity};
    RewriteThrough(platform.files, wizard, temporary, format,
                   [&](std::u16string& line) {
                       if (writable) ReplacePlaceholder(line, replacement);
                   },
                   &MoveOverTarget);
    return kErrorSuccess;
}

}  // namespace zarvo
