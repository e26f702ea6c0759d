#pragma once

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

class C_Game;

// The player's hit volume for enemy shots: an invisible model that follows the chest.
class C_PlayerCollision {
public:
    explicit C_PlayerCollision(C_Game* game);

    void Update();
    void Draw() const;

    const FwModel& Model() const { return model; }
    const Matrix& World() const { return world; }

private:
    C_Game* game;
    FwModel model;
    Matrix world;
};
