#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A display server of a test's own, stopped with the object: an X server of a chosen screen
// size, or a headless Wayland compositor. Games run on it get its variables in Environment().
class DisplayServer {
public:
    // Xvfb with one screen of width x height; empty (Running() false, reason in Error()) when it
    // cannot start.
    static DisplayServer Xvfb(int width, int height);
    // Weston with the pixman renderer in a runtime folder of its own, its output a width x height
    // window on the X server `x`. (Weston's headless back end offers no seat, and SDL 2.26's
    // Wayland driver crashes in its start-up without one.)
    static DisplayServer WestonOnX(const DisplayServer& x, int width, int height);

    DisplayServer(DisplayServer&& other) noexcept;
    DisplayServer& operator=(DisplayServer&&) = delete;
    ~DisplayServer();

    bool Running() const { return pid > 0 && error.empty(); }
    const std::string& Error() const { return error; }
    // "DISPLAY=:N", or "WAYLAND_DISPLAY=..." with its XDG_RUNTIME_DIR and SDL_VIDEODRIVER=wayland.
    const std::vector<std::string>& Environment() const { return environment; }
    // What the server wrote to standard output and error so far.
    std::string Log() const;

private:
    DisplayServer() = default;
    bool Start(const std::string& command);

    pid_t pid = -1;
    std::string error;
    std::string directory;
    std::vector<std::string> environment;
};
