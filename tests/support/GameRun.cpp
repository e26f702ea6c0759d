#include "tests/support/GameRun.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <stb_image.h>

namespace {

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

GameRunResult RunGame(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
    std::string command = "env";
    if (std::getenv("DISPLAY") == nullptr) {
        command += " SDL_VIDEODRIVER=offscreen";
    }
    for (const std::string& entry : environment) {
        command += " " + ShellQuote(entry);
    }
    command += " " + ShellQuote(QUARNEL_EXE);
    for (const std::string& arg : args) {
        command += " " + ShellQuote(arg);
    }
    command += " 2>&1";

    GameRunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        result.output.append(buffer, count);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::map<uint32_t, nlohmann::json> RunGameWithSnapshots(const std::vector<std::string>& args,
                                                        const std::vector<uint32_t>& frames, GameRunResult* run,
                                                        const std::vector<std::string>& environment) {
    TempDir dir;
    std::vector<std::string> allArgs = args;
    for (const uint32_t frame : frames) {
        allArgs.push_back("--dump-state");
        allArgs.push_back(std::to_string(frame) + ":" + dir.File(std::to_string(frame) + ".json"));
    }
    const GameRunResult result = RunGame(allArgs, environment);
    if (run != nullptr) {
        *run = result;
    }
    std::map<uint32_t, nlohmann::json> snapshots;
    for (const uint32_t frame : frames) {
        const std::string path = dir.File(std::to_string(frame) + ".json");
        if (std::filesystem::exists(path)) {
            snapshots[frame] = ReadJsonFile(path);
        }
    }
    return snapshots;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quarnel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path = pattern;
    }
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
}

void WriteTextFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

nlohmann::json ReadJsonFile(const std::string& path) {
    return nlohmann::json::parse(ReadTextFile(path), nullptr, false);
}

void Image::Average(int x, int y, int w, int h, double out[3]) const {
    out[0] = out[1] = out[2] = 0.0;
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) {
            for (int c = 0; c < 3; ++c) {
                out[c] += At(i, j)[c];
            }
        }
    }
    for (int c = 0; c < 3; ++c) {
        out[c] /= static_cast<double>(w) * h;
    }
}

Image ReadPng(const std::string& path) {
    Image image;
    int channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &image.width, &image.height, &channels, 4);
    if (pixels != nullptr) {
        image.rgba.assign(pixels, pixels + static_cast<size_t>(image.width) * image.height * 4);
        stbi_image_free(pixels);
    }
    return image;
}
