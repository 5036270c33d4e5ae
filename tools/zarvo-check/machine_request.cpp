#include "machine_request.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "baseline_machine.h"
#include "file_version_text.h"
#include "reg_file.h"
#include "utf8.h"

namespace zarvo::check {
namespace {

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path)
{
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return bytes;
}

// The .reg file's description, or what is wrong with it, named by the file and its line.
std::variant<MachineDescription, std::string> ReadMachine(const std::string& path)
{
    const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path);
    if (!bytes) return path + ": cannot be read";
    std::variant<MachineDescription, RegFileError> read = ReadRegFile(*bytes);
    if (const RegFileError* error = std::get_if<RegFileError>(&read))
        return path + ":" + std::to_string(error->line) + ": " + error->message;
    return std::get<MachineDescription>(std::move(read));
}

std::variant<MachineFile, std::string> FileFromOption(const FileVersionOption& option)
{
    if (option.version.empty()) return MachineFile{FromArgument(option.path), std::nullopt};
    const std::optional<FixedFileVersion> version = ReadFileVersionText(FromArgument(option.version));
    if (!version) return "--file-version " + option.path + "=" + option.version + ": \"" + option.version +
                         "\" is not a version of one to four numbers of 0 to 65535";
    return MachineFile{FromArgument(option.path), version};
}

}  // namespace

std::variant<DryRunInput, std::string> MachineFromRequest(const CheckRequest& request)
{
    DryRunInput input = BaselineMachine();
    for (const std::string& path : request.machines) {
        std::variant<MachineDescription, std::string> machine = ReadMachine(path);
        if (const std::string* error = std::get_if<std::string>(&machine)) return *error;
        input.machines.push_back(std::get<MachineDescription>(std::move(machine)));
    }
    for (const FileVersionOption& option : request.fileVersions) {
        std::variant<MachineFile, std::string> file = FileFromOption(option);
        if (const std::string* error = std::get_if<std::string>(&file)) return *error;
        input.files.push_back(std::get<MachineFile>(std::move(file)));
    }
    for (const ProductOption& product : request.products)
        input.products[FromArgument(product.code)] = FromArgument(product.state);
    return input;
}

}  // namespace zarvo::check
