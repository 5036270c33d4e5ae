#pragma once
// The machine a scenario runs on: the simulated one natively, or under Wine the real
// installer with the real DLL. A scenario is written once against this fixture.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zarvo::test {

struct TableColumn {
    std::u16string name;
    bool integer = false;
};
using TableRow = std::vector<std::optional<std::u16string>>;  // nullopt: a null field

// Every registry key a scenario writes lies below this key under HKEY_LOCAL_MACHINE; the
// machine removes it, in both views, when it ends.
inline constexpr const char16_t* kTestKeyRoot = u"SOFTWARE\\ZarvoTests";

// A product installed for the whole machine, with the state 5 (installed).
inline constexpr const char16_t* kInstalledProductCode = u"{4D2E6A18-3B7C-4F59-8E21-7C0D9B3A5F64}";

// A program that no machine has, for starts that must fail.
inline constexpr const char16_t* kMissingProgram = u"C:\\ZarvoNowhere\\missing.exe";

// A message box that the machine answered while watching (WatchMessageBoxes).
struct MessageBoxSeen {
    std::u16string text;
    bool windowOpen = false;  // whether the window watched with it was open while it was up
};

// The versions of the files that FileWithVersion can give; the empty text stands for a
// file without a version resource.
inline constexpr const char16_t* kFixtureVersions[] = {u"2.5.0.7",  u"2.5.0.6",   u"4.0.200.7",
                                                       u"4.5.30.1", u"3.5.900.1", u""};

class Machine {
public:
    virtual ~Machine() = default;

    // The platform that the library's own helpers are run over in this process.
    virtual Platform& platform() = 0;
    // The session of an installation of a small package, opened on first use.
    virtual InstallerHandle Session() = 0;
    virtual void SetProperty(const std::u16string& name, const std::u16string& value) = 0;
    virtual std::u16string Property(const std::u16string& name) = 0;
    // Adds a table to the package, before its session is opened. The first column is the
    // primary key, so the rows must differ in it.
    virtual void AddTable(const std::u16string& name, const std::vector<TableColumn>& columns,
                          const std::vector<TableRow>& rows) = 0;
    // Adds an empty table that lives only in the running installation.
    virtual void AddTemporaryTable(const std::u16string& name,
                                   const std::vector<TableColumn>& columns) = 0;
    // Calls the exported action of that name with the session.
    virtual WinResult RunAction(const char* name) = 0;
    // Calls it with a handle that is no installation's, so that every property read fails.
    virtual WinResult RunActionWithoutSession(const char* name) = 0;
    // From now on calls the actions with the stack pointer `bytes` (0, 4, 8 or 12) below a
    // 16-byte boundary, which 32-bit Windows allows a caller; until a scenario chooses, each call
    // takes the next of 4, 8, 12 and 0.
    virtual void SetStackOffset(unsigned bytes) = 0;

    // A record of the test's own, with fields 0 to fields.
    virtual InstallerHandle CreateRecord(std::uint32_t fields) = 0;
    virtual void SetRecordField(InstallerHandle record, std::uint32_t field,
                                const std::u16string& text) = 0;
    // nullopt for a null field.
    virtual std::optional<std::u16string> RecordField(InstallerHandle record,
                                                      std::uint32_t field) = 0;
    virtual void CloseRecord(InstallerHandle record) = 0;

    // Writes a value below HKEY_LOCAL_MACHINE (path below kTestKeyRoot or a key taken over),
    // creating its keys, in the view that a 32-bit process reaches when it opens the key with
    // `view` (0, kKeyWow64_64Key or kKeyWow64_32Key).
    virtual void WriteRegistryValue(const std::u16string& path, const std::u16string& name,
                                    std::uint32_t type, const std::vector<std::uint8_t>& data,
                                    std::uint32_t view) = 0;
    // Creates the key, with no values, as WriteRegistryValue does.
    virtual void CreateRegistryKey(const std::u16string& path, std::uint32_t view) = 0;
    // Empties a key of the machine's own (any path below HKEY_LOCAL_MACHINE) in the view, so
    // that the scenario can write there; the machine puts back what it held when it ends.
    virtual void TakeOverKey(const std::u16string& path, std::uint32_t view) = 0;
    // REG_SZ with its terminator.
    void WriteRegistryText(const std::u16string& path, const std::u16string& name,
                           const std::u16string& text, std::uint32_t view = 0);
    void WriteRegistryDword(const std::u16string& path, const std::u16string& name,
                            std::uint32_t value, std::uint32_t view = 0);

    // REG_MULTI_SZ: each string with its terminator, then one more terminator.
    void WriteRegistryMultiString(const std::u16string& path, const std::u16string& name,
                                  const std::vector<std::u16string>& strings, std::uint32_t view = 0);

    // Whether the value is there, read through the library's own registry calls.
    bool HasRegistryValue(const std::u16string& path, const std::u16string& name, std::uint32_t view);

    // A folder of the machine's own for the scenario's files, with its trailing backslash;
    // it goes, with its files, when the machine ends.
    virtual std::u16string FileFolder() = 0;
    // Creates or replaces the file with exactly these bytes.
    virtual void PutFileBytes(const std::u16string& path, const std::string& bytes) = 0;
    // The file's bytes, or nullopt when there is no such file.
    virtual std::optional<std::string> FileBytes(const std::u16string& path) = 0;
    virtual std::uint32_t AttributesOf(const std::u16string& path) = 0;
    virtual void SetAttributesOf(const std::u16string& path, std::uint32_t attributes) = 0;
    // A second name for an existing file, as a user who may write in its folder can make.
    virtual void PutHardLink(const std::u16string& link, const std::u16string& existing) = 0;
    // Another process holds the file open for reading until the machine ends, so that it
    // cannot be replaced. This is how a scenario makes a replacement fail on every machine:
    // Wine running as root replaces even a read-only file.
    virtual void HoldFile(const std::u16string& path) = 0;

    // A folder of the machine's own on a small disk (16 MB at least), with its trailing
    // backslash; it goes, with its files, when the machine ends.
    virtual std::u16string SmallDiskFolder() = 0;
    // Fills that disk with a file of its own until only `bytes` are free, as a disk that is
    // nearly full is; the simulated machine has one disk for all its files.
    virtual void FillSmallDisk(std::uint64_t bytes) = 0;

    // The full path of a file on the machine that carries the version (one of
    // kFixtureVersions), or no version resource at all for the empty text.
    virtual std::u16string FileWithVersion(const std::u16string& version) = 0;

    // Adds a component of the package, installed by its one feature, before the session
    // opens. The installation is costed when the session opens, so that components can be
    // requested absent.
    virtual void AddComponent(const std::u16string& name) = 0;
    // Whether the running installation has been asked to leave the component absent.
    virtual bool ComponentRequestedAbsent(const std::u16string& name) = 0;

    // The machine's local time, read as the actions read it.
    virtual SystemTime LocalTime() = 0;
    // Sets the clock; false where the clock cannot be set (the real machine).
    virtual bool SetLocalTime(const SystemTime& time) = 0;

    // Processes and windows. The helper program's full path, which holds no blank; its
    // command line is described in helper/helper_steps.h.
    virtual std::u16string HelperProgram() = 0;
    // Milliseconds on a clock that runs on while an action pauses or waits.
    virtual std::uint64_t Milliseconds() = 0;
    // Starts the helper with a top-level window of this title and gives the window once it
    // is up. Helpers started so are ended when the machine ends.
    virtual WindowHandle OpenWindow(const std::u16string& title) = 0;
    // A top-level window of that title, waiting a few seconds for one to come up; 0 if none.
    virtual WindowHandle WaitForWindow(const std::u16string& title) = 0;
    virtual bool IsWindowOpen(WindowHandle window) = 0;
    // Asks the window to close, as its user would, and waits until it has gone.
    virtual void CloseWindow(WindowHandle window) = 0;
    // From now on plays the user for message boxes with this caption: notes each box's
    // text and whether `window` was open while it was up, then answers it OK.
    virtual void WatchMessageBoxes(const std::u16string& caption, WindowHandle window) = 0;
    // Stops watching and gives the boxes seen, in order.
    virtual std::vector<MessageBoxSeen> MessageBoxesSeen() = 0;

    // The lines the actions wrote into the installer's log in this session, in order.
    virtual std::vector<std::u16string> LogLines() = 0;

    // Puts a program of that name in the current folder of the process that runs the
    // actions, as a user who may write there could; it goes when the machine ends.
    virtual void PlantProgramInCurrentFolder(const std::u16string& name) = 0;
    // Whether such a program has run.
    virtual bool PlantedProgramRan() = 0;

    // Whether Windows itself is 64-bit (so the 32-bit library runs under WOW64).
    virtual bool IsWindows64() = 0;
    // Makes Windows 64-bit or 32-bit; false where that cannot be chosen (the real machine).
    virtual bool SetWindows64(bool windows64) = 0;
};

std::unique_ptr<Machine> MakeMachine();

// ASCII text for test messages and comparisons.
std::string Narrow(const std::u16string& text);

}  // namespace zarvo::test
