#pragma once

#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "framework/math/SimpleMath.h"

// Pieces of state snapshots: a point as [x, y, z], and a list as one entry per element, each
// written by the element's own Snapshot.
inline nlohmann::json ToJson(const Vector3& v) { return nlohmann::json::array({v.x, v.y, v.z}); }

template <typename T>
nlohmann::json ListJson(const std::vector<std::unique_ptr<T>>& list) {
    nlohmann::json out = nlohmann::json::array();
    for (const auto& element : list) {
        element->Snapshot(out.emplace_back());
    }
    return out;
}
