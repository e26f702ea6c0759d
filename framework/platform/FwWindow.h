#pragma once

#include <string>

struct SDL_Window;

// The game window: a fixed-size window whose client area is exactly the requested size. Esc and
// the close box destroy it, after which Hwnd() is null and the frame loop ends.
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
