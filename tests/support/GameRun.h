#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Runs the real game binary and reads what it wrote: the way integration tests drive the game.

struct GameRunResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// Runs build/quarnel with `args` (and `environment` entries "NAME=value" added). A display is
// arranged when none exists (SDL's offscreen driver), and sound stays silent unless the caller
// sets ALSOFT_* itself.
GameRunResult RunGame(const std::vector<std::string>& args, const std::vector<std::string>& environment = {});

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

// An RGBA picture read back from a PNG; pixel (x, y) counts from the top-left.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    bool Empty() const { return rgba.empty(); }
    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    // Average colour of a rectangle, as 0..255 per channel.
    void Average(int x, int y, int w, int h, double out[3]) const;
};

Image ReadPng(const std::string& path);
