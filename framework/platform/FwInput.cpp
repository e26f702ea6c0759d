#include "framework/platform/FwInput.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include <SDL.h>

#include "framework/platform/FwBrowser.h"
#include "framework/platform/FwSettings.h"

namespace {

const char* const kKeyNames[] = {"W",    "A",     "S", "D",  "Return", "Escape", "O",   "Up",   "Down",
                                 "Left", "Right", "P", "F3", "F11",    "F12",    "Alt", "left", "right"};
static_assert(std::size(kKeyNames) == static_cast<size_t>(FwKey::Count));

constexpr float kPictureWidth = kScreenWidth;
constexpr float kPictureHeight = kScreenHeight;
// A stick stands for a key once pushed this far past its dead zone.
constexpr float kStickKeyThreshold = 0.3f;
// A trigger holds its mouse button once pressed this far.
constexpr float kTriggerThreshold = 0.5f;
// The right stick fully over turns the aim as this many pixels of mouse movement a frame would
// (16 pixels: 4 degrees a frame), times the gamepad sensitivity.
constexpr float kPadAimPixelsPerFrame = 16.0f;

bool IsButton(FwKey key) { return key == FwKey::MouseLeft || key == FwKey::MouseRight; }

// The game's key at a physical key; false for a key bound to none.
bool KeyAt(int scancode, FwKey& key) {
    if (scancode == SDL_SCANCODE_LALT || scancode == SDL_SCANCODE_RALT) {
        key = FwKey::Alt;
        return true;
    }
    const auto& bindings = FwGetSettings().keyBindings;
    const auto* bound = std::find(bindings.begin(), bindings.end(), scancode);
    if (bound == bindings.end()) {
        return false;
    }
    key = FwKeyBindingInfos()[static_cast<size_t>(bound - bindings.begin())].key;
    return true;
}

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

// "attach", "detach", "button <name> <down|up>" or "axis <name> <value>", with SDL's control names.
bool ParsePad(std::istringstream& words, FwInputEvent& event) {
    std::string what;
    std::string name;
    if (!(words >> what)) {
        return false;
    }
    if (what == "attach" || what == "detach") {
        event.type = what == "attach" ? FwInputEvent::Type::PadAttach : FwInputEvent::Type::PadDetach;
        return true;
    }
    if (what == "button") {
        std::string state;
        event.type = FwInputEvent::Type::PadButton;
        event.control = words >> name >> state ? SDL_GameControllerGetButtonFromString(name.c_str())
                                               : SDL_CONTROLLER_BUTTON_INVALID;
        return event.control != SDL_CONTROLLER_BUTTON_INVALID && ParseDownUp(state, "down", "up", event.down);
    }
    if (what == "axis") {
        event.type = FwInputEvent::Type::PadAxis;
        event.control = words >> name ? SDL_GameControllerGetAxisFromString(name.c_str()) : SDL_CONTROLLER_AXIS_INVALID;
        return event.control != SDL_CONTROLLER_AXIS_INVALID && (words >> event.dx) && event.dx >= -32768 &&
               event.dx <= 32767;
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
        why = (kind == "key") ? "expected: key <W|A|S|D|Return|Escape|O|Up|Down|Left|Right|P|F3|F11|F12|Alt> <down|up>"
                              : "expected: button <left|right> <down|up>";
    } else if (kind == "scancode") {
        // Scancode names may hold spaces ("Left Shift"): the last word is the state.
        std::vector<std::string> rest;
        for (std::string word; words >> word;) {
            rest.push_back(word);
        }
        std::string name;
        for (size_t i = 0; i + 1 < rest.size(); ++i) {
            name += (i == 0 ? "" : " ") + rest[i];
        }
        event.type = FwInputEvent::Type::Scancode;
        event.control = name.empty() ? SDL_SCANCODE_UNKNOWN : SDL_GetScancodeFromName(name.c_str());
        ok = event.control != SDL_SCANCODE_UNKNOWN && ParseDownUp(rest.back(), "down", "up", event.down);
        why = "expected: scancode <SDL scancode name> <down|up>";
    } else if (kind == "move" || kind == "point") {
        event.type = kind == "move" ? FwInputEvent::Type::Move : FwInputEvent::Type::Point;
        ok = static_cast<bool>(words >> event.dx >> event.dy);
        why = kind == "move" ? "expected: move <dx> <dy>" : "expected: point <x> <y>";
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
    } else if (kind == "window") {
        event.type = FwInputEvent::Type::Resize;
        ok =
            (words >> event.dx >> event.dy) && event.dx >= 16 && event.dy >= 16 && event.dx <= 8192 && event.dy <= 8192;
        why = "expected: window <width> <height>, each 16 to 8192";
    } else if (kind == "pad") {
        ok = ParsePad(words, event);
        why = "expected: pad attach, pad detach, pad button <name> <down|up> or pad axis <name> <-32768..32767>";
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
    case FwInputEvent::Type::Point:
        return frame + " point " + std::to_string(event.dx) + " " + std::to_string(event.dy);
    case FwInputEvent::Type::Resize:
        return frame + " window " + std::to_string(event.dx) + " " + std::to_string(event.dy);
    case FwInputEvent::Type::PadAttach:
        return frame + " pad attach";
    case FwInputEvent::Type::PadDetach:
        return frame + " pad detach";
    case FwInputEvent::Type::PadButton:
        return frame + " pad button " +
               SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(event.control)) +
               (event.down ? " down" : " up");
    case FwInputEvent::Type::PadAxis:
        return frame + " pad axis " +
               SDL_GameControllerGetStringForAxis(static_cast<SDL_GameControllerAxis>(event.control)) + " " +
               std::to_string(event.dx);
    case FwInputEvent::Type::Scancode:
        return frame + " scancode " + SDL_GetScancodeName(static_cast<SDL_Scancode>(event.control)) +
               (event.down ? " down" : " up");
    }
    return frame;
}

FwViewRect FwLetterbox(int width, int height) {
    FwViewRect rect;
    // Compared in integers so that a window of exactly the picture's shape has no bars at all.
    if (static_cast<int64_t>(width) * kScreenHeight > static_cast<int64_t>(height) * kScreenWidth) {
        rect.height = height;
        rect.width = static_cast<int>(static_cast<int64_t>(height) * kScreenWidth / kScreenHeight);
    } else {
        rect.width = width;
        rect.height = static_cast<int>(static_cast<int64_t>(width) * kScreenHeight / kScreenWidth);
    }
    rect.x = (width - rect.width) / 2;
    rect.y = (height - rect.height) / 2;
    return rect;
}

FwInput& FwInput::GetInstance() {
    static FwInput instance;
    return instance;
}

bool FwInput::IsKeyDown(FwKey key) const { return keys[static_cast<size_t>(key)] || padKeys[static_cast<size_t>(key)]; }

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
    ApplyCapture();
}

void FwInput::ApplyCapture() {
    captured = !cursorShown && windowActive;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_SetRelativeMouseMode(captured ? SDL_TRUE : SDL_FALSE);
        SDL_ShowCursor(cursorShown ? SDL_ENABLE : SDL_DISABLE);
    }
#ifdef __EMSCRIPTEN__
    // A page may lock the pointer only on a click; the page asks again on the next one after Esc.
    FwBrowserWantPointerLock(!cursorShown);
#endif
}

void FwInput::SetWindowSize(int width, int height) {
    windowWidth = width;
    windowHeight = height;
}

void FwInput::SetPointer(int x, int y) {
    const FwViewRect view = FwLetterbox(windowWidth, windowHeight);
    if (view.width <= 0 || view.height <= 0) {
        return;
    }
    pointerX =
        (static_cast<float>(x - view.x) + 0.5f) * kPictureWidth / static_cast<float>(view.width) - kPictureWidth / 2.0f;
    pointerY = kPictureHeight / 2.0f -
               (static_cast<float>(y - view.y) + 0.5f) * kPictureHeight / static_cast<float>(view.height);
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
    fullscreenToggleRequested = false;
    requestedWidth = 0;
    requestedHeight = 0;
    pressed.fill(false);
    wheelNotches = 0;
    pressedScancode = SDL_SCANCODE_UNKNOWN;
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
        // Physical keys: the bindings map them to the game's keys. A key without one still counts
        // as pressed, for the Controls page to bind.
        const SDL_Scancode scancode = event.key.keysym.scancode;
        if (event.type == SDL_KEYDOWN && !scripted) {
            pressedScancode = scancode;
        }
        if (!KeyAt(scancode, translated.key)) {
            return;
        }
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
        if (!scripted && !captured) {
            recordedPointX = event.motion.x;
            recordedPointY = event.motion.y;
            pointMoved = true;
            SetPointer(event.motion.x, event.motion.y);
        }
        break;
    case SDL_MOUSEWHEEL:
        translated.type = FwInputEvent::Type::Wheel;
        translated.dx = (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) ? -event.wheel.y : event.wheel.y;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && !scripted) {
            // The window has this size already: a replay asks for it, the live run only notes it.
            translated.type = FwInputEvent::Type::Resize;
            translated.dx = event.window.data1;
            translated.dy = event.window.data2;
            Record(translated);
            return;
        }
        if (event.window.event != SDL_WINDOWEVENT_FOCUS_GAINED && event.window.event != SDL_WINDOWEVENT_FOCUS_LOST) {
            return;
        }
        translated.type = FwInputEvent::Type::Focus;
        translated.down = (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
        break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
        gamepad.HandleDeviceEvent(event.cdevice, scripted);
        return;
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
        // Alt+Return is the fullscreen key, not a press of Return.
        if (event.key == FwKey::Return && event.down && keys[static_cast<size_t>(FwKey::Alt)]) {
            fullscreenToggleRequested = true;
            break;
        }
        SetKey(event.key, event.down);
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
        ApplyCapture();
        break;
    case FwInputEvent::Type::Quit:
        closeRequested = true;
        break;
    case FwInputEvent::Type::Point:
        SetPointer(event.dx, event.dy);
        break;
    case FwInputEvent::Type::Resize:
        requestedWidth = event.dx;
        requestedHeight = event.dy;
        break;
    case FwInputEvent::Type::PadAttach:
        gamepad.AttachVirtual();
        break;
    case FwInputEvent::Type::PadDetach:
        gamepad.DetachVirtual();
        break;
    case FwInputEvent::Type::PadButton:
        gamepad.SetVirtualButton(static_cast<SDL_GameControllerButton>(event.control), event.down);
        break;
    case FwInputEvent::Type::PadAxis:
        gamepad.SetVirtualAxis(static_cast<SDL_GameControllerAxis>(event.control), static_cast<int16_t>(event.dx));
        break;
    case FwInputEvent::Type::Scancode:
        SetScancode(event.control, event.down);
        break;
    }
}

void FwInput::SetScancode(int scancode, bool down) {
    if (down) {
        pressedScancode = scancode;
    }
    FwInputEvent event;
    if (KeyAt(scancode, event.key)) {
        event.down = down;
        Apply(event);
    }
}

void FwInput::Rumble(float strength, uint32_t milliseconds) {
    if (FwGetSettings().rumble) {
        gamepad.Rumble(strength, milliseconds);
    }
}

// A key counts as pressed in the frame it goes down while not already held by either source.
void FwInput::SetKey(FwKey key, bool down) {
    const auto index = static_cast<size_t>(key);
    if (down && !keys[index] && !padKeys[index]) {
        pressed[index] = true;
        if (key == FwKey::Escape && !escapeCaptured) {
            closeRequested = true;
        }
        if (key == FwKey::F11) {
            fullscreenToggleRequested = true;
        }
    }
    keys[index] = down;
}

void FwInput::PollGamepad() {
    gamepad.Poll();
    RecordGamepad();
    const float leftX = gamepad.Axis(SDL_CONTROLLER_AXIS_LEFTX);
    const float leftY = gamepad.Axis(SDL_CONTROLLER_AXIS_LEFTY);
    const bool start = gamepad.Button(SDL_CONTROLLER_BUTTON_START);
    std::array<bool, static_cast<size_t>(FwKey::Count)> held{};
    held[static_cast<size_t>(FwKey::W)] = leftY <= -kStickKeyThreshold;
    held[static_cast<size_t>(FwKey::S)] = leftY >= kStickKeyThreshold;
    held[static_cast<size_t>(FwKey::A)] = leftX <= -kStickKeyThreshold;
    held[static_cast<size_t>(FwKey::D)] = leftX >= kStickKeyThreshold;
    held[static_cast<size_t>(FwKey::MouseLeft)] = gamepad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT) >= kTriggerThreshold;
    held[static_cast<size_t>(FwKey::MouseRight)] = gamepad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT) >= kTriggerThreshold;
    held[static_cast<size_t>(FwKey::Return)] = gamepad.Button(SDL_CONTROLLER_BUTTON_A) || start;
    held[static_cast<size_t>(FwKey::P)] = start;
    held[static_cast<size_t>(FwKey::Escape)] = gamepad.Button(SDL_CONTROLLER_BUTTON_BACK);
    held[static_cast<size_t>(FwKey::Up)] = gamepad.Button(SDL_CONTROLLER_BUTTON_DPAD_UP);
    held[static_cast<size_t>(FwKey::Down)] = gamepad.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    held[static_cast<size_t>(FwKey::Left)] = gamepad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    held[static_cast<size_t>(FwKey::Right)] = gamepad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    for (size_t i = 0; i < held.size(); ++i) {
        const bool wasDown = keys[i] || padKeys[i];
        padKeys[i] = held[i];
        if (held[i] && !wasDown) {
            pressed[i] = true;
        }
    }
    if (WasKeyPressed(FwKey::Escape) && !escapeCaptured) {
        closeRequested = true;
    }

    const float scale = kPadAimPixelsPerFrame * FwGetSettings().gamepadSensitivity;
    padAimX += gamepad.Axis(SDL_CONTROLLER_AXIS_RIGHTX) * scale;
    padAimY += gamepad.Axis(SDL_CONTROLLER_AXIS_RIGHTY) * scale;
    const float wholeX = std::trunc(padAimX);
    const float wholeY = std::trunc(padAimY);
    cursorX += static_cast<int>(wholeX);
    cursorY += static_cast<int>(wholeY);
    padAimX -= wholeX;
    padAimY -= wholeY;
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
    if (pointMoved) {
        RecordLine(FwInputEvent::Type::Point, recordedPointX, recordedPointY);
    }
    pointMoved = false;
    if (recordedMotionX != 0 || recordedMotionY != 0) {
        RecordLine(FwInputEvent::Type::Move, recordedMotionX, recordedMotionY);
    }
    recordedMotionX = 0;
    recordedMotionY = 0;
}

void FwInput::RecordLine(FwInputEvent::Type type, int dx, int dy, int control, bool down) {
    if (!recording.is_open()) {
        return;
    }
    FwInputEvent event;
    event.frame = frame;
    event.type = type;
    event.dx = dx;
    event.dy = dy;
    event.control = control;
    event.down = down;
    recording << FwFormatInputEvent(event) << '\n';
    recording.flush();
}

// A live controller is written as the virtual one that replays it: plugged in, then every change.
void FwInput::RecordGamepad() {
    if (!recording.is_open() || scripted) {
        return;
    }
    if (gamepad.Connected() != recordedPad.connected) {
        RecordLine(gamepad.Connected() ? FwInputEvent::Type::PadAttach : FwInputEvent::Type::PadDetach, 0, 0);
        recordedPad = RecordedPad{gamepad.Connected()};
    }
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
        const bool down = gamepad.Button(static_cast<SDL_GameControllerButton>(button));
        if (down != recordedPad.buttons[static_cast<size_t>(button)]) {
            RecordLine(FwInputEvent::Type::PadButton, 0, 0, button, down);
            recordedPad.buttons[static_cast<size_t>(button)] = down;
        }
    }
    for (int axis = 0; axis < SDL_CONTROLLER_AXIS_MAX; ++axis) {
        const int16_t value = gamepad.RawAxis(static_cast<SDL_GameControllerAxis>(axis));
        if (value != recordedPad.axes[static_cast<size_t>(axis)]) {
            RecordLine(FwInputEvent::Type::PadAxis, value, 0, axis);
            recordedPad.axes[static_cast<size_t>(axis)] = value;
        }
    }
}

void FwInput::StopRecording() {
    FlushRecordedMotion();
    recording.close();
}

void FwInput::Reset() {
    StopRecording();
    *this = FwInput();
}
