#include "framework/platform/FwInput.h"

#include <algorithm>
#include <sstream>

#include <SDL.h>

namespace {

const char* const kKeyNames[] = {"W",  "A",    "S",    "D",     "Return", "Escape", "O",
                                 "Up", "Down", "Left", "Right", "left",   "right"};

bool IsButton(FwKey key) { return key == FwKey::MouseLeft || key == FwKey::MouseRight; }

bool ParseKeyName(const std::string& word, bool button, FwKey& key) {
    const int first = button ? static_cast<int>(FwKey::MouseLeft) : 0;
    const int last = button ? static_cast<int>(FwKey::Count) : static_cast<int>(FwKey::MouseLeft);
    for (int i = first; i < last; ++i) {
        if (word == kKeyNames[i]) {
            key = static_cast<FwKey>(i);
            return true;
        }
    }
    return false;
}

bool ParseDownUp(const std::string& word, const char* downWord, const char* upWord, bool& down) {
    if (word == downWord || word == upWord) {
        down = (word == downWord);
        return true;
    }
    return false;
}

// One non-comment line; `why` says what is wrong when it returns false.
bool ParseLine(const std::string& line, FwInputEvent& event, std::string& why) {
    std::istringstream words(line);
    long long frame = 0;
    std::string kind;
    if (!(words >> frame) || frame < 1 || frame > 0xFFFFFFFFll) {
        why = "expected a frame number of 1 or more";
        return false;
    }
    event.frame = static_cast<uint32_t>(frame);
    if (!(words >> kind)) {
        why = "expected an event after the frame number";
        return false;
    }
    bool ok = false;
    if (kind == "key" || kind == "button") {
        std::string name;
        std::string state;
        event.type = FwInputEvent::Type::Key;
        ok = (words >> name >> state) && ParseKeyName(name, kind == "button", event.key) &&
             ParseDownUp(state, "down", "up", event.down);
        why = (kind == "key") ? "expected: key <W|A|S|D|Return|Escape|O|Up|Down|Left|Right> <down|up>"
                              : "expected: button <left|right> <down|up>";
    } else if (kind == "move") {
        event.type = FwInputEvent::Type::Move;
        ok = static_cast<bool>(words >> event.dx >> event.dy);
        why = "expected: move <dx> <dy>";
    } else if (kind == "wheel") {
        event.type = FwInputEvent::Type::Wheel;
        ok = static_cast<bool>(words >> event.dx);
        why = "expected: wheel <notches>";
    } else if (kind == "focus") {
        std::string state;
        event.type = FwInputEvent::Type::Focus;
        ok = (words >> state) && ParseDownUp(state, "on", "off", event.down);
        why = "expected: focus <on|off>";
    } else if (kind == "quit") {
        event.type = FwInputEvent::Type::Quit;
        ok = true;
    } else {
        why = "unknown event '" + kind + "'";
        return false;
    }
    std::string extra;
    if (ok && (words >> extra)) {
        why = "unexpected '" + extra + "' at the end of the line";
        return false;
    }
    return ok;
}

}  // namespace

bool FwParseInputScript(const std::string& text, std::vector<FwInputEvent>& events, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    std::vector<FwInputEvent> parsed;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        FwInputEvent event;
        std::string why;
        if (!ParseLine(line, event, why)) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        }
        parsed.push_back(event);
    }
    // Events are applied in frame order; lines of one frame keep their written order.
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const FwInputEvent& a, const FwInputEvent& b) { return a.frame < b.frame; });
    events = std::move(parsed);
    return true;
}

std::string FwFormatInputEvent(const FwInputEvent& event) {
    const std::string frame = std::to_string(event.frame);
    switch (event.type) {
    case FwInputEvent::Type::Key:
        return frame + (IsButton(event.key) ? " button " : " key ") + kKeyNames[static_cast<int>(event.key)] +
               (event.down ? " down" : " up");
    case FwInputEvent::Type::Move:
        return frame + " move " + std::to_string(event.dx) + " " + std::to_string(event.dy);
    case FwInputEvent::Type::Wheel:
        return frame + " wheel " + std::to_string(event.dx);
    case FwInputEvent::Type::Focus:
        return frame + (event.down ? " focus on" : " focus off");
    case FwInputEvent::Type::Quit:
        return frame + " quit";
    }
    return frame;
}

FwInput& FwInput::GetInstance() {
    static FwInput instance;
    return instance;
}

bool FwInput::IsKeyDown(FwKey key) const { return keys[static_cast<size_t>(key)]; }

bool FwInput::IsWindowActive() const { return windowActive; }

void FwInput::GetCursorOffset(int& dx, int& dy) const {
    dx = cursorX;
    dy = cursorY;
}

void FwInput::ReturnCursorHome() {
    cursorX = 0;
    cursorY = 0;
}

void FwInput::ShowCursor(bool show) {
    cursorShown = show;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_SetRelativeMouseMode(show ? SDL_FALSE : SDL_TRUE);
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
}

void FwInput::UseScript(std::vector<FwInputEvent> events) {
    scripted = true;
    script = std::move(events);
    nextScriptEvent = 0;
}

bool FwInput::StartRecording(const std::string& path, std::string& error) {
    recording.open(path, std::ios::out | std::ios::trunc);
    if (!recording) {
        error = "cannot write " + path;
        return false;
    }
    recording << "# Quarnel input recording: <frame> <event> ...\n";
    return true;
}

void FwInput::BeginFrame() {
    FlushRecordedMotion();
    ++frame;
    closeRequested = false;
    wheelNotches = 0;
    while (scripted && nextScriptEvent < script.size() && script[nextScriptEvent].frame <= frame) {
        Apply(script[nextScriptEvent++]);
    }
}

void FwInput::HandleEvent(const SDL_Event& event) {
    FwInputEvent translated;
    translated.frame = frame;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (event.key.repeat != 0) {
            return;
        }
        static const SDL_Keycode codes[] = {SDLK_w, SDLK_a,  SDLK_s,    SDLK_d,    SDLK_RETURN, SDLK_ESCAPE,
                                            SDLK_o, SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT};
        const SDL_Keycode* code = std::find(std::begin(codes), std::end(codes), event.key.keysym.sym);
        if (code == std::end(codes)) {
            return;
        }
        translated.key = static_cast<FwKey>(code - std::begin(codes));
        translated.down = (event.type == SDL_KEYDOWN);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_RIGHT) {
            return;
        }
        translated.key = (event.button.button == SDL_BUTTON_LEFT) ? FwKey::MouseLeft : FwKey::MouseRight;
        translated.down = (event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_MOUSEMOTION:
        translated.type = FwInputEvent::Type::Move;
        translated.dx = event.motion.xrel;
        translated.dy = event.motion.yrel;
        break;
    case SDL_MOUSEWHEEL:
        translated.type = FwInputEvent::Type::Wheel;
        translated.dx = (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) ? -event.wheel.y : event.wheel.y;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event != SDL_WINDOWEVENT_FOCUS_GAINED && event.window.event != SDL_WINDOWEVENT_FOCUS_LOST) {
            return;
        }
        translated.type = FwInputEvent::Type::Focus;
        translated.down = (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
        break;
    case SDL_QUIT:
        translated.type = FwInputEvent::Type::Quit;
        break;
    default:
        return;
    }
    // A script owns the input completely; live events only close the window.
    if (scripted) {
        if (translated.type == FwInputEvent::Type::Quit) {
            closeRequested = true;
        }
        return;
    }
    Record(translated);
    Apply(translated);
}

void FwInput::Apply(const FwInputEvent& event) {
    switch (event.type) {
    case FwInputEvent::Type::Key:
        keys[static_cast<size_t>(event.key)] = event.down;
        if (event.key == FwKey::Escape && event.down && !escapeCaptured) {
            closeRequested = true;
        }
        break;
    case FwInputEvent::Type::Move:
        cursorX += event.dx;
        cursorY += event.dy;
        break;
    case FwInputEvent::Type::Wheel:
        wheelNotches = event.dx;
        break;
    case FwInputEvent::Type::Focus:
        windowActive = event.down;
        break;
    case FwInputEvent::Type::Quit:
        closeRequested = true;
        break;
    }
}

void FwInput::Record(const FwInputEvent& event) {
    if (!recording.is_open()) {
        return;
    }
    // Motion is gathered into one line a frame, written when the frame ends.
    if (event.type == FwInputEvent::Type::Move) {
        recordedMotionX += event.dx;
        recordedMotionY += event.dy;
        return;
    }
    recording << FwFormatInputEvent(event) << '\n';
    recording.flush();
}

void FwInput::FlushRecordedMotion() {
    if (recording.is_open() && (recordedMotionX != 0 || recordedMotionY != 0)) {
        FwInputEvent motion;
        motion.frame = frame;
        motion.type = FwInputEvent::Type::Move;
        motion.dx = recordedMotionX;
        motion.dy = recordedMotionY;
        recording << FwFormatInputEvent(motion) << '\n';
        recording.flush();
    }
    recordedMotionX = 0;
    recordedMotionY = 0;
}

void FwInput::Reset() { *this = FwInput(); }
