#pragma once
// Whether a Binary row's data is this library, told from the data itself whatever the row is
// called: a Windows module (it starts with "MZ") that names itself ZarvoCustomActionDll.dll,
// as the original file name of its version resource (UTF-16LE) or as the name in its export
// table (ASCII). Fed in pieces, keeping no more than the end of the last one.
#include <span>
#include <string>

namespace zarvo::check {

class LibraryRecognition {
public:
    void Feed(std::span<const char> piece);
    bool Recognised() const;
    // Whether more data can no longer change the answer: it is not a module, or it is named.
    bool Settled() const;

private:
    std::string start_;  // the data's first two bytes
    std::string carry_;  // the end of the data so far, shorter than the longest name
    bool named_ = false;
};

}  // namespace zarvo::check
