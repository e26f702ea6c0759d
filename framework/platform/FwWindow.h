#pragma once

#include <string>

struct SDL_Window;

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
    // Between a window on the desktop and the whole screen; the setting follows.
    void ToggleFullscreen();
    bool IsFullscreen() const;

    SDL_Window* Hwnd() const { return hwnd; }
    int MouseWheel() const { return mouseWheel; }

private:
    void Close();

    SDL_Window* hwnd = nullptr;
    int mouseWheel = 0;
    // A closed window is only hidden until Destroy: the graphics context made on it must be
    // released first, which the frame loop does after it sees the null handle.
    SDL_Window* closed = nullptr;
};
