#include "app/AppOptions.h"

#include <charconv>

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
           "  --fullscreen          start fullscreen\n"
           "  --pause-on-focus-loss pause the game when the window loses the focus\n"
           "  --help, --version\n"
           "keys: W A S D drive, mouse aims, left button fires, right button the beam, P pauses,\n"
           "  F11 or Alt+Return toggles fullscreen, F12 saves a screenshot in ~/Pictures/quarnel\n"
           "  ($XDG_PICTURES_DIR/quarnel), F3 shows the frame rate, Esc quits\n"
           "gamepad: left stick drives, right stick aims, right trigger fires, left trigger the beam,\n"
           "  A or Start starts the game, Start pauses, Back quits\n";
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
                                flag == "--content" || flag == "--view" || flag == "--back-buffer";
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
