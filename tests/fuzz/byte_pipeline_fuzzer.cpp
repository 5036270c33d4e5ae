// Single-byte text read as bytes and decoded, from any file: the byte reader's lines read as
// the decoding reader's characters, each marked exactly when it holds a marked byte, and
// written as bytes they are the bytes the decoded lines are written as; read with the plain
// lines taken in runs, the marked lines and the bytes written are the same, and with whole
// lines taken in runs the bytes written; no handle stays open.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "substitution/byte_lines.h"

namespace {

constexpr const char16_t* kTarget = u"C:\\App\\f.txt";
constexpr const char16_t* kAsBytes = u"C:\\App\\bytes";
constexpr const char16_t* kAsCharacters = u"C:\\App\\characters";
constexpr const char16_t* kAsLineBytes = u"C:\\App\\line-bytes";
constexpr const char16_t* kInRuns = u"C:\\App\\in-runs";

void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

// Reads the target with the plain lines taken in runs, or all whole lines of a block, written
// into their own file; answers the lines read one by one that hold a marked byte.
std::vector<std::string> ReadInRuns(zarvo::sim::SimPlatform& sim, std::size_t capacity, const zarvo::ByteSet& marked,
                                    bool whole)
{
    zarvo::ByteLineReader reader(sim.files, marked);
    zarvo::LineWriter writer(sim.files);
    Require(reader.Open(kTarget) == zarvo::ReaderOpen::Opened && writer.Create(kInRuns, zarvo::TextEncoding::SingleByte));
    std::vector<std::string> markedLines;
    for (;;) {
        if (const std::string_view run = whole ? reader.TakeLines() : reader.TakePlainLines(); !run.empty()) {
            Require(run.ends_with('\n'));
            Require(whole || std::ranges::none_of(run, [&](char byte) { return marked.test(static_cast<unsigned char>(byte)); }));
            writer.WriteBytes(run);
            continue;
        }
        const zarvo::ByteLine read = reader.ReadLine(capacity);
        if (read.bytes.empty()) break;
        if (read.holdsMarked) markedLines.emplace_back(read.bytes);
        writer.WriteBytes(read.bytes);
    }
    Require(reader.Close() && writer.Finish() == 0);
    return markedLines;
}

void ReadBothWays(const std::string& file, std::size_t capacity, const zarvo::ByteSet& marked)
{
    zarvo::sim::SimPlatform sim;
    sim.files.PutFile(kTarget, file);
    zarvo::LineReader decoded(sim.files);
    zarvo::ByteLineReader raw(sim.files, marked);
    const zarvo::ReaderOpen opened = decoded.Open(kTarget, zarvo::TextInput::SingleByte);
    Require(raw.Open(kTarget) == opened);
    zarvo::LineWriter asBytes(sim.files), asCharacters(sim.files), asLineBytes(sim.files);
    Require(asBytes.Create(kAsBytes, zarvo::TextEncoding::SingleByte));
    Require(asCharacters.Create(kAsCharacters, zarvo::TextEncoding::SingleByte));
    Require(asLineBytes.Create(kAsLineBytes, zarvo::TextEncoding::SingleByte));
    std::u16string line;
    std::string characters;
    std::vector<std::string> markedLines;
    for (bool more = opened == zarvo::ReaderOpen::Opened; more;) {
        more = decoded.ReadLine(line, capacity);
        const zarvo::ByteLine read = raw.ReadLine(capacity);
        Require(read.bytes.empty() != more);
        if (!more) break;
        zarvo::LineCharacters(read.bytes, characters);
        Require(std::ranges::equal(characters, line, {}, [](char byte) { return static_cast<unsigned char>(byte); }));
        Require(read.holdsMarked == std::ranges::any_of(read.bytes, [&](char byte) {
                    return marked.test(static_cast<unsigned char>(byte));
                }));
        if (read.holdsMarked) markedLines.emplace_back(read.bytes);
        asBytes.WriteBytes(read.bytes);
        asCharacters.WriteLine(line);
        asLineBytes.WriteLine(characters);
    }
    raw.Close();
    decoded.Close();
    Require(asBytes.Finish() == 0 && asCharacters.Finish() == 0 && asLineBytes.Finish() == 0);
    Require(sim.files.ReadFileBytes(kAsBytes) == sim.files.ReadFileBytes(kAsCharacters));
    Require(sim.files.ReadFileBytes(kAsLineBytes) == sim.files.ReadFileBytes(kAsCharacters));
    if (opened == zarvo::ReaderOpen::Opened) {
        Require(ReadInRuns(sim, capacity, marked, false) == markedLines);
        Require(sim.files.ReadFileBytes(kInRuns) == sim.files.ReadFileBytes(kAsBytes));
        sim.files.Delete(kInRuns);
        ReadInRuns(sim, capacity, marked, true);
        Require(sim.files.ReadFileBytes(kInRuns) == sim.files.ReadFileBytes(kAsBytes));
    }
    Require(sim.ledger.OpenCount() == 0);
}

}  // namespace

// The first byte picks the capacity; the next two are marked (equal bytes mark one, a third
// byte of 1 marks every byte above 127 too, for a set too large for the 16-byte scan); the
// file follows.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    static const std::size_t kCapacities[] = {4999, 519, 1, 2, 3, 16, 17};
    zarvo::ByteSet marked;
    marked.set(data[1]).set(data[2]);
    if (data[3] == 1)
        for (std::size_t byte = 128; byte < 256; ++byte) marked.set(byte);
    ReadBothWays(std::string(reinterpret_cast<const char*>(data + 4), size - 4),
                 kCapacities[data[0] % std::size(kCapacities)], marked);
    return 0;
}
