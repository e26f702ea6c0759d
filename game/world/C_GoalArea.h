#pragma once

#include "framework/graphics/FwBuffer.h"
#include "framework/math/SimpleMath.h"

// A 14 by 14 quad on the cabin floor behind the elevator doors. A point anywhere above it counts
// as inside: standing there starts the ending.
class C_GoalArea {
public:
    C_GoalArea();

    void Update();
    bool Contains(const Vector3& point) const;
    // Drawn with colour alpha 0, so the alpha test keeps it invisible.
    void Draw() const;

private:
    FwBuffer vertexBuffer;
    Matrix world;
};
