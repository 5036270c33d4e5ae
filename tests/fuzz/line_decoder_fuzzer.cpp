// Files of any bytes read line by line, as single-byte text and by their byte-order mark:
// no read past a buffer, every line within its capacity, no handle left open, single-byte
// text read back whole (only each CR of a CR LF pair dropped), and the same lines whether
// those that need no decoding are read as their bytes, one by one or many at a time, or decoded.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "substitution/line_file.h"

namespace {

constexpr const char16_t* kPath = u"C:\\App\\file.txt";

std::size_t CrLfPairs(const std::string& bytes)
{
    std::size_t pairs = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++pairs;
    return pairs;
}

// How lines that need no decoding are read.
enum class Route { Decoded, AsBytes, ManyAtATime };

void AddLine(std::vector<std::u16string>& lines, std::size_t& characters, std::u16string_view line, std::size_t capacity)
{
    if (line.empty() || line.size() > capacity) __builtin_trap();
    characters += line.size();
    lines.emplace_back(line);
}

std::u16string Characters(std::string_view bytes)
{
    std::u16string line;
    for (const char byte : bytes) line.push_back(static_cast<unsigned char>(byte));
    return line;
}

// The lines many at a time, each read without the CR of its CR LF and cut as a line's capacity
// cuts it.
void AddLines(std::vector<std::u16string>& lines, std::size_t& characters, std::string_view run, std::size_t capacity)
{
    if (run.back() != '\n') __builtin_trap();
    for (std::size_t at = 0; at < run.size();) {
        const std::size_t lf = run.find('\n', at);
        const std::size_t end = lf > at && run[lf - 1] == '\r' ? lf - 1 : lf;
        if (run.substr(at, end - at).find('\r') != std::string_view::npos) __builtin_trap();
        zarvo::ReadAsPieces(run.substr(at, end - at), capacity, [&](std::string_view piece, bool ends) {
            AddLine(lines, characters, Characters(piece) + (ends ? u"\n" : u""), capacity);
        });
        at = lf + 1;
    }
}

// The lines of the file, by the route, given as characters: none when it does not open.
std::vector<std::u16string> ReadAllLines(const std::string& file, zarvo::TextInput input, std::size_t capacity,
                                         Route route)
{
    zarvo::sim::SimPlatform sim;
    sim.files.PutFile(kPath, file);
    std::vector<std::u16string> lines;
    std::size_t characters = 0;
    {
        zarvo::LineReader reader(sim.files);
        const zarvo::ReaderOpen opened = reader.Open(kPath, input);
        // Only a UTF-16 mark refuses single-byte reading; the file itself always opens.
        const bool utf16 = file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF");
        if (opened == zarvo::ReaderOpen::Failed) __builtin_trap();
        if (input == zarvo::TextInput::SingleByte && (opened == zarvo::ReaderOpen::Opened) == utf16) __builtin_trap();
        if (opened != zarvo::ReaderOpen::Opened) return lines;
        std::u16string line;
        std::string bytes;
        for (;;) {
            if (const std::string_view run = route == Route::ManyAtATime ? reader.TakePlainLines() : std::string_view();
                !run.empty()) {
                AddLines(lines, characters, run, capacity);
                continue;
            }
            if (route != Route::Decoded && reader.ReadPlainLine(bytes, capacity)) line = Characters(bytes);
            else if (!reader.ReadLine(line, capacity)) break;
            AddLine(lines, characters, line, capacity);
        }
        if (reader.ReadError() != 0) __builtin_trap();
    }
    if (sim.ledger.OpenCount() != 0) __builtin_trap();
    if (input == zarvo::TextInput::SingleByte && characters != file.size() - CrLfPairs(file)) __builtin_trap();
    return lines;
}

void ReadEachWay(const std::string& file, zarvo::TextInput input, std::size_t capacity)
{
    const std::vector<std::u16string> decoded = ReadAllLines(file, input, capacity, Route::Decoded);
    if (ReadAllLines(file, input, capacity, Route::AsBytes) != decoded) __builtin_trap();
    if (ReadAllLines(file, input, capacity, Route::ManyAtATime) != decoded) __builtin_trap();
}

}  // namespace

// The first byte chooses the line capacity (small ones reach the line-splitting edges);
// the file follows.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const std::size_t capacity = data[0] == 0 ? 4999 : data[0];
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    ReadEachWay(file, zarvo::TextInput::SingleByte, capacity);
    ReadEachWay(file, zarvo::TextInput::ByMark, capacity);
    return 0;
}
