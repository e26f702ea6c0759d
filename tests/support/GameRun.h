#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "framework/math/SimpleMath.h"

// Runs the real game binary and reads what it wrote: the way integration tests drive the game.

struct GameRunResult {
    int exitCode = -1;   // -1 when the run could not start or was stopped at its deadline
    std::string output;  // standard output and standard error together, then the reason it was stopped
};

// Longest a game run may take before it is killed and reported as a failure.
constexpr std::chrono::seconds kGameRunDeadline{400};

// Runs build/quarnel with `args` (and `environment` entries "NAME=value" added). A display is
// arranged when none exists (SDL's offscreen driver), and sound stays silent unless the caller
// sets ALSOFT_* itself. A run still going at `deadline` is killed.
GameRunResult RunGame(const std::vector<std::string>& args, const std::vector<std::string>& environment = {},
                      std::chrono::seconds deadline = kGameRunDeadline);
// The same for another copy of the game (an installed one, say).
GameRunResult RunProgram(const std::string& executable, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment = {},
                         std::chrono::seconds deadline = kGameRunDeadline);

// Standard output and standard error of a shell command, and its exit code (-1 when it did not
// exit by itself).
GameRunResult RunShell(const std::string& command);

// For runs whose checks read state and not pixels: a quarter-size back buffer draws the same
// frames many times faster under software rendering.
std::vector<std::string> StateOnly(std::vector<std::string> args);
// For long runs whose screenshots are checked by coarse regions (Image::Share): half size.
std::vector<std::string> HalfSize(std::vector<std::string> args);

// Polls `condition` until it holds or `timeout` passes; false on timeout.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::duration<double> timeout);

// Runs the game with `args` plus a state snapshot after each of `frames`; the snapshots come back
// by frame (a frame the run did not reach is missing). `run` receives the process result.
std::map<uint32_t, nlohmann::json> RunGameWithSnapshots(const std::vector<std::string>& args,
                                                        const std::vector<uint32_t>& frames,
                                                        GameRunResult* run = nullptr,
                                                        const std::vector<std::string>& environment = {});

// A fresh empty directory below the system temp folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
nlohmann::json ReadJsonFile(const std::string& path);
// Compares two state snapshots field by field: strings, flags and counts exactly, other numbers to
// `tolerance` relative (absolute below 1), the measured frame rate left out. Failures are reported
// as test failures, at most 20 of them.
struct StateComparison {
    double tolerance = 1e-5;
    int differences = 0;
    int numbers = 0;         // numbers compared
    double largest = 0.0;    // largest relative difference among them
};
void ExpectSameState(const nlohmann::json& expected, const nlohmann::json& actual, const std::string& path,
                     StateComparison& comparison);

// The records of a level file as groups of `width` numbers (a cut-short last group is left out).
std::vector<std::vector<float>> ReadLevelRecords(const std::string& path, size_t width);

// An RGBA picture read back from a PNG; pixel (x, y) counts from the top-left.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    bool Empty() const { return rgba.empty(); }
    // Outside the picture (a test reading 1280x720 positions from a smaller back buffer, say): a
    // test failure naming the pixel, and a black pixel.
    const uint8_t* At(int x, int y) const;
    // Average colour of a rectangle, as 0..255 per channel.
    void Average(int x, int y, int w, int h, double out[3]) const;
    // Share of the pixels in a rectangle whose colour passes `test` (r, g, b as 0..255). The
    // rectangle is in 1280x720 screen pixels and scaled to the picture, which may be smaller.
    double Share(int x, int y, int w, int h, const std::function<bool(int, int, int)>& test) const;
};

Image ReadPng(const std::string& path);
// The graphics device's back buffer as drawn so far (before presenting).
Image ReadBackBuffer();

// The level's play-through route, "TxtData/route.txt" of the content tree at `contentRoot`.
struct RouteStep {
    std::string action;  // "start", "walk", "shoot" or "goal"
    Vector3 point;       // walk, goal, start: where (y at the floor for walk and goal)
    int breaker = -1;    // shoot: index into the breaker list
};
// Empty with the reason in `error` when the file is missing or a line is not understood.
std::vector<RouteStep> ReadRoute(const std::string& contentRoot, std::string& error);

// The frame on the title timeline to press Enter at (the title has faded in), and the first
// frame the game scene updates after it, found once per process by a run of the real game; -1
// when that run finds no game scene.
constexpr int kTitleReturnFrame = 310;
int GameStartFrame();
// The input script's lines that start the level from the title: Enter at kTitleReturnFrame, held
// for two frames as a person would.
std::string StartLevelScript();
// The same, then the fight driver's recorded input for the shipped level (seed 7,
// tests/data/fight/input.txt), its frames moved to count from `gameStart`.
std::string FightScript(int gameStart);
