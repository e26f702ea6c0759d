#pragma once

// A player for the stock level with its enemies, one frame of input at a time, inside the process
// that runs the game scene (so it sees where the enemies are): it walks the level's route with W
// and the mouse, shoots each breaker the route names until it breaks, and whenever a robot it can
// see comes within 30 units it stops, turns the sighting mark onto it and fires until it is down,
// walks back to where it stopped and goes on. Used by the play-through test and the rendered-frames
// benchmark.

#include <cstddef>
#include <string>
#include <vector>

#include "framework/math/SimpleMath.h"
#include "framework/platform/FwInput.h"

class C_Enemy;
class C_Game;

// One step of TxtData/route.txt: walk (or the final goal walk) to (x, z), or shoot breaker `breaker`.
struct RouteLeg {
    bool shoot = false;
    float x = 0.0f;
    float z = 0.0f;
    int breaker = 0;
};

// The route of the content tree at `contentRoot`; false when it is missing or has no step.
bool ReadLegs(const std::string& contentRoot, Vector3& start, std::vector<RouteLeg>& legs);
// Groups of `width` numbers of a level file of the content tree at `contentRoot` (one per record).
std::vector<std::vector<float>> ReadRecords(const std::string& contentRoot, const std::string& name, size_t width);

Vector3 FacingOf(float degrees);
// Aim at the centre of a breaker's front, 1.6 in front of its position along its facing.
Vector3 BreakerFront(const std::vector<float>& record);

// Input as the window's events would bring it.
void FeedKey(FwKey key, bool down);
void FeedMouseMove(int dx, int dy);

class FightDriver {
public:
    static constexpr float kWalkSpeed = 0.5f;
    static constexpr float kDegreesPerPixel = 0.25f;

    // Reads the route and the breakers of the content tree at `contentRoot`; Ready() says whether
    // there was a route.
    explicit FightDriver(const std::string& contentRoot);

    bool Ready() const { return !route.empty(); }
    // Feeds the input of the next frame of `game`. False once there is nothing left to do: the
    // route is walked, the ending has begun or the player is down; all keys are then released.
    bool Step(const C_Game& game);
    // A robot was in sight and range in the last step.
    bool Engaged() const { return engaged; }
    size_t RouteStep() const { return step; }

private:
    static constexpr float kFightRange = 30.0f;
    static constexpr float kOnTarget = 1.5f;
    static constexpr float kFloor = -7.5f;

    // One frame of mouse movement toward looking at `target` from the camera; true once the
    // camera ray points within kOnTarget degrees of it.
    static bool AimAt(const C_Game& game, const Vector3& target);
    // The nearest living enemy within range that the camera can see.
    static const C_Enemy* Foe(const C_Game& game);
    static Vector3 ChestOf(const C_Enemy& enemy);

    std::vector<RouteLeg> route;
    std::vector<std::vector<float>> breakers;
    size_t step = 0;
    bool fighting = false;
    bool engaged = false;
    Vector3 resume;
};
