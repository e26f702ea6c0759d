// The level files read by the game's own reader, against the stage and the models: every record
// stands inside the stage on the floor, breakers hang on walls facing the room, and every laser
// curtain closes the passage it stands in.

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "tests/content/ContentFixture.h"

using namespace contenttest;

namespace {

constexpr float kFloor = -7.5f;

// Nearest stage surface around a point, horizontally.
float Clearance(const Vector3& p) {
    float nearest = 1e30f;
    for (int i = 0; i < 36; ++i) {
        const float a = 2.0f * Math::kPi * static_cast<float>(i) / 36.0f;
        const StageHit hit = CastStage(p, {std::cos(a), 0.0f, std::sin(a)});
        nearest = std::min(nearest, hit.hit ? hit.distance : 0.0f);
    }
    return nearest;
}

}  // namespace

TEST(Level, HasEnoughOfEverything) {
    const C_LevelLayout& level = Level();
    EXPECT_GE(level.enemies.size(), 10u);
    EXPECT_GE(level.drums.size(), 8u);
    EXPECT_GE(level.breakers.size(), 3u);
    EXPECT_GE(level.stands.size(), 3u);
}

TEST(Level, EnemiesStandOnTheirTreadsInsideTheRoomsAwayFromTheStart) {
    const C_LevelLayout& level = Level();
    const ModelShape treads = ShapeOf("Data/Enemy/caterpillar.gltf");
    for (const Vector3& enemy : level.enemies) {
        EXPECT_NEAR(enemy.y - 4.5f + treads.minimum.y, kFloor, 0.01f) << enemy.x << ", " << enemy.z;
        EXPECT_GE(Vector3::Distance(enemy, level.startPosition), 30.0f) << enemy.x << ", " << enemy.z;
        EXPECT_GE(Clearance(enemy), 3.0f) << enemy.x << ", " << enemy.z;
        EXPECT_GE(Clearance({enemy.x, kFloor, enemy.z}), 3.0f) << enemy.x << ", " << enemy.z;
    }
}

TEST(Level, DrumsStandOnTheFloorClearOfWalls) {
    const ModelShape drum = ShapeOf("Data/Drum/Drum.gltf");
    for (const Vector3& p : Level().drums) {
        EXPECT_NEAR(p.y + drum.minimum.y, kFloor, 0.1f) << p.x << ", " << p.z;
        EXPECT_GE(Clearance(p), 2.5f) << p.x << ", " << p.z;
    }
}

TEST(Level, PlayerStartsOnTheFloorFacingSomethingToSee) {
    const Vector3 start = Level().startPosition;
    EXPECT_NEAR(CastStage(start + Vector3(0, 2, 0), {0, -1, 0}).point.y, kFloor, 1e-4f);
    EXPECT_GE(Clearance(start), 3.0f);
    // Yaw 0 looks along +z: through the hangar to the weapon item beyond the first curtain.
    const Vector3 eye = start + Vector3(0, 3.5f, 0);
    const Vector3 item(38, -4, 79);
    EXPECT_GE(CastStage(eye, (item - eye).Normalized()).distance, Vector3::Distance(eye, item));
}

TEST(Level, BreakersHangOnWallsFacingIntoTheRoom) {
    for (const C_BreakerRecord& b : Level().breakers) {
        const Vector3 facing = Facing(b.angle);
        const StageHit wall = CastStage(b.position + facing * 0.5f, -facing);
        ASSERT_TRUE(wall.hit) << b.position.x << ", " << b.position.z;
        EXPECT_NEAR(wall.distance, 0.5f, 0.3f) << "not against a wall: " << b.position.x << ", " << b.position.z;
        EXPECT_NEAR(wall.normal.Dot(facing), 1.0f, 1e-3f) << b.position.x << ", " << b.position.z;
        EXPECT_GT(CastStage(b.position + facing * 0.5f, facing).distance, 12.0f)
            << b.position.x << ", " << b.position.z;
        EXPECT_GT(b.position.y, kFloor + 2.0f);
    }
}

TEST(Level, EveryStandHasABreakerAndOneBreakerOpensTwoCurtains) {
    const C_LevelLayout& level = Level();
    std::map<int, int> standsPerBreaker;
    for (const C_StandRecord& s : level.stands) {
        ASSERT_GE(s.breakerIndex, 0);
        ASSERT_LT(s.breakerIndex, static_cast<int>(level.breakers.size()));
        ++standsPerBreaker[s.breakerIndex];
    }
    int most = 0;
    for (const auto& [breaker, count] : standsPerBreaker)
        most = std::max(most, count);
    EXPECT_GE(most, 2);
    EXPECT_EQ(standsPerBreaker.size(), level.breakers.size()) << "a breaker that opens nothing";
}

// The barrier is the stand's vertical rectangle from 2 behind to 14 ahead of it and from 10 below
// to 3 above; the lowest of its five emitters hangs 6 below.
TEST(Level, CurtainsCloseTheirPassagesWallToWall) {
    const ModelShape post = ShapeOf("Data/Stage/Stand.gltf");
    for (const C_StandRecord& s : Level().stands) {
        const Vector3 facing = Facing(s.angle);
        const Vector3 p = s.position;
        EXPECT_GT(p.y - 6.0f, kFloor) << p.x << ", " << p.z;
        EXPECT_LT(p.y - 6.0f, kFloor + 1.0f) << p.x << ", " << p.z;
        EXPECT_NEAR(p.y + post.minimum.y, kFloor, 0.05f) << p.x << ", " << p.z;
        for (const float y : {kFloor + 0.1f, -3.0f}) {
            const Vector3 from = Vector3(p.x, y, p.z) + facing * 0.5f;
            const StageHit ahead = CastStage(from, facing);
            const StageHit behind = CastStage(from, -facing);
            ASSERT_TRUE(ahead.hit && behind.hit);
            EXPECT_LE(ahead.distance, 13.5f) << "curtain too short at " << p.x << ", " << p.z;
            EXPECT_LE(behind.distance, 2.5f) << "gap behind the stand at " << p.x << ", " << p.z;
        }
        // The emitters hang 1.5 ahead of the post, which stands against the wall behind them.
        // (The post's offset of 1.5 along -z is not turned with the stand.)
        const Vector3 lowest = p + Vector3(0, -6, -1.5f) + facing * 1.5f;
        const StageHit wall = CastStage(lowest, -facing);
        EXPECT_NEAR(wall.distance, 1.5f, 0.1f) << p.x << ", " << p.z;
        // The beams are measured once, by the lowest emitter, which must meet the stage.
        EXPECT_TRUE(CastStage(lowest, facing).hit);
    }
}
