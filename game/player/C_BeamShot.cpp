#include "game/player/C_BeamShot.h"

#include <nlohmann/json.hpp>

#include "framework/audio/FwSoundCache.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwVertexTypes.h"
#include "framework/model/FwCollision.h"
#include "game/effects/C_EffectQuad.h"
#include "game/enemy/C_Enemy.h"
#include "game/hazards/C_Breaker.h"
#include "game/hazards/C_Drum.h"
#include "game/player/C_BeamImpact.h"
#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kSpeed = 1.5f;
constexpr int kMaxBounces = 2;
constexpr float kHalfWidth = 0.3f;
constexpr int kRibbonVertices = 2 * C_BeamShot::kTrail;

// The frame at `position` looking along unit `direction`: the inverse of a left-handed look-to view.
Matrix FrameLookingAlong(const Vector3& position, const Vector3& direction) {
    const Vector3 up(0.0f, 1.0f, 0.0f);
    Vector3 right = up.Cross(direction).Normalized();
    // Straight up or down there is no right from the up axis; any perpendicular will do.
    if (right == Vector3::Zero) {
        right = Vector3(1.0f, 0.0f, 0.0f);
    }
    Matrix frame;
    frame.SetRight(right);
    frame.SetUp(direction.Cross(right));
    frame.SetFacing(direction);
    frame.SetTranslation(position);
    return frame;
}

}  // namespace

C_BeamShot::C_BeamShot(C_Game* game, const Vector3& direction)
    : game(game), start(game->player->rightMuzzle.Translation()), heading(direction) {
    head = FrameLookingAlong(start, heading.Normalized());
    trail.fill(Matrix::CreateTranslation(start));
    texture.Load("Data/Texture/096a53cb.jpg");
    hitInstance = Load3DSound("data/sound/BeamHit.wav", 1.0f, hitSound);
    breakerSound = FwSoundCache::GetInstance().GetSound("data/sound/noise.wav");
    ribbon.Create(FwBind::kVertexBuffer, sizeof(FwEffectVertex) * kRibbonVertices, FwUsage::Dynamic);
}

bool C_BeamShot::Update() {
    if (!stopped) {
        Collide();
    }
    if (!stopped) {
        head = Matrix::CreateTranslation(0.0f, 0.0f, kSpeed) * head;
    } else {
        head.SetTranslation(stopPoint);
    }
    for (int i = kTrail - 1; i > 0; --i) {
        trail[i] = trail[i - 1];
    }
    trail[0] = head;
    RebuildRibbon();
    if (stopped && stopPoint == trail[kTrail - 1].Translation()) {
        return false;
    }
    game->SetListener(game->player->chestWorld.Translation());
    if (hitInstance) {
        hitInstance->SetPos(stopPoint);
    }
    return true;
}

void C_BeamShot::Collide() {
    heading = head.Facing();
    float distance = 0.0f;
    Vector3 normal;
    Vector3 hitPoint;
    Vector3 reflected;
    const auto bounce = [&]() {
        head = FrameLookingAlong(hitPoint, reflected.Normalized());
        ++bounces;
        if (bounces > kMaxBounces) {
            Stop(hitPoint);
        }
    };
    if (game->stage->ReflectTest(head.Translation(), heading, distance, normal, hitPoint, reflected)) {
        game->AddBurnMark(normal, hitPoint);
        bounce();
    }
    // A reflection earlier in this step moves the tip but not the heading the drums are tested along.
    for (const auto& drum : game->drums) {
        if (drum->ReflectTest(head.Translation(), heading, hitPoint, reflected)) {
            bounce();
        }
    }
    // Every part hit counts: one beam can cost an enemy up to three hit points in a frame.
    const Vector3 tip = head.Translation();
    for (const auto& enemy : game->enemies) {
        for (const C_EnemyPart& part : enemy->BodyChestHead()) {
            if (FwRayToModelWithin(part.model, part.world, tip, heading, reach, distance, normal)) {
                Stop(tip + heading * distance);
                game->beamLasers.push_back(std::make_unique<C_BeamImpact>(game, stopPoint));
                enemy->Hit();
                if (hitInstance) {
                    hitInstance->Play3D(stopPoint, false, true);
                }
            }
        }
        if (hitInstance) {
            hitInstance->SetPos(enemy->Position());
        }
    }
    for (const auto& breaker : game->breakers) {
        if (FwRayToModelWithin(breaker->Model(), breaker->World(), tip, heading, reach, distance, normal)) {
            Stop(tip + heading * distance);
            breaker->shot = true;
            PlaySoundOnce(breakerSound);
        }
    }
}

void C_BeamShot::Stop(const Vector3& point) {
    stopPoint = point;
    stopped = true;
}

// The ribbon is 0.6 wide and always turned toward the camera.
void C_BeamShot::RebuildRibbon() {
    std::array<FwEffectVertex, kRibbonVertices> vertices;
    const Vector3 eye = game->camera->position;
    for (int i = 0; i < kTrail; ++i) {
        const Vector3 p = trail[i].Translation();
        const Vector3 q = (i + 1 < kTrail ? trail[i + 1] : head).Translation();
        const Vector3 side = (q - p).Cross(eye - p).Normalized() * kHalfWidth;
        const float v = static_cast<float>(i) / static_cast<float>(kTrail) - 1.0f;
        vertices[2 * i] = {p + side, Vector2(0.0f, v), colour};
        vertices[2 * i + 1] = {p - side, Vector2(1.0f, v), colour};
    }
    ribbon.WriteData(vertices.data(), sizeof(vertices));
}

// The vertices are in world space.
void C_BeamShot::Draw() const { DrawEffectStrip(ribbon, kRibbonVertices, texture, Matrix::Identity); }

void C_BeamShot::Snapshot(nlohmann::json& out) const {
    out = {{"tip", ToJson(Tip())}, {"bounces", bounces}, {"stopped", stopped}};
}
