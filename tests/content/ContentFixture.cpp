#include "tests/content/ContentFixture.h"

#include <cmath>
#include <memory>

#include "framework/model/FwCollision.h"
#include "framework/model/FwGLTFModel.h"
#include "framework/platform/FwPath.h"
#include "game/world/C_Stage.h"
#include "tests/support/HiddenDevice.h"

namespace contenttest {

void UseBuiltContent() {
    static const bool ready = [] {
        FwSetContentRoot(QUARNEL_BUILD_DIR);
        std::string error;
        if (OpenHiddenDevice(kViewWidth, kViewHeight, error) == nullptr) {
            ADD_FAILURE() << "no GL device: " << error;
            return false;
        }
        return true;
    }();
    ASSERT_TRUE(ready);
}

const C_Stage& Stage() {
    UseBuiltContent();
    testing::internal::CaptureStdout();  // the loader reports its progress
    static const C_Stage stage(nullptr);
    testing::internal::GetCapturedStdout();
    return stage;
}

StageHit CastStage(const Vector3& origin, const Vector3& direction) {
    StageHit hit;
    const C_Stage& stage = Stage();
    hit.hit = RayToModel(stage.Model(), stage.World(), origin, direction, hit.distance, hit.normal);
    hit.point = origin + direction * hit.distance;
    return hit;
}

ModelShape ShapeOf(const std::string& path) {
    UseBuiltContent();
    testing::internal::CaptureStdout();
    const std::shared_ptr<FwGLTFModel> record = FwLoadGLTFModel(FwResolvePath(path));
    testing::internal::GetCapturedStdout();
    ModelShape shape;
    if (!record) {
        return shape;
    }
    shape.minimum = Vector3(1e30f, 1e30f, 1e30f);
    shape.maximum = -shape.minimum;
    for (const auto& node : record->Nodes) {
        std::vector<Vector3> points;
        for (const FwMeshVertex& vertex : node->Vertices) {
            const Vector3 p = Vector3::Transform(vertex.position, node->WorldTransform);
            points.push_back(p);
            shape.minimum = {std::min(shape.minimum.x, p.x), std::min(shape.minimum.y, p.y),
                             std::min(shape.minimum.z, p.z)};
            shape.maximum = {std::max(shape.maximum.x, p.x), std::max(shape.maximum.y, p.y),
                             std::max(shape.maximum.z, p.z)};
            shape.horizontalRadius = std::max(shape.horizontalRadius, std::hypot(p.x, p.z));
        }
        // As the ray query sees them: (V0 - V2) x (V1 - V2) faces the drawn side.
        for (const FwMeshFace& face : node->Faces) {
            const Vector3& a = points[face.idx[0]];
            const Vector3& b = points[face.idx[1]];
            const Vector3& c = points[face.idx[2]];
            shape.volume += ((a - c).Cross(b - c)).Dot(a + b + c) / 18.0f;
        }
        shape.faces += node->Faces.size();
    }
    shape.loaded = shape.faces > 0;
    return shape;
}

const C_LevelLayout& Level() {
    UseBuiltContent();
    static const C_LevelLayout level = [] {
        C_LevelLayout layout;
        layout.Load();
        return layout;
    }();
    return level;
}

std::vector<RouteStep> ReadRoute(std::string& error) {
    UseBuiltContent();
    return ::ReadRoute(QUARNEL_BUILD_DIR, error);
}

Vector3 Facing(float degrees) {
    const float radians = degrees * Math::kDegToRad;
    return {std::sin(radians), 0.0f, std::cos(radians)};
}

std::vector<Vector3> SphereDirections(int count) {
    std::vector<Vector3> directions;
    const float golden = Math::kPi * (3.0f - std::sqrt(5.0f));
    for (int i = 0; i < count; ++i) {
        const float y = 1.0f - 2.0f * (static_cast<float>(i) + 0.5f) / static_cast<float>(count);
        const float r = std::sqrt(1.0f - y * y);
        const float a = golden * static_cast<float>(i);
        directions.push_back({r * std::cos(a), y, r * std::sin(a)});
    }
    return directions;
}

}  // namespace contenttest
