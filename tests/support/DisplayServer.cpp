#include "tests/support/DisplayServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "tests/support/GameRun.h"

namespace {

constexpr std::chrono::seconds kStartTimeout{15};

}  // namespace

DisplayServer::DisplayServer(DisplayServer&& other) noexcept
    : pid(std::exchange(other.pid, -1)),
      error(std::move(other.error)),
      directory(std::exchange(other.directory, "")),
      environment(std::move(other.environment)) {}

DisplayServer::~DisplayServer() {
    if (pid > 0) {
        kill(-pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
    }
    if (!directory.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }
}

// Runs `command` in a process group of its own, output to the log; file descriptor 3 of the
// child is the write end of `notify` when it is given.
bool DisplayServer::Start(const std::string& command) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quarnel-display-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        error = "cannot make a runtime folder";
        return false;
    }
    directory = pattern;
    chmod(directory.c_str(), 0700);
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        const int log = open((directory + "/log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        setenv("XDG_RUNTIME_DIR", directory.c_str(), 1);
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    pid = child;
    if (child < 0) {
        error = "cannot fork";
    }
    return child > 0;
}

std::string DisplayServer::Log() const { return directory.empty() ? "" : ReadTextFile(directory + "/log"); }

DisplayServer DisplayServer::Xvfb(int width, int height) {
    DisplayServer server;
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) {
        server.error = "Xvfb is not installed";
        return server;
    }
    // Xvfb picks a free display number itself and writes it to the file descriptor given.
    int notify[2];
    if (pipe(notify) != 0) {
        server.error = "cannot make a pipe";
        return server;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const bool started =
        server.Start("Xvfb -displayfd " + std::to_string(notify[1]) + " -screen 0 " + size + " -nolisten tcp -noreset");
    close(notify[1]);
    std::string number;
    pollfd wait{notify[0], POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (started && std::chrono::steady_clock::now() < deadline && poll(&wait, 1, 200) >= 0) {
        char c = 0;
        if ((wait.revents & (POLLIN | POLLHUP)) != 0 && read(notify[0], &c, 1) != 1) {
            break;
        }
        if (c == '\n') {
            break;
        }
        if (c >= '0' && c <= '9') {
            number += c;
        }
    }
    close(notify[0]);
    if (number.empty()) {
        server.error = "Xvfb did not start: " + server.Log();
        return server;
    }
    server.environment = {"DISPLAY=:" + number};
    return server;
}

DisplayServer DisplayServer::WestonOnX(const DisplayServer& x, int width, int height) {
    DisplayServer server;
    if (std::system("command -v weston >/dev/null 2>&1") != 0) {
        server.error = "weston is not installed";
        return server;
    }
    if (!x.Running() || !server.Start("env " + x.Environment()[0] +
                                      " weston --backend=x11-backend.so --use-pixman --socket=quarnel --idle-time=0"
                                      " --width=" +
                                      std::to_string(width) + " --height=" + std::to_string(height))) {
        server.error = "no X server for weston: " + x.Error();
        return server;
    }
    const std::string socket = server.directory + "/quarnel";
    if (!WaitUntil([&] { return std::filesystem::exists(socket); }, kStartTimeout)) {
        server.error = "weston did not open its socket: " + server.Log();
        return server;
    }
    server.environment = {"XDG_RUNTIME_DIR=" + server.directory, "WAYLAND_DISPLAY=quarnel", "SDL_VIDEODRIVER=wayland"};
    return server;
}
