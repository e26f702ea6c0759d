#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "framework/platform/FwGamepad.h"
#include "framework/platform/FwScreen.h"

union SDL_Event;

// The keys and buttons the game polls; the mouse buttons come last.
enum class FwKey {
    W,
    A,
    S,
    D,
    Return,
    Escape,
    O,
    Up,
    Down,
    Left,
    Right,
    P,
    F3,
    F11,
    F12,
    Alt,
    MouseLeft,
    MouseRight,
    Count
};

// One line of an input script: "<frame> key W down", "<frame> move 12 -3", "<frame> pad axis lefty -32767", ...
// "key" names the game's key whatever it is bound to; "scancode <name> <down|up>" presses a
// physical key by SDL's scancode name, which goes through the player's bindings.
struct FwInputEvent {
    enum class Type { Key, Move, Wheel, Focus, Quit, Point, Resize, PadAttach, PadDetach, PadButton, PadAxis, Scancode };

    uint32_t frame = 0;
    Type type = Type::Key;
    FwKey key = FwKey::W;
    bool down = false;  // key or button pressed; focus on
    int dx = 0;         // mouse movement or pointer position in pixels, wheel notches in dx, window size, axis value
    int dy = 0;
    int control = 0;  // the pad's button or axis, or the physical key, in SDL's numbering
};

// Parses a whole script. On a malformed line returns false with "line N: why" in `error`.
bool FwParseInputScript(const std::string& text, std::vector<FwInputEvent>& events, std::string& error);
std::string FwFormatInputEvent(const FwInputEvent& event);

// Where the game's 1280x720 picture lands in a width by height window: the largest rectangle of
// its shape, centred, with black bars on the two other sides.
struct FwViewRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
FwViewRect FwLetterbox(int width, int height);

// Polled keyboard, mouse, gamepad and focus state, fed once a frame by the window's message pump
// from live SDL events or from a script. Scenes and actors read it the way they would ask the
// system for the asynchronous key state, the active window and the cursor position.
class FwInput {
public:
    static FwInput& GetInstance();

    // Held on the keyboard or by the gamepad standing in for it (see PollGamepad).
    bool IsKeyDown(FwKey key) const;
    // Went down during this frame's pump: for keys that toggle something once per press.
    bool WasKeyPressed(FwKey key) const { return pressed[static_cast<size_t>(key)]; }
    bool IsWindowActive() const;
    // Cursor position relative to the client centre ("home"): the mouse movement gathered since
    // the last ReturnCursorHome.
    void GetCursorOffset(int& dx, int& dy) const;
    void ReturnCursorHome();
    // A hidden cursor is captured (relative mouse mode) while the window is active, so the mouse
    // can turn without limit; losing focus lets it go.
    void ShowCursor(bool show);
    bool IsCursorShown() const { return cursorShown; }
    bool MouseCaptured() const { return captured; }
    // The pointer in the 2D layout's units (origin at the picture's centre, y up, 1280x720 across
    // the picture whatever the window's size); outside the picture it lies beyond +-640 or +-360.
    float PointerX() const { return pointerX; }
    float PointerY() const { return pointerY; }
    bool GamepadConnected() const { return gamepad.Connected(); }

    // Replaces live input with a parsed script for the rest of the run.
    void UseScript(std::vector<FwInputEvent> events);
    bool IsScripted() const { return scripted; }
    // Writes the live input of the rest of the run as a script.
    bool StartRecording(const std::string& path, std::string& error);

    // Called by the message pump: starts the next frame (frames count from 1) and applies the
    // script's events for it.
    void BeginFrame();
    void HandleEvent(const SDL_Event& event);
    // After the pump: the gamepad's sticks, triggers and buttons stand in for keys and the mouse.
    // Left stick: W A S D; right stick: mouse movement scaled by the gamepad sensitivity; right
    // trigger: left button (gun); left trigger: right button (beam); A: Return; Start: Return and
    // P; Back: Escape.
    void PollGamepad();
    // The client area's size in window units, for mapping the pointer.
    void SetWindowSize(int width, int height);
    // Escape pressed or quit asked during this frame.
    bool CloseRequested() const { return closeRequested; }
    // F11 or Alt+Return pressed during this frame.
    bool FullscreenToggleRequested() const { return fullscreenToggleRequested; }
    // A script asked for this client size (0 by 0: none), as a player dragging the border does.
    int RequestedWidth() const { return requestedWidth; }
    int RequestedHeight() const { return requestedHeight; }
    // While captured, Escape is a key like the others for a screen that leaves on it, and does not
    // close the window.
    void CaptureEscape(bool capture) { escapeCaptured = capture; }
    // The physical key (SDL scancode) that went down last during this frame's pump, bound or not;
    // SDL_SCANCODE_UNKNOWN when none did. The Controls page binds it.
    int PressedScancode() const { return pressedScancode; }
    // A rumble of the gamepad, if one is connected and the rumble setting is on: `strength` 0 to 1
    // for `milliseconds`.
    void Rumble(float strength, uint32_t milliseconds);
    // What the script's virtual controller was asked to rumble (see FwGamepad::VirtualRumble).
    const FwVirtualRumble& VirtualRumble() const { return gamepad.VirtualRumble(); }
    // Wheel notches of this frame (the last wheel event wins), 0 when none.
    int WheelNotches() const { return wheelNotches; }
    uint32_t Frame() const { return frame; }

    // Writes what the frame still holds (its summed mouse movement, written with the next frame
    // otherwise) and closes the recording, if one is open.
    void StopRecording();
    // Back to the start-up state (for tests that drive several runs in one process).
    void Reset();

private:
    void Apply(const FwInputEvent& event);
    void SetKey(FwKey key, bool down);
    void SetScancode(int scancode, bool down);
    void ApplyCapture();
    void SetPointer(int x, int y);
    void Record(const FwInputEvent& event);
    void RecordLine(FwInputEvent::Type type, int dx, int dy, int control = 0, bool down = false);
    void RecordGamepad();
    void FlushRecordedMotion();

    std::array<bool, static_cast<size_t>(FwKey::Count)> keys{};
    std::array<bool, static_cast<size_t>(FwKey::Count)> padKeys{};
    std::array<bool, static_cast<size_t>(FwKey::Count)> pressed{};
    bool windowActive = true;
    int cursorX = 0;
    int cursorY = 0;
    // Right-stick movement not yet a whole pixel.
    float padAimX = 0.0f;
    float padAimY = 0.0f;
    bool cursorShown = true;
    bool captured = false;
    float pointerX = 0.0f;
    float pointerY = 0.0f;
    int windowWidth = kScreenWidth;
    int windowHeight = kScreenHeight;
    bool closeRequested = false;
    bool fullscreenToggleRequested = false;
    int requestedWidth = 0;
    int requestedHeight = 0;
    bool escapeCaptured = false;
    int wheelNotches = 0;
    int pressedScancode = 0;
    uint32_t frame = 0;
    FwGamepad gamepad;

    bool scripted = false;
    std::vector<FwInputEvent> script;
    size_t nextScriptEvent = 0;

    std::ofstream recording;
    int recordedMotionX = 0;
    int recordedMotionY = 0;
    // What the recording last wrote of the gamepad.
    struct RecordedPad {
        bool connected = false;
        std::array<bool, SDL_CONTROLLER_BUTTON_MAX> buttons{};
        std::array<int16_t, SDL_CONTROLLER_AXIS_MAX> axes{};
    };
    RecordedPad recordedPad;
    // The live pointer's last window position this frame, written as one "point" line.
    bool pointMoved = false;
    int recordedPointX = 0;
    int recordedPointY = 0;
};
