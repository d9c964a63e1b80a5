// Per-user settings store with the key and value layout of the Windows registry the original
// product used ("Software\Lumora\VelView\frmViewer" ...), kept in one file per user.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velview {

// The name inserted into settings keys; the same for the GUI and the command-line tool, so
// both see one set of user settings.
const std::string& ProgramName();
void SetProgramName(std::string name);

// Where the store file lives: $XDG_CONFIG_HOME/Lumora/ (default ~/.config/Lumora/).
std::filesystem::path SettingsStoreFolder();
// Tests and tools may point the store elsewhere; an empty path restores the default.
void SetSettingsStoreFolder(std::filesystem::path folder);

// Window placement as plain data; the GUI applies it to its windows.
struct WindowPlacement {
    bool hasBounds = false;   // Top/Left (and Width/Height for a sizeable window) were read
    int top = 0, left = 0, width = 0, height = 0;
    int windowState = 0;      // 0 normal, 1 minimised, 2 maximised
};

class TExtRegistry {
public:
    // `section` is the last key component; "" stores "（なし）", which leaves it out of the key.
    explicit TExtRegistry(std::string section = "", bool useAppName = true);

    const std::string& Section() const { return section_; }
    void SetSection(std::string section);
    bool UseAppName() const { return useAppName_; }
    void SetUseAppName(bool v) { useAppName_ = v; }

    // "Software\Lumora[\<program>][\<section>]"
    std::string Key() const;
    // "Software\Lumora\<program>\<form>\WinPos"
    static std::string WinPosKey(std::string_view formName);

    std::string ReadString(std::string_view name, std::string_view def = "") const;
    bool ReadBool(std::string_view name, bool def = false) const;
    int ReadInteger(std::string_view name, int def = 0) const;
    void WriteString(std::string_view name, std::string_view value);
    void WriteBool(std::string_view name, bool value);
    void WriteInteger(std::string_view name, int value);

    // A text value is returned as it is; a binary value only when it holds exactly `size`
    // bytes; otherwise the default.
    std::string ReadBinaryString(std::string_view name, std::string_view def, std::size_t size) const;
    void WriteBinaryString(std::string_view name, std::string_view data, std::size_t size);

    bool ValueExists(std::string_view name) const;
    void DeleteValue(std::string_view name);

    // Restores a placement once per component; a second call reports success without
    // reading. `sizeable` tells whether Width and Height belong to the placement.
    // Returns nothing when neither the bounds nor the window state could be read.
    std::optional<WindowPlacement> LoadWindowPlacement(std::string_view formName, bool sizeable);
    bool PlacementLoaded() const { return placementLoaded_; }
    // Writes "WindowState"; for a normal window also "Top" and "Left", and "Width" and
    // "Height" when sizeable.
    void SaveWindowPlacement(std::string_view formName, const WindowPlacement& p, bool sizeable);

    // The position that centres a window on the screen (never negative).
    static void CentredPosition(int screenWidth, int screenHeight, int width, int height,
                                int& left, int& top);

private:
    std::string section_;
    bool useAppName_;
    bool placementLoaded_ = false;
};

// Low-level access to the store, by full key; used by TExtRegistry and by tools.
namespace settings_store {

enum class ValueType { String, Integer, Binary };

struct Value {
    ValueType type = ValueType::String;
    std::string data;        // text (UTF-8) or raw bytes
    std::int32_t integer = 0;
};

std::optional<Value> Read(std::string_view key, std::string_view name);
void Write(std::string_view key, std::string_view name, const Value& value);
void Delete(std::string_view key, std::string_view name);
bool KeyExists(std::string_view key);

}  // namespace settings_store
}  // namespace velview
