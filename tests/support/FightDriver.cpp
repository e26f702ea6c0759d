#include "tests/support/FightDriver.h"

#include <SDL.h>

#include <cmath>

#include "framework/model/FwCollision.h"
#include "game/enemy/C_Enemy.h"
#include "game/hazards/C_Breaker.h"
#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "tests/support/GameRun.h"

namespace {

constexpr float kFloor = -7.5f;
constexpr float kWalkSpeed = 0.5f;
constexpr float kDegreesPerPixel = 0.25f;
constexpr float kFightRange = 30.0f;
constexpr float kOnTarget = 1.5f;

Vector3 ChestOf(const C_Enemy& enemy) { return enemy.chestWorld.Translation() + Vector3(0.0f, 1.0f, 0.0f); }

}  // namespace

void FeedKey(FwKey key, bool down) {
    SDL_Event event{};
    if (key == FwKey::MouseLeft || key == FwKey::MouseRight) {
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = (key == FwKey::MouseLeft) ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
    } else {
        static const SDL_Keycode codes[] = {SDLK_w, SDLK_a, SDLK_s, SDLK_d, SDLK_RETURN, SDLK_ESCAPE};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.sym = codes[static_cast<int>(key)];
    }
    FwInput::GetInstance().HandleEvent(event);
}

void FeedMouseMove(int dx, int dy) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    FwInput::GetInstance().HandleEvent(event);
}

bool FightDriver::Load(const std::string& contentRoot, std::string& error) {
    // Aim at the centre of a breaker's front, 1.6 in front of its position along its facing.
    std::vector<Vector3> fronts;
    for (const std::vector<float>& breaker : ReadLevelRecords(contentRoot + "/TxtData/breaker.txt", 4)) {
        const float radians = breaker[3] * Math::kDegToRad;
        fronts.emplace_back(Vector3(breaker[0], breaker[1], breaker[2]) +
                            Vector3(std::sin(radians), 0.0f, std::cos(radians)) * 1.6f);
    }
    route.clear();
    for (const ::RouteStep& routeStep : ReadRoute(contentRoot, error)) {
        if (routeStep.action == "shoot") {
            if (routeStep.breaker < 0 || static_cast<size_t>(routeStep.breaker) >= fronts.size()) {
                error = "the route shoots breaker " + std::to_string(routeStep.breaker) + ", which is not there";
                return false;
            }
            route.push_back({true, {}, fronts[routeStep.breaker], static_cast<size_t>(routeStep.breaker)});
        } else if (routeStep.action == "walk" || routeStep.action == "goal") {
            route.push_back({false, Vector3(routeStep.point.x, kFloor, routeStep.point.z), {}, 0});
        }
    }
    step = 0;
    fighting = false;
    downed.clear();
    return error.empty() && !route.empty();
}

bool FightDriver::Step(const C_Game& game) {
    for (const auto& enemy : game.enemies) {
        if (enemy->hitPoints <= 0.0f) {
            downed.insert(enemy.get());
        }
    }
    if (step >= route.size() || game.ending || !game.player->alive) {
        engaged = false;
        FeedKey(FwKey::W, false);
        FeedKey(FwKey::MouseLeft, false);
        return false;
    }
    const Vector3 position = game.player->position;
    const C_Enemy* const foe = Foe(game);
    engaged = foe != nullptr;
    if (foe != nullptr) {
        if (!fighting) {
            fighting = true;
            resume = position;
        }
        FeedKey(FwKey::W, false);
        FeedKey(FwKey::MouseLeft, AimAt(game, ChestOf(*foe)));
    } else if (const Leg& next = route[step]; next.shoot) {
        FeedKey(FwKey::W, false);
        FeedKey(FwKey::MouseLeft, AimAt(game, next.target));
        if (next.breaker < game.breakers.size() && !game.breakers[next.breaker]->Intact()) {
            ++step;
        }
    } else {
        FeedKey(FwKey::MouseLeft, false);
        // Back to where the fight began, then on along the route.
        const Vector3 goal = fighting ? resume : next.point;
        const Vector3 to(goal.x - position.x, 0.0f, goal.z - position.z);
        if (to.Length() < kWalkSpeed) {
            if (fighting) {
                fighting = false;
            } else {
                ++step;
            }
            FeedKey(FwKey::W, false);
        } else {
            const float heading = std::atan2(to.x, to.z) / Math::kDegToRad;
            const float error = std::remainder(heading - game.player->yaw, 360.0f);
            FeedMouseMove(static_cast<int>(std::lround(error / kDegreesPerPixel)), 0);
            FeedKey(FwKey::W, std::fabs(error) < 3.0f);
        }
    }
    return true;
}

bool FightDriver::AimAt(const C_Game& game, const Vector3& target) {
    const Vector3 want = (target - game.camera->position).Normalized();
    const Vector3 have = game.camera->Forward();
    const float yawError =
        std::remainder(std::atan2(want.x, want.z) - std::atan2(have.x, have.z), 2.0f * Math::kPi) / Math::kDegToRad;
    const float pitchError = (std::asin(have.y) - std::asin(want.y)) / Math::kDegToRad;
    FeedMouseMove(static_cast<int>(std::lround(yawError / kDegreesPerPixel)),
                  static_cast<int>(std::lround(pitchError / kDegreesPerPixel)));
    return std::hypot(yawError, pitchError) < kOnTarget;
}

const C_Enemy* FightDriver::Foe(const C_Game& game) {
    const C_Enemy* nearest = nullptr;
    float best = kFightRange;
    for (const auto& enemy : game.enemies) {
        const float distance = Vector3::Distance(enemy->Position(), game.player->position);
        if (enemy->hitPoints <= 0.0f || distance > best) {
            continue;
        }
        const Vector3 eye = game.camera->position;
        const Vector3 to = ChestOf(*enemy) - eye;
        float wall = 0.0f;
        Vector3 normal;
        if (RayToModel(game.stage->Model(), game.stage->World(), eye, to.Normalized(), wall, normal) &&
            wall < to.Length()) {
            continue;
        }
        best = distance;
        nearest = enemy.get();
    }
    return nearest;
}
