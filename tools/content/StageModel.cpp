#include "tools/content/ModelDesigns.h"

#include "tools/content/ModelTextures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

// The stage is laid out in world coordinates and drawn with the translation (0, 11, 0), so the
// model is shifted down by 11. The floor is one plane at world height -7.5 and every wall is
// vertical: robots slide along walls by rays cast level with the floor and with their hulls.

namespace {

constexpr float kStageLift = 11.0f;
constexpr float kFloor = -7.5f;
// Walls reach below the floor and above the ceiling, so a ray along the floor meets a wall
// inside its face rather than on its edge, and no seam opens where the planes meet.
constexpr float kWallBottom = -8.5f;
constexpr float kWallOverlap = 1.0f;
constexpr float kSkirtingTop = -6.3f;
constexpr float kTopBand = 1.2f;
constexpr float kFrameWidth = 1.0f;      // hazard frame round every opening
constexpr float kThresholdDepth = 1.5f;  // hazard floor strip either side of an opening
// Fittings that meet a wall or ceiling run on into it, so that no face of theirs lies in the
// wall's plane (rays would meet both at once).
constexpr float kEmbed = 0.3f;

// A box-shaped room or corridor; areas that touch share an opening as wide as their overlap and
// as high as the lower ceiling.
struct Area {
    float x0, x1, z0, z1, ceiling;
};

// Hangar (start), armory passage, armory, corridor B, room C, corridor D, room E, the gate to
// the hall, elevator hall F, the elevator doorway and the cabin.
const Area kAreas[] = {
    {16, 60, -20, 50, 14},         {32, 44, 50, 64, 8},
    {24, 52, 64, 94, 10},          {-40, 16, -7, 7, 8},
    {-110, -40, -30, 30, 14},      {-140, -110, -7, 7, 8},
    {-183, -140, -30, 30, 14},     {-189, -183, -7, 7, 8},
    {-228.9f, -189, -22, 22, 16},  {-229.6f, -228.9f, -8, 6.5f, 9},
    {-246, -229.6f, -9, 7.5f, 10},
};

enum Side { kWest, kEast, kSouth, kNorth };

struct Opening {
    size_t area;
    Side side;
    float s0, s1;  // along the wall: z for west and east walls, x for south and north walls
    float top;
};

std::vector<Opening> FindOpenings() {
    std::vector<Opening> openings;
    for (size_t a = 0; a < std::size(kAreas); ++a) {
        for (size_t b = 0; b < std::size(kAreas); ++b) {
            const Area& p = kAreas[a];
            const Area& q = kAreas[b];
            const float top = std::min(p.ceiling, q.ceiling);
            if (p.x1 == q.x0 && std::min(p.z1, q.z1) > std::max(p.z0, q.z0)) {
                const float s0 = std::max(p.z0, q.z0), s1 = std::min(p.z1, q.z1);
                openings.push_back({a, kEast, s0, s1, top});
                openings.push_back({b, kWest, s0, s1, top});
            }
            if (p.z1 == q.z0 && std::min(p.x1, q.x1) > std::max(p.x0, q.x0)) {
                const float s0 = std::max(p.x0, q.x0), s1 = std::min(p.x1, q.x1);
                openings.push_back({a, kNorth, s0, s1, top});
                openings.push_back({b, kSouth, s0, s1, top});
            }
        }
    }
    return openings;
}

// Sorted, without repeats, inside [low, high].
std::vector<float> Cuts(std::vector<float> values, float low, float high) {
    values.push_back(low);
    values.push_back(high);
    std::erase_if(values, [&](float v) { return v < low || v > high; });
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

// Whether the triangle touches the inside of an area (floor to ceiling, walls included): one that
// touches none lies below the floor, above a ceiling or behind a wall, always hidden by them, and
// every ray from inside meets them first.
bool TouchesAnArea(const Vector3& a, const Vector3& b, const Vector3& c) {
    constexpr double kContact = 1e-3;
    for (const Area& r : kAreas) {
        const double low[3] = {r.x0 - kContact, kFloor - kContact, r.z0 - kContact};
        const double high[3] = {r.x1 + kContact, r.ceiling + kContact, r.z1 + kContact};
        // The triangle clipped to the box, one side at a time.
        std::vector<std::array<double, 3>> polygon = {{a.x, a.y, a.z}, {b.x, b.y, b.z}, {c.x, c.y, c.z}};
        for (int side = 0; side < 6 && !polygon.empty(); ++side) {
            const int axis = side / 2;
            const double bound = side % 2 == 0 ? low[axis] : high[axis];
            const auto distance = [&](const std::array<double, 3>& p) {
                return side % 2 == 0 ? p[axis] - bound : bound - p[axis];
            };
            std::vector<std::array<double, 3>> clipped;
            for (size_t i = 0; i < polygon.size(); ++i) {
                const auto& p = polygon[i];
                const auto& q = polygon[(i + 1) % polygon.size()];
                const double dp = distance(p), dq = distance(q);
                if (dp >= 0.0) {
                    clipped.push_back(p);
                }
                if ((dp >= 0.0) != (dq >= 0.0)) {
                    const double t = dp / (dp - dq);
                    clipped.push_back({p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t, p[2] + (q[2] - p[2]) * t});
                }
            }
            polygon = std::move(clipped);
        }
        if (!polygon.empty()) {
            return true;
        }
    }
    return false;
}

struct Materials {
    int floor, hazard, wall, trim, ceiling, light, structure, crate, glow;
};

// Texture repeat in world units for each material's planar mapping.
constexpr float kFloorRepeat = 8.0f;
constexpr float kWallRepeat = 8.0f;
constexpr float kDetailRepeat = 4.0f;

class StageBuilder {
public:
    StageBuilder() : openings(FindOpenings()) {
        mesh.SetPlacement(Matrix::CreateTranslation(0, -kStageLift, 0));
        const TextureRef trim = TrimTexture();
        materials.floor = mesh.AddMaterial({"Floor", {1, 1, 1, 1}, 0.3f, 0.55f, {}, FloorPanelsTexture()});
        materials.hazard = mesh.AddMaterial({"Hazard", {1, 1, 1, 1}, 0.1f, 0.7f, {}, HazardStripesTexture()});
        materials.wall = mesh.AddMaterial({"Wall", {1, 1, 1, 1}, 0.2f, 0.6f, {}, WallPlatingTexture()});
        materials.trim = mesh.AddMaterial({"Trim", {1, 1, 1, 1}, 0.6f, 0.45f, {}, trim});
        materials.ceiling = mesh.AddMaterial({"Ceiling", {1, 1, 1, 1}, 0.2f, 0.8f, {}, CeilingTexture()});
        materials.light = mesh.AddMaterial({"Light", {1, 1, 1, 1}, 0.0f, 0.9f, {1.0f, 0.96f, 0.88f}});
        materials.structure = mesh.AddMaterial({"Structure", {1, 1, 1, 1}, 0.4f, 0.5f, {}, GirderTexture()});
        materials.crate = mesh.AddMaterial({"Crate", {1, 1, 1, 1}, 0.3f, 0.6f, {}, CrateTexture()});
        materials.glow = mesh.AddMaterial({"Glow", {0.2f, 0.5f, 1.0f, 1}, 0.0f, 0.5f, {0.25f, 0.6f, 1.0f}});
    }

    // Walls, floors and ceilings, and a marker over each area's floor-to-ceiling box: the game
    // tells from those which rooms can be seen from which.
    void Shell() {
        for (const Area& r : kAreas) {
            mesh.AddMarker("Area", {r.x0, kFloor, r.z0}, {r.x1, r.ceiling, r.z1});
        }
        for (size_t a = 0; a < std::size(kAreas); ++a) {
            for (const Side side : {kWest, kEast, kSouth, kNorth}) {
                Wall(a, side);
            }
            Floor(a);
            Ceiling(a);
        }
    }

    // Decoration is solid boxes and pipes; anything below head height has vertical sides.
    void Box(int material, const Vector3& minimum, const Vector3& maximum, float repeat = kDetailRepeat) {
        mesh.Use(material);
        mesh.SetTextureScale(repeat);
        mesh.Box(minimum, maximum);
    }

    void Pillar(float x, float z, float halfWidth, float ceiling) {
        Box(materials.structure, {x - halfWidth, kWallBottom, z - halfWidth},
            {x + halfWidth, ceiling + kWallOverlap, z + halfWidth});
        // Hazard collar at foot height.
        Box(materials.hazard, {x - halfWidth - 0.1f, kWallBottom, z - halfWidth - 0.1f},
            {x + halfWidth + 0.1f, kFloor + 1.2f, z + halfWidth + 0.1f});
    }

    // Crate stack: a 6-unit container, and optionally a second one on top. Like everything that
    // stands on the floor, it starts below it.
    void Crates(float x, float z, bool stacked) {
        mesh.Use(materials.crate);
        mesh.SetTextureScale(0.0f);
        mesh.Box({x - 3, kWallBottom, z - 3}, {x + 3, kFloor + 6, z + 3});
        if (stacked) {
            mesh.Box({x - 2.6f, kFloor + 6, z - 2.6f}, {x + 2.6f, kFloor + 11.2f, z + 2.6f});
        }
    }

    // Roof beams across the area along x or z, every `spacing` units, and light bars between them.
    void Roof(const Area& r, bool alongX, float spacing) {
        const float from = alongX ? r.z0 : r.x0, to = alongX ? r.z1 : r.x1;
        const int count = static_cast<int>((to - from) / spacing);
        const float margin = (to - from - static_cast<float>(count) * spacing) * 0.5f;
        for (int i = 0; i <= count; ++i) {
            const float c = from + margin + static_cast<float>(i) * spacing;
            if (c - 0.6f <= from || c + 0.6f >= to) {
                continue;
            }
            const float top = r.ceiling + kEmbed;
            if (alongX) {
                Box(materials.structure, {r.x0 - kEmbed, r.ceiling - 1.4f, c - 0.6f}, {r.x1 + kEmbed, top, c + 0.6f});
            } else {
                Box(materials.structure, {c - 0.6f, r.ceiling - 1.4f, r.z0 - kEmbed}, {c + 0.6f, top, r.z1 + kEmbed});
            }
            if (i == count) {
                continue;
            }
            const float l = c + spacing * 0.5f;
            const float along0 = (alongX ? r.x0 : r.z0) + 6, along1 = (alongX ? r.x1 : r.z1) - 6;
            if (alongX) {
                Box(materials.light, {along0, r.ceiling - 0.35f, l - 0.7f}, {along1, r.ceiling, l + 0.7f});
            } else {
                Box(materials.light, {l - 0.7f, r.ceiling - 0.35f, along0}, {l + 0.7f, r.ceiling, along1});
            }
        }
    }

    // Glowing strip round the walls of an area at the given height, broken at openings.
    void GlowStrip(size_t a, float y) {
        const Area& r = kAreas[a];
        for (const Side side : {kWest, kEast, kSouth, kNorth}) {
            const bool alongZ = side == kWest || side == kEast;
            const float plane = side == kWest ? r.x0 : side == kEast ? r.x1 : side == kSouth ? r.z0 : r.z1;
            const float inward = (side == kWest || side == kSouth) ? 1.0f : -1.0f;
            std::vector<std::pair<float, float>> pieces{
                {(alongZ ? r.z0 : r.x0) - kEmbed, (alongZ ? r.z1 : r.x1) + kEmbed}};
            for (const Opening& o : openings) {
                if (o.area != a || o.side != side || o.top + kFrameWidth <= y - 0.2f) {
                    continue;
                }
                std::vector<std::pair<float, float>> split;
                for (const auto& [p0, p1] : pieces) {
                    if (o.s0 - kFrameWidth > p0)
                        split.push_back({p0, o.s0 - kFrameWidth});
                    if (o.s1 + kFrameWidth < p1)
                        split.push_back({o.s1 + kFrameWidth, p1});
                }
                pieces = split;
            }
            for (const auto& [p0, p1] : pieces) {
                const float back = plane - inward * kEmbed, front = plane + inward * 0.15f;
                const float w0 = std::min(back, front), w1 = std::max(back, front);
                if (alongZ) {
                    Box(materials.glow, {w0, y - 0.2f, p0}, {w1, y + 0.2f, p1});
                } else {
                    Box(materials.glow, {p0, y - 0.2f, w0}, {p1, y + 0.2f, w1});
                }
            }
        }
    }

    // Leaves out the faces that touch no area: the picture and every ray stay as they were, with
    // less for the vertex stage to transform and bin.
    MeshBuilder Finish() {
        const Vector3 lift(0.0f, kStageLift, 0.0f);
        mesh.KeepTriangles([&](const Vector3& a, const Vector3& b, const Vector3& c) {
            return TouchesAnArea(a + lift, b + lift, c + lift);
        });
        return std::move(mesh);
    }

    Materials materials{};

private:
    // Wall of one side of an area, seen from inside, with its openings cut out.
    void Wall(size_t a, Side side) {
        const Area& r = kAreas[a];
        const bool alongZ = side == kWest || side == kEast;
        const float plane = side == kWest ? r.x0 : side == kEast ? r.x1 : side == kSouth ? r.z0 : r.z1;
        const float begin = alongZ ? r.z0 : r.x0, end = alongZ ? r.z1 : r.x1;
        const Vector3 inward = side == kWest    ? Vector3::UnitX
                               : side == kEast  ? Vector3(-1, 0, 0)
                               : side == kSouth ? Vector3::UnitZ
                                                : Vector3(0, 0, -1);
        std::vector<float> sCuts, tCuts{kFloor, kSkirtingTop, r.ceiling - kTopBand};
        std::vector<const Opening*> holes;
        for (const Opening& o : openings) {
            if (o.area != a) {
                continue;
            }
            // Every wall of an area shares the height cuts, so corners meet vertex to vertex.
            tCuts.insert(tCuts.end(), {o.top, o.top + kFrameWidth});
            if (o.side == side) {
                holes.push_back(&o);
                sCuts.insert(sCuts.end(), {o.s0, o.s1, o.s0 - kFrameWidth, o.s1 + kFrameWidth});
            }
        }
        sCuts = Cuts(sCuts, begin, end);
        tCuts = Cuts(tCuts, kWallBottom, r.ceiling + kWallOverlap);
        for (size_t i = 0; i + 1 < sCuts.size(); ++i) {
            for (size_t j = 0; j + 1 < tCuts.size(); ++j) {
                const float s0 = sCuts[i], s1 = sCuts[i + 1], t0 = tCuts[j], t1 = tCuts[j + 1];
                int material = (t1 <= kSkirtingTop || t0 >= r.ceiling - kTopBand) ? materials.trim : materials.wall;
                bool hole = false;
                for (const Opening* o : holes) {
                    // Openings reach below the floor too: nothing may stand in the doorway. Over
                    // an opening the wall does not reach above its own ceiling either, where the
                    // neighbour's wall stands in the same plane.
                    const bool within = s0 >= o->s0 && s1 <= o->s1;
                    hole = hole || (within && (t1 <= o->top || t0 >= r.ceiling));
                    if (t0 >= kFloor && s0 >= o->s0 - kFrameWidth && s1 <= o->s1 + kFrameWidth &&
                        t1 <= o->top + kFrameWidth) {
                        material = materials.hazard;
                    }
                }
                if (hole) {
                    continue;
                }
                mesh.Use(material);
                mesh.SetTextureScale(material == materials.wall ? kWallRepeat : kDetailRepeat);
                auto at = [&](float s, float t) { return alongZ ? Vector3(plane, t, s) : Vector3(s, t, plane); };
                mesh.Face({at(s0, t0), at(s0, t1), at(s1, t1), at(s1, t0)}, inward);
            }
        }
    }

    // Cuts of a floor or ceiling: wherever a neighbour's edge meets this one, and the threshold
    // strips in front of openings.
    void PlaneCuts(size_t a, bool thresholds, std::vector<float>& xCuts, std::vector<float>& zCuts) const {
        const Area& r = kAreas[a];
        for (const Opening& o : openings) {
            if (o.area != a) {
                continue;
            }
            const float depth = thresholds ? kThresholdDepth : 0.0f;
            switch (o.side) {
            case kWest:
                zCuts.insert(zCuts.end(), {o.s0, o.s1});
                xCuts.push_back(r.x0 + depth);
                break;
            case kEast:
                zCuts.insert(zCuts.end(), {o.s0, o.s1});
                xCuts.push_back(r.x1 - depth);
                break;
            case kSouth:
                xCuts.insert(xCuts.end(), {o.s0, o.s1});
                zCuts.push_back(r.z0 + depth);
                break;
            case kNorth:
                xCuts.insert(xCuts.end(), {o.s0, o.s1});
                zCuts.push_back(r.z1 - depth);
                break;
            }
        }
        xCuts = Cuts(xCuts, r.x0, r.x1);
        zCuts = Cuts(zCuts, r.z0, r.z1);
    }

    bool InThreshold(size_t a, float x0, float x1, float z0, float z1) const {
        const Area& r = kAreas[a];
        for (const Opening& o : openings) {
            if (o.area != a) {
                continue;
            }
            const bool alongZ = o.side == kWest || o.side == kEast;
            const float s0 = alongZ ? z0 : x0, s1 = alongZ ? z1 : x1;
            const bool within = s0 >= o.s0 && s1 <= o.s1;
            const bool near = o.side == kWest    ? x1 <= r.x0 + kThresholdDepth
                              : o.side == kEast  ? x0 >= r.x1 - kThresholdDepth
                              : o.side == kSouth ? z1 <= r.z0 + kThresholdDepth
                                                 : z0 >= r.z1 - kThresholdDepth;
            if (within && near) {
                return true;
            }
        }
        return false;
    }

    void Floor(size_t a) {
        std::vector<float> xCuts, zCuts;
        PlaneCuts(a, true, xCuts, zCuts);
        for (size_t i = 0; i + 1 < xCuts.size(); ++i) {
            for (size_t j = 0; j + 1 < zCuts.size(); ++j) {
                const float x0 = xCuts[i], x1 = xCuts[i + 1], z0 = zCuts[j], z1 = zCuts[j + 1];
                const bool hazard = InThreshold(a, x0, x1, z0, z1);
                mesh.Use(hazard ? materials.hazard : materials.floor);
                mesh.SetTextureScale(hazard ? kDetailRepeat : kFloorRepeat);
                mesh.Face({{x0, kFloor, z0}, {x0, kFloor, z1}, {x1, kFloor, z1}, {x1, kFloor, z0}}, Vector3::UnitY);
            }
        }
    }

    void Ceiling(size_t a) {
        const float y = kAreas[a].ceiling;
        std::vector<float> xCuts, zCuts;
        PlaneCuts(a, false, xCuts, zCuts);
        mesh.Use(materials.ceiling);
        mesh.SetTextureScale(kFloorRepeat);
        for (size_t i = 0; i + 1 < xCuts.size(); ++i) {
            for (size_t j = 0; j + 1 < zCuts.size(); ++j) {
                const float x0 = xCuts[i], x1 = xCuts[i + 1], z0 = zCuts[j], z1 = zCuts[j + 1];
                mesh.Face({{x0, y, z0}, {x0, y, z1}, {x1, y, z1}, {x1, y, z0}}, Vector3(0, -1, 0));
            }
        }
    }

    MeshBuilder mesh;
    std::vector<Opening> openings;
};

enum AreaIndex {
    kHangar,
    kArmoryPassage,
    kArmory,
    kCorridorB,
    kRoomC,
    kCorridorD,
    kRoomE,
    kGate,
    kHallF,
    kDoorway,
    kCabin
};

// Cable trays along the ceiling edges of a corridor running along x, and lamps between.
void CorridorFittings(StageBuilder& stage, const Area& r) {
    for (float x = r.x0 + 5; x + 2 < r.x1; x += 10) {
        stage.Box(stage.materials.light, {x - 1.5f, r.ceiling - 0.3f, -1.2f}, {x + 1.5f, r.ceiling, 1.2f});
    }
    stage.Box(stage.materials.structure, {r.x0, r.ceiling - 1.0f, r.z0}, {r.x1, r.ceiling, r.z0 + 0.8f});
    stage.Box(stage.materials.structure, {r.x0, r.ceiling - 1.0f, r.z1 - 0.8f}, {r.x1, r.ceiling, r.z1});
}

}  // namespace

MeshBuilder StageModel() {
    StageBuilder stage;
    const Materials& m = stage.materials;
    stage.Shell();

    // Hangar: the start. Two pillars, roof beams, containers in the corners.
    const Area& hangar = kAreas[kHangar];
    stage.Roof(hangar, true, 10);
    stage.Pillar(26, 22, 1.5f, hangar.ceiling);
    stage.Pillar(50, 22, 1.5f, hangar.ceiling);
    stage.Crates(19.5f, 41, true);
    stage.Crates(56.5f, 33, false);
    stage.Crates(56.5f, -16.5f, true);
    stage.GlowStrip(kHangar, 5.0f);

    // Armory: racks along the side walls and a light over the gun arm.
    const Area& armory = kAreas[kArmory];
    stage.Box(m.structure, {24, kWallBottom, 68}, {25.5f, 2, 90});
    stage.Box(m.structure, {50.5f, kWallBottom, 68}, {52, 2, 90});
    for (float y : {-4.0f, -1.0f}) {
        stage.Box(m.trim, {25.5f, y, 68}, {26.3f, y + 0.3f, 90});
        stage.Box(m.trim, {49.7f, y, 68}, {50.5f, y + 0.3f, 90});
    }
    stage.Box(m.light, {35, armory.ceiling - 0.3f, 76}, {41, armory.ceiling, 82});
    stage.Box(m.light, {30, armory.ceiling - 0.3f, 88}, {46, armory.ceiling, 89});
    stage.GlowStrip(kArmory, 4.0f);

    CorridorFittings(stage, kAreas[kCorridorB]);
    CorridorFittings(stage, kAreas[kCorridorD]);
    stage.Box(m.light, {-187, kAreas[kGate].ceiling - 0.3f, -1.5f}, {-185, kAreas[kGate].ceiling, 1.5f});
    stage.Box(m.light, {36, kAreas[kArmoryPassage].ceiling - 0.3f, 52}, {40, kAreas[kArmoryPassage].ceiling, 54});

    // Room C: four pillars as cover, beams along z.
    const Area& roomC = kAreas[kRoomC];
    stage.Roof(roomC, false, 10);
    for (float x : {-85.0f, -65.0f}) {
        for (float z : {-15.0f, 15.0f}) {
            stage.Pillar(x, z, 1.5f, roomC.ceiling);
        }
    }
    stage.Crates(-106, -26, true);
    stage.Crates(-44, 26, false);
    stage.GlowStrip(kRoomC, 6.0f);

    // Room E: two wide blocks in the middle.
    const Area& roomE = kAreas[kRoomE];
    stage.Roof(roomE, true, 10);
    stage.Box(m.structure, {-165, kWallBottom, -17}, {-159, roomE.ceiling + kWallOverlap, -11});
    stage.Box(m.structure, {-165, kWallBottom, 11}, {-159, roomE.ceiling + kWallOverlap, 17});
    stage.Crates(-144, -26, false);
    stage.Crates(-179, -26, true);
    stage.GlowStrip(kRoomE, 6.0f);

    // Elevator hall F: tall pillars along the sides, a rail over the doors, the lamps' bracket.
    const Area& hall = kAreas[kHallF];
    stage.Roof(hall, false, 10);
    for (float x : {-212.0f, -198.0f}) {
        stage.Pillar(x, -19, 1.5f, hall.ceiling);
        stage.Pillar(x, 19, 1.5f, hall.ceiling);
    }
    stage.Box(m.trim, {-228.9f - kEmbed, 9.6f, -18.5f}, {-227.7f, 10.2f, 17});
    stage.Box(m.structure, {-228.9f - kEmbed, 10.2f, -7.5f}, {-228.2f, 12.6f, 4.6f});
    stage.GlowStrip(kHallF, 7.0f);

    // Cabin: lit ceiling, glowing wall strips, handrails.
    const Area& cabin = kAreas[kCabin];
    stage.Box(m.light, {-243, cabin.ceiling - 0.3f, -6}, {-233, cabin.ceiling, 4.5f});
    stage.Box(m.trim, {-246, -4.2f, -8.6f}, {-245.6f, -3.8f, 7.1f});
    stage.Box(m.trim, {-245.6f, -4.2f, -9}, {-229.6f, -3.8f, -8.6f});
    stage.Box(m.trim, {-245.6f, -4.2f, 7.1f}, {-229.6f, -3.8f, 7.5f});
    stage.GlowStrip(kCabin, 6.5f);
    return stage.Finish();
}
