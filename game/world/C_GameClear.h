#pragma once

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"

class C_Game;

// The ending picture. It fades in while the player stands on the goal area and, once the
// elevator doors have shut, a click on it returns to the title.
class C_GameClear {
public:
    explicit C_GameClear(C_Game* game);

    void Update();
    void Draw() const;

    float Alpha() const { return alpha; }

private:
    C_Game* game;
    FwTexture texture;
    Matrix world = Matrix::CreateTranslation(0.0f, 180.0f, 0.0f);
    float alpha = 0.0f;
};
