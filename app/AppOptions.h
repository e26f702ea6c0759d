#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "framework/platform/FwScreen.h"

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
    // Size the scenes draw at; the window stays at the screen's size and shows the picture scaled.
    int backBufferWidth = kScreenWidth;
    int backBufferHeight = kScreenHeight;
    // The settings file to read and write instead of the player's own (automated runs use none
    // unless given one), and settings given as flags, which win over the file.
    std::string settingsPath;
    // Each setting flag as the file would write it (key, value), in the order given.
    std::vector<std::pair<std::string, std::string>> settingFlags;
    // Tests only: frames first..last each take this much longer, times the square of the render
    // scale, as a picture that costs that much more to draw at full size.
    struct SlowFrames {
        uint32_t first = 1;
        uint32_t last = 0;
        float milliseconds = 0.0f;
    };
    SlowFrames slowFrames;
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
