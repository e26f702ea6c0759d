#pragma once

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"

class C_Game;

// The hit-point gauge at the top left: a green bar that shrinks toward its left end as hit points
// fall, inside a frame 4 pixels longer at each end.
class C_HPGauge {
public:
    explicit C_HPGauge(C_Game* game);

    void Update();
    void Draw() const;

private:
    C_Game* game;
    FwTexture barTexture;
    FwTexture frameTexture;
    Matrix frameTransform = Matrix::CreateTranslation(-400.0f, 298.0f, 0.0f);
    Matrix barTransform;
    Vector2 barOrigin{0.0f, 0.5f};
};
