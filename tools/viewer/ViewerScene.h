#pragma once

#include <cstddef>
#include <string>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"
#include "scenes/C_Scene.h"

// Shows one glTF or GLB file as the game would draw it: the game's loader, program and light,
// the camera framing the model's bounding sphere while the model turns slowly about its centre.
class ViewerScene : public C_Scene {
public:
    // A path that exists from the working directory is used as it is; any other is taken from
    // the content root like the game's own model paths.
    explicit ViewerScene(const std::string& path);

    void Update() override;
    void Draw() override;
    void SetCamera() override;

    const char* Name() const override { return "viewer"; }
    void DumpState(nlohmann::json& out) const override;

private:
    void MeasureModel();

    std::string path;
    FwModel model;
    bool loaded = false;
    size_t meshCount = 0;
    size_t triangleCount = 0;
    Vector3 boundsMin;
    Vector3 boundsMax;
    Vector3 center;
    float radius = 1.0f;
    float angle = 0.0f;  // degrees about the vertical axis through the centre
};
