#include "unit/test_packages.h"

#include <stdlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace zarvo::test {
namespace {

std::string Quoted(std::string_view text)
{
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool Run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

PackageFolder::PackageFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zarvo-packages-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) root_ = pattern;
}

PackageFolder::~PackageFolder()
{
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path PackageFolder::Write(const std::string& name, std::string_view bytes) const
{
    std::ofstream(Path(name), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return Path(name);
}

bool PackageFolder::Msibuild(const std::string& package, const std::vector<std::string>& statements,
                             const std::string& summaryTemplate) const
{
    std::string command = ZARVO_MSIBUILD " " + Quoted(Path(package).string());
    for (const std::string& statement : statements) command += " -q " + Quoted(statement);
    // msibuild refuses any option after -s: the summary comes last.
    command += " -s Test Zarvo " + Quoted(summaryTemplate) + " '{6F1E2D3C-4B5A-4968-8776-A5B4C3D2E1F0}'";
    return Run(command);
}

bool PackageFolder::Import(const std::string& package, const std::string& idt) const
{
    return Run("cd " + Quoted(root_.string()) + " && " ZARVO_MSIBUILD " " + Quoted(package) + " -i " + Quoted(idt));
}

bool PackageFolder::Wixl(const std::string& package, const std::string& source, const std::string& arch) const
{
    Write(package + ".wxs", source);
    return Run("cd " + Quoted(root_.string()) + " && " ZARVO_WIXL " -a " + arch + " -o " + Quoted(package) +
               " " + Quoted(package + ".wxs"));
}

std::vector<std::string> SqlStatements(const std::filesystem::path& file)
{
    std::vector<std::string> statements;
    std::istringstream in(FileBytes(file));
    for (std::string statement; std::getline(in, statement, ';');) {
        for (char& c : statement) c = c == '\n' ? ' ' : c;
        // libmsi's parser refuses a statement that starts with a space.
        const std::size_t start = statement.find_first_not_of(' ');
        if (start != std::string::npos) statements.push_back(statement.substr(start));
    }
    return statements;
}

std::string FileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace zarvo::test
