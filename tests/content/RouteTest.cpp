// The play-through route ("TxtData/route.txt") against the stage and the level: walking it in
// straight lines meets no wall, drum or closed curtain, each breaker is shot from where it can
// be seen, and the walk ends on the goal area inside the elevator.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "game/world/C_GoalArea.h"
#include "tests/content/ContentFixture.h"

using namespace contenttest;

namespace {

constexpr float kFloor = -7.5f;

class Route : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        steps = ReadRoute(error);
        ASSERT_FALSE(steps.empty()) << error;
        ASSERT_EQ(steps.front().action, "start");
        ASSERT_EQ(steps.back().action, "goal");
    }

    // The walked points in order, from the start.
    std::vector<Vector3> Points() const {
        std::vector<Vector3> points;
        for (const RouteStep& step : steps) {
            if (step.action != "shoot")
                points.push_back({step.point.x, kFloor, step.point.z});
        }
        return points;
    }

    std::vector<RouteStep> steps;
};

float Horizontal(const Vector3& v) { return std::hypot(v.x, v.z); }

// Horizontal distance from a point to the segment a-b.
float DistanceToSegment(const Vector3& p, const Vector3& a, const Vector3& b) {
    const Vector3 ab(b.x - a.x, 0, b.z - a.z), ap(p.x - a.x, 0, p.z - a.z);
    const float t = std::clamp(ap.Dot(ab) / std::max(ab.Dot(ab), 1e-6f), 0.0f, 1.0f);
    return Horizontal(ap - ab * t);
}

float Cross2(const Vector3& a, const Vector3& b) { return a.x * b.z - a.z * b.x; }

// Whether the segments a-b and c-d cross in the horizontal plane.
bool Crosses(const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& d) {
    const float d1 = Cross2(b - a, c - a), d2 = Cross2(b - a, d - a);
    const float d3 = Cross2(d - c, a - c), d4 = Cross2(d - c, b - c);
    return (d1 > 0) != (d2 > 0) && (d3 > 0) != (d4 > 0);
}

}  // namespace

TEST_F(Route, StartsWhereThePlayerStartsAndEndsOnTheGoalArea) {
    const Vector3 start = Level().startPosition;
    EXPECT_EQ(steps.front().point, start);
    C_GoalArea goal;
    goal.Update();
    EXPECT_TRUE(goal.Contains(Points().back()));
    for (size_t i = 0; i + 1 < Points().size(); ++i) {
        EXPECT_FALSE(goal.Contains(Points()[i])) << "the ending would start early at step " << i;
    }
}

TEST_F(Route, IsLongAndPassesOverTheWeaponItem) {
    const std::vector<Vector3> points = Points();
    float length = 0.0f, nearestItem = 1e30f;
    for (size_t i = 0; i < points.size(); ++i) {
        if (i > 0)
            length += Vector3::Distance(points[i - 1], points[i]);
        // Picked up within 6 units of the item, which bobs between -5 and -3.
        nearestItem = std::min(nearestItem, Horizontal(points[i] - Vector3(38, kFloor, 79)));
    }
    EXPECT_GE(length, 250.0f);
    EXPECT_LE(nearestItem, 3.9f);
}

TEST_F(Route, WalksInStraightLinesClearOfWallsAndDrums) {
    const std::vector<Vector3> points = Points();
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const Vector3 a = points[i], b = points[i + 1];
        const float length = Vector3::Distance(a, b);
        const Vector3 along = (b - a) / length;
        const Vector3 side(along.z, 0, -along.x);
        // The feet are held 2 from the wall ahead; the body must pass beside pillars and corners.
        EXPECT_GE(CastStage(a, along).distance, length + 2.0f) << "step " << i << " runs into a wall";
        for (const float offset : {-1.5f, 1.5f}) {
            const Vector3 body = a + side * offset + Vector3(0, 2.5f, 0);
            EXPECT_GE(CastStage(body, along).distance, length) << "step " << i << " grazes a wall";
        }
        // Robots are pushed 5.5 from a drum's centre, measured from the drum's mid-height.
        for (const Vector3& drum : Level().drums) {
            EXPECT_GE(DistanceToSegment(drum, a, b), 5.0f)
                << "step " << i << " meets the drum at " << drum.x << ", " << drum.z;
        }
    }
}

TEST_F(Route, CrossesEachCurtainOnlyAfterShootingItsBreaker) {
    const C_LevelLayout& level = Level();
    std::set<int> shot;
    Vector3 here = steps.front().point;
    for (const RouteStep& step : steps) {
        if (step.action == "shoot") {
            ASSERT_GE(step.breaker, 0);
            ASSERT_LT(step.breaker, static_cast<int>(level.breakers.size()));
            shot.insert(step.breaker);
            continue;
        }
        const Vector3 next(step.point.x, kFloor, step.point.z);
        for (const C_StandRecord& stand : level.stands) {
            const Vector3 facing = Facing(stand.angle);
            const bool crossing = Crosses(here, next, stand.position - facing * 2.0f, stand.position + facing * 14.0f);
            EXPECT_FALSE(crossing && shot.count(stand.breakerIndex) == 0)
                << "walks into the curtain at " << stand.position.x << ", " << stand.position.z;
        }
        here = next;
    }
}

TEST_F(Route, ShootsEachBreakerFromWhereItCanBeSeen) {
    const C_LevelLayout& level = Level();
    Vector3 here = steps.front().point;
    std::set<int> shot;
    for (const RouteStep& step : steps) {
        if (step.action != "shoot") {
            here = {step.point.x, kFloor, step.point.z};
            continue;
        }
        const C_BreakerRecord& breaker = level.breakers[step.breaker];
        const Vector3 facing = Facing(breaker.angle);
        const Vector3 target = breaker.position + facing * 1.6f;  // its front
        const Vector3 eye = here + Vector3(0, 5.3f, 0);           // the camera's pivot height
        const float distance = Vector3::Distance(eye, target);
        EXPECT_GT(facing.Dot(eye - target), 0.0f) << "breaker " << step.breaker << " is shot from behind";
        EXPECT_LT(distance, 60.0f) << "breaker " << step.breaker;
        EXPECT_GE(CastStage(eye, (target - eye) / distance).distance, distance - 0.05f)
            << "breaker " << step.breaker << " is hidden from " << here.x << ", " << here.z;
        shot.insert(step.breaker);
    }
    EXPECT_EQ(shot.size(), level.breakers.size());
}
