#include "tools/content/ModelDesigns.h"

#include "tools/content/ModelTextures.h"

#include <cmath>

// The stage's props: drums, breakers, laser stands, the elevator doors and the floor lamps.

namespace {

constexpr float kDegrees = 0.017453292f;

int Gunmetal(MeshBuilder& mesh) { return mesh.AddMaterial({"Gunmetal", {0.26f, 0.27f, 0.3f, 1}, 0.8f, 0.35f}); }

int Hazard(MeshBuilder& mesh) {
    return mesh.AddMaterial({"Hazard", {1, 1, 1, 1}, 0.1f, 0.7f, {}, HazardStripesTexture()});
}

}  // namespace

// Centre at mid-height: 5 high, radius 2.2 (robots keep 2.5 from its axis plus their own radius).
MeshBuilder DrumModel() {
    MeshBuilder mesh;
    mesh.AddMaterial({"DrumBody", {1, 1, 1, 1}, 0.35f, 0.5f, {}, DrumLabelTexture()});
    mesh.Cylinder({0, -2.5f, 0}, 5.0f, 2.2f, 2.2f, 16, false);
    Gunmetal(mesh);
    for (const float y : {-2.55f, 2.3f}) {
        mesh.Cylinder({0, y, 0}, 0.25f, 2.28f, 2.28f, 16);
    }
    mesh.Cylinder({1.1f, 2.55f, 0.6f}, 0.12f, 0.3f, 0.3f, 8);
    mesh.Cylinder({-1.0f, 2.55f, -0.9f}, 0.08f, 0.2f, 0.2f, 8);
    return mesh;
}

// Mounted on a wall at its origin, facing +z; the door stands 1.6 off the wall so that shots
// reach it before they reach the wall behind.
MeshBuilder BreakerModel(bool broken) {
    MeshBuilder mesh;
    const int metal = Gunmetal(mesh);
    const int body = mesh.AddMaterial(
        {"BreakerBody", broken ? Color(0.14f, 0.12f, 0.11f, 1) : Color(0.5f, 0.53f, 0.56f, 1), 0.5f, 0.5f});
    const int panel = mesh.AddMaterial({"BreakerPanel", {1, 1, 1, 1}, 0.4f, 0.5f, {}, BreakerPanelTexture()});
    const int lamp = broken ? mesh.AddMaterial({"Dead", {0.25f, 0.05f, 0.04f, 1}, 0.0f, 0.4f})
                            : mesh.AddMaterial({"Live", {0.3f, 1.0f, 0.4f, 1}, 0.0f, 0.3f, {0.3f, 1.0f, 0.4f}});
    const int red = mesh.AddMaterial({"Knob", {0.8f, 0.08f, 0.06f, 1}, 0.2f, 0.4f});

    mesh.Use(metal);
    mesh.Box({-1.45f, -1.85f, 0.0f}, {1.45f, 1.85f, 0.2f});
    mesh.Cylinder({0.0f, 1.6f, 0.7f}, 2.4f, 0.28f, 0.28f, 10);  // conduit up the wall
    mesh.Use(body);
    mesh.Box({-1.2f, -1.6f, 0.2f}, {1.2f, 1.6f, 1.45f}, 0.08f);
    if (!broken) {
        mesh.Use(panel);
        mesh.SetTextureScale(0.0f);
        mesh.Box({-1.1f, -1.5f, 1.45f}, {1.1f, 1.5f, 1.6f});
        // Lever up: switched on.
        mesh.Use(metal);
        mesh.CylinderX(1.2f, 1.5f, 0.2f, 0.9f, 0.2f, 10);
        mesh.Box({1.3f, 0.2f, 0.8f}, {1.48f, 1.35f, 1.0f});
        mesh.Use(red);
        mesh.Box({1.22f, 1.3f, 0.7f}, {1.56f, 1.6f, 1.1f}, 0.05f);
    } else {
        // Door torn open on its hinge, lever snapped down, sparking wires inside.
        mesh.Use(panel);
        mesh.Placed(Matrix::CreateRotationY(-110.0f * kDegrees) * Matrix::CreateTranslation(-1.1f, 0.0f, 1.5f), [&] {
            mesh.Box({0.0f, -1.5f, -0.05f}, {2.2f, 1.5f, 0.1f});
        });
        mesh.Use(metal);
        mesh.CylinderX(1.2f, 1.5f, 0.2f, 0.9f, 0.2f, 10);
        mesh.Placed(Matrix::CreateRotationX(150.0f * kDegrees) * Matrix::CreateTranslation(1.39f, 0.2f, 0.9f), [&] {
            mesh.Box({-0.09f, 0.0f, -0.1f}, {0.09f, 0.7f, 0.1f});
        });
        const int spark = mesh.AddMaterial({"Spark", {1.0f, 0.6f, 0.2f, 1}, 0.0f, 0.3f, {1.0f, 0.5f, 0.1f}});
        mesh.Use(spark);
        mesh.Box({-0.8f, 0.3f, 1.45f}, {0.6f, 0.38f, 1.55f});
        mesh.Box({-0.2f, -0.9f, 1.45f}, {-0.12f, 0.4f, 1.55f});
        mesh.Box({0.3f, -0.5f, 1.45f}, {0.9f, -0.42f, 1.55f});
    }
    mesh.Use(lamp);
    for (const float x : {-0.7f, -0.35f}) {
        mesh.Box({x, 1.15f, 1.6f}, {x + 0.22f, 1.35f, 1.7f});
    }
    return mesh;
}

// One laser emitter, its lens at the origin looking along +z.
MeshBuilder InstallationStandModel() {
    MeshBuilder mesh;
    const int metal = Gunmetal(mesh);
    const int lens = mesh.AddMaterial({"Lens", {1.0f, 0.3f, 0.3f, 1}, 0.0f, 0.2f, {1.0f, 0.15f, 0.15f}});
    mesh.Use(metal);
    mesh.Box({-0.32f, -0.32f, -0.7f}, {0.32f, 0.32f, -0.05f}, 0.06f);
    for (const float z : {-0.6f, -0.45f, -0.3f}) {
        mesh.Box({-0.42f, -0.42f, z}, {0.42f, 0.42f, z + 0.07f});  // cooling fins
    }
    mesh.CylinderZ(-0.1f, 0.05f, 0.0f, 0.0f, 0.24f, 12);
    mesh.Use(lens);
    mesh.CylinderZ(0.05f, 0.12f, 0.0f, 0.0f, 0.18f, 12, 0.12f);
    return mesh;
}

// The post, at the stand's origin: it reaches the floor 6.5 below and carries five arms that
// hold the emitters 1.5 ahead of it, every 1.5 downwards.
MeshBuilder StandPostModel() {
    MeshBuilder mesh;
    const int metal = Gunmetal(mesh);
    const int hazard = Hazard(mesh);
    const int beacon = mesh.AddMaterial({"Beacon", {1.0f, 0.5f, 0.1f, 1}, 0.0f, 0.3f, {1.0f, 0.45f, 0.05f}});
    mesh.Use(hazard);
    mesh.SetTextureScale(2.0f);
    mesh.Box({-0.35f, -6.5f, -0.35f}, {0.35f, 1.0f, 0.35f});
    mesh.SetTextureScale(0.0f);
    mesh.Use(metal);
    mesh.Box({-0.8f, -6.5f, -0.8f}, {0.8f, -6.3f, 0.8f});
    for (int i = 0; i < 5; ++i) {
        const float y = -1.5f * static_cast<float>(i);
        mesh.Box({-0.12f, y - 0.12f, 0.35f}, {0.12f, y + 0.12f, 0.85f});
    }
    mesh.Use(beacon);
    mesh.Cylinder({0, 1.0f, 0}, 0.35f, 0.22f, 0.16f, 10);
    return mesh;
}

// A door leaf: 7.5 wide along x, 17 high from the floor (the door's centre is 2.2 above the
// origin of the world, 9.7 above the floor), facing +z, which the game turns to face the hall.
// The edge where the two doors meet is +x for the right door and -x for the left one.
MeshBuilder ElevatorDoorModel(bool right) {
    MeshBuilder mesh;
    const int leaf = mesh.AddMaterial({"DoorLeaf", {1, 1, 1, 1}, 0.6f, 0.35f, {}, DoorPanelTexture()});
    const int seal = mesh.AddMaterial({"DoorSeal", {0.08f, 0.08f, 0.09f, 1}, 0.2f, 0.8f});
    const int glow = mesh.AddMaterial({"DoorGlow", {0.2f, 0.55f, 1.0f, 1}, 0.0f, 0.4f, {0.2f, 0.55f, 1.0f}});
    const float meet = right ? 1.0f : -1.0f;
    mesh.Use(leaf);
    mesh.Box({-3.75f, -9.7f, -0.25f}, {3.75f, 7.3f, 0.25f}, 0.05f);
    mesh.Use(seal);
    mesh.Box({meet * 3.75f - 0.08f, -9.7f, -0.2f}, {meet * 3.75f + 0.08f, 7.3f, 0.2f});
    mesh.Use(glow);
    mesh.Box({meet * 3.3f - 0.07f, -4.0f, 0.22f}, {meet * 3.3f + 0.07f, 4.5f, 0.3f});
    return mesh;
}

// A floor lamp beside the elevator: housing on a bracket that reaches back to the wall (1.7
// behind, along -x); the lens faces the hall (+x).
MeshBuilder LampModel(bool lit) {
    MeshBuilder mesh;
    const int metal = Gunmetal(mesh);
    const int lens = lit ? mesh.AddMaterial({"LampLit", {0.9f, 0.3f, 0.04f, 1}, 0.0f, 0.2f, {1.0f, 0.42f, 0.04f}})
                         : mesh.AddMaterial({"LampOff", {0.35f, 0.22f, 0.08f, 1}, 0.1f, 0.3f, {0.06f, 0.03f, 0.0f}});
    mesh.Use(metal);
    mesh.Box({-1.7f, -0.2f, -0.2f}, {-0.5f, 0.2f, 0.2f});
    mesh.Box({-0.55f, -0.7f, -1.0f}, {0.3f, 0.7f, 1.0f}, 0.1f);
    mesh.Use(lens);
    mesh.Box({0.3f, -0.5f, -0.8f}, {0.5f, 0.5f, 0.8f}, 0.08f);
    return mesh;
}
