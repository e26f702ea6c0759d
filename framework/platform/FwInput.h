#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

union SDL_Event;

// The keys and buttons the game polls.
enum class FwKey { W, A, S, D, Return, Escape, O, Up, Down, Left, Right, MouseLeft, MouseRight, Count };

// One line of an input script: "<frame> key W down", "<frame> move 12 -3", ...
struct FwInputEvent {
    enum class Type { Key, Move, Wheel, Focus, Quit };

    uint32_t frame = 0;
    Type type = Type::Key;
    FwKey key = FwKey::W;
    bool down = false;  // key or button pressed; focus on
    int dx = 0;         // mouse movement in pixels, or wheel notches in dx
    int dy = 0;
};

// Parses a whole script. On a malformed line returns false with "line N: why" in `error`.
bool FwParseInputScript(const std::string& text, std::vector<FwInputEvent>& events, std::string& error);
std::string FwFormatInputEvent(const FwInputEvent& event);

// Polled keyboard, mouse and focus state, fed once a frame by the window's message pump from live
// SDL events or from a script. Scenes and actors read it the way they would ask the system for the
// asynchronous key state, the active window and the cursor position.
class FwInput {
public:
    static FwInput& GetInstance();

    bool IsKeyDown(FwKey key) const;
    bool IsWindowActive() const;
    // Cursor position relative to the client centre ("home"): the mouse movement gathered since
    // the last ReturnCursorHome.
    void GetCursorOffset(int& dx, int& dy) const;
    void ReturnCursorHome();
    // A hidden cursor is captured (relative mouse mode), so the mouse can turn without limit.
    void ShowCursor(bool show);
    bool IsCursorShown() const { return cursorShown; }

    // Replaces live input with a parsed script for the rest of the run.
    void UseScript(std::vector<FwInputEvent> events);
    bool IsScripted() const { return scripted; }
    // Writes the live input of the rest of the run as a script.
    bool StartRecording(const std::string& path, std::string& error);

    // Called by the message pump: starts the next frame (frames count from 1) and applies the
    // script's events for it.
    void BeginFrame();
    void HandleEvent(const SDL_Event& event);
    // Escape pressed or quit asked during this frame.
    bool CloseRequested() const { return closeRequested; }
    // While captured, Escape is a key like the others for a screen that leaves on it, and does not
    // close the window.
    void CaptureEscape(bool capture) { escapeCaptured = capture; }
    // Wheel notches of this frame (the last wheel event wins), 0 when none.
    int WheelNotches() const { return wheelNotches; }
    uint32_t Frame() const { return frame; }

    // Back to the start-up state (for tests that drive several runs in one process).
    void Reset();

private:
    void Apply(const FwInputEvent& event);
    void Record(const FwInputEvent& event);
    void FlushRecordedMotion();

    std::array<bool, static_cast<size_t>(FwKey::Count)> keys{};
    bool windowActive = true;
    int cursorX = 0;
    int cursorY = 0;
    bool cursorShown = true;
    bool closeRequested = false;
    bool escapeCaptured = false;
    int wheelNotches = 0;
    uint32_t frame = 0;

    bool scripted = false;
    std::vector<FwInputEvent> script;
    size_t nextScriptEvent = 0;

    std::ofstream recording;
    int recordedMotionX = 0;
    int recordedMotionY = 0;
};
