#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Command-line flags for automated runs. With none the game behaves as a player expects.
struct AppOptions {
    struct FrameFile {
        uint32_t frame = 0;
        std::string path;
    };

    uint32_t frames = 0;  // 0: run until the window closes
    bool unlimited = false;
    std::optional<uint32_t> seed;
    std::string inputPath;
    std::string recordPath;
    std::vector<FrameFile> screenshots;
    // The window's picture as presented: the scaled picture and its black bars.
    std::vector<FrameFile> windowShots;
    std::vector<FrameFile> dumps;
    std::string contentDir;
    std::string viewPath;
    // Size the scenes draw at; the window stays 1280x720 and shows the picture scaled.
    int backBufferWidth = 1280;
    int backBufferHeight = 720;
    // The settings file to read and write instead of the player's own (automated runs use none
    // unless given one), and settings given as flags, which win over the file.
    std::string settingsPath;
    std::optional<float> mouseSensitivity;
    bool invertY = false;
    std::optional<float> volume;
    bool fullscreen = false;
    bool pauseOnFocusLoss = false;
    std::optional<float> fieldOfView;
    bool noRumble = false;
    bool help = false;
    bool version = false;

    bool IsAutomated() const { return frames != 0 || !inputPath.empty(); }
};

// Parses argv (without the program name). On a bad flag returns false with a message in `error`.
bool ParseAppOptions(const std::vector<std::string>& args, AppOptions& options, std::string& error);
const char* AppUsage();

struct FwSettings;
// The file this run reads and writes: --settings, else the player's own file unless the run is
// automated; empty for none.
std::string SettingsFileFor(const AppOptions& options);
// The settings given as flags, written over what the file said.
void ApplySettingFlags(const AppOptions& options, FwSettings& settings);
