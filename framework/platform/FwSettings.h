#pragma once

#include <span>
#include <string>

// What the player sets: read from the settings file, then overridden by command-line flags.
// Input, sound, the window and the player's mouse look read it; the options screen changes it.
struct FwSettings {
    float mouseSensitivity = 1.0f;
    bool invertY = false;
    float gamepadSensitivity = 1.0f;
    float masterVolume = 1.0f;
    bool fullscreen = false;
    bool pauseOnFocusLoss = false;
    // Percent of the full size the 3D picture is drawn at, 50 to 100; 0 is `auto`, which lowers it
    // only while frames miss their budget.
    float renderScale = 0.0f;

    bool operator==(const FwSettings&) const = default;
};

// The settings of this run; defaults until the application fills them in.
FwSettings& FwGetSettings();

// One setting as the file, the command line and the options screen know it: a number in steps
// between two bounds, or an on/off switch.
struct FwSettingInfo {
    const char* key;    // name in the settings file; the command-line flag is "--" + key
    const char* label;  // shown on the options screen
    float FwSettings::*number = nullptr;
    bool FwSettings::*flag = nullptr;
    float minimum = 0.0f;
    float maximum = 0.0f;
    float step = 0.0f;
    bool percent = false;   // shown as 0% to 100% instead of the number itself
    const char* unit = "";  // after the number on the options screen
    // A number that can also be this word instead, held as 0 and placed one step below the minimum.
    const char* word = nullptr;

    // The value a step below the minimum wraps to: the word, else the minimum.
    float Lowest() const { return word != nullptr ? 0.0f : minimum; }
    bool IsWord(const FwSettings& settings) const { return word != nullptr && settings.*number == 0.0f; }

    // The number moved by `steps` steps, kept on the step grid and within the bounds.
    float Stepped(float value, int steps) const;
    // The value as the file writes it, and as the options screen shows it.
    std::string FileText(const FwSettings& settings) const;
    std::string ScreenText(const FwSettings& settings) const;
    // Parses a value as the file writes it into `settings`, rounding a number to the nearest step;
    // false when it is not one or lies outside the bounds.
    bool Parse(const std::string& text, FwSettings& settings) const;
};

// Every setting, in the order of the record, the file and the options screen.
std::span<const FwSettingInfo> FwSettingInfos();
// The setting named `key` in the file, or null.
const FwSettingInfo* FwFindSetting(const std::string& key);

// $XDG_CONFIG_HOME/quarnel/settings.ini, or ~/.config/quarnel/settings.ini when that is unset or
// not absolute; empty when neither variable gives a folder.
std::string FwDefaultSettingsPath();

// The file this run reads and writes, empty when it keeps its settings in memory (automated runs
// that were not given one).
void FwSetSettingsPath(const std::string& path);
const std::string& FwSettingsPath();

// Reads `path` over `settings`. A missing file changes nothing; an unreadable file or a line that
// cannot be understood gets a warning on standard error, and what it would have set keeps its
// previous value. False when anything was wrong.
bool FwLoadSettings(const std::string& path, FwSettings& settings);

// Writes every setting to a temporary file in the folder of `path`, flushes it to disk and renames
// it over `path`, so an interrupted write leaves the previous file whole. False (with a warning)
// when the file could not be written; the previous file is then untouched.
bool FwSaveSettings(const std::string& path, const FwSettings& settings);
