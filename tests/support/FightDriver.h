#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <SDL.h>

#include "framework/math/SimpleMath.h"
#include "framework/platform/FwInput.h"
#include "tests/support/GameRun.h"

class C_Enemy;
class C_Game;

// The window's events for a key or button pressed or let go, and for the mouse moved.
SDL_Event KeyEvent(FwKey key, bool down);
SDL_Event MouseMoveEvent(int dx, int dy);
// Input to FwInput as the window's events would give it, at once.
void FeedKey(FwKey key, bool down);
void FeedMouseMove(int dx, int dy);

// A player at the keyboard and mouse, inside the test process. On the title it holds Enter; in
// the game it walks TxtData/route.txt with W and the mouse, and whenever a robot it can see comes
// within 30 units it stops, turns the sighting mark onto it and fires until it is down, walks back
// to where it stopped and goes on; it shoots each breaker of the route until it breaks and fires
// the beam once it has the gun arm; on the ending or game-over picture it clicks. Its input goes
// through FwInput's event handling as the window's events would, so a recording started there
// writes it as a script.
//
// With a seed it plays like a careless human: its aim wanders, it fires both weapons at random,
// and in about one game in three it walks up to the nearest robot and never fires, so it dies.
class FightDriver {
public:
    explicit FightDriver(std::optional<uint32_t> seed = std::nullopt);

    // The route of the content tree at `contentRoot`; false with the reason in `error`.
    bool ReadRoute(const std::string& contentRoot, std::string& error);

    // Every game from now on starts at route step `first` (counting the steps after "start").
    void StartAt(size_t first) { firstStep = first; }
    const std::vector<RouteStep>& Route() const { return route; }

    // One frame as the frame loop runs it: the input pump, this frame's input, sound, scene step.
    void PlayFrame();
    // This frame's input for the game scene alone (for tests that run frames themselves).
    void Steer(const C_Game& game);
    // Steer, for a run that stops with the game: false once the route is walked, the ending has
    // begun or the player is down.
    bool Step(const C_Game& game);
    // A robot was in sight and range in the last step.
    bool Engaged() const { return engaged; }

    // What happened so far.
    int gamesStarted = 0;
    int endings = 0;
    int deaths = 0;
    int enemiesDowned = 0;
    int beamsFired = 0;
    // Route step reached in the current game.
    size_t step = 0;

private:
    void StartOfGame(const C_Game& game);
    void Click();
    void Fight(const C_Game& game, const C_Enemy& foe);
    void Walk(const C_Game& game);
    bool AimAt(const C_Game& game, const Vector3& target);
    const C_Enemy* Foe(const C_Game& game) const;
    const C_Enemy* Nearest(const C_Game& game) const;
    // True one time in `outOf` when playing at random, never otherwise.
    bool Chance(int outOf);

    std::vector<RouteStep> route;
    size_t firstStep = 0;
    std::optional<std::mt19937> random;
    const C_Game* game = nullptr;
    bool careless = false;
    bool fighting = false;
    bool engaged = false;
    Vector3 resume;
    // Frames to wait on the ending or game-over picture before clicking.
    int clickDelay = 0;
    int frameInGame = 0;
    bool buttonDown = false;
    // Aim offset in degrees that drifts while the careless driver aims.
    float aimNoiseYaw = 0.0f;
    float aimNoisePitch = 0.0f;
    std::vector<const C_Enemy*> downed;
};
