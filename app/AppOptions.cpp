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
bool ParseFrameFile(const std::string& text, std::vector<AppOptions::FrameFile>& files) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 1 >= text.size()) {
        return false;
    }
    AppOptions::FrameFile file;
    file.path = text.substr(colon + 1);
    files.push_back(file);
    return ParseNumber(text.substr(0, colon), files.back().frame) && files.back().frame >= 1;
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

// One command-line flag as the parser and the usage know it. A flag with a value name takes the
// next argument: a text it stores, or a value `read` checks and stores. One without is a switch.
// A setting's flag names the setting: its value (or the switch's `settingValue`) is read with the
// settings file's own bounds and wins over the file.
struct AppFlag {
    const char* name;
    const char* value;  // shown after the name in the usage; null for a switch
    // The usage's lines beside the name; null for a flag listed on the line of the one before.
    const char* help;
    bool AppOptions::*on = nullptr;
    std::string AppOptions::*text = nullptr;
    bool (*read)(const std::string& value, AppOptions& options) = nullptr;
    const char* setting = nullptr;
    const char* settingValue = nullptr;
};

// Every flag, in the order of the usage.
const AppFlag kFlags[] = {
    {"--frames", "N", "quit after frame N", nullptr, nullptr,
     [](const std::string& value, AppOptions& options) {
         return ParseNumber(value, options.frames) && options.frames >= 1;
     }},
    {"--unlimited", nullptr, "no frame limiter", &AppOptions::unlimited},
    {"--seed", "S", "fixed random seed", nullptr, nullptr,
     [](const std::string& value, AppOptions& options) {
         uint32_t seed = 0;
         const bool ok = ParseNumber(value, seed);
         options.seed = seed;
         return ok;
     }},
    {"--input", "FILE", "play an input script instead of live input", nullptr, &AppOptions::inputPath},
    {"--record", "FILE", "record live input as a script", nullptr, &AppOptions::recordPath},
    {"--screenshot", "N:PATH", "write the back buffer as PNG after frame N (repeatable)", nullptr, nullptr,
     [](const std::string& value, AppOptions& options) { return ParseFrameFile(value, options.screenshots); }},
    {"--window-shot", "N:PATH", "write the window's picture (scaled, with its bars) as PNG at frame N", nullptr,
     nullptr, [](const std::string& value, AppOptions& options) { return ParseFrameFile(value, options.windowShots); }},
    {"--dump-state", "N:PATH", "write the scene state as JSON after frame N (repeatable)", nullptr, nullptr,
     [](const std::string& value, AppOptions& options) { return ParseFrameFile(value, options.dumps); }},
    {"--content", "DIR", "read the content tree from DIR", nullptr, &AppOptions::contentDir},
    {"--view", "PATH", "open a glTF or GLB model in the model viewer", nullptr, &AppOptions::viewPath},
    {"--back-buffer", "WxH", "draw at WxH instead of 1280x720 (for runs that check state)", nullptr, nullptr,
     [](const std::string& value, AppOptions& options) {
         return ParseSize(value, options.backBufferWidth, options.backBufferHeight);
     }},
    {"--settings", "FILE",
     "read and write the settings in FILE instead of\n"
     "$XDG_CONFIG_HOME/quarnel/settings.ini (~/.config/quarnel/settings.ini);\n"
     "runs with --frames or --input use no file unless given this",
     nullptr, &AppOptions::settingsPath},
    {.name = "--mouse-sensitivity", .value = "X", .help = "mouse look speed, 0.1 to 5.0 (default 1.0)",
     .setting = "mouse-sensitivity"},
    {.name = "--invert-y", .value = nullptr, .help = "moving the mouse up looks down", .setting = "invert-y",
     .settingValue = "true"},
    {.name = "--volume", .value = "X", .help = "master volume, 0.0 to 1.0 (default 1.0)", .setting = "volume"},
    {.name = "--fullscreen", .value = nullptr, .help = "start fullscreen", .setting = "fullscreen",
     .settingValue = "true"},
    {.name = "--pause-on-focus-loss", .value = nullptr, .help = "pause the game when the window loses the focus",
     .setting = "pause-on-focus-loss", .settingValue = "true"},
    {.name = "--field-of-view", .value = "D",
     .help = "vertical field of view, 60 to 90 degrees in steps of 5 (default 60)", .setting = "field-of-view"},
    {.name = "--no-rumble", .value = nullptr, .help = "no gamepad rumble when hit or firing the beam",
     .setting = "rumble", .settingValue = "false"},
    {.name = "--render-scale", .value = "auto|50..100",
     .help = "size of the 3D picture in percent, in steps of 5; auto (the\n"
             "default) lowers it only while frames miss 60 per second",
     .setting = "render-scale"},
    // Tests only, and not in the usage: makes chosen frames slow on purpose.
    {"--test-slow-frames", "FIRST-LAST:MS", nullptr, nullptr, nullptr,
     [](const std::string& value, AppOptions& options) { return ParseSlowFrames(value, options.slowFrames); }},
    {"--help", nullptr, "", &AppOptions::help},
    {"--version", nullptr, nullptr, &AppOptions::version},
};

const AppFlag* FindFlag(const std::string& name) {
    for (const AppFlag& flag : kFlags) {
        if (name == flag.name) {
            return &flag;
        }
    }
    return nullptr;
}

// The flags' part of the usage: the name and value in a column of 22, the help beside it, and a
// flag without help of its own on the line of the one before.
std::string FlagUsage() {
    constexpr size_t kColumn = 22;
    std::string text;
    for (const AppFlag& flag : kFlags) {
        if (std::string_view(flag.name).starts_with("--test-")) {
            continue;
        }
        if (flag.help == nullptr) {
            text.insert(text.size() - 1, std::string(", ") + flag.name);
            continue;
        }
        std::string left = std::string("  ") + flag.name + (flag.value ? std::string(" ") + flag.value : "");
        const std::string help = flag.help;
        if (help.empty()) {
            text += left + "\n";
            continue;
        }
        if (left.size() > kColumn + 1) {
            text += left + "\n";  // too long to share a line with its help
            left.clear();
        }
        size_t start = 0;
        while (start < help.size()) {
            const size_t end = std::min(help.find('\n', start), help.size());
            left.resize(std::max(left.size() + 1, kColumn + 2), ' ');
            text += left + help.substr(start, end - start) + "\n";
            left.clear();
            start = end + 1;
        }
    }
    return text;
}

}  // namespace

const char* AppUsage() {
    static const std::string usage =
        "usage: quarnel [options]\n" + FlagUsage() +
        "Flags given here win over the settings file for this run. The settings file also keeps\n"
        "the key bindings (key-forward = W, ...; see quarnel(6)), which the options screen's\n"
        "Controls page changes. Keys are physical: W A S D are the keys at those places on any\n"
        "layout, and screens name each key as the layout does.\n"
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
        "  Enter on a Controls   wait for a key: the next key pressed is bound (right button:\n"
        "  row (options)         keep the old one)\n"
        "gamepad:\n"
        "  left stick            walk            right stick    aim\n"
        "  right trigger         fire the gun    left trigger   fire the beam\n"
        "  A or Start            start the game, Enter       Start          pause\n"
        "  D-pad                 the arrow keys  Back           as Esc\n";
    return usage.c_str();
}

bool ParseAppOptions(const std::vector<std::string>& args, AppOptions& options, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const AppFlag* flag = FindFlag(args[i]);
        if (flag == nullptr) {
            error = "unknown option '" + args[i] + "'";
            return false;
        }
        std::string value;
        if (flag->value != nullptr) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = args[i] + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (flag->setting != nullptr) {
            const std::string text = flag->value != nullptr ? value : flag->settingValue;
            const FwSettingInfo* info = FwFindSetting(flag->setting);
            FwSettings parsed;
            if (info == nullptr || !info->Parse(text, parsed)) {
                error = "bad value '" + value + "' for " + flag->name;
                return false;
            }
            options.settingFlags.emplace_back(flag->setting, text);
        } else if (flag->on != nullptr) {
            options.*flag->on = true;
        } else if (flag->text != nullptr) {
            options.*flag->text = value;
        } else if (!flag->read(value, options)) {
            error = "bad value '" + value + "' for " + flag->name;
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
    for (const auto& [key, text] : options.settingFlags) {
        FwFindSetting(key)->Parse(text, settings);
    }
}
