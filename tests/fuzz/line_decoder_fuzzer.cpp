// Files of any bytes read line by line, as single-byte text and by their byte-order mark:
// no read past a buffer, every line within its capacity, no handle left open, single-byte
// text read back whole (only each CR of a CR LF pair dropped), and the same lines whether
// those that need no decoding are read as their bytes or decoded.
#include <cstddef>
#include <cstdint>
#include <string>
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

// The lines of the file, each read as its bytes where it needs no decoding when `plainFirst`,
// given as characters: none when it does not open.
std::vector<std::u16string> ReadAllLines(const std::string& file, zarvo::TextInput input, std::size_t capacity,
                                         bool plainFirst)
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
            if (plainFirst && reader.ReadPlainLine(bytes, capacity)) {
                line.clear();
                for (const char byte : bytes) line.push_back(static_cast<unsigned char>(byte));
            } else if (!reader.ReadLine(line, capacity)) {
                break;
            }
            if (line.empty() || line.size() > capacity) __builtin_trap();
            characters += line.size();
            lines.push_back(line);
        }
        if (reader.Failed()) __builtin_trap();
    }
    if (sim.ledger.OpenCount() != 0) __builtin_trap();
    if (input == zarvo::TextInput::SingleByte && characters != file.size() - CrLfPairs(file)) __builtin_trap();
    return lines;
}

void ReadBothWays(const std::string& file, zarvo::TextInput input, std::size_t capacity)
{
    if (ReadAllLines(file, input, capacity, false) != ReadAllLines(file, input, capacity, true)) __builtin_trap();
}

}  // namespace

// The first byte chooses the line capacity (small ones reach the line-splitting edges);
// the file follows.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const std::size_t capacity = data[0] == 0 ? 4999 : data[0];
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    ReadBothWays(file, zarvo::TextInput::SingleByte, capacity);
    ReadBothWays(file, zarvo::TextInput::ByMark, capacity);
    return 0;
}
