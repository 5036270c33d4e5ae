#pragma once
// The machine-wide registry of a simulated Windows, as a 32-bit process sees it: one tree
// of keys under HKEY_LOCAL_MACHINE, SOFTWARE redirected to SOFTWARE\Wow6432Node on 64-bit
// Windows unless the 64-bit view is asked for, names compared without regard to case, and
// Windows' answers for missing keys, short buffers and missing access rights.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_ledger.h"

namespace zarvo::sim {

struct RegistryValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const RegistryValue&) const = default;
};

struct RegistryNode;

class SimRegistry final : public Registry {
public:
    explicit SimRegistry(SimLedger& ledger);
    ~SimRegistry() override;
    SimRegistry(const SimRegistry&) = delete;
    SimRegistry& operator=(const SimRegistry&) = delete;

    // The process is always 32-bit; on 64-bit Windows it runs under WOW64.
    bool windows64 = true;
    bool kernelHasIsWow64Process = true;

    bool CallIsWow64Process(std::int32_t* flag) override;
    WinResult OpenKey(RegistryKey root, const char16_t* subKey, std::uint32_t options,
                      std::uint32_t access, RegistryKey* key) override;
    WinResult QueryValue(RegistryKey key, const char16_t* name, std::uint32_t* type,
                         std::uint8_t* data, std::uint32_t* size) override;
    WinResult QueryInfoKey(RegistryKey key, std::uint32_t* subKeys,
                           std::uint32_t* values) override;
    WinResult EnumKey(RegistryKey key, std::uint32_t index, char16_t* name,
                      std::uint32_t* count) override;
    WinResult EnumValue(RegistryKey key, std::uint32_t index, char16_t* name,
                        std::uint32_t* count) override;
    WinResult DeleteValue(RegistryKey key, const char16_t* name) override;
    WinResult CloseKey(RegistryKey key) override;

    // The machine's contents. A path lies below HKEY_LOCAL_MACHINE and names the key that a
    // 32-bit process opening it with `view` (kKeyWow64_64Key, kKeyWow64_32Key or 0) reaches.
    // Writing creates the keys on the way; an empty value name is the default value.
    void CreateKey(std::u16string_view path, std::uint32_t view = 0);
    void WriteValue(std::u16string_view path, std::u16string_view name, std::uint32_t type,
                    std::vector<std::uint8_t> data, std::uint32_t view = 0);
    // REG_SZ in UTF-16LE with its terminator.
    void WriteText(std::u16string_view path, std::u16string_view name, std::u16string_view text,
                   std::uint32_t view = 0);
    // REG_MULTI_SZ: each string with its terminator, then one more terminator.
    void WriteMultiString(std::u16string_view path, std::u16string_view name,
                          const std::vector<std::u16string>& strings, std::uint32_t view = 0);
    void WriteDword(std::u16string_view path, std::u16string_view name, std::uint32_t value,
                    std::uint32_t view = 0);
    std::optional<RegistryValue> ReadValue(std::u16string_view path, std::u16string_view name,
                                           std::uint32_t view = 0) const;
    bool HasValue(std::u16string_view path, std::u16string_view name,
                  std::uint32_t view = 0) const;
    bool HasKey(std::u16string_view path, std::uint32_t view = 0) const;

private:
    struct OpenedKey {
        std::vector<std::u16string> path;  // as stored, after any redirection
        bool redirected = false;           // whether keys opened from it are redirected
        std::uint32_t access = 0;
    };
    struct Reached {
        RegistryNode* node = nullptr;
        WinResult answer = 0;
    };

    bool Redirects(std::uint32_t view) const;
    std::vector<std::u16string> Resolve(std::u16string_view path, std::uint32_t view) const;
    RegistryNode* Find(std::u16string_view path, std::uint32_t view) const;
    // HKEY_LOCAL_MACHINE is seen through the view the call asks for.
    std::optional<OpenedKey> Opened(RegistryKey key, std::uint32_t access) const;
    // The key behind a handle that holds `right`, or the answer Windows gives instead.
    Reached Reach(RegistryKey key, std::uint32_t right) const;

    SimLedger& ledger_;
    std::unique_ptr<RegistryNode> root_;
    std::map<RegistryKey, OpenedKey> opened_;
};

}  // namespace zarvo::sim
