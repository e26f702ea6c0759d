#include "framework/platform/FwScreenshotFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// XDG_PICTURES_DIR="$HOME/Pictures" from user-dirs.dirs, with $HOME expanded; empty when absent.
std::string PicturesFromUserDirs(const std::string& home) {
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty()) {
        config = home + "/.config";
    }
    std::ifstream file(config + "/user-dirs.dirs");
    const std::string key = "XDG_PICTURES_DIR=\"";
    for (std::string line; std::getline(file, line);) {
        if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0) {
            value = home + value.substr(5);
        }
        if (!value.empty() && value.front() == '/') {
            return value;
        }
    }
    return "";
}

}  // namespace

std::string FwScreenshotDir() {
    const std::string pictures = Environment("XDG_PICTURES_DIR");
    if (!pictures.empty() && pictures.front() == '/') {
        return pictures + "/quarnel";
    }
    const std::string home = Environment("HOME");
    const std::string named = PicturesFromUserDirs(home);
    return (named.empty() ? home + "/Pictures" : named) + "/quarnel";
}

std::string FwWriteScreenshotFile(const std::string& dir, const std::vector<uint8_t>& png, std::time_t when) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "cannot make %s: %s\n", dir.c_str(), error.message().c_str());
        return "";
    }
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    for (int copy = 1; copy < 1000; ++copy) {
        const std::string path = dir + "/quarnel-" + stamp + (copy == 1 ? "" : "-" + std::to_string(copy)) + ".png";
        // O_EXCL: a file that appeared since the name was chosen is never overwritten.
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            return "";
        }
        size_t written = 0;
        while (written < png.size()) {
            const ssize_t step = write(fd, png.data() + written, png.size() - written);
            if (step <= 0) {
                break;
            }
            written += static_cast<size_t>(step);
        }
        if (close(fd) != 0 || written != png.size()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            unlink(path.c_str());
            return "";
        }
        return path;
    }
    std::fprintf(stderr, "cannot write a screenshot in %s: every name of this second is taken\n", dir.c_str());
    return "";
}
