#include "tests/content/ContentFixture.h"

#include <SDL.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwGLTFModel.h"
#include "framework/platform/FwPath.h"
#include "game/world/C_Stage.h"

namespace contenttest {

void UseBuiltContent() {
    static const bool ready = [] {
        FwSetContentRoot(QUARNEL_BUILD_DIR);
        if (std::getenv("DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            ADD_FAILURE() << SDL_GetError();
            return false;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_Window* window =
            SDL_CreateWindow("content test", 0, 0, kViewWidth, kViewHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        std::string errorText;
        if (window == nullptr || !FwDirect3D::GetInstance().Init(window, kViewWidth, kViewHeight, false, errorText)) {
            ADD_FAILURE() << "no GL device: " << SDL_GetError() << " " << errorText;
            return false;
        }
        FwShaderManager::GetInstance().Init();
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
    std::ifstream file(FwResolvePath("TxtData/route.txt"));
    if (!file) {
        error = "no TxtData/route.txt";
        return {};
    }
    std::vector<RouteStep> steps;
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        RouteStep step;
        words >> step.action;
        bool ok = true;
        if (step.action == "start") {
            ok = static_cast<bool>(words >> step.point.x >> step.point.y >> step.point.z);
        } else if (step.action == "walk" || step.action == "goal") {
            step.point.y = -7.5f;
            ok = static_cast<bool>(words >> step.point.x >> step.point.z);
        } else if (step.action == "shoot") {
            ok = static_cast<bool>(words >> step.breaker);
        } else {
            ok = false;
        }
        if (!ok) {
            error = "route line " + std::to_string(number) + " is not understood: " + line;
            return {};
        }
        steps.push_back(step);
    }
    return steps;
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
