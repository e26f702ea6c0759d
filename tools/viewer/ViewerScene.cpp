#include "tools/viewer/ViewerScene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <nlohmann/json.hpp>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwDrawModel.h"

namespace {

constexpr float kTurnPerFrame = 0.5f;  // degrees: one turn in 12 seconds
constexpr float kFieldOfView = Math::kPi / 3.0f;

std::string ViewedPath(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error) ? std::filesystem::absolute(path, error).string() : path;
}

}  // namespace

ViewerScene::ViewerScene(const std::string& modelPath) : path(ViewedPath(modelPath)) {
    // The game's light: the sun from the upper left and half-bright ambient.
    auto& light = FwShaderManager::GetInstance().cbLight.Work();
    light.g_DL_Dir = Vector3(1.0f, -1.0f, 0.0f).Normalized();
    light.g_AmbientLight = Vector3(0.5f, 0.5f, 0.5f);
    FwShaderManager::GetInstance().cbLight.Write();

    loaded = model.Load(path);
    MeasureModel();
    if (!loaded) {
        std::printf("view %s: cannot be loaded\n", path.c_str());
        return;
    }
    std::printf(
        "view %s: %zu nodes, %zu meshes, %zu triangles, %zu materials, "
        "bounds (%g, %g, %g) to (%g, %g, %g), radius %g\n",
        path.c_str(), model.Nodes().size(), meshCount, triangleCount, model.Materials().size(), boundsMin.x,
        boundsMin.y, boundsMin.z, boundsMax.x, boundsMax.y, boundsMax.z, radius);
}

// Box and sphere over every vertex placed by its node, as DrawModel places them.
void ViewerScene::MeasureModel() {
    std::vector<Vector3> points;
    for (const FwModelNode& node : model.Nodes()) {
        if (!node.Mesh) {
            continue;
        }
        ++meshCount;
        triangleCount += node.Mesh->Faces().size();
        for (const Vector3& position : node.Mesh->Positions()) {
            points.push_back(Vector3::Transform(position, node.Transform));
        }
    }
    if (points.empty()) {
        return;
    }
    boundsMin = points.front();
    boundsMax = points.front();
    for (const Vector3& p : points) {
        boundsMin = Vector3(std::min(boundsMin.x, p.x), std::min(boundsMin.y, p.y), std::min(boundsMin.z, p.z));
        boundsMax = Vector3(std::max(boundsMax.x, p.x), std::max(boundsMax.y, p.y), std::max(boundsMax.z, p.z));
    }
    center = (boundsMin + boundsMax) * 0.5f;
    radius = 0.0f;
    for (const Vector3& p : points) {
        radius = std::max(radius, Vector3::Distance(p, center));
    }
    if (radius <= 0.0f) {
        radius = 1.0f;
    }
}

void ViewerScene::Update() { angle = std::fmod(angle + kTurnPerFrame, 360.0f); }

void ViewerScene::SetCamera() {
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    const float aspect = float(d3d.Width()) / float(d3d.Height());
    // Far enough for the sphere to fit the narrower of the two fields of view, a little above.
    const float halfFov = std::min(kFieldOfView * 0.5f, std::atan(std::tan(kFieldOfView * 0.5f) * aspect));
    const float distance = radius / std::sin(halfFov) * 1.1f;
    const Vector3 eye = center + Vector3(0.0f, 0.35f, -1.0f).Normalized() * distance;
    auto& camera = FwShaderManager::GetInstance().cbCamera.Work();
    camera.g_mV = Matrix::CreateLookAtLH(eye, center, Vector3::UnitY);
    camera.g_mP =
        Matrix::CreatePerspectiveFieldOfViewLH(kFieldOfView, aspect, distance * 0.01f, distance + radius * 2.0f);
    camera.g_CamPos = eye;
    FwShaderManager::GetInstance().cbCamera.Write();
}

void ViewerScene::Draw() {
    FwStandardShader& shader = FwShaderManager::GetInstance().standardShader;
    shader.SetToDevice();
    shader.world = Matrix::CreateTranslation(-center) * Matrix::CreateRotationY(angle * Math::kDegToRad) *
                   Matrix::CreateTranslation(center);
    DrawModel(model);
}

void ViewerScene::DumpState(nlohmann::json& out) const {
    out["viewer"] = {{"path", path},
                     {"loaded", loaded},
                     {"nodes", model.Nodes().size()},
                     {"meshes", meshCount},
                     {"triangles", triangleCount},
                     {"materials", model.Materials().size()},
                     {"boundsMin", {boundsMin.x, boundsMin.y, boundsMin.z}},
                     {"boundsMax", {boundsMax.x, boundsMax.y, boundsMax.z}},
                     {"radius", radius},
                     {"angle", angle}};
}
