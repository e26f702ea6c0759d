#include "app/AppOptions.h"

#include <charconv>

#include "framework/platform/FwSettings.h"

namespace {

bool ParseNumber(const std::string& text, uint32_t& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end && !text.empty();
}

// "N:PATH" with N a frame number of 1 or more.
bool ParseFrameFile(const std::string& text, AppOptions::FrameFile& file) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 1 >= text.size()) {
        return false;
    }
    file.path = text.substr(colon + 1);
    return ParseNumber(text.substr(0, colon), file.frame) && file.frame >= 1;
}

// "WxH", each side from 16 to 4096 pixels.
bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    uint32_t w = 0;
    uint32_t h = 0;
    if (x == std::string::npos || !ParseNumber(text.substr(0, x), w) || !ParseNumber(text.substr(x + 1), h) || w < 16 ||
        h < 16 || w > 4096 || h > 4096) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// "FIRST-LAST:MS", frames from 1 and a delay up to a second.
bool ParseSlowFrames(const std::string& text, AppOptions::SlowFrames& slow) {
    const size_t dash = text.find('-');
    const size_t colon = text.find(':');
    uint32_t milliseconds = 0;
    if (dash == std::string::npos || colon == std::string::npos || colon < dash ||
        !ParseNumber(text.substr(0, dash), slow.first) ||
        !ParseNumber(text.substr(dash + 1, colon - dash - 1), slow.last) ||
        !ParseNumber(text.substr(colon + 1), milliseconds) || slow.first < 1 || slow.last < slow.first ||
        milliseconds > 1000) {
        return false;
    }
    slow.milliseconds = static_cast<float>(milliseconds);
    return true;
}

// A number setting's value, with the bounds the settings file has.
bool ParseSettingNumber(const std::string& flag, const std::string& text, std::optional<float>& value) {
    const FwSettingInfo* info = FwFindSetting(flag.substr(2));
    FwSettings parsed;
    if (info == nullptr || info->number == nullptr || !info->Parse(text, parsed)) {
        return false;
    }
    value = parsed.*info->number;
    return true;
}

}  // namespace

const char* AppUsage() {
    return "usage: quarnel [options]\n"
           "  --frames N            quit after frame N\n"
           "  --unlimited           no frame limiter\n"
           "  --seed S              fixed random seed\n"
           "  --input FILE          play an input script instead of live input\n"
           "  --record FILE         record live input as a script\n"
           "  --screenshot N:PATH   write the back buffer as PNG after frame N (repeatable)\n"
           "  --window-shot N:PATH  write the window's picture (scaled, with its bars) as PNG at frame N\n"
           "  --dump-state N:PATH   write the scene state as JSON after frame N (repeatable)\n"
           "  --content DIR         read the content tree from DIR\n"
           "  --view PATH           open a glTF or GLB model in the model viewer\n"
           "  --back-buffer WxH     draw at WxH instead of 1280x720 (for runs that check state)\n"
           "  --settings FILE       read and write the settings in FILE instead of\n"
           "                        $XDG_CONFIG_HOME/quarnel/settings.ini (~/.config/quarnel/settings.ini);\n"
           "                        runs with --frames or --input use no file unless given this\n"
           "  --mouse-sensitivity X mouse look speed, 0.1 to 5.0 (default 1.0)\n"
           "  --invert-y            moving the mouse up looks down\n"
           "  --volume X            master volume, 0.0 to 1.0 (default 1.0)\n"
           "  --fullscreen          start fullscreen\n"
           "  --pause-on-focus-loss pause the game when the window loses the focus\n"
           "  --render-scale auto|50..100\n"
           "                        size of the 3D picture in percent, in steps of 5; auto (the\n"
           "                        default) lowers it only while frames miss 60 per second\n"
           "  --help, --version\n"
           "Flags given here win over the settings file for this run.\n"
           "keys:\n"
           "  W A S D               walk            mouse          aim\n"
           "  left button           fire the gun    right button   fire the beam (once picked up)\n"
           "  Enter or left button  start the game (title)\n"
           "  left button           back to the title (stage-clear and game-over pictures)\n"
           "  O                     options screen (title, once the prompt shows)\n"
           "  Up/Down, wheel        choose a setting (options)\n"
           "  Left/Right, Enter,    change it (options; right button goes back a step)\n"
           "  left/right button\n"
           "  P                     pause and resume the game\n"
           "  F11 or Alt+Enter      fullscreen or a window\n"
           "  F12                   screenshot in $XDG_PICTURES_DIR/quarnel (~/Pictures/quarnel)\n"
           "  F3                    show the frame rate\n"
           "  Esc                   leave the options screen and save; otherwise quit\n"
           "gamepad:\n"
           "  left stick            walk            right stick    aim\n"
           "  right trigger         fire the gun    left trigger   fire the beam\n"
           "  A or Start            start the game, Enter       Start          pause\n"
           "  D-pad                 the arrow keys  Back           as Esc\n";
}

bool ParseAppOptions(const std::vector<std::string>& args, AppOptions& options, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--help") {
            options.help = true;
            continue;
        }
        if (flag == "--version") {
            options.version = true;
            continue;
        }
        if (flag == "--unlimited") {
            options.unlimited = true;
            continue;
        }
        if (flag == "--invert-y") {
            options.invertY = true;
            continue;
        }
        if (flag == "--fullscreen") {
            options.fullscreen = true;
            continue;
        }
        if (flag == "--pause-on-focus-loss") {
            options.pauseOnFocusLoss = true;
            continue;
        }
        const bool takesValue = flag == "--frames" || flag == "--seed" || flag == "--input" || flag == "--record" ||
                                flag == "--screenshot" || flag == "--window-shot" || flag == "--dump-state" ||
                                flag == "--content" || flag == "--view" || flag == "--back-buffer" ||
                                flag == "--settings" || flag == "--mouse-sensitivity" || flag == "--volume" ||
                                flag == "--render-scale" || flag == "--test-slow-frames";
        if (!takesValue) {
            error = "unknown option '" + flag + "'";
            return false;
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = flag + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        bool ok = true;
        if (flag == "--frames") {
            ok = ParseNumber(value, options.frames) && options.frames >= 1;
        } else if (flag == "--seed") {
            uint32_t seed = 0;
            ok = ParseNumber(value, seed);
            options.seed = seed;
        } else if (flag == "--input") {
            options.inputPath = value;
        } else if (flag == "--record") {
            options.recordPath = value;
        } else if (flag == "--screenshot" || flag == "--window-shot" || flag == "--dump-state") {
            AppOptions::FrameFile file;
            ok = ParseFrameFile(value, file);
            (flag == "--screenshot"    ? options.screenshots
             : flag == "--window-shot" ? options.windowShots
                                       : options.dumps)
                .push_back(file);
        } else if (flag == "--content") {
            options.contentDir = value;
        } else if (flag == "--back-buffer") {
            ok = ParseSize(value, options.backBufferWidth, options.backBufferHeight);
        } else if (flag == "--settings") {
            options.settingsPath = value;
        } else if (flag == "--mouse-sensitivity") {
            ok = ParseSettingNumber(flag, value, options.mouseSensitivity);
        } else if (flag == "--volume") {
            ok = ParseSettingNumber(flag, value, options.volume);
        } else if (flag == "--test-slow-frames") {
            ok = ParseSlowFrames(value, options.slowFrames);
        } else if (flag == "--render-scale") {
            ok = ParseSettingNumber(flag, value, options.renderScale);
        } else {
            options.viewPath = value;
        }
        if (!ok) {
            error = "bad value '" + value + "' for " + flag;
            return false;
        }
    }
    if (!options.inputPath.empty() && !options.recordPath.empty()) {
        error = "--input and --record cannot be used together";
        return false;
    }
    return true;
}

std::string SettingsFileFor(const AppOptions& options) {
    if (!options.settingsPath.empty()) {
        return options.settingsPath;
    }
    // A test's outcome must not depend on what the player set.
    return options.IsAutomated() ? std::string() : FwDefaultSettingsPath();
}

void ApplySettingFlags(const AppOptions& options, FwSettings& settings) {
    if (options.mouseSensitivity) {
        settings.mouseSensitivity = *options.mouseSensitivity;
    }
    if (options.invertY) {
        settings.invertY = true;
    }
    if (options.volume) {
        settings.masterVolume = *options.volume;
    }
    if (options.fullscreen) {
        settings.fullscreen = true;
    }
    if (options.pauseOnFocusLoss) {
        settings.pauseOnFocusLoss = true;
    }
    if (options.renderScale) {
        settings.renderScale = *options.renderScale;
    }
}
