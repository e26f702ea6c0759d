#pragma once

#include <set>
#include <string>
#include <vector>

#include "framework/math/SimpleMath.h"
#include "framework/platform/FwInput.h"

class C_Enemy;
class C_Game;

// Input to FwInput as the window's events would give it.
void FeedKey(FwKey key, bool down);
void FeedMouseMove(int dx, int dy);

// Plays a level with enemies the way a player would, from inside the process so that it sees
// where the enemies are: it walks TxtData/route.txt with W and the mouse, shoots each breaker the
// route names until it breaks, and whenever a robot it can see comes within 30 units it stops,
// turns the sighting mark onto it and fires until it is down, walks back to where it stopped and
// goes on. Used by the play-through test and the benchmarks.
class FightDriver {
public:
    // Reads the route and the breakers of the content tree at `contentRoot`; false with the reason
    // in `error` when they cannot be read.
    bool Load(const std::string& contentRoot, std::string& error);

    // Sets this frame's input from the game's state, before the frame runs. False once the route
    // is done, the ending has started or the player is down: then every key is released.
    bool Step(const C_Game& game);

    // A robot was in sight and range in the last step.
    bool Engaged() const { return engaged; }
    size_t EnemiesDown() const { return downed.size(); }
    size_t RouteStep() const { return step; }

private:
    struct Leg {
        bool shoot = false;
        Vector3 point;   // walk: where to go
        Vector3 target;  // shoot: the front of the breaker
        size_t breaker = 0;
    };

    // One frame of mouse movement toward looking at `target`; true once on target.
    static bool AimAt(const C_Game& game, const Vector3& target);
    // The nearest living enemy within range that the camera can see.
    static const C_Enemy* Foe(const C_Game& game);

    std::vector<Leg> route;
    size_t step = 0;
    bool fighting = false;
    bool engaged = false;
    Vector3 resume;
    std::set<const C_Enemy*> downed;
};
