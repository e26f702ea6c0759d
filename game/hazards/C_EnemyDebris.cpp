#include "game/hazards/C_EnemyDebris.h"

#include "framework/graphics/FwShaderManager.h"
#include "framework/math/FwRandom.h"
#include "framework/model/FwDrawModel.h"

namespace {

constexpr float kFloorHeight = -7.5f;
constexpr float kGravity = 0.05f;
constexpr float kFadePerFrame = 0.1f;

float Throw(int offset) { return static_cast<float>(FwRand() % 6 + offset) * 0.1f; }

}  // namespace

C_EnemyDebris::C_EnemyDebris(const Vector3& position) {
    const char* const paths[kPieces] = {"Data/Enemy/caterpillar.gltf", "Data/Enemy/Chest.gltf", "Data/Enemy/head.gltf",
                                        "Data/Enemy/Leg.gltf", "Data/Enemy/Spine.gltf"};
    for (int i = 0; i < kPieces; ++i) {
        positions[i] = position;
        worlds[i] = Matrix::CreateTranslation(position);
        const float x = Throw(-1);
        const float y = Throw(2);
        const float z = Throw(-1);
        velocities[i] = Vector3(x, y, z);
        pieces[i].model.Load(paths[i]);
    }
}

bool C_EnemyDebris::Update() {
    for (int i = 0; i < kPieces; ++i) {
        positions[i] += velocities[i];
        // A piece on the floor stays where it lies.
        if (positions[i].y <= kFloorHeight) {
            velocities[i] = Vector3::Zero;
        } else {
            velocities[i].y -= kGravity;
        }
        worlds[i] = Matrix::CreateTranslation(positions[i]);
    }
    lifetime -= 1.0f;
    if (lifetime <= 0.0f) {
        lifetime = 0.0f;
        alpha -= kFadePerFrame;
    }
    return alpha > 0.0f;
}

void C_EnemyDebris::Draw() const {
    FwStandardShader& shader = FwShaderManager::GetInstance().standardShader;
    for (int i = 0; i < kPieces; ++i) {
        shader.world = worlds[i];
        DrawModel(pieces[i].model, alpha);
    }
}
