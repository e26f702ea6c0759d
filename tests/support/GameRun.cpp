#include "tests/support/GameRun.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <stb_image.h>

#include "framework/graphics/FwDirect3D.h"

namespace {

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

}  // namespace

GameRunResult RunShell(const std::string& command) {
    GameRunResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    for (size_t count; (count = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
        result.output.append(buffer, count);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

GameRunResult RunGame(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                      std::chrono::seconds deadline) {
    return RunProgram(QUARNEL_EXE, args, environment, deadline);
}

GameRunResult RunProgram(const std::string& executable, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment, std::chrono::seconds deadline) {
    std::string command = "env";
    if (std::getenv("DISPLAY") == nullptr) {
        command += " SDL_VIDEODRIVER=offscreen";
    }
    for (const std::string& entry : environment) {
        command += " " + ShellQuote(entry);
    }
    command += " " + ShellQuote(executable);
    for (const std::string& arg : args) {
        command += " " + ShellQuote(arg);
    }

    GameRunResult result;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        result.output = "cannot make a pipe";
        return result;
    }
    const pid_t child = fork();
    if (child == 0) {
        // A process group of its own, so that the deadline stops the game and not only the shell.
        setpgid(0, 0);
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        result.output = "cannot start the game";
        return result;
    }
    setpgid(child, child);
    const auto stopAt = std::chrono::steady_clock::now() + deadline;
    bool timedOut = false;
    char buffer[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(stopAt - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd readable{pipeEnds[0], POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        const ssize_t count = read(pipeEnds[0], buffer, sizeof(buffer));
        if (count <= 0) {
            break;
        }
        result.output.append(buffer, static_cast<size_t>(count));
    }
    if (timedOut) {
        kill(-child, SIGKILL);
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (timedOut) {
        result.output += "\n[stopped: the game was still running after " + std::to_string(deadline.count()) + " s]\n";
        return result;
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::vector<std::string> StateOnly(std::vector<std::string> args) {
    args.insert(args.end(), {"--back-buffer", "320x180"});
    return args;
}

std::vector<std::string> HalfSize(std::vector<std::string> args) {
    args.insert(args.end(), {"--back-buffer", "640x360"});
    return args;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::duration<double> timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        // The one pause between polls in the tests: short, and only until the condition holds.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
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

void ExpectSameState(const nlohmann::json& expected, const nlohmann::json& actual, const std::string& path,
                     StateComparison& comparison) {
    int& differences = comparison.differences;
    if (differences > 20) {
        return;
    }
    if (expected.is_object()) {
        for (const auto& [key, value] : expected.items()) {
            if (key == "measuredFps") {
                continue;
            }
            if (!actual.contains(key)) {
                ADD_FAILURE() << path << "/" << key << " is missing";
                ++differences;
                continue;
            }
            ExpectSameState(value, actual[key], path + "/" + key, comparison);
        }
    } else if (expected.is_array()) {
        if (expected.size() != actual.size()) {
            ADD_FAILURE() << path << " has " << actual.size() << " entries, expected " << expected.size();
            ++differences;
            return;
        }
        for (size_t i = 0; i < expected.size(); ++i) {
            ExpectSameState(expected[i], actual[i], path + "/" + std::to_string(i), comparison);
        }
    } else if (expected.is_number_float() || actual.is_number_float()) {
        const double want = expected.get<double>();
        const double have = actual.get<double>();
        const double relative = std::fabs(want - have) / std::max(1.0, std::fabs(want));
        ++comparison.numbers;
        comparison.largest = std::max(comparison.largest, relative);
        if (relative > comparison.tolerance) {
            ADD_FAILURE() << path << " is " << have << ", expected " << want;
            ++differences;
        }
    } else if (expected != actual) {
        ADD_FAILURE() << path << " is " << actual.dump() << ", expected " << expected.dump();
        ++differences;
    }
}

std::vector<std::vector<float>> ReadLevelRecords(const std::string& path, size_t width) {
    std::ifstream file(path);
    std::vector<std::vector<float>> records;
    std::vector<float> record;
    float value = 0.0f;
    while (file >> value) {
        record.push_back(value);
        if (record.size() == width) {
            records.push_back(record);
            record.clear();
        }
    }
    return records;
}

const uint8_t* Image::At(int x, int y) const {
    static const uint8_t kOutside[4] = {0, 0, 0, 0};
    if (x < 0 || y < 0 || x >= width || y >= height) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is outside the " << width << "x" << height << " picture";
        return kOutside;
    }
    return &rgba[(static_cast<size_t>(y) * width + x) * 4];
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

double Image::Share(int x, int y, int w, int h, const std::function<bool(int, int, int)>& test) const {
    const double scale = width / 1280.0;
    const int x0 = static_cast<int>(x * scale);
    const int y0 = static_cast<int>(y * scale);
    const int x1 = std::max(x0 + 1, static_cast<int>((x + w) * scale));
    const int y1 = std::max(y0 + 1, static_cast<int>((y + h) * scale));
    int count = 0;
    for (int j = y0; j < y1; ++j) {
        for (int i = x0; i < x1; ++i) {
            const uint8_t* p = At(i, j);
            count += test(p[0], p[1], p[2]) ? 1 : 0;
        }
    }
    return static_cast<double>(count) / (static_cast<double>(x1 - x0) * (y1 - y0));
}

Image ReadBackBuffer() {
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    Image image;
    if (d3d.ReadBackBuffer(image.rgba)) {
        image.width = d3d.Width();
        image.height = d3d.Height();
    }
    return image;
}

std::vector<RouteStep> ReadRoute(const std::string& contentRoot, std::string& error) {
    std::ifstream file(contentRoot + "/TxtData/route.txt");
    if (!file) {
        error = "no TxtData/route.txt in " + contentRoot;
        return {};
    }
    std::vector<RouteStep> steps;
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        std::istringstream words(line);
        RouteStep step;
        if (!(words >> step.action) || step.action[0] == '#') {
            continue;
        }
        bool ok = true;
        if (step.action == "start") {
            ok = static_cast<bool>(words >> step.point.x >> step.point.y >> step.point.z);
        } else if (step.action == "walk" || step.action == "goal") {
            step.point.y = -7.5f;
            ok = static_cast<bool>(words >> step.point.x >> step.point.z);
        } else if (step.action == "shoot") {
            ok = static_cast<bool>(words >> step.breaker);
        } else {
            ok = false;
        }
        if (!ok) {
            error = "route line " + std::to_string(number) + " is not understood: " + line;
            return {};
        }
        steps.push_back(step);
    }
    if (steps.empty()) {
        error = "TxtData/route.txt in " + contentRoot + " has no steps";
    }
    return steps;
}

namespace {

// Enter at kTitleReturnFrame, held for two frames; the game scene is made at the end of the
// title's fade to black and runs its first update the frame after.
int FindGameStart() {
    constexpr int kFirst = 380;
    constexpr int kLast = 480;
    TempDir dir;
    WriteTextFile(dir.File("in.txt"), StartLevelScript());
    std::vector<uint32_t> frames;
    for (int frame = kFirst; frame <= kLast; ++frame) {
        frames.push_back(static_cast<uint32_t>(frame));
    }
    GameRunResult run;
    const auto snapshots = RunGameWithSnapshots(
        StateOnly({"--unlimited", "--seed", "7", "--input", dir.File("in.txt"), "--frames", std::to_string(kLast)}),
        frames, &run);
    if (run.exitCode != 0) {
        std::fprintf(stderr, "the run that looks for the game's first frame failed:\n%s\n", run.output.c_str());
        return -1;
    }
    for (const auto& [frame, state] : snapshots) {
        if (state["scene"] == "game") {
            return state["updates"] == 1 ? static_cast<int>(frame) : -1;
        }
    }
    return -1;
}

}  // namespace

std::string StartLevelScript() {
    return std::to_string(kTitleReturnFrame) + " key Return down\n" + std::to_string(kTitleReturnFrame + 2) +
           " key Return up\n";
}

std::string FightScript(int gameStart) {
    std::ifstream recorded(std::string(QUARNEL_SOURCE_DIR) + "/tests/data/fight/input.txt");
    EXPECT_TRUE(recorded) << "tests/data/fight/input.txt";
    std::ostringstream script;
    script << StartLevelScript();
    std::string line;
    while (std::getline(recorded, line)) {
        std::istringstream words(line);
        int frame = 0;
        std::string rest;
        if (line.empty() || line[0] == '#' || !(words >> frame) || !std::getline(words, rest)) {
            continue;
        }
        script << frame + gameStart << rest << "\n";
    }
    return script.str();
}

int GameStartFrame() {
    static const int frame = FindGameStart();
    return frame;
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
