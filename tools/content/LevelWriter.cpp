#include "tools/content/ContentWriters.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

// The level's variable content, placed to fit the stage model (StageModel.cpp): world units,
// floor at -7.5. Enemies stand with their hull origin at -3 (treads on the floor), drums with
// their centre at -5, breakers on walls at chest height facing into the room, and each laser
// stand with its post against the south wall of a passage, so its curtain spans the passage.

namespace {

struct Point {
    float x, y, z;
};

struct Breaker {
    Point position;
    float angle;  // degrees about y; 0 faces +z
};

struct Stand {
    int breaker;  // index into kBreakers
    Point position;
    float angle;
};

const Point kPlayerStart{38, -7.5f, -8};

const Point kEnemies[] = {
    {46, -3, 40},                                                     // hangar, north-east
    {30, -3, 88},                                                     // armory
    {-58, -3, -18},  {-75, -3, 20},  {-95, -3, 0},                    // room C
    {-150, -3, -20}, {-150, -3, 18}, {-174, -3, -6}, {-172, -3, 22},  // room E
    {-200, -3, -10}, {-204, -3, 12}, {-220, -3, -2},                  // elevator hall F
};

const Point kDrums[] = {
    {24, -5, -12}, {54, -5, 8},                      // hangar
    {-55, -5, 8},  {-76, -5, -12},  {-98, -5, 20},   // room C
    {-150, -5, 6}, {-168, -5, -24}, {-156, -5, 25},  // room E
    {-206, -5, 8}, {-215, -5, -11},                  // hall F
};

const Breaker kBreakers[] = {
    {{24, -3, 50}, 180},    // hangar north wall: armory curtain
    {{16, -3, 14}, 90},     // hangar west wall: corridor B curtain
    {{-110, -3, -14}, 90},  // room C west wall: both corridor D curtains
    {{-183, -3, 14}, 90},   // room E west wall: the gate to the elevator hall
};

const Stand kStands[] = {
    {0, {32, -1, 57}, 90},      // across the armory passage, beams running east
    {1, {0, -1, -5.5f}, 0},     // corridor B
    {2, {-115, -1, -5.5f}, 0},  // corridor D, east curtain
    {2, {-135, -1, -5.5f}, 0},  // corridor D, west curtain
    {3, {-185, -1, -5.5f}, 0},  // gate to hall F
};

// The play-through route: walk from point to point, stop to shoot breakers, end in the cabin.
// It keeps off the middle of the 12-wide armory passage, where the camera's pivot, 6 to the
// right of the chest, would land exactly on the wall.
struct RouteStep {
    const char* action;  // "walk" x z, "shoot" breaker, "goal" x z
    float a, b;
};

const RouteStep kRoute[] = {
    {"walk", 38, 24},  {"shoot", 0, 0},   {"walk", 37, 60}, {"walk", 37, 76},  {"walk", 37, 44},   {"walk", 30, 8},
    {"shoot", 1, 0},   {"walk", 12, 0},   {"walk", -46, 0}, {"walk", -90, -4}, {"shoot", 2, 0},    {"walk", -104, 0},
    {"walk", -146, 0}, {"walk", -166, 2}, {"shoot", 3, 0},  {"walk", -195, 0}, {"walk", -224, -1}, {"goal", -237, -1},
};

std::string PointText(const Point& p) {
    std::ostringstream text;
    text << p.x << ' ' << p.y << ' ' << p.z;
    return text.str();
}

bool WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    if (!file) {
        std::cerr << "quarnel_content: cannot write " << path.string() << "\n";
        return false;
    }
    return true;
}

std::string RouteText() {
    std::ostringstream text;
    text << "# Play-through route: see docs/route.md\n";
    text << "start " << PointText(kPlayerStart) << "\n";
    for (const RouteStep& step : kRoute) {
        text << step.action << ' ' << step.a;
        if (std::string(step.action) != "shoot") {
            text << ' ' << step.b;
        }
        text << "\n";
    }
    return text.str();
}

}  // namespace

bool WriteLevel(const std::string& root) {
    const std::filesystem::path folder = std::filesystem::path(root) / "TxtData";
    std::error_code error;
    std::filesystem::create_directories(folder, error);

    std::ostringstream start, enemies, drums, breakers, stands;
    start << PointText(kPlayerStart) << " 0\n";
    for (const Point& p : kEnemies) {
        enemies << PointText(p) << "\n";
    }
    for (const Point& p : kDrums) {
        drums << PointText(p) << "\n";
    }
    for (const Breaker& b : kBreakers) {
        breakers << PointText(b.position) << ' ' << b.angle << "\n";
    }
    for (const Stand& s : kStands) {
        stands << s.breaker << ' ' << PointText(s.position) << ' ' << s.angle << "\n";
    }
    bool ok = WriteText(folder / "data.txt", start.str());
    ok = WriteText(folder / "Enemydata.txt", enemies.str()) && ok;
    ok = WriteText(folder / "drumdata.txt", drums.str()) && ok;
    ok = WriteText(folder / "breaker.txt", breakers.str()) && ok;
    ok = WriteText(folder / "installatioStand.txt", stands.str()) && ok;
    return WriteText(folder / "route.txt", RouteText()) && ok;
}
