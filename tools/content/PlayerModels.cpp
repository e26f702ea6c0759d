#include "tools/content/ModelDesigns.h"

#include "tools/content/ModelTextures.h"

#include <algorithm>

// The player's robot: white armour with blue trim on dark joints, a cyan visor, grey treads.
// Each part's origin is its pivot: the feet for the treads, the spine at 1.7, the chest at 3.3,
// the head at 4.5, the shoulders of the arms. The game scrolls the texture of every part while
// the robot drives, so only the treads carry a texture; the rest is colour and shape.

namespace {

struct PlayerMaterials {
    int white, blue, joint, gunmetal, visor;
};

PlayerMaterials AddPlayerMaterials(MeshBuilder& mesh) {
    PlayerMaterials m;
    m.white = mesh.AddMaterial({"PlayerWhite", {0.92f, 0.93f, 0.95f, 1}, 0.15f, 0.4f});
    m.blue = mesh.AddMaterial({"PlayerBlue", {0.1f, 0.32f, 0.86f, 1}, 0.3f, 0.35f});
    m.joint = mesh.AddMaterial({"PlayerJoint", {0.17f, 0.18f, 0.21f, 1}, 0.7f, 0.4f});
    m.gunmetal = mesh.AddMaterial({"PlayerGunmetal", {0.33f, 0.35f, 0.39f, 1}, 0.8f, 0.3f});
    m.visor = mesh.AddMaterial({"PlayerVisor", {0.2f, 0.85f, 1.0f, 1}, 0.0f, 0.2f, {0.15f, 0.75f, 1.0f}});
    return m;
}

// Shoulder ball and armour plate of an arm whose pivot is the origin.
void Shoulder(MeshBuilder& mesh, const PlayerMaterials& m) {
    mesh.Use(m.joint);
    mesh.Sphere({0, 0, 0}, 0.55f, 10, 6);
    mesh.Use(m.blue);
    mesh.Box({-0.6f, 0.2f, -0.8f}, {0.6f, 0.85f, 0.75f}, 0.15f);
}

// Forearm housing of an arm along +z, ending at `front`.
void Forearm(MeshBuilder& mesh, const PlayerMaterials& m, float halfSize, float front) {
    mesh.Use(m.white);
    mesh.Box({-halfSize, -halfSize, -0.7f}, {halfSize, halfSize, front}, 0.14f);
    mesh.Use(m.blue);
    mesh.Box({-0.16f, halfSize - 0.02f, 0.0f}, {0.16f, halfSize + 0.08f, front - 0.4f});
}

}  // namespace

MeshBuilder PlayerLegModel() {
    MeshBuilder mesh;
    const PlayerMaterials m = AddPlayerMaterials(mesh);
    const int belt = mesh.AddMaterial({"PlayerTread", {1, 1, 1, 1}, 0.6f, 0.6f, {}, TreadLinksTexture()});
    for (const float side : {-1.0f, 1.0f}) {
        const float inner = 1.05f * side, outer = 1.95f * side;
        mesh.Use(belt);
        mesh.Tread(std::min(inner, outer), std::max(inner, outer), -1.4f, 1.4f, 0.0f, 0.6f, 6, 10.0f, m.joint);
        // Wheel hubs on the outside and a blue fender over the belt.
        mesh.Use(m.gunmetal);
        for (const float z : {-1.4f, 0.0f, 1.4f}) {
            const float x0 = (side > 0) ? 1.95f : -2.07f;
            mesh.CylinderX(x0, x0 + 0.12f, 0.6f, z, z == 0.0f ? 0.35f : 0.45f, 10);
        }
        mesh.Use(m.blue);
        mesh.Box({std::min(inner, outer) - 0.05f, 1.22f, -1.7f}, {std::max(inner, outer) + 0.05f, 1.38f, 1.7f}, 0.05f);
    }
    // Hip block between the belts, carrying the spine.
    mesh.Use(m.white);
    mesh.Box({-1.05f, 0.45f, -1.2f}, {1.05f, 1.55f, 1.2f}, 0.18f);
    mesh.Use(m.joint);
    mesh.Cylinder({0, 1.5f, 0}, 0.3f, 0.6f, 0.5f, 12);
    return mesh;
}

MeshBuilder PlayerSpineModel() {
    MeshBuilder mesh;
    const PlayerMaterials m = AddPlayerMaterials(mesh);
    mesh.Use(m.joint);
    mesh.Cylinder({0, 0.0f, 0}, 1.5f, 0.45f, 0.5f, 12);
    mesh.Use(m.blue);
    mesh.Cylinder({0, 0.55f, 0}, 0.35f, 0.62f, 0.62f, 12);
    mesh.Use(m.gunmetal);
    mesh.Cylinder({0, 1.2f, 0}, 0.2f, 0.7f, 0.7f, 12);
    return mesh;
}

MeshBuilder PlayerChestModel() {
    MeshBuilder mesh;
    const PlayerMaterials m = AddPlayerMaterials(mesh);
    // Torso, chest plate, backpack, neck and the sockets of both shoulders.
    mesh.Use(m.white);
    mesh.Box({-1.5f, -0.5f, -1.0f}, {1.5f, 1.0f, 1.1f}, 0.25f);
    mesh.Use(m.blue);
    mesh.Box({-1.0f, -0.15f, 0.95f}, {1.0f, 0.8f, 1.3f}, 0.1f);
    mesh.Box({-1.55f, -0.6f, -0.9f}, {1.55f, -0.3f, 1.0f}, 0.08f);
    mesh.Use(m.visor);
    mesh.Box({-0.25f, 0.2f, 1.28f}, {0.25f, 0.5f, 1.36f});
    mesh.Use(m.joint);
    mesh.Box({-0.85f, -0.2f, -1.7f}, {0.85f, 0.9f, -0.95f}, 0.12f);
    mesh.Cylinder({0, 0.95f, 0}, 0.3f, 0.35f, 0.3f, 10);
    mesh.CylinderX(-1.75f, -1.45f, 0.0f, 0.0f, 0.4f, 10);
    mesh.CylinderX(1.45f, 1.6f, 0.2f, 0.0f, 0.4f, 10);
    mesh.Use(m.gunmetal);
    for (const float x : {-0.5f, 0.0f, 0.5f}) {
        mesh.Box({x - 0.12f, -0.05f, -1.78f}, {x + 0.12f, 0.75f, -1.68f});
    }
    return mesh;
}

MeshBuilder PlayerHeadModel() {
    MeshBuilder mesh;
    const PlayerMaterials m = AddPlayerMaterials(mesh);
    mesh.Use(m.white);
    mesh.Box({-0.75f, 0.0f, -0.8f}, {0.75f, 1.2f, 0.8f}, 0.22f);
    mesh.Use(m.joint);
    mesh.Box({-0.62f, 0.38f, 0.7f}, {0.62f, 0.88f, 0.86f}, 0.05f);
    mesh.Use(m.visor);
    mesh.Box({-0.55f, 0.45f, 0.84f}, {0.55f, 0.8f, 0.9f});
    // Crest and ear discs.
    mesh.Use(m.blue);
    mesh.Box({-0.08f, 1.1f, -0.6f}, {0.08f, 1.5f, 0.45f}, 0.04f);
    mesh.CylinderX(-0.86f, -0.72f, 0.6f, 0.0f, 0.32f, 10);
    mesh.CylinderX(0.72f, 0.86f, 0.6f, 0.0f, 0.32f, 10);
    return mesh;
}

// The left arm is a gun: its barrel lies on the arm's z axis, so bullets leave 4.5 ahead of the
// shoulder, just past the muzzle.
MeshBuilder PlayerLeftArmModel() {
    MeshBuilder mesh;
    const PlayerMaterials m = AddPlayerMaterials(mesh);
    Shoulder(mesh, m);
    Forearm(mesh, m, 0.45f, 2.8f);
    mesh.Use(m.gunmetal);
    mesh.CylinderZ(2.8f, 4.2f, 0.0f, 0.0f, 0.2f, 10);
    mesh.CylinderZ(3.95f, 4.3f, 0.0f, 0.0f, 0.3f, 10);
    mesh.Box({-0.12f, -0.75f, 0.6f}, {0.12f, -0.45f, 1.6f});  // magazine
    return mesh;
}

// The right arm before the pick-up: a three-fingered hand.
MeshBuilder PlayerHandArmModel() {
    MeshBuilder mesh;
    const PlayerMaterials m = AddPlayerMaterials(mesh);
    Shoulder(mesh, m);
    Forearm(mesh, m, 0.42f, 2.4f);
    mesh.Use(m.joint);
    mesh.Box({-0.35f, -0.3f, 2.4f}, {0.35f, 0.3f, 2.9f}, 0.08f);
    mesh.Use(m.gunmetal);
    for (const float x : {-0.25f, 0.05f}) {
        mesh.Box({x, -0.12f, 2.85f}, {x + 0.2f, 0.12f, 3.6f}, 0.04f);
    }
    mesh.Box({0.28f, -0.32f, 2.6f}, {0.45f, -0.1f, 3.3f}, 0.04f);  // thumb
    return mesh;
}

// The right arm after the pick-up, also the floating weapon item: a beam cannon with glowing
// coils; its muzzle is 5 ahead of the shoulder.
MeshBuilder PlayerGunArmModel() {
    MeshBuilder mesh;
    const PlayerMaterials m = AddPlayerMaterials(mesh);
    Shoulder(mesh, m);
    Forearm(mesh, m, 0.55f, 3.0f);
    mesh.Use(m.gunmetal);
    mesh.CylinderZ(3.0f, 4.8f, 0.0f, 0.0f, 0.3f, 12);
    mesh.CylinderZ(4.6f, 5.0f, 0.0f, 0.0f, 0.42f, 12, 0.36f);
    mesh.Use(m.visor);
    for (const float z : {3.2f, 3.75f, 4.3f}) {
        mesh.CylinderZ(z, z + 0.22f, 0.0f, 0.0f, 0.45f, 12);
    }
    return mesh;
}

// Hit volume in the chest's frame, from the feet (3.3 below) to above the head; never seen.
MeshBuilder PlayerCollisionModel() {
    MeshBuilder mesh;
    mesh.AddMaterial({"PlayerCollision", {1, 1, 1, 0.25f}, 0.0f, 1.0f, {}, nullptr, true});
    mesh.Cylinder({0, -3.3f, 0}, 6.1f, 2.9f, 2.9f, 8);
    return mesh;
}

MeshBuilder PlayerBulletModel() {
    MeshBuilder mesh;
    mesh.AddMaterial({"PlayerBullet", {1.0f, 0.9f, 0.5f, 1}, 0.0f, 0.3f, {1.0f, 0.8f, 0.35f}});
    mesh.CylinderZ(-0.7f, 0.2f, 0.0f, 0.0f, 0.1f, 8, 0.14f);
    mesh.CylinderZ(0.2f, 0.5f, 0.0f, 0.0f, 0.14f, 8, 0.0f);
    return mesh;
}
