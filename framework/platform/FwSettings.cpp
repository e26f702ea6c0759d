#include "framework/platform/FwSettings.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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

#include "framework/platform/FwBrowser.h"
#include "framework/platform/FwNumberText.h"

namespace fs = std::filesystem;

namespace {

const std::array<FwSettingInfo, 6> kSettings = {{
    {"mouse-sensitivity", "Mouse sensitivity", &FwSettings::mouseSensitivity, nullptr, 0.1f, 5.0f, 0.1f},
    {"invert-y", "Invert Y", nullptr, &FwSettings::invertY},
    {"gamepad-sensitivity", "Gamepad sensitivity", &FwSettings::gamepadSensitivity, nullptr, 0.1f, 5.0f, 0.1f},
    {"volume", "Master volume", &FwSettings::masterVolume, nullptr, 0.0f, 1.0f, 0.1f, true},
    {"fullscreen", "Fullscreen", nullptr, &FwSettings::fullscreen},
    {"pause-on-focus-loss", "Pause on focus loss", nullptr, &FwSettings::pauseOnFocusLoss},
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
    return text;
}

}  // namespace

FwSettings& FwGetSettings() {
    static FwSettings settings;
    return settings;
}

float FwSettingInfo::Stepped(float value, int steps) const {
    const float onGrid = std::round((value - minimum) / step) + static_cast<float>(steps);
    return std::clamp(minimum + onGrid * step, minimum, maximum);
}

std::string FwSettingInfo::FileText(const FwSettings& settings) const {
    if (flag != nullptr) {
        return settings.*flag ? "true" : "false";
    }
    // One decimal always holds a value on the 0.1 grid, whatever the process locale says.
    char text[32];
    const auto result = FwFloatToCharsOneDecimal(text, text + sizeof(text), settings.*number);
    return std::string(text, result.ptr);
}

std::string FwSettingInfo::ScreenText(const FwSettings& settings) const {
    if (flag != nullptr) {
        return settings.*flag ? "On" : "Off";
    }
    if (percent) {
        return std::to_string(static_cast<int>(std::lround(settings.*number * 100.0f))) + "%";
    }
    return FileText(settings);
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
        if (info == nullptr) {
            Warn(path, where + "unknown setting '" + key + "'");
            ok = false;
        } else if (!info->Parse(value, settings)) {
            Warn(path, where + "bad value '" + value + "' for " + key + "; keeping " + info->FileText(settings));
            ok = false;
        }
    }
    return ok;
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
