#include "tools/content/ModelDesigns.h"

#include "tools/content/ModelTextures.h"

// The enemy tank: dark red armour over gunmetal, a single red eye. The hull origin is the robot's
// position; the treads hang 4.5 below it (drawn 0.2 to the right, so their model is centred 0.2
// to the left), the head sits 1.8 above it. The cannon lies on the hull axis and ends short of
// the point 4 ahead where shots and the charge ring appear.

namespace {

struct EnemyMaterials {
    int armour, gunmetal, dark, glow;
};

EnemyMaterials AddEnemyMaterials(MeshBuilder& mesh) {
    EnemyMaterials m;
    m.armour = mesh.AddMaterial({"EnemyArmour", {0.62f, 0.1f, 0.08f, 1}, 0.2f, 0.45f});
    m.gunmetal = mesh.AddMaterial({"EnemyGunmetal", {0.24f, 0.25f, 0.28f, 1}, 0.8f, 0.35f});
    m.dark = mesh.AddMaterial({"EnemyDark", {0.07f, 0.07f, 0.08f, 1}, 0.5f, 0.6f});
    m.glow = mesh.AddMaterial({"EnemyGlow", {1.0f, 0.12f, 0.06f, 1}, 0.0f, 0.3f, {1.0f, 0.08f, 0.03f}});
    return m;
}

constexpr float kTreadShift = -0.2f;

}  // namespace

MeshBuilder EnemyHullModel() {
    MeshBuilder mesh;
    const EnemyMaterials m = AddEnemyMaterials(mesh);
    // Lower hull between the belts, sloped upper hull, fenders over the belts.
    mesh.Use(m.gunmetal);
    mesh.Box({-1.5f, -3.0f, -2.3f}, {1.5f, -1.4f, 2.3f}, 0.1f);
    mesh.Use(m.armour);
    mesh.PrismX({{-2.6f, -1.6f}, {2.2f, -1.6f}, {2.75f, -0.7f}, {2.3f, 0.55f}, {-2.1f, 0.75f}, {-2.6f, 0.2f}}, -2.3f,
                2.3f);
    mesh.Use(m.gunmetal);
    for (const float side : {-1.0f, 1.0f}) {
        const float x0 = side < 0 ? -2.95f : 1.45f, x1 = side < 0 ? -1.45f : 2.95f;
        mesh.Box({x0, -3.05f, -2.9f}, {x1, -2.8f, 2.9f}, 0.05f);
        mesh.Box({x0, -2.8f, 2.4f}, {x1, -2.3f, 2.9f}, 0.05f);  // mudguard
    }
    // Cannon on the hull axis with a muzzle brake.
    mesh.CylinderZ(1.8f, 3.3f, 0.0f, 0.0f, 0.32f, 12);
    mesh.Use(m.dark);
    mesh.Box({-0.5f, -0.22f, 3.15f}, {0.5f, 0.22f, 3.55f}, 0.06f);
    // Exhausts and a warning light at the back.
    mesh.CylinderZ(-2.9f, -2.4f, -1.2f, 0.1f, 0.2f, 8);
    mesh.CylinderZ(-2.9f, -2.4f, 1.2f, 0.1f, 0.2f, 8);
    mesh.Use(m.glow);
    mesh.Box({-0.4f, 0.3f, -2.62f}, {0.4f, 0.5f, -2.5f});
    return mesh;
}

MeshBuilder EnemyTreadModel() {
    MeshBuilder mesh;
    const EnemyMaterials m = AddEnemyMaterials(mesh);
    const int belt = mesh.AddMaterial({"EnemyTread", {0.9f, 0.85f, 0.85f, 1}, 0.6f, 0.6f, {}, TreadLinksTexture()});
    for (const float side : {-1.0f, 1.0f}) {
        const float x0 = kTreadShift + (side < 0 ? -2.8f : 1.6f), x1 = x0 + 1.2f;
        mesh.Use(belt);
        mesh.Tread(x0, x1, -1.9f, 1.9f, 0.0f, 0.8f, 6, 10.0f, m.dark);
        mesh.Use(m.gunmetal);
        const float hub = side < 0 ? x0 - 0.12f : x1;
        for (const float z : {-1.9f, -0.63f, 0.63f, 1.9f}) {
            mesh.CylinderX(hub, hub + 0.12f, 0.8f, z, (z == -1.9f || z == 1.9f) ? 0.6f : 0.4f, 10);
        }
    }
    // Axle block joining the belts under the hull.
    mesh.Use(m.dark);
    mesh.Box({kTreadShift - 1.6f, 0.5f, -1.6f}, {kTreadShift + 1.6f, 1.6f, 1.6f});
    return mesh;
}

MeshBuilder EnemyChestModel() {
    MeshBuilder mesh;
    const EnemyMaterials m = AddEnemyMaterials(mesh);
    // Turret on the hull, with a neck ring for the head.
    mesh.Use(m.gunmetal);
    mesh.Box({-1.35f, 0.5f, -1.5f}, {1.35f, 1.5f, 1.2f}, 0.2f);
    mesh.Use(m.armour);
    mesh.Box({-1.6f, 0.6f, -1.2f}, {-1.2f, 1.35f, 0.9f}, 0.1f);
    mesh.Box({1.2f, 0.6f, -1.2f}, {1.6f, 1.35f, 0.9f}, 0.1f);
    mesh.Use(m.dark);
    mesh.Cylinder({0, 1.45f, 0}, 0.3f, 0.7f, 0.6f, 12);
    return mesh;
}

MeshBuilder EnemyHeadModel() {
    MeshBuilder mesh;
    const EnemyMaterials m = AddEnemyMaterials(mesh);
    mesh.Use(m.armour);
    mesh.Box({-0.95f, -0.2f, -1.0f}, {0.95f, 1.2f, 1.0f}, 0.3f);
    // Eye socket: the eye model sits in it, 0.2 ahead of the head's origin.
    mesh.Use(m.dark);
    mesh.Box({-0.55f, 0.2f, 0.9f}, {0.55f, 0.8f, 1.05f}, 0.05f);
    mesh.Use(m.gunmetal);
    mesh.Cylinder({-0.6f, 1.15f, -0.5f}, 0.7f, 0.06f, 0.04f, 6);
    mesh.Cylinder({0.6f, 1.15f, -0.5f}, 0.5f, 0.06f, 0.04f, 6);
    mesh.Box({-1.05f, 0.3f, -0.4f}, {1.05f, 0.7f, 0.4f}, 0.08f);
    return mesh;
}

// In the head's frame moved 0.2 forward: a round red lens in the socket.
MeshBuilder EnemyEyeModel() {
    MeshBuilder mesh;
    const EnemyMaterials m = AddEnemyMaterials(mesh);
    mesh.Use(m.gunmetal);
    mesh.CylinderZ(0.78f, 0.88f, 0.0f, 0.5f, 0.34f, 12);
    mesh.Use(m.glow);
    mesh.CylinderZ(0.8f, 0.95f, 0.0f, 0.5f, 0.26f, 12, 0.2f);
    return mesh;
}

// In the head's frame moved 1.9 forward: a translucent cone of red light widening away from the
// eye, drawn additively from both sides.
MeshBuilder EnemyEyeLightModel() {
    MeshBuilder mesh;
    mesh.AddMaterial({"EyeLight", {1.0f, 0.18f, 0.1f, 0.35f}, 0.0f, 1.0f, {1.0f, 0.2f, 0.1f}, nullptr, true});
    mesh.CylinderZ(-0.95f, 2.2f, 0.0f, 0.5f, 0.22f, 14, 1.1f);
    return mesh;
}

// Debris only: a leg strut with its knee joint.
MeshBuilder EnemyLegModel() {
    MeshBuilder mesh;
    const EnemyMaterials m = AddEnemyMaterials(mesh);
    mesh.Use(m.gunmetal);
    mesh.Box({-0.3f, -1.2f, -0.3f}, {0.3f, 1.2f, 0.3f}, 0.08f);
    mesh.Use(m.dark);
    mesh.CylinderX(-0.4f, 0.4f, 1.2f, 0.0f, 0.35f, 10);
    mesh.Use(m.armour);
    mesh.Box({-0.35f, -1.3f, -0.5f}, {0.35f, -0.9f, 0.6f}, 0.06f);
    return mesh;
}

// Debris only: a piece of the spine column.
MeshBuilder EnemySpineModel() {
    MeshBuilder mesh;
    const EnemyMaterials m = AddEnemyMaterials(mesh);
    mesh.Use(m.dark);
    mesh.Cylinder({0, -1.0f, 0}, 2.0f, 0.35f, 0.35f, 10);
    mesh.Use(m.gunmetal);
    for (const float y : {-0.8f, -0.1f, 0.6f}) {
        mesh.Cylinder({0, y, 0}, 0.25f, 0.55f, 0.55f, 10);
    }
    return mesh;
}

MeshBuilder EnemyBulletModel() {
    MeshBuilder mesh;
    mesh.AddMaterial({"EnemyBullet", {1.0f, 0.35f, 0.15f, 1}, 0.0f, 0.3f, {1.0f, 0.3f, 0.1f}});
    mesh.Placed(Matrix::CreateScale({1.0f, 1.0f, 1.8f}), [&] { mesh.Sphere({0, 0, 0}, 0.35f, 10, 6); });
    return mesh;
}
