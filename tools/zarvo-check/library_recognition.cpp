#include "library_recognition.h"

#include <algorithm>
#include <string_view>

namespace zarvo::check {
namespace {

constexpr std::string_view kModuleStart = "MZ";
// The export table's name, with its terminator.
constexpr std::string_view kExportName{"ZarvoCustomActionDll.dll", sizeof("ZarvoCustomActionDll.dll")};

// The version resource's original file name: the same name in UTF-16LE, with its terminator.
const std::string& VersionName()
{
    static const std::string kName = [] {
        std::string units;
        for (const char c : kExportName) units.append({c, '\0'});
        return units;
    }();
    return kName;
}

}  // namespace

void LibraryRecognition::Feed(std::span<const char> piece)
{
    const std::size_t startNeeded = kModuleStart.size() - start_.size();
    start_.append(piece.data(), std::min(startNeeded, piece.size()));
    if (named_) return;
    std::string window = carry_;
    window.append(piece.data(), piece.size());
    named_ = window.find(kExportName) != std::string::npos ||
             window.find(VersionName()) != std::string::npos;
    const std::size_t keep = std::min(window.size(), VersionName().size() - 1);
    carry_ = window.substr(window.size() - keep);
}

bool LibraryRecognition::Recognised() const
{
    return named_ && start_ == kModuleStart;
}

bool LibraryRecognition::Settled() const
{
    return start_.size() == kModuleStart.size() && (named_ || start_ != kModuleStart);
}

}  // namespace zarvo::check
