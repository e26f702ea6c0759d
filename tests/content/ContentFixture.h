#pragma once

// Shared pieces of the content tests: the content tree the build wrote beside the game, loaded
// with the game's own loaders, a hidden GL device for the loaders that need one, and rays cast
// against the stage exactly as the game casts them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/math/SimpleMath.h"
#include "game/world/C_LevelLayout.h"
#include "tests/support/GameRun.h"

class C_Stage;

namespace contenttest {

// Makes the build folder the content root and opens a hidden window with the real device and
// shader service, once per process. The window has the game's shape at a quarter of its size.
constexpr int kViewWidth = 320;
constexpr int kViewHeight = 180;
void UseBuiltContent();

// The game's stage (its model and its fixed world matrix), loaded once.
const C_Stage& Stage();

struct StageHit {
    bool hit = false;
    float distance = 0.0f;
    Vector3 normal;
    Vector3 point;
};
StageHit CastStage(const Vector3& origin, const Vector3& direction);

// Vertex bounds and enclosed volume of a model as the game's glTF loader reads it (all mesh
// nodes, each under its own transform). The volume is positive when every face turns outwards.
struct ModelShape {
    bool loaded = false;
    Vector3 minimum;
    Vector3 maximum;
    float horizontalRadius = 0.0f;  // largest distance from the y axis
    float volume = 0.0f;
    size_t faces = 0;
};
ModelShape ShapeOf(const std::string& path);

// The level as the game reads it.
const C_LevelLayout& Level();

// The route of the built content tree.
std::vector<RouteStep> ReadRoute(std::string& error);

// Facing direction of an object turned by `degrees` about y (0 faces +z).
Vector3 Facing(float degrees);

// Unit vectors spread evenly over the sphere.
std::vector<Vector3> SphereDirections(int count);

}  // namespace contenttest
