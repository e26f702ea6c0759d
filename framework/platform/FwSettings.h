#pragma once

#include <SDL_scancode.h>

#include <array>
#include <span>
#include <string>

#include "framework/platform/FwInput.h"

// A key the player can bind to another physical key: its action, its name in the settings file,
// its label on the options screen's Controls page and its default key. Keys are physical
// (scancodes), so W A S D drive from the same place on every layout. Alt, the mouse buttons and
// the gamepad keep their places.
struct FwKeyBindingInfo {
    FwKey key;
    const char* settingKey;
    const char* label;
    SDL_Scancode defaultScancode;
};
constexpr size_t kKeyBindingCount = 15;
// Every bindable key, in the order of the file and the Controls page.
std::span<const FwKeyBindingInfo> FwKeyBindingInfos();
// The binding of `key`, or null for a key that cannot be bound.
const FwKeyBindingInfo* FwFindKeyBinding(FwKey key);

// What the player sets: read from the settings file, then overridden by command-line flags.
// Input, sound, the window and the player's mouse look read it; the options screen changes it.
struct FwSettings {
    float mouseSensitivity = 1.0f;
    bool invertY = false;
    float gamepadSensitivity = 1.0f;
    float masterVolume = 1.0f;
    bool fullscreen = false;
    bool pauseOnFocusLoss = false;
    // Vertical field of view of the game's camera in degrees.
    float fieldOfView = 60.0f;
    bool rumble = true;
    // The physical key of each bindable key, in the order of FwKeyBindingInfos().
    std::array<SDL_Scancode, kKeyBindingCount> keyBindings = {
        SDL_SCANCODE_W,     SDL_SCANCODE_S,    SDL_SCANCODE_A,    SDL_SCANCODE_D,     SDL_SCANCODE_RETURN,
        SDL_SCANCODE_ESCAPE, SDL_SCANCODE_O,   SDL_SCANCODE_UP,   SDL_SCANCODE_DOWN,  SDL_SCANCODE_LEFT,
        SDL_SCANCODE_RIGHT, SDL_SCANCODE_P,    SDL_SCANCODE_F3,   SDL_SCANCODE_F11,   SDL_SCANCODE_F12};
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

// The key's name as the file writes it (SDL's scancode name: "W", "Return", "Left Shift"), and
// the physical key a name stands for (SDL_SCANCODE_UNKNOWN for none).
std::string FwScancodeName(SDL_Scancode scancode);
SDL_Scancode FwScancodeFromName(const std::string& name);
// What the key at `scancode` is called under the player's keyboard layout ("Z" for the W position
// on a French keyboard), in ASCII for the game's fonts: a key whose layout name is not falls back
// to its scancode name.
std::string FwKeyLayoutName(SDL_Scancode scancode);
// The layout name of the key bound to `key`.
std::string FwBoundKeyName(FwKey key);

// $XDG_CONFIG_HOME/quarnel/settings.ini, or ~/.config/quarnel/settings.ini when that is unset or
// not absolute; empty when neither variable gives a folder.
std::string FwDefaultSettingsPath();

// The file this run reads and writes, empty when it keeps its settings in memory (automated runs
// that were not given one).
void FwSetSettingsPath(const std::string& path);
const std::string& FwSettingsPath();

// Reads `path` over `settings`. A missing file changes nothing; an unreadable file or a line that
// cannot be understood gets a warning on standard error, and what it would have set keeps its
// previous value. A physical key bound to two keys gets a warning, and the binding the file gave
// it goes back to its default. False when anything was wrong.
bool FwLoadSettings(const std::string& path, FwSettings& settings);

// Writes every setting to a temporary file in the folder of `path`, flushes it to disk and renames
// it over `path`, so an interrupted write leaves the previous file whole. False (with a warning)
// when the file could not be written; the previous file is then untouched.
bool FwSaveSettings(const std::string& path, const FwSettings& settings);
