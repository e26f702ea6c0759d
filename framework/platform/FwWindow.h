#pragma once

#include <string>

struct SDL_Window;

// Asks SDL for the GL the renderer is written for: OpenGL 3.3 core, or in a browser WebGL 2
// (OpenGL ES 3.0). Set before the window and again before its context is made.
void FwRequestGLContext();

// False when there is no display to show the game on: neither DISPLAY nor WAYLAND_DISPLAY is set,
// or SDL found neither and fell back to a driver that shows nothing. A driver asked for with
// SDL_VIDEODRIVER (the tests and automated runs ask for "offscreen") always counts.
bool FwHasDisplay();

// The game window: its client area starts at exactly the requested size and can be resized or
// made fullscreen (F11, Alt+Return); the picture is scaled into it (FwLetterbox). Esc and the
// close box destroy it, after which Hwnd() is null and the frame loop ends.
class FwWindow {
public:
    FwWindow() = default;
    FwWindow(const FwWindow&) = delete;
    FwWindow& operator=(const FwWindow&) = delete;
    ~FwWindow();

    bool Create(int width, int height, const std::string& title, const std::string& className);
    // Drains the event queue once per frame; returns false when the application was asked to quit.
    bool ProcessMessages();
    void Destroy();
    bool IsFullscreen() const;

    SDL_Window* Hwnd() const { return hwnd; }
    int MouseWheel() const { return mouseWheel; }

private:
    void Close();
    // The window follows the fullscreen setting, which F11, Alt+Return and the options screen change.
    void FollowFullscreenSetting();

    SDL_Window* hwnd = nullptr;
    int mouseWheel = 0;
    // A closed window is only hidden until Destroy: the graphics context made on it must be
    // released first, which the frame loop does after it sees the null handle.
    SDL_Window* closed = nullptr;
};
