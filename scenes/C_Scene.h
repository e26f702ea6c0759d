#pragma once

#include <nlohmann/json_fwd.hpp>

// One screen of the game with its own objects. Frame fixes what happens to a scene in one frame.
class C_Scene {
public:
    virtual ~C_Scene() = default;

    virtual void Update() {}
    virtual void Draw() {}
    virtual void SetCamera();
    // True for a scene whose Draw puts its 3D passes between the device's BeginScaled3D (called
    // here before the clears) and EndScaled3D, and its 2D passes after.
    virtual bool DrawsScaled3D() const { return false; }

    // Update, then DrawFrame; presenting is the frame loop's.
    void Frame();
    // Clear, camera, draw: the picture of the scene as it stands. Drawing changes no state, so
    // the frame loop may draw a frame again (to time it) with the world unchanged.
    void DrawFrame();

    // For automated runs: the scene's name in state snapshots, and its own fields.
    virtual const char* Name() const { return "scene"; }
    virtual void DumpState(nlohmann::json& out) const;
};
