#include "tests/support/FightDriver.h"

#include "framework/platform/FwSettings.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "framework/audio/FwAudioManager.h"
#include "framework/model/FwCollision.h"
#include "framework/platform/FwInput.h"
#include "game/enemy/C_Enemy.h"
#include "game/hazards/C_Breaker.h"
#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/world/C_Elevator.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "scenes/SceneManager.h"

namespace {

constexpr float kFloor = -7.5f;
constexpr float kWalkSpeed = 0.5f;
constexpr float kDegreesPerPixel = 0.25f;
constexpr float kFightRange = 30.0f;
constexpr float kOnTarget = 1.5f;
// A careless driver stops this close to the robot it walks up to.
constexpr float kStandOff = 14.0f;
// A game not over by then is played carelessly from there on, so it ends.
constexpr int kPatience = 12000;

// Input only where it changes something, so that a recording holds what a player did.
void Press(FwKey key, bool down) {
    if (FwInput::GetInstance().IsKeyDown(key) != down) {
        FeedKey(key, down);
    }
}

void Turn(int dx, int dy) {
    if (dx != 0 || dy != 0) {
        FeedMouseMove(dx, dy);
    }
}

Vector3 ChestOf(const C_Enemy& enemy) { return enemy.chestWorld.Translation() + Vector3(0.0f, 1.0f, 0.0f); }

// The centre of a breaker's front, 1.6 in front of its position along its facing.
Vector3 BreakerFront(const C_BreakerRecord& record) {
    const float radians = record.angle * Math::kDegToRad;
    return record.position + Vector3(std::sin(radians), 0.0f, std::cos(radians)) * 1.6f;
}

}  // namespace

SDL_Event KeyEvent(FwKey key, bool down) {
    SDL_Event event{};
    if (key == FwKey::MouseLeft || key == FwKey::MouseRight) {
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = (key == FwKey::MouseLeft) ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
    } else {
        // The physical key the game's key is bound to by default.
        const FwKeyBindingInfo* binding = FwFindKeyBinding(key);
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.scancode = binding != nullptr ? binding->defaultScancode : SDL_SCANCODE_LALT;
    }
    return event;
}

SDL_Event MouseMoveEvent(int dx, int dy) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    return event;
}

void FeedKey(FwKey key, bool down) { FwInput::GetInstance().HandleEvent(KeyEvent(key, down)); }

void FeedMouseMove(int dx, int dy) { FwInput::GetInstance().HandleEvent(MouseMoveEvent(dx, dy)); }

FightDriver::FightDriver(std::optional<uint32_t> seed) {
    if (seed) {
        random.emplace(*seed);
    }
}

bool FightDriver::ReadRoute(const std::string& contentRoot, std::string& error) {
    route.clear();
    for (const RouteStep& routeStep : ::ReadRoute(contentRoot, error)) {
        if (routeStep.action != "start") {
            route.push_back(routeStep);
        }
    }
    return error.empty() && !route.empty();
}

void FightDriver::PlayFrame() {
    FwInput::GetInstance().BeginFrame();
    const C_Scene* scene = SceneManager::GetInstance().Current();
    if (const auto* current = dynamic_cast<const C_Game*>(scene)) {
        Press(FwKey::Return, false);
        Steer(*current);
    } else if (scene != nullptr && std::string(scene->Name()) == "title") {
        game = nullptr;
        Press(FwKey::Return, true);
    }
    FwAudioManager::GetInstance().Update();
    SceneManager::GetInstance().Step();
}

bool FightDriver::Chance(int outOf) { return random && std::uniform_int_distribution<int>(1, outOf)(*random) == 1; }

void FightDriver::StartOfGame(const C_Game& current) {
    game = &current;
    ++gamesStarted;
    step = firstStep;
    fighting = false;
    frameInGame = 0;
    downed.clear();
    careless = Chance(3);
    clickDelay = random ? std::uniform_int_distribution<int>(30, 240)(*random) : 30;
    aimNoiseYaw = aimNoisePitch = 0.0f;
    Press(FwKey::W, false);
    Press(FwKey::MouseLeft, false);
    Press(FwKey::MouseRight, false);
    buttonDown = false;
}

void FightDriver::Steer(const C_Game& current) {
    if (&current != game) {
        StartOfGame(current);
    }
    ++frameInGame;
    const C_Player& player = *current.player;
    for (const auto& enemy : current.enemies) {
        if (enemy->hitPoints <= 0.0f && std::find(downed.begin(), downed.end(), enemy.get()) == downed.end()) {
            downed.push_back(enemy.get());
            ++enemiesDowned;
        }
    }
    // The beam is one press: let go the frame after.
    Press(FwKey::MouseRight, false);
    if (current.ending || !player.alive) {
        Press(FwKey::W, false);
        // The ending takes a click once the doors have closed, the game-over picture at once.
        if (current.ending && !current.elevator->DoorsClosed()) {
            Press(FwKey::MouseLeft, false);
        } else if (clickDelay > 0) {
            if (--clickDelay == 0) {
                current.ending ? ++endings : ++deaths;
            }
            Press(FwKey::MouseLeft, false);
            buttonDown = false;
        } else {
            Click();
        }
        return;
    }
    if (frameInGame == kPatience) {
        careless = true;
    }
    if (careless) {
        Press(FwKey::MouseLeft, false);
        const C_Enemy* target = Nearest(current);
        if (target == nullptr || Vector3::Distance(target->Position(), player.position) < kStandOff) {
            Press(FwKey::W, false);
            if (target != nullptr) {
                AimAt(current, ChestOf(*target));
            }
            return;
        }
        const Vector3 to = target->Position() - player.position;
        const float error = std::remainder(std::atan2(to.x, to.z) / Math::kDegToRad - player.yaw, 360.0f);
        Turn(static_cast<int>(std::lround(error / kDegreesPerPixel)), 0);
        Press(FwKey::W, std::fabs(error) < 3.0f);
        return;
    }
    const C_Enemy* const foe = Foe(current);
    engaged = foe != nullptr;
    if (foe != nullptr) {
        Fight(current, *foe);
        return;
    }
    Walk(current);
}

bool FightDriver::Step(const C_Game& current) {
    engaged = false;
    Steer(current);
    return step < route.size() && !current.ending && current.player->alive;
}

void FightDriver::Click() {
    buttonDown = !buttonDown;
    Press(FwKey::MouseLeft, buttonDown);
}

void FightDriver::Fight(const C_Game& current, const C_Enemy& foe) {
    if (!fighting) {
        fighting = true;
        resume = current.player->position;
    }
    Press(FwKey::W, false);
    const bool onTarget = AimAt(current, ChestOf(foe));
    Press(FwKey::MouseLeft, onTarget);
    if (onTarget && current.player->hasGunArm && Chance(40)) {
        Press(FwKey::MouseRight, true);
        ++beamsFired;
    }
}

void FightDriver::Walk(const C_Game& current) {
    const C_Player& player = *current.player;
    if (step >= route.size()) {
        Press(FwKey::W, false);
        return;
    }
    const RouteStep& next = route[step];
    if (next.action == "shoot") {
        Press(FwKey::W, false);
        const size_t breaker = static_cast<size_t>(next.breaker);
        if (breaker >= current.breakers.size() || !current.breakers[breaker]->Intact()) {
            ++step;
            Press(FwKey::MouseLeft, false);
            return;
        }
        Press(FwKey::MouseLeft, AimAt(current, BreakerFront(current.levelLayout.breakers[breaker])));
        return;
    }
    // Now and then a burst from the gun or a beam while walking.
    if (Chance(150)) {
        Press(FwKey::MouseLeft, !FwInput::GetInstance().IsKeyDown(FwKey::MouseLeft));
    } else if (!random) {
        Press(FwKey::MouseLeft, false);
    }
    if (player.hasGunArm && Chance(200)) {
        Press(FwKey::MouseRight, true);
        ++beamsFired;
    }
    // Back to where the fight began, then on along the route.
    const Vector3 goal = fighting ? resume : Vector3(next.point.x, kFloor, next.point.z);
    const Vector3 to(goal.x - player.position.x, 0.0f, goal.z - player.position.z);
    if (to.Length() < kWalkSpeed) {
        if (fighting) {
            fighting = false;
        } else {
            ++step;
        }
        Press(FwKey::W, false);
        return;
    }
    const float error = std::remainder(std::atan2(to.x, to.z) / Math::kDegToRad - player.yaw, 360.0f);
    Turn(static_cast<int>(std::lround(error / kDegreesPerPixel)), 0);
    Press(FwKey::W, std::fabs(error) < 3.0f);
}

// One frame of mouse movement toward looking at `target` from the camera; true once the camera
// ray points within kOnTarget degrees of it.
bool FightDriver::AimAt(const C_Game& current, const Vector3& target) {
    if (random) {
        std::normal_distribution<float> drift(0.0f, 0.3f);
        aimNoiseYaw = std::clamp(aimNoiseYaw + drift(*random), -3.0f, 3.0f);
        aimNoisePitch = std::clamp(aimNoisePitch + drift(*random), -2.0f, 2.0f);
    }
    const Vector3 want = (target - current.camera->position).Normalized();
    const Vector3 have = current.camera->Forward();
    const float yawError =
        std::remainder(std::atan2(want.x, want.z) - std::atan2(have.x, have.z), 2.0f * Math::kPi) / Math::kDegToRad +
        aimNoiseYaw;
    const float pitchError = (std::asin(have.y) - std::asin(want.y)) / Math::kDegToRad + aimNoisePitch;
    Turn(static_cast<int>(std::lround(yawError / kDegreesPerPixel)),
         static_cast<int>(std::lround(pitchError / kDegreesPerPixel)));
    return std::hypot(yawError, pitchError) < kOnTarget + (random ? 3.0f : 0.0f);
}

// The nearest living enemy within range that the camera can see.
const C_Enemy* FightDriver::Foe(const C_Game& current) const {
    const C_Enemy* nearest = nullptr;
    float best = kFightRange;
    for (const auto& enemy : current.enemies) {
        const float distance = Vector3::Distance(enemy->Position(), current.player->position);
        if (enemy->hitPoints <= 0.0f || distance > best) {
            continue;
        }
        const Vector3 eye = current.camera->position;
        const Vector3 to = ChestOf(*enemy) - eye;
        float wall = 0.0f;
        Vector3 normal;
        if (RayToModel(current.stage->Model(), current.stage->World(), eye, to.Normalized(), wall, normal) &&
            wall < to.Length()) {
            continue;
        }
        best = distance;
        nearest = enemy.get();
    }
    return nearest;
}

const C_Enemy* FightDriver::Nearest(const C_Game& current) const {
    const C_Enemy* nearest = nullptr;
    float best = 1e9f;
    for (const auto& enemy : current.enemies) {
        const float distance = Vector3::Distance(enemy->Position(), current.player->position);
        if (enemy->hitPoints > 0.0f && distance < best) {
            best = distance;
            nearest = enemy.get();
        }
    }
    return nearest;
}
