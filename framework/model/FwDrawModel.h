#pragma once

#include <vector>

#include "framework/math/SimpleMath.h"

class FwAreaVisibility;
class FwModel;

// While set, models whose boxes lie in rooms out of sight are not drawn; null draws everything in
// view. The caller clears it before the areas go, and before anything that shows through walls.
void SetDrawAreas(const FwAreaVisibility* areas);

// Draws every mesh node of `model` with the standard program, which the caller has set to the
// device, at the program's world matrix. A node's own transform is replaced by worldList[i]
// when a list is given and holds an entry for node i. The object constants are uploaded per node
// and the material with its three textures per subset; nothing is restored afterwards.
void DrawModel(const FwModel& model, const std::vector<Matrix>* worldList = nullptr);
// The same with each material's base-colour alpha multiplied by `alpha`.
void DrawModel(const FwModel& model, float alpha, const std::vector<Matrix>* worldList = nullptr);
// The same with each material's base colour replaced by `color`'s red, green and blue and its
// alpha multiplied by `color`'s alpha.
void DrawModel(const FwModel& model, const Color& color, const std::vector<Matrix>* worldList = nullptr);
