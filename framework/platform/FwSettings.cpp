#include "framework/platform/FwSettings.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include <SDL_keyboard.h>

#include "framework/platform/FwBrowser.h"
#include "framework/platform/FwNumberText.h"

namespace fs = std::filesystem;

namespace {

const std::array<FwSettingInfo, 9> kSettings = {{
    {"mouse-sensitivity", "Mouse sensitivity", &FwSettings::mouseSensitivity, nullptr, 0.1f, 5.0f, 0.1f},
    {"invert-y", "Invert Y", nullptr, &FwSettings::invertY},
    {"gamepad-sensitivity", "Gamepad sensitivity", &FwSettings::gamepadSensitivity, nullptr, 0.1f, 5.0f, 0.1f},
    {"volume", "Master volume", &FwSettings::masterVolume, nullptr, 0.0f, 1.0f, 0.1f, true},
    {"fullscreen", "Fullscreen", nullptr, &FwSettings::fullscreen},
    {"pause-on-focus-loss", "Pause on focus loss", nullptr, &FwSettings::pauseOnFocusLoss},
    {"field-of-view", "Field of view", &FwSettings::fieldOfView, nullptr, 60.0f, 90.0f, 5.0f},
    {"rumble", "Gamepad rumble", nullptr, &FwSettings::rumble},
    {"render-scale", "Render scale", &FwSettings::renderScale, nullptr, 50.0f, 100.0f, 5.0f, false, "%", "auto"},
}};

const std::array<FwKeyBindingInfo, kKeyBindingCount> kKeyBindings = {{
    {FwKey::W, "key-forward", "Drive forward", SDL_SCANCODE_W},
    {FwKey::S, "key-back", "Drive back", SDL_SCANCODE_S},
    {FwKey::A, "key-left", "Drive left", SDL_SCANCODE_A},
    {FwKey::D, "key-right", "Drive right", SDL_SCANCODE_D},
    {FwKey::Return, "key-start", "Start, confirm", SDL_SCANCODE_RETURN},
    {FwKey::Escape, "key-quit", "Quit, leave", SDL_SCANCODE_ESCAPE},
    {FwKey::O, "key-options", "Options", SDL_SCANCODE_O},
    {FwKey::Up, "key-menu-up", "Menu up", SDL_SCANCODE_UP},
    {FwKey::Down, "key-menu-down", "Menu down", SDL_SCANCODE_DOWN},
    {FwKey::Left, "key-menu-left", "Menu left", SDL_SCANCODE_LEFT},
    {FwKey::Right, "key-menu-right", "Menu right", SDL_SCANCODE_RIGHT},
    {FwKey::P, "key-pause", "Pause", SDL_SCANCODE_P},
    {FwKey::F3, "key-frame-rate", "Frame rate", SDL_SCANCODE_F3},
    {FwKey::F11, "key-fullscreen", "Fullscreen", SDL_SCANCODE_F11},
    {FwKey::F12, "key-screenshot", "Screenshot", SDL_SCANCODE_F12},
}};

// A settings file is a few hundred bytes; anything far larger is not one.
constexpr std::uintmax_t kMaxFileSize = 64 * 1024;

std::string& SettingsPath() {
    static std::string path;
    return path;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void Warn(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "quarnel: settings %s: %s\n", path.c_str(), why.c_str());
}

// Every byte reaches the disk or the call fails; a short write is retried.
bool WriteAll(int fd, const std::string& text) {
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<size_t>(count);
    }
    return true;
}

std::string FileContents(const FwSettings& settings) {
    std::string text = "# Quarnel settings: key = value, one a line. See the quarnel(6) manual page.\n";
    for (const FwSettingInfo& info : kSettings) {
        text += std::string(info.key) + " = " + info.FileText(settings) + "\n";
    }
    for (size_t i = 0; i < kKeyBindings.size(); ++i) {
        text += std::string(kKeyBindings[i].settingKey) + " = " + FwScancodeName(settings.keyBindings[i]) + "\n";
    }
    return text;
}

// The binding named `key` in the file, or kKeyBindingCount.
size_t BindingIndex(const std::string& key) {
    return std::find_if(kKeyBindings.begin(), kKeyBindings.end(),
                        [&key](const FwKeyBindingInfo& info) { return key == info.settingKey; }) -
           kKeyBindings.begin();
}

// Until no physical key is bound twice: of the two bindings that share one, the one the file gave
// (the later line when both were) goes back to its default. Defaults never share a key, so this
// ends. `lines` holds the file line of each binding, 0 for a default.
bool ResolveDoubleBindings(const std::string& path, FwSettings& settings, std::array<int, kKeyBindingCount>& lines) {
    bool ok = true;
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < kKeyBindings.size() && !changed; ++i) {
            for (size_t j = i + 1; j < kKeyBindings.size() && !changed; ++j) {
                if (settings.keyBindings[i] != settings.keyBindings[j]) {
                    continue;
                }
                const size_t reset = lines[j] >= lines[i] ? j : i;
                const size_t other = reset == j ? i : j;
                Warn(path, "line " + std::to_string(lines[reset]) + ": " + FwScancodeName(settings.keyBindings[i]) +
                               " is already bound to " + kKeyBindings[other].settingKey + "; " +
                               kKeyBindings[reset].settingKey + " keeps its default " +
                               FwScancodeName(kKeyBindings[reset].defaultScancode));
                settings.keyBindings[reset] = kKeyBindings[reset].defaultScancode;
                lines[reset] = 0;
                ok = false;
                changed = true;
            }
        }
    }
    return ok;
}

}  // namespace

FwSettings& FwGetSettings() {
    static FwSettings settings;
    return settings;
}

float FwSettingInfo::Stepped(float value, int steps) const {
    const bool isWord = word != nullptr && value == 0.0f;
    const float onGrid = (isWord ? -1.0f : std::round((value - minimum) / step)) + static_cast<float>(steps);
    if (word != nullptr && onGrid < 0.0f) {
        return 0.0f;
    }
    return std::clamp(minimum + onGrid * step, minimum, maximum);
}

std::string FwSettingInfo::FileText(const FwSettings& settings) const {
    if (flag != nullptr) {
        return settings.*flag ? "true" : "false";
    }
    if (IsWord(settings)) {
        return word;
    }
    // One decimal always holds a value on the 0.1 grid (none one on a whole-number grid), whatever
    // the process locale says.
    char text[32];
    const int decimals = step >= 1.0f ? 0 : 1;
    const auto result = FwFloatToChars(text, text + sizeof(text), settings.*number, decimals);
    return std::string(text, result.ptr);
}

std::string FwSettingInfo::ScreenText(const FwSettings& settings) const {
    if (flag != nullptr) {
        return settings.*flag ? "On" : "Off";
    }
    if (IsWord(settings)) {
        std::string text = word;
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        return text;
    }
    if (percent) {
        return std::to_string(static_cast<int>(std::lround(settings.*number * 100.0f))) + "%";
    }
    return FileText(settings) + unit;
}

bool FwSettingInfo::Parse(const std::string& text, FwSettings& settings) const {
    if (flag != nullptr) {
        static const char* const kOn[] = {"true", "on", "yes", "1"};
        static const char* const kOff[] = {"false", "off", "no", "0"};
        const auto is = [&text](const char* word) { return text == word; };
        if (std::any_of(std::begin(kOn), std::end(kOn), is)) {
            settings.*flag = true;
            return true;
        }
        if (std::any_of(std::begin(kOff), std::end(kOff), is)) {
            settings.*flag = false;
            return true;
        }
        return false;
    }
    if (word != nullptr && text == word) {
        settings.*number = 0.0f;
        return true;
    }
    float value = 0.0f;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = FwFloatFromChars(text.data(), end, value);
    // NaN fails both comparisons.
    if (text.empty() || error != std::errc() || ptr != end || !(value >= minimum && value <= maximum)) {
        return false;
    }
    settings.*number = Stepped(value, 0);
    return true;
}

std::span<const FwSettingInfo> FwSettingInfos() { return kSettings; }

std::span<const FwKeyBindingInfo> FwKeyBindingInfos() { return kKeyBindings; }

const FwKeyBindingInfo* FwFindKeyBinding(FwKey key) {
    const auto it = std::find_if(kKeyBindings.begin(), kKeyBindings.end(),
                                 [key](const FwKeyBindingInfo& info) { return info.key == key; });
    return it == kKeyBindings.end() ? nullptr : &*it;
}

std::string FwScancodeName(SDL_Scancode scancode) { return SDL_GetScancodeName(scancode); }

SDL_Scancode FwScancodeFromName(const std::string& name) {
    return name.empty() ? SDL_SCANCODE_UNKNOWN : SDL_GetScancodeFromName(name.c_str());
}

std::string FwKeyLayoutName(SDL_Scancode scancode) {
    const std::string name = SDL_GetKeyName(SDL_GetKeyFromScancode(scancode));
    const bool ascii = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    return ascii ? name : FwScancodeName(scancode);
}

std::string FwBoundKeyName(FwKey key) {
    const FwKeyBindingInfo* info = FwFindKeyBinding(key);
    return info == nullptr ? "" : FwKeyLayoutName(FwGetSettings().keyBindings[info - kKeyBindings.data()]);
}

const FwSettingInfo* FwFindSetting(const std::string& key) {
    const auto it =
        std::find_if(kSettings.begin(), kSettings.end(), [&key](const FwSettingInfo& info) { return key == info.key; });
    return it == kSettings.end() ? nullptr : &*it;
}

std::string FwDefaultSettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/quarnel/settings.ini";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.config/quarnel/settings.ini";
    }
    return "";
}

void FwSetSettingsPath(const std::string& path) { SettingsPath() = path; }

const std::string& FwSettingsPath() { return SettingsPath(); }

bool FwLoadSettings(const std::string& path, FwSettings& settings) {
    if (path.empty()) {
        return true;
    }
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        return true;
    }
    if (status.type() != fs::file_type::regular || fs::file_size(path, error) > kMaxFileSize || error) {
        Warn(path, "not a settings file; using the defaults");
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    if (!(file && text << file.rdbuf())) {
        Warn(path, std::string("cannot be read (") + std::strerror(errno) + "); using the defaults");
        return false;
    }
    bool ok = true;
    std::array<int, kKeyBindingCount> bindingLines{};
    std::string line;
    for (int number = 1; std::getline(text, line); ++number) {
        line = Trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';' || (line.front() == '[' && line.back() == ']')) {
            continue;
        }
        const std::string where = "line " + std::to_string(number) + ": ";
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            Warn(path, where + "expected key = value");
            ok = false;
            continue;
        }
        const std::string key = Trimmed(line.substr(0, equals));
        const std::string value = Trimmed(line.substr(equals + 1));
        const FwSettingInfo* info = FwFindSetting(key);
        if (const size_t binding = BindingIndex(key); binding < kKeyBindings.size()) {
            if (const SDL_Scancode scancode = FwScancodeFromName(value); scancode != SDL_SCANCODE_UNKNOWN) {
                settings.keyBindings[binding] = scancode;
                bindingLines[binding] = number;
            } else {
                Warn(path, where + "unknown key '" + value + "' for " + key + "; keeping " +
                               FwScancodeName(settings.keyBindings[binding]));
                ok = false;
            }
        } else if (info == nullptr) {
            Warn(path, where + "unknown setting '" + key + "'");
            ok = false;
        } else if (!info->Parse(value, settings)) {
            Warn(path, where + "bad value '" + value + "' for " + key + "; keeping " + info->FileText(settings));
            ok = false;
        }
    }
    return ResolveDoubleBindings(path, settings, bindingLines) && ok;
}

bool FwSaveSettings(const std::string& path, const FwSettings& settings) {
    if (path.empty()) {
        return false;
    }
    const fs::path target(path);
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    std::string temporary = path + ".tmp-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        Warn(path, std::string("cannot be written (") + std::strerror(errno) + ")");
        return false;
    }
    const bool written = WriteAll(fd, FileContents(settings)) && fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        Warn(path, std::string("cannot be written (") + std::strerror(written ? errno : writeError) +
                       "); the previous file is kept");
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself is only durable once the folder is flushed too.
    const int folder = open(target.parent_path().empty() ? "." : target.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
#ifdef __EMSCRIPTEN__
    FwBrowserKeepSettings();
#endif
    return true;
}
