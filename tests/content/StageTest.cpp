// The stage model as the game uses it: every ray is cast through the game's own stage (model and
// world matrix) with the game's ray query. Points to test come from the level files, the route and
// the fixed positions of the elevator, the lamps and the ending.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/model/FwModel.h"
#include "game/world/C_Stage.h"
#include "tests/content/ContentFixture.h"

using namespace contenttest;

namespace {

constexpr float kFloor = -7.5f;

// Points where robots stand or the camera looks from, at floor height.
std::vector<Vector3> StandingPoints() {
    const C_LevelLayout& level = Level();
    std::vector<Vector3> points{level.startPosition};
    for (const Vector3& p : level.enemies)
        points.push_back({p.x, kFloor, p.z});
    for (const Vector3& p : level.drums)
        points.push_back({p.x + 3.5f, kFloor, p.z});
    std::string error;
    for (const RouteStep& step : ReadRoute(error)) {
        if (step.action != "shoot")
            points.push_back({step.point.x, kFloor, step.point.z});
    }
    // The ending walk's target, the corners of the goal area, in front of the doors.
    for (const Vector3& p : {Vector3(-240, kFloor, -0.9f), Vector3(-244, kFloor, -8.2f), Vector3(-230.4f, kFloor, 5.5f),
                             Vector3(-226, kFloor, -0.75f)}) {
        points.push_back(p);
    }
    return points;
}

}  // namespace

// The rooms the game culls by are marked over the level's whole inside, and the generator leaves
// out every face that touches none of them (under the floor, above the ceilings, behind walls).
TEST(Stage, StaysWithinTheTriangleBudgetAndEveryFaceTouchesAMarkedRoom) {
    std::vector<FwAreaVisibility::Box> rooms;
    for (const FwModelNode& node : Stage().Model().Nodes()) {
        if (!node.Mesh && node.Name == "Area") {
            FwAreaVisibility::Box box;
            box.Grow(Vector3::Transform(Vector3(-1, -1, -1), node.Transform * Stage().World()));
            box.Grow(Vector3::Transform(Vector3(1, 1, 1), node.Transform * Stage().World()));
            rooms.push_back(box);
        }
    }
    ASSERT_EQ(rooms.size(), 11u);
    EXPECT_EQ(Stage().Areas().AreaCount(), 11u) << "the rooms meet face to face and share no space";
    for (const Vector3& p : StandingPoints()) {
        EXPECT_TRUE(std::any_of(rooms.begin(), rooms.end(), [&](const auto& room) { return room.Contains(p); }))
            << p.x << ", " << p.z;
    }
    size_t faces = 0;
    for (const FwModelNode& node : Stage().Model().Nodes()) {
        if (!node.Mesh) {
            continue;
        }
        const std::vector<Vector3>& positions = node.Mesh->Positions();
        for (const FwMeshFace& face : node.Mesh->Faces()) {
            FwAreaVisibility::Box extent;
            for (const uint32_t corner : face.idx) {
                extent.Grow(Vector3::Transform(positions[corner], node.Transform * Stage().World()));
            }
            const bool touches = std::any_of(rooms.begin(), rooms.end(),
                                             [&](const FwAreaVisibility::Box& room) { return extent.Overlaps(room, 2e-3f); });
            EXPECT_TRUE(touches) << "face " << faces << " at " << extent.minimum.x << ", " << extent.minimum.y << ", "
                                 << extent.minimum.z;
            ++faces;
        }
    }
    EXPECT_GT(faces, 500u);
    EXPECT_LT(faces, 6000u);  // every ray tests every triangle
}

TEST(Stage, FloorIsFlatAtTheWalkingHeightUnderEveryStandingPoint) {
    for (const Vector3& p : StandingPoints()) {
        const StageHit down = CastStage(p + Vector3(0, 4, 0), {0, -1, 0});
        ASSERT_TRUE(down.hit) << p.x << ", " << p.z;
        EXPECT_NEAR(down.point.y, kFloor, 1e-4f) << p.x << ", " << p.z;
        EXPECT_NEAR(down.normal.y, 1.0f, 1e-5f) << p.x << ", " << p.z;
    }
}

TEST(Stage, IsClosedAndSeenFromInsideInEveryDirection) {
    const std::vector<Vector3> directions = SphereDirections(160);
    std::vector<Vector3> eyes;
    for (const Vector3& p : StandingPoints()) {
        eyes.push_back(p + Vector3(0, 1, 0));
        eyes.push_back(p + Vector3(0, 6, 0));  // camera height
    }
    eyes.push_back({-190, 5.5f, -3.9f});  // the ending camera
    for (const Vector3& eye : eyes) {
        int misses = 0, backFaces = 0;
        for (const Vector3& d : directions) {
            const StageHit hit = CastStage(eye, d);
            misses += hit.hit ? 0 : 1;
            backFaces += (hit.hit && hit.normal.Dot(d) >= 0.0f) ? 1 : 0;
        }
        EXPECT_EQ(misses, 0) << "rays escape from " << eye.x << ", " << eye.y << ", " << eye.z;
        EXPECT_EQ(backFaces, 0) << "faces seen from behind at " << eye.x << ", " << eye.y << ", " << eye.z;
    }
}

// Robots slide along walls by rays level with the floor (the player) and with the enemy hulls;
// a sloped face there would push them up or down.
TEST(Stage, WallsAreVerticalWhereRobotsTouchThem) {
    for (const Vector3& p : StandingPoints()) {
        for (const float y : {kFloor, -3.0f}) {
            for (int i = 0; i < 48; ++i) {
                const float a = 2.0f * Math::kPi * static_cast<float>(i) / 48.0f;
                const StageHit hit = CastStage({p.x, y, p.z}, {std::cos(a), 0.0f, std::sin(a)});
                ASSERT_TRUE(hit.hit) << p.x << ", " << y << ", " << p.z;
                EXPECT_LT(std::fabs(hit.normal.y), 1e-5f)
                    << "at " << hit.point.x << ", " << hit.point.y << ", " << hit.point.z;
            }
        }
    }
}

TEST(Stage, ElevatorHallLeavesRoomForTheOpenDoorsAndTheEndingView) {
    // The doors slide along z at x -228.5 and stop near 12.5 and -14.0, each 7.5 wide.
    for (const float y : {-7.0f, 0.0f, 9.0f}) {
        EXPECT_GE(CastStage({-228.5f, y, -0.75f}, {0, 0, 1}).distance, 17.0f) << y;
        EXPECT_GE(CastStage({-228.5f, y, -0.75f}, {0, 0, -1}).distance, 17.0f) << y;
    }
    // Through the doorway into the cabin, the whole width of the goal area.
    for (const float z : {-7.5f, -0.75f, 5.6f}) {
        const StageHit through = CastStage({-226, -5, z}, {-1, 0, 0});
        EXPECT_LT(through.point.x, -244.2f) << z;
    }
    // From the ending camera the hall is open all the way to the elevator wall.
    const StageHit view = CastStage({-190, 5.5f, -3.9f}, {-1, 0, 0});
    EXPECT_LT(view.point.x, -228.5f);
    // Above the doorway the lamps hang in the hall, in front of the wall.
    for (int i = 0; i < 5; ++i) {
        const Vector3 lamp(-226.5f, 11.0f, 3.55f - 2.5f * static_cast<float>(i));
        EXPECT_GT(CastStage(lamp, {1, 0, 0}).distance, 20.0f) << i;
        EXPECT_GT(CastStage(lamp, {0, -1, 0}).distance, 1.0f) << i;
    }
}
