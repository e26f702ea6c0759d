#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "framework/model/FwCollision.h"
#include "framework/model/FwModel.h"
#include "framework/model/FwRayBvh.h"
#include "tests/model/GLTFTestFile.h"
#include "tests/support/GameRun.h"

namespace {

constexpr int kGrid = 24;  // quads a side of the floor

// Integer floor vertices, so that rays along grid lines run exactly through edges and corners.
GLTFTestFile::Primitive Floor() {
    GLTFTestFile::Primitive floor;
    for (int z = 0; z <= kGrid; ++z) {
        for (int x = 0; x <= kGrid; ++x) {
            floor.positions.insert(floor.positions.end(), {float(x - kGrid / 2), 0.0f, float(z - kGrid / 2)});
        }
    }
    for (int z = 0; z < kGrid; ++z) {
        for (int x = 0; x < kGrid; ++x) {
            const auto a = uint16_t(z * (kGrid + 1) + x);
            const auto c = uint16_t(a + kGrid + 1);
            floor.indices.insert(floor.indices.end(), {a, c, uint16_t(a + 1), uint16_t(a + 1), c, uint16_t(c + 1)});
        }
    }
    return floor;
}

// Random triangles of every size and slant, each listed twice in places so that equal distances
// must be settled by face order.
GLTFTestFile::Primitive Soup(std::mt19937& random) {
    std::uniform_real_distribution<float> place(-8.0f, 8.0f);
    std::uniform_real_distribution<float> spread(-3.0f, 3.0f);
    GLTFTestFile::Primitive soup;
    for (int i = 0; i < 400; ++i) {
        const float cx = place(random);
        const float cy = place(random) * 0.5f + 4.0f;
        const float cz = place(random);
        for (int corner = 0; corner < 3; ++corner) {
            soup.positions.insert(soup.positions.end(),
                                  {cx + spread(random), cy + spread(random), cz + spread(random)});
        }
        const auto base = uint16_t(3 * i);
        soup.indices.insert(soup.indices.end(), {base, uint16_t(base + 1), uint16_t(base + 2)});
        if (i % 7 == 0) {
            soup.indices.insert(soup.indices.end(), {base, uint16_t(base + 2), uint16_t(base + 1)});
        }
    }
    return soup;
}

// A floor, a soup, the soup again turned and scaled by its node, and the floor once more on a
// node of its own at the same place (a tie between nodes: the first node listed wins).
FwModel TestModel(TempDir& dir) {
    std::mt19937 random(11);
    GLTFTestFile file;
    const int floor = file.AddMesh({Floor()});
    const int soup = file.AddMesh({Soup(random)});
    file.AddNode({{"mesh", floor}});
    file.AddNode({{"mesh", soup}});
    file.AddNode({{"mesh", soup},
                  {"rotation", {0.0f, 0.3826834f, 0.0f, 0.9238795f}},
                  {"scale", {1.5f, 0.5f, 1.5f}},
                  {"translation", {1.0f, 2.0f, -3.0f}}});
    file.AddNode({{"mesh", floor}});
    file.WriteText(dir.File("rays.gltf"));
    FwModel model;
    EXPECT_TRUE(model.Load(dir.File("rays.gltf")));
    return model;
}

struct Ray {
    Vector3 origin;
    Vector3 direction;
};

Vector3 RandomUnit(std::mt19937& random) {
    std::normal_distribution<float> normal;
    for (;;) {
        const Vector3 v(normal(random), normal(random), normal(random));
        if (v.Length() > 1e-3f) {
            return v.Normalized();
        }
    }
}

// Random rays, rays aimed at floor corners and edge midpoints, rays straight down grid lines and
// corners, rays lying in the floor's plane, and a ray without a direction.
std::vector<Ray> TestRays() {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> place(-16.0f, 16.0f);
    std::uniform_int_distribution<int> cell(-kGrid / 2, kGrid / 2);
    std::vector<Ray> rays;
    for (int i = 0; i < 3000; ++i) {
        rays.push_back({{place(random), place(random), place(random)}, RandomUnit(random)});
    }
    for (int i = 0; i < 1500; ++i) {
        const Vector3 origin(place(random), std::fabs(place(random)) + 0.5f, place(random));
        Vector3 target(float(cell(random)), 0.0f, float(cell(random)));
        target.x += (i % 3 == 1) ? 0.5f : 0.0f;  // the middle of an edge
        target.z += (i % 3 == 2) ? 0.5f : 0.0f;
        rays.push_back({origin, (target - origin).Normalized()});
    }
    for (int x = -kGrid / 2; x <= kGrid / 2; ++x) {
        for (int z = -kGrid / 2; z <= kGrid / 2; z += 3) {
            rays.push_back({{float(x), 20.0f, float(z)}, {0, -1, 0}});
            rays.push_back({{float(x) + 0.5f, 20.0f, float(z)}, {0, -1, 0}});
            rays.push_back({{float(x), -5.0f, float(z) + 0.25f}, {0, 1, 0}});
        }
        rays.push_back({{float(x), 0.0f, -20.0f}, {0, 0, 1}});
        rays.push_back({{-20.0f, 0.0f, float(x) + 0.5f}, Vector3(1, 0, 0.01f).Normalized()});
    }
    rays.push_back({{0, 10, 0}, {0, 0, 0}});
    return rays;
}

std::string Describe(const Ray& ray, const Matrix& world) {
    std::ostringstream text;
    text << "origin (" << ray.origin.x << ", " << ray.origin.y << ", " << ray.origin.z << ") direction ("
         << ray.direction.x << ", " << ray.direction.y << ", " << ray.direction.z << ") world row 0 (" << world.m[0][0]
         << ", " << world.m[0][1] << ", " << world.m[0][2] << ")";
    return text.str();
}

}  // namespace

// The hierarchy only chooses what to test: hit, distance, normal and the face chosen on ties are
// exactly those of testing every face, for every placement of the model, degenerate ones too.
TEST(RayToModelHierarchy, AnswersExactlyAsBruteForce) {
    TempDir dir;
    const FwModel model = TestModel(dir);
    ASSERT_EQ(model.Nodes().size(), 4u);
    const std::vector<Ray> rays = TestRays();
    const Matrix worlds[] = {
        Matrix::Identity,
        Matrix::CreateScale(2.0f) * Matrix::CreateRotationY(0.7f) * Matrix::CreateTranslation(-3, 1, 40),
        Matrix::CreateScale(Vector3(1.0f, 3.0f, 0.25f)) * Matrix::CreateRotationX(0.2f),
        Matrix::CreateScale(0.0f),
        Matrix::CreateScale(Vector3(1.0f, 0.0f, 1.0f)),
        Matrix::CreateScale(1e-19f),
        Matrix::CreateTranslation(1e6f, 0, 0),
    };
    int hits = 0;
    for (const Matrix& world : worlds) {
        for (const Ray& ray : rays) {
            float fast = -1.0f;
            float slow = -1.0f;
            Vector3 fastNormal(9, 9, 9);
            Vector3 slowNormal(9, 9, 9);
            const bool fastHit = RayToModel(model, world, ray.origin, ray.direction, fast, fastNormal);
            const bool slowHit = RayToModelBruteForce(model, world, ray.origin, ray.direction, slow, slowNormal);
            ASSERT_EQ(fastHit, slowHit) << Describe(ray, world);
            ASSERT_EQ(fast, slow) << Describe(ray, world);
            ASSERT_EQ(fastNormal.x, slowNormal.x) << Describe(ray, world);
            ASSERT_EQ(fastNormal.y, slowNormal.y) << Describe(ray, world);
            ASSERT_EQ(fastNormal.z, slowNormal.z) << Describe(ray, world);
            hits += fastHit ? 1 : 0;
        }
    }
    // Rays that meet something make up a fair share of the placements that can be hit.
    EXPECT_GT(hits, int(rays.size()));
}

// A ray crossing a corner of a big floor is offered a handful of its faces, not all of them, and
// a box beyond the nearest hit is never opened.
TEST(RayToModelHierarchy, OffersOnlyTheFacesNearTheRay) {
    const GLTFTestFile::Primitive floor = Floor();
    std::vector<Vector3> positions;
    for (size_t i = 0; i < floor.positions.size(); i += 3) {
        positions.emplace_back(floor.positions[i], floor.positions[i + 1], floor.positions[i + 2]);
    }
    std::vector<FwMeshFace> faces;
    for (size_t i = 0; i < floor.indices.size(); i += 3) {
        faces.push_back({{floor.indices[i], floor.indices[i + 1], floor.indices[i + 2]}});
    }
    faces.push_back({{0, 1, uint32_t(positions.size())}});  // names a vertex that is not there: left out
    FwRayBvh bvh;
    bvh.Build(positions, faces);
    ASSERT_FALSE(bvh.Empty());

    size_t offered = 0;
    bool sawBroken = false;
    float limit = INFINITY;
    bvh.Traverse({2.0f, 5.0f, 3.0f}, {0, -1, 0}, limit, [&](uint32_t face) {
        ++offered;
        sawBroken |= face == faces.size() - 1;
    });
    EXPECT_GE(offered, 2u);  // the two triangles of the quad under the ray, and neighbours sharing its corner
    EXPECT_LE(offered, 32u);
    EXPECT_FALSE(sawBroken);

    // Along the floor's plane from outside: with a nearest hit at 1 nothing past the first boxes opens.
    size_t near = 0;
    limit = 1.0f;
    bvh.Traverse({-11.5f, 0.0f, -20.0f}, {0, 0, 1}, limit, [&](uint32_t) { ++near; });
    EXPECT_EQ(near, 0u);
    size_t along = 0;
    limit = INFINITY;
    bvh.Traverse({-11.5f, 0.0f, -20.0f}, {0, 0, 1}, limit, [&](uint32_t) { ++along; });
    EXPECT_GT(along, 0u);
    EXPECT_LT(along, faces.size() / 4);

    bvh.Build(positions, {});
    EXPECT_TRUE(bvh.Empty());
}
