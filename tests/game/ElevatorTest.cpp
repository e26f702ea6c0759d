// ctest-cost: 30
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/world/C_Elevator.h"
#include "game/world/C_Game.h"
#include "game/world/C_Lamps.h"
#include "scenes/SceneManager.h"
#include "tests/game/GameSceneFixture.h"

namespace {

const Vector3 kRightDoorStart(-228.5f, 2.2f, 3.0f);
// On the goal area inside the cabin, within reach of the doors.
const Vector3 kInCabin(-236.0f, -7.5f, -1.0f);

class ElevatorTest : public GameSceneTest {
protected:
    C_Game& StartAt(const Vector3& position) {
        C_Game& game = StartGame();
        game.player->position = position;
        return game;
    }
};

// The chest is 3.3 above the foot point; pick a foot height that puts it exactly level with the
// door's centre, so that the distance is exactly the x offset.
float FootHeightLevelWithDoor() {
    float y = kRightDoorStart.y - 3.3f;
    while (y + 3.3f != kRightDoorStart.y) {
        y = std::nextafter(y, y + 3.3f < kRightDoorStart.y ? 1.0f : -1.0f);
    }
    return y;
}

TEST_F(ElevatorTest, OpensAtExactlyFifteenUnitsButNotAtFifteenPointZeroOne) {
    const float y = FootHeightLevelWithDoor();
    for (const auto& [offset, opens] : {std::pair(15.0f, true), std::pair(15.01f, false)}) {
        C_Game& game = StartAt(Vector3(kRightDoorStart.x + offset, y, kRightDoorStart.z));
        RunFrames(3);
        const float distance = Vector3::Distance(game.player->chestWorld.Translation(), kRightDoorStart);
        ASSERT_TRUE(opens ? distance == 15.0f : distance > 15.0f) << distance;
        EXPECT_EQ(game.elevator->Opening(), opens) << offset;
        EXPECT_EQ(game.elevator->RightDoorPosition().z > kRightDoorStart.z, opens) << offset;
        SceneManager::GetInstance().Release();
    }
}

TEST_F(ElevatorTest, DoorsOpenAtAWalkingPaceAndStayOpen) {
    C_Game& game = StartAt(Vector3(-220.0f, -7.5f, -1.0f));
    RunFrames(1);
    EXPECT_NEAR(game.elevator->RightDoorPosition().z, 3.05f, 1e-4f);
    EXPECT_NEAR(game.elevator->LeftDoorPosition().z, -4.55f, 1e-4f);
    RunFrames(185);
    // 9.5 units at 0.05 a frame, stopping 0.2 or less short without snapping.
    const float rightOpen = game.elevator->RightDoorPosition().z;
    EXPECT_GE(rightOpen, 12.3f);
    EXPECT_LT(rightOpen, 12.5f);
    // Walking away does not close them again.
    game.player->position = Vector3(-150.0f, -7.5f, 0.0f);
    RunFrames(10);
    EXPECT_EQ(game.elevator->RightDoorPosition().z, rightOpen);
    EXPECT_FALSE(game.elevator->DoorsClosed());
}

// The whole ending: the doors start opening as the robot comes near; it steps into the cabin,
// almost facing the camera, and arrives while they are still opening, so they reverse at once;
// the door sound plays once each way and the up sound once they shut; then the lamps count down;
// then a click, made of a release and a press after the doors shut, starts a new title.
TEST_F(ElevatorTest, EndingClosesTheDoorsCountsTheLampsAndAClickReturnsToTheTitle) {
    C_Game& game = StartAt(Vector3(-220.0f, -7.5f, -1.0f));
    RunFrames(40);
    ASSERT_TRUE(game.elevator->Opening());
    game.player->position = kInCabin;
    const Vector3 toCamera = game.camera->position - kInCabin;
    game.player->yaw = std::atan2(toCamera.x, toCamera.z) / Math::kDegToRad + 30.0f;
    // Held from before: not a click until it has been seen up after the doors shut.
    Key(FwKey::MouseLeft, true);
    std::vector<float> rightDoor;
    int arrivedAt = -1;
    for (int frame = 0; frame < 600 && !game.elevator->DoorsClosed(); ++frame) {
        RunFrames(1);
        ASSERT_TRUE(game.ending);
        ASSERT_EQ(game.player->position.y, -7.5f) << "frame " << frame;
        ASSERT_EQ(game.lamps->LitIndex(), 4) << "frame " << frame;
        rightDoor.push_back(game.elevator->RightDoorPosition().z);
        if (arrivedAt < 0 && game.player->arrived) {
            arrivedAt = frame;
            EXPECT_EQ(game.elevator->SoundsPlayed(), 2) << "the closing sound starts with the closing";
        } else if (!game.elevator->DoorsClosed()) {
            EXPECT_EQ(game.elevator->SoundsPlayed(), arrivedAt < 0 ? 1 : 2) << "frame " << frame;
        }
    }
    ASSERT_TRUE(game.elevator->DoorsClosed());
    const int shutFrame = static_cast<int>(rightDoor.size()) - 1;
    EXPECT_EQ(game.elevator->SoundsPlayed(), 3);

    ASSERT_GT(arrivedAt, 1);
    ASSERT_LT(rightDoor[arrivedAt - 1], 12.0f) << "the robot took too long to turn: the doors finished opening";
    EXPECT_GT(rightDoor[arrivedAt - 1], rightDoor[arrivedAt - 2]);
    EXPECT_LT(rightDoor[arrivedAt], rightDoor[arrivedAt - 1]);
    EXPECT_NEAR(rightDoor.back(), 3.0f, 0.2f);
    EXPECT_NEAR(game.elevator->LeftDoorPosition().z, -4.5f, 0.2f);
    EXPECT_NEAR(Vector3::Distance(game.player->position, Vector3(-240.0f, -7.5f, -0.9f)), 0.0f, 0.5f);

    // The countdown runs from the frame the doors shut: the first step on its 60th frame, then
    // one every 120 frames down to lamp 0, where it stays.
    std::vector<std::pair<int, int>> steps = {{shutFrame, game.lamps->LitIndex()}};
    for (int frame = shutFrame + 1; frame <= shutFrame + 480; ++frame) {
        RunFrames(1);
        if (steps.back().second != game.lamps->LitIndex()) {
            steps.emplace_back(frame, game.lamps->LitIndex());
        }
    }
    const std::vector<std::pair<int, int>> expected = {
        {shutFrame, 4}, {shutFrame + 59, 3}, {shutFrame + 179, 2}, {shutFrame + 299, 1}, {shutFrame + 419, 0}};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(game.elevator->SoundsPlayed(), 3);
    EXPECT_STREQ(SceneName(), "game");

    Key(FwKey::MouseLeft, false);
    RunFrames(1);
    EXPECT_EQ(SceneManager::GetInstance().clickLatch, 1);
    Key(FwKey::MouseLeft, true);
    RunFrames(1);
    EXPECT_TRUE(SceneManager::GetInstance().HasPendingScene());
    EXPECT_EQ(SceneManager::GetInstance().clickLatch, 0);
    RunFrames(1);
    EXPECT_STREQ(SceneName(), "title");
}

}  // namespace
