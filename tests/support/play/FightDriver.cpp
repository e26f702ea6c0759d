#include "tests/support/play/FightDriver.h"

#include <cmath>
#include <fstream>
#include <iterator>

#include <SDL.h>

#include "framework/model/FwCollision.h"
#include "game/enemy/C_Enemy.h"
#include "game/hazards/C_Breaker.h"
#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "tests/support/GameRun.h"

bool ReadLegs(const std::string& contentRoot, Vector3& start, std::vector<RouteLeg>& legs) {
    std::string error;
    for (const RouteStep& step : ReadRoute(contentRoot, error)) {
        if (step.action == "start") {
            start = step.point;
        } else if (step.action == "shoot") {
            legs.push_back({true, 0.0f, 0.0f, step.breaker});
        } else if (step.action == "walk" || step.action == "goal") {
            legs.push_back({false, step.point.x, step.point.z, 0});
        }
    }
    return error.empty() && !legs.empty();
}

std::vector<std::vector<float>> ReadRecords(const std::string& contentRoot, const std::string& name, size_t width) {
    std::ifstream file(contentRoot + "/TxtData/" + name);
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

Vector3 FacingOf(float degrees) {
    const float radians = degrees * Math::kDegToRad;
    return Vector3(std::sin(radians), 0.0f, std::cos(radians));
}

Vector3 BreakerFront(const std::vector<float>& record) {
    return Vector3(record[0], record[1], record[2]) + FacingOf(record[3]) * 1.6f;
}

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

FightDriver::FightDriver(const std::string& contentRoot) {
    Vector3 start;
    if (!ReadLegs(contentRoot, start, route)) {
        route.clear();
    }
    breakers = ReadRecords(contentRoot, "breaker.txt", 4);
}

bool FightDriver::Step(const C_Game& game) {
    engaged = false;
    if (step >= route.size() || game.ending || !game.player->alive) {
        FeedKey(FwKey::W, false);
        FeedKey(FwKey::MouseLeft, false);
        return false;
    }
    const Vector3 position = game.player->position;
    const RouteLeg& next = route[step];
    if (const C_Enemy* foe = Foe(game)) {
        engaged = true;
        if (!fighting) {
            fighting = true;
            resume = position;
        }
        FeedKey(FwKey::W, false);
        FeedKey(FwKey::MouseLeft, AimAt(game, ChestOf(*foe)));
    } else if (next.shoot) {
        FeedKey(FwKey::W, false);
        const bool known = static_cast<size_t>(next.breaker) < breakers.size() &&
                           static_cast<size_t>(next.breaker) < game.breakers.size();
        FeedKey(FwKey::MouseLeft, known && AimAt(game, BreakerFront(breakers[next.breaker])));
        if (!known || !game.breakers[next.breaker]->Intact()) {
            ++step;
        }
    } else {
        FeedKey(FwKey::MouseLeft, false);
        // Back to where the fight began, then on along the route.
        const Vector3 goal = fighting ? resume : Vector3(next.x, kFloor, next.z);
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

Vector3 FightDriver::ChestOf(const C_Enemy& enemy) {
    return enemy.chestWorld.Translation() + Vector3(0.0f, 1.0f, 0.0f);
}
