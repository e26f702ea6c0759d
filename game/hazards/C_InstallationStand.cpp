#include "game/hazards/C_InstallationStand.h"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwDrawModel.h"
#include "game/hazards/C_Breaker.h"
#include "game/player/C_Camera.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"

namespace {

constexpr float kEmitterSpacing = 1.5f;
// Beams of a stand whose rays all miss the stage (a level that is not closed) stop here.
constexpr float kMaxBeamLength = 100.0f;
constexpr float kNarrowHalfWidth = 0.35f;
constexpr float kWideHalfWidth = 0.5f;
constexpr float kFlickerStep = 0.27f;
// Robots are held this far from the curtain's plane.
constexpr float kBarrierDistance = 3.0f;
const std::array<Vector3, 4> kBarrierCorners = {Vector3(0.0f, 3.0f, -2.0f), Vector3(0.0f, 3.0f, 14.0f),
                                                Vector3(0.0f, -10.0f, -2.0f), Vector3(0.0f, -10.0f, 14.0f)};

}  // namespace

C_InstallationStand::C_InstallationStand(C_Game* game, C_Breaker* breaker, const Vector3& position, float angle)
    : game(game), breaker(breaker) {
    const Matrix rotation = Matrix::CreateRotationY(angle * Math::kDegToRad);
    standWorld =
        rotation * Matrix::CreateTranslation(0.0f, 0.0f, -kEmitterSpacing) * Matrix::CreateTranslation(position);
    for (int i = 0; i < kEmitters; ++i) {
        emitterMatrices[i] =
            Matrix::CreateTranslation(0.0f, -kEmitterSpacing * static_cast<float>(i), kEmitterSpacing) * standWorld;
    }
    // The last emitter that meets the stage sets the length of all five beams.
    bool measured = false;
    const C_Stage& stage = *game->stage;
    for (const Matrix& emitter : emitterMatrices) {
        float distance = 0.0f;
        Vector3 normal;
        if (RayToModel(stage.Model(), stage.World(), emitter.Translation(), emitter.Facing(), distance, normal)) {
            beamLength = distance;
            measured = true;
        }
    }
    if (!measured) {
        beamLength = kMaxBeamLength;
    }
    for (int i = 0; i < kEmitters; ++i) {
        laserMatrices[i] = Matrix::CreateScale(Vector3(1.0f, 1.0f, beamLength)) * emitterMatrices[i];
    }
    emitterModel.Load("Data/Stage/InstallationStand.gltf");
    standModel.Load("Data/Stage/Stand.gltf");
    laserTexture.Load("Data/Texture/laser.png");
    barrierFrame = rotation * Matrix::CreateTranslation(position);
    for (size_t i = 0; i < kBarrierCorners.size(); ++i) {
        barrierCorners[i] = Vector3::Transform(kBarrierCorners[i], barrierFrame);
    }
}

// The half width alternates 0.23, 0.5, 0.23, ... from one frame to the next.
void C_InstallationStand::Update() {
    if (halfWidth <= kNarrowHalfWidth) {
        pulsePhase = false;
    }
    if (halfWidth >= kWideHalfWidth) {
        pulsePhase = true;
        halfWidth -= kFlickerStep;
    } else {
        halfWidth += pulsePhase ? -kFlickerStep : kFlickerStep;
    }
    const Vector3 eye = game->camera->position;
    const Color white(1.0f, 1.0f, 1.0f, 1.0f);
    for (int i = 0; i < kEmitters; ++i) {
        const Vector3 start = laserMatrices[i].Translation();
        const Vector3 beam = laserMatrices[i].Facing();
        const Vector3 side = (eye - start).Cross(beam).Normalized() * halfWidth;
        laserQuads[i].Write({{
            {start + side, Vector2(1.0f, 0.0f), white},
            {start - side, Vector2(1.0f, 1.0f), white},
            {start + beam + side, Vector2(0.0f, 0.0f), white},
            {start + beam - side, Vector2(0.0f, 1.0f), white},
        }});
    }
}

void C_InstallationStand::Draw() const {
    FwShaderManager::GetInstance().standardShader.world = standWorld;
    DrawModel(standModel);
}

void C_InstallationStand::DrawEmitters() const {
    FwStandardShader& shader = FwShaderManager::GetInstance().standardShader;
    for (const Matrix& emitter : emitterMatrices) {
        shader.world = emitter;
        DrawModel(emitterModel);
    }
}

void C_InstallationStand::DrawLasers() {
    if (!breaker->Intact()) {
        barrierUp = false;
        return;
    }
    for (const C_EffectQuad& quad : laserQuads) {
        quad.Draw(laserTexture, Matrix::Identity);
    }
}

bool C_InstallationStand::BarrierTest(const Vector3& position, const Vector3& direction, Vector3& push) const {
    float distance = 0.0f;
    if (!RayToTriangle(position, direction, barrierCorners[0], barrierCorners[1], barrierCorners[2], distance) &&
        !RayToTriangle(position, direction, barrierCorners[1], barrierCorners[2], barrierCorners[3], distance)) {
        return false;
    }
    const Vector3 normal = barrierFrame.Right();
    const float facing = normal.Dot(-direction);
    const float reach = std::fabs(kBarrierDistance / facing);
    if (reach < distance) {
        return false;
    }
    push = normal * ((reach - distance) * facing);
    return true;
}

void C_InstallationStand::Snapshot(nlohmann::json& out) const {
    const auto& breakers = game->breakers;
    const auto found = std::find_if(breakers.begin(), breakers.end(),
                                    [this](const auto& candidate) { return candidate.get() == breaker; });
    out = {{"breaker", found - breakers.begin()},
           {"barrierUp", barrierUp},
           {"halfWidth", halfWidth},
           {"beamLength", beamLength}};
}
