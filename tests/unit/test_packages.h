#pragma once
// Small packages built for a test with msitools (msibuild and wixl), in a folder of their own
// that goes with the test.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zarvo::test {

class PackageFolder {
public:
    PackageFolder();
    ~PackageFolder();
    PackageFolder(const PackageFolder&) = delete;
    PackageFolder& operator=(const PackageFolder&) = delete;

    std::filesystem::path Path(const std::string& name) const { return root_ / name; }
    std::filesystem::path Write(const std::string& name, std::string_view bytes) const;
    // msibuild: each statement a query, then the summary with this Template.
    bool Msibuild(const std::string& package, const std::vector<std::string>& statements,
                  const std::string& summaryTemplate = "Intel;1033") const;
    // msibuild -i of an IDT file in the folder (its streams' files in a folder named after the table).
    bool Import(const std::string& package, const std::string& idt) const;
    // wixl -a ARCH of this source, in the folder, where its SourceFile names are found.
    bool Wixl(const std::string& package, const std::string& source, const std::string& arch) const;

private:
    std::filesystem::path root_;
};

// The statements of an SQL file, each ended by ';' (as tests/package/package-test.sh reads them).
std::vector<std::string> SqlStatements(const std::filesystem::path& file);

// A file's bytes, and a file of these bytes.
std::string FileBytes(const std::filesystem::path& file);

}  // namespace zarvo::test
