// ctest-cost: 25
#include <gtest/gtest.h>

#include <cmath>

#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "tests/game/GameSceneFixture.h"

namespace {

// Walking and aiming in the open hangar, where no wall is within reach.
class PlayerTest : public GameSceneTest {
protected:
    C_Player& Start() {
        StartGame();
        RunFrames(1);
        return *Game()->player;
    }
};

TEST_F(PlayerTest, OppositeKeysCancel) {
    C_Player& player = Start();
    const Vector3 start = player.position;
    for (const auto& keys : {std::pair(FwKey::W, FwKey::S), std::pair(FwKey::A, FwKey::D)}) {
        Key(keys.first, true);
        Key(keys.second, true);
        RunFrames(5);
        EXPECT_TRUE(player.moving);
        EXPECT_EQ(player.position, start);
        EXPECT_EQ(player.legYaw, 0.0f);
        Key(keys.first, false);
        Key(keys.second, false);
    }
}

TEST_F(PlayerTest, DiagonalIsNoFasterThanOneKey) {
    C_Player& player = Start();
    Key(FwKey::W, true);
    Key(FwKey::D, true);
    for (int frame = 0; frame < 10; ++frame) {
        const Vector3 before = player.position;
        RunFrames(1);
        const Vector3 step = player.position - before;
        EXPECT_NEAR(step.Length(), 0.5f, 1e-4f);
        // Forward plus right at yaw 0: north-east.
        EXPECT_NEAR(step.x, step.z, 1e-4f);
        EXPECT_EQ(step.y, 0.0f);
    }
}

TEST_F(PlayerTest, PitchIsClampedAndYawIsNot) {
    C_Player& player = Start();
    MoveMouse(0, 100000);
    RunFrames(1);
    EXPECT_EQ(player.pitch, 75.0f);
    MoveMouse(0, -100000);
    RunFrames(1);
    EXPECT_EQ(player.pitch, -30.0f);
    MoveMouse(4000, 40);
    RunFrames(1);
    EXPECT_EQ(player.yaw, 1000.0f);
    EXPECT_EQ(player.pitch, -20.0f);
    // The mouse goes back home every frame, so a movement counts once.
    RunFrames(1);
    EXPECT_EQ(player.yaw, 1000.0f);
}

TEST_F(PlayerTest, WalkingBackwardsSwingsTheTreadsTheNegativeWay) {
    C_Player& player = Start();
    Key(FwKey::S, true);
    for (int frame = 1; frame <= 12; ++frame) {
        RunFrames(1);
        EXPECT_NEAR(player.legYaw, -15.0f * static_cast<float>(frame), 1e-3f) << "frame " << frame;
    }
    RunFrames(10);
    EXPECT_NEAR(player.legYaw, -180.0f, 0.01f);
    // The body still faces forward: only the treads turned.
    EXPECT_EQ(player.yaw, 0.0f);
}

TEST_F(PlayerTest, InactiveWindowLeavesRobotAndCursorAlone) {
    C_Player& player = Start();
    const Vector3 start = player.position;
    Focus(false);
    Key(FwKey::W, true);
    MoveMouse(40, 8);
    RunFrames(3);
    EXPECT_EQ(player.position, start);
    EXPECT_EQ(player.yaw, 0.0f);
    int dx = 0;
    int dy = 0;
    FwInput::GetInstance().GetCursorOffset(dx, dy);
    EXPECT_EQ(dx, 40);
    EXPECT_EQ(dy, 8);
}

TEST_F(PlayerTest, WallKeepsTheFootPointTwoUnitsAway) {
    C_Player& player = Start();
    // The hangar's east wall stands at x = 60; turn east, then walk into it. (W held in the frame
    // of the turn would still walk the old way: keys are read before the mouse.)
    MoveMouse(360, 0);
    RunFrames(1);
    Key(FwKey::W, true);
    RunFrames(120);
    EXPECT_NEAR(player.position.x, 58.0f, 0.3f);
    EXPECT_NEAR(player.position.y, -7.5f, 1e-4f);
    EXPECT_NEAR(player.position.z, -8.0f, 1e-3f);
}

TEST_F(PlayerTest, DamageKillsAtZeroAndNeverGoesBelow) {
    C_Player& player = Start();
    player.Damage(-99.0f);
    EXPECT_TRUE(player.alive);
    EXPECT_EQ(player.hitPoints, 1.0f);
    player.Damage(-1.0f);
    EXPECT_FALSE(player.alive);
    EXPECT_EQ(player.hitPoints, 0.0f);
    player.Damage(-50.0f);
    EXPECT_EQ(player.hitPoints, 0.0f);
}

TEST_F(PlayerTest, DeadRobotSlumpsAndTakesNoInput) {
    C_Player& player = Start();
    player.Damage(-100.0f);
    const Vector3 start = player.position;
    Key(FwKey::W, true);
    MoveMouse(100, 100);
    RunFrames(349);
    EXPECT_LT(player.deathTilt, 35.0f);
    RunFrames(1);
    EXPECT_NEAR(player.deathTilt, 35.0f, 1e-4f);
    EXPECT_NEAR(player.headTiltAngle, 25.0f, 1e-4f);
    RunFrames(50);
    EXPECT_NEAR(player.deathTilt, 35.0f, 1e-4f);
    EXPECT_EQ(player.position, start);
    EXPECT_EQ(player.yaw, 0.0f);
}

TEST_F(PlayerTest, CameraLooksAlongTheAimFromBehindTheRightShoulder) {
    // Far enough from the south wall that nothing comes between the camera and the robot.
    WriteLevelFile("data.txt", "38 -7.5 15 0");
    C_Player& player = Start();
    MoveMouse(120, 40);  // 30 degrees right, 10 down
    RunFrames(2);
    const C_Camera& camera = *Game()->camera;
    const Vector3 view = (camera.target - camera.position).Normalized();
    EXPECT_NEAR(view.Dot(camera.Forward()), 1.0f, 1e-4f);
    EXPECT_NEAR(Vector3::Distance(camera.target, camera.position), 13.0f, 1e-3f);
    // The pivot is 6 units to the right of the chest and 2 above it.
    const Vector3 offset = camera.target - player.chestWorld.Translation();
    EXPECT_NEAR(offset.y, 2.0f, 1e-4f);
    EXPECT_NEAR(offset.Dot(player.chestWorld.Right()), 6.0f, 1e-3f);
}

}  // namespace
