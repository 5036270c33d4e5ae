// The machine description: .reg files as regedit exports them, in each encoding it may come
// in, read into keys and values of both registry views, and every malformed line refused
// with its number.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "zarvo-check/machine_load.h"
#include "zarvo-check/reg_file.h"
#include "zarvo-check/utf8.h"

namespace zarvo::check {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::literals;

// As regedit writes a file: UTF-16LE with its byte-order mark.
Bytes Text(std::u16string_view text)
{
    Bytes bytes{0xFF, 0xFE};
    for (const char16_t c : text) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c & 0xFF),
                                                             static_cast<std::uint8_t>(c >> 8)});
    return bytes;
}

Bytes Utf8(std::u16string_view text, bool mark)
{
    const std::string utf8 = ToUtf8(text);
    Bytes bytes = mark ? Bytes{0xEF, 0xBB, 0xBF} : Bytes{};
    bytes.insert(bytes.end(), utf8.begin(), utf8.end());
    return bytes;
}

MachineDescription Read(const Bytes& bytes)
{
    auto read = ReadRegFile(bytes);
    if (const auto* error = std::get_if<RegFileError>(&read))
        ADD_FAILURE() << "line " << error->line << ": " << error->message;
    return std::holds_alternative<MachineDescription>(read) ? std::get<MachineDescription>(read)
                                                            : MachineDescription{};
}

RegFileError Refused(const Bytes& bytes)
{
    auto read = ReadRegFile(bytes);
    if (const auto* error = std::get_if<RegFileError>(&read)) return *error;
    ADD_FAILURE() << "the file was read";
    return {};
}

Bytes Utf16Le(std::u16string_view text)
{
    Bytes bytes;
    for (const char16_t c : text) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(c), 0});
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// An export of a 64-bit Windows as regedit writes it: CR LF, blank lines between keys.
constexpr std::u16string_view kExport =
    u"Windows Registry Editor Version 5.00\r\n"
    u"\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor]\r\n"
    u"@=\"default\"\r\n"
    u"\"Version\"=\"2.0\"\r\n"
    u"\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Vendor]\r\n"
    u"\"Version\"=\"1.0\"\r\n"
    u"\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node]\r\n"
    u"\r\n"
    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty]\r\n"
    u"\r\n"
    u"[HKEY_LOCAL_MACHINE\\SYSTEM\\Setup]\r\n"
    u"\"SystemSetupInProgress\"=dword:00000000\r\n"
    u"\r\n"
    u"[HKEY_CURRENT_USER\\Software\\Vendor]\r\n"
    u"\"User\"=\"left out\"\r\n"
    u"\r\n";

TEST(ReadRegFile, PutsWow6432NodeKeysInTheThirtyTwoBitViewAndTheRestInTheSixtyFourBitView)
{
    const MachineDescription machine = Read(Text(kExport));
    EXPECT_EQ(machine.keys, (std::vector<RegKey>{{u"SOFTWARE\\Vendor", kKeyWow64_64Key},
                                                 {u"SOFTWARE\\Vendor", kKeyWow64_32Key},
                                                 {u"SOFTWARE", kKeyWow64_32Key},
                                                 {u"SOFTWARE\\Empty", kKeyWow64_64Key},
                                                 {u"SYSTEM\\Setup", kKeyWow64_64Key}}));
    ASSERT_EQ(machine.values.size(), 4u);  // the current user's value is left out
    EXPECT_EQ(machine.values[0], (RegValue{u"SOFTWARE\\Vendor", kKeyWow64_64Key, u"", kRegSz, Utf16Le(u"default")}));

    sim::SimPlatform sim;
    LoadMachine(machine, sim.registry);
    EXPECT_EQ(sim.registry.ReadValue(u"SOFTWARE\\Vendor", u"Version", kKeyWow64_64Key)->data, Utf16Le(u"2.0"));
    EXPECT_EQ(sim.registry.ReadValue(u"SOFTWARE\\Vendor", u"Version", kKeyWow64_32Key)->data, Utf16Le(u"1.0"));
    // A 32-bit process that names no view sees the Wow6432Node copy.
    EXPECT_EQ(sim.registry.ReadValue(u"SOFTWARE\\Vendor", u"Version")->data, Utf16Le(u"1.0"));
    EXPECT_EQ(sim.registry.ReadValue(u"SOFTWARE\\Vendor", u"", kKeyWow64_64Key)->data, Utf16Le(u"default"));
    EXPECT_TRUE(sim.registry.HasKey(u"SOFTWARE\\Empty", kKeyWow64_64Key));
    EXPECT_FALSE(sim.registry.HasKey(u"SOFTWARE\\Empty", kKeyWow64_32Key));
    EXPECT_EQ(sim.registry.ReadValue(u"SYSTEM\\Setup", u"SystemSetupInProgress")->type, kRegDword);
}

TEST(ReadRegFile, ReadsTheSameMachineFromUtf8WithOrWithoutItsMarkAndFromLineFeedsAlone)
{
    const MachineDescription fromUtf16 = Read(Text(kExport));
    std::u16string lineFeeds(kExport);
    std::erase(lineFeeds, u'\r');
    for (const Bytes& bytes : {Utf8(kExport, true), Utf8(kExport, false), Text(lineFeeds)}) {
        const MachineDescription machine = Read(bytes);
        EXPECT_EQ(machine.keys, fromUtf16.keys);
        EXPECT_EQ(machine.values, fromUtf16.values);
    }
    const MachineDescription accented =
        Read(Utf8(u"Windows Registry Editor Version 5.00\n[HKLM\\SOFTWARE\\Caf\u00e9]\n"
                  u"\"N\u00e4me\"=\"\U0001F600\"\n",
                  false));
    ASSERT_EQ(accented.values.size(), 1u);
    EXPECT_EQ(accented.values[0].keyPath, u"SOFTWARE\\Caf\u00e9");
    EXPECT_EQ(accented.values[0].name, u"N\u00e4me");
    EXPECT_EQ(accented.values[0].data, (Bytes{0x3D, 0xD8, 0x00, 0xDE, 0, 0}));
}

TEST(ReadRegFile, ReadsEveryTypeOfValueWithEscapesContinuationsAndComments)
{
    const MachineDescription machine = Read(Text(
        u"Windows Registry Editor Version 5.00\n"
        u"; a comment before the first key\n"
        u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Types;Semicolon]\n"
        u"\"Path\"=\"C:\\\\Program Files\\\\\\\"Q\\\"\"   ; trailing comment\n"
        u"\"Quote \\\"in\\\" name\"=\"\"\n"
        u"\"Count\"=dword:0000ABcd\n"
        u"\"Blob\"=hex:01,ff,\\\n"
        u"  0A,\\\n"
        u"  7f\n"
        u"\"Empty\"=hex:\n"
        u"\"Expand\"=hex(2):25,00,00,00\n"
        u"\"Multi\"=hex(7):61,00,00,00,00,00\n"
        u"\"Big\"=hex(b):01,00,00,00,00,00,00,80\n"
        u"\"None\"=hex(0):\n"
        u"\"Own\" = hex(12345678):aa ; a type of its own\n"));
    const std::u16string key = u"SOFTWARE\\Types;Semicolon";
    const std::uint32_t v = kKeyWow64_64Key;
    EXPECT_EQ(machine.values, (std::vector<RegValue>{
                                  {key, v, u"Path", kRegSz, Utf16Le(u"C:\\Program Files\\\"Q\"")},
                                  {key, v, u"Quote \"in\" name", kRegSz, Utf16Le(u"")},
                                  {key, v, u"Count", kRegDword, {0xCD, 0xAB, 0x00, 0x00}},
                                  {key, v, u"Blob", kRegBinary, {0x01, 0xFF, 0x0A, 0x7F}},
                                  {key, v, u"Empty", kRegBinary, {}},
                                  {key, v, u"Expand", 2, {0x25, 0, 0, 0}},
                                  {key, v, u"Multi", kRegMultiSz, {0x61, 0, 0, 0, 0, 0}},
                                  {key, v, u"Big", 11, {1, 0, 0, 0, 0, 0, 0, 0x80}},
                                  {key, v, u"None", 0, {}},
                                  {key, v, u"Own", 0x12345678, {0xAA}},
                              }));
}

TEST(ReadRegFile, ReadsRegedit4ByteByByteAndWidensItsTextData)
{
    // Single-byte text: 0xE9 is é, in a name and in the data of a text type given in hex.
    Bytes bytes = Utf8(u"REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n\"Caf", false);
    bytes.push_back(0xE9);
    const std::string rest = "\"=\"x\"\r\n\"Path\"=hex(2):25,e9,00\r\n\"Raw\"=hex:e9\r\n";
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    const MachineDescription machine = Read(bytes);
    ASSERT_EQ(machine.values.size(), 3u);
    EXPECT_EQ(machine.values[0].name, u"Caf\u00e9");
    EXPECT_EQ(machine.values[0].data, Utf16Le(u"x"));
    EXPECT_EQ(machine.values[1].data, (Bytes{0x25, 0, 0xE9, 0, 0, 0}));
    EXPECT_EQ(machine.values[2].data, (Bytes{0xE9}));
}

TEST(ReadRegFile, RefusesEachMalformedLineWithItsNumber)
{
    struct Case {
        std::u16string_view body;  // after the header line
        std::size_t line;
        std::string message;
    };
    const std::string hexType = "value \"B\": hex(type): wants a type of 1 to 8 hex digits, as in hex(7):";
    const std::string removes = "removes what it names: a machine description only adds keys and values";
    const std::string emptyName = "the key's path holds an empty name (a backslash doubled or at its end)";
    const Case cases[] = {
        {u"\"Early\"=\"1\"\n", 2, "a value before any key: a value belongs to the [key] above it"},
        {u"[HKLM\\A]\nRelease=1\n", 3, "the line is neither a key ([...]), a value (\"name\"=... or @=...) "
                                        "nor a comment (;...)"},
        {u"[HKLM\\A]\n\"Release\"=dword:0001\n", 3, "dword value \"Release\" is not 8 hex digits: \"0001\""},
        {u"[HKLM\\A]\n\"Release\"=dword:00000001x\n", 3, "dword value \"Release\" is not 8 hex digits: \"00000001x\""},
        {u"[HKLM\\A]\n\"B\"=hex:01,\\\n  02,0g\n", 4, "value \"B\": bad hex byte \"0g\" (two hex digits each)"},
        {u"[HKLM\\A]\n\"B\"=hex:1\n", 3, "value \"B\": bad hex byte \"1\" (two hex digits each)"},
        {u"[HKLM\\A]\n\"B\"=hex:01,,02\n", 3, "value \"B\": a comma where a hex byte belongs"},
        {u"[HKLM\\A]\n\"B\"=hex:01 02\n", 3, "value \"B\": hex bytes without a comma between them"},
        {u"[HKLM\\A]\n\"B\"=hex:01,\n", 3, "value \"B\": the hex data ends with a comma"},
        {u"[HKLM\\A]\n\"B\"=hex:01,\\\n\n", 4, "value \"B\": the hex data ends with a comma"},
        {u"[HKLM\\A]\n\"B\"=hex(x):01\n", 3, hexType},
        {u"[HKLM\\A]\n\"B\"=hex(123456789):01\n", 3, hexType},
        {u"[HKLM\\A]\n\"Name\"=\"open\n", 3, "value \"Name\": the quotes are not closed"},
        {u"[HKLM\\A]\n\"Name=\"x\"\n", 3, "value \"Name=\" lacks its = and data"},
        {u"[HKLM\\A]\n\"Name\n", 3, "the value's name: the quotes are not closed"},
        {u"[HKLM\\A]\n\"N\"=\"a\\tb\"\n", 3, "value \"N\": unknown escape \"\\t\" (only \\\\ and \\\" are read)"},
        {u"[HKLM\\A]\n\"N\"=\"a\" \"b\"\n", 3, "value \"N\": text after the closing quote: \"\"b\"\""},
        {u"[HKLM\\A]\n@=qword:1\n", 3,
         "default value (@): unknown data \"qword:1\" (\"text\", dword:, hex: or hex(type): are read)"},
        {u"[HKLM\\A]\n\"N\"=-\n", 3, "value \"N\" " + removes},
        {u"\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n", 3, "the key's line " + removes},
        {u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\n", 2, "the key's line does not end with ]"},
        {u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\\\A]\n", 2, emptyName},
        {u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\]\n", 2, emptyName},
        {u"[HKEY_LOCAL_MASHINE\\SOFTWARE]\n", 2,
         "unknown root \"HKEY_LOCAL_MASHINE\": a key begins with a root such as HKEY_LOCAL_MACHINE"},
        {u"[HKCU\\A]\n\"Name\"=dword:1\n", 3, "dword value \"Name\" is not 8 hex digits: \"1\""},
    };
    for (const Case& c : cases) {
        const RegFileError error = Refused(Text(u"Windows Registry Editor Version 5.00\n" + std::u16string(c.body)));
        EXPECT_EQ(error.line, c.line) << error.message;
        EXPECT_EQ(error.message, c.message);
    }
}

TEST(ReadRegFile, RefusesWhatIsNotARegeditFile)
{
    struct Case {
        Bytes bytes;
        std::size_t line;
        std::string message;
    };
    const std::string notRegedit = "the file does not begin with \"Windows Registry Editor Version 5.00\" or "
                                   "\"REGEDIT4\": it is not a file that regedit exports";
    Bytes odd = Text(u"REGEDIT4\n\n");
    odd.push_back(0x41);
    Bytes notUtf8 = Utf8(u"Windows Registry Editor Version 5.00\n[HKLM\\A]\n\"Caf", false);
    notUtf8.insert(notUtf8.end(), {0xE9, '"', '=', '"', '"'});
    const Case cases[] = {
        {{}, 1, "the file is empty: it lacks even the header"},
        {Text(u"\r\n  \r\n"), 2, "the file is empty: it lacks even the header"},
        {Text(u"\n; comment\nREGEDIT4\n"), 2, notRegedit},
        {Text(u"Windows Registry Editor Version 5.0\n"), 1, notRegedit},
        {Bytes{0xFE, 0xFF, 0, 'R'}, 1, "the file is UTF-16 big-endian: save it as regedit does (UTF-16LE)"},
        {odd, 3, "the file ends in the middle of a UTF-16 character"},
        {notUtf8, 3, "the line is not UTF-8 text: save the file as regedit does (UTF-16LE), or as UTF-8"},
        {Text(u"REGEDIT4\n[HKLM\\A]\n\"A\"=\"\0\"\n"sv), 3,
         "the line holds a NUL character: a .reg file is text"},
    };
    for (const Case& c : cases) {
        const RegFileError error = Refused(c.bytes);
        EXPECT_EQ(error.line, c.line) << error.message;
        EXPECT_EQ(error.message, c.message);
    }
}

TEST(LoadMachine, AddsToTheRegistryWithLaterValuesReplacingEarlierOnes)
{
    const MachineDescription first = Read(Text(u"REGEDIT4\n[HKLM\\SOFTWARE\\A]\n\"V\"=\"1\"\n\"W\"=\"1\"\n"));
    const MachineDescription second = Read(Text(u"REGEDIT4\n[HKLM\\software\\a]\n\"v\"=dword:00000002\n"));
    sim::SimPlatform sim;
    sim.registry.WriteText(u"SOFTWARE\\Before", u"X", u"kept", kKeyWow64_64Key);
    LoadMachine(first, sim.registry);
    LoadMachine(second, sim.registry);
    EXPECT_EQ(sim.registry.ReadValue(u"SOFTWARE\\A", u"V", kKeyWow64_64Key)->type, kRegDword);
    EXPECT_EQ(sim.registry.ReadValue(u"SOFTWARE\\A", u"W", kKeyWow64_64Key)->data, Utf16Le(u"1"));
    EXPECT_TRUE(sim.registry.HasValue(u"SOFTWARE\\Before", u"X", kKeyWow64_64Key));
}

TEST(Utf8, RoundTripsEveryPlaneAndRefusesMalformedBytes)
{
    const std::u16string text = u"a\u00e9\u20ac\U0001F600";
    EXPECT_EQ(ToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    for (const char* malformed : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xC3\x41"})
        EXPECT_FALSE(FromUtf8(malformed)) << malformed;
}

}  // namespace
}  // namespace zarvo::check
