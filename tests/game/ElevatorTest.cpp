#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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
        ASSERT_EQ(Vector3::Distance(game.player->chestWorld.Translation(), kRightDoorStart), offset);
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
    RunFrames(60);
    EXPECT_EQ(game.elevator->RightDoorPosition().z, rightOpen);
    EXPECT_FALSE(game.elevator->DoorsClosed());
}

// Door sound on opening, door sound on closing, up sound once shut: each exactly once.
TEST_F(ElevatorTest, EachSoundPlaysOnceHoweverLongTheDoorsMove) {
    C_Game& game = StartAt(Vector3(-220.0f, -7.5f, -1.0f));
    RunFrames(1);
    EXPECT_EQ(game.elevator->SoundsPlayed(), 1);
    RunFrames(250);
    EXPECT_EQ(game.elevator->SoundsPlayed(), 1);

    game.player->position = kInCabin;
    int closingFrame = -1;
    int shutFrame = -1;
    for (int frame = 0; frame < 800 && shutFrame < 0; ++frame) {
        RunFrames(1);
        if (closingFrame < 0 && game.elevator->Closed()) {
            closingFrame = frame;
            EXPECT_EQ(game.elevator->SoundsPlayed(), 2);
        }
        if (game.elevator->DoorsClosed()) {
            shutFrame = frame;
        }
    }
    ASSERT_GE(closingFrame, 0);
    ASSERT_GT(shutFrame, closingFrame);
    EXPECT_EQ(game.elevator->SoundsPlayed(), 3);
    RunFrames(300);
    EXPECT_EQ(game.elevator->SoundsPlayed(), 3);
}

TEST_F(ElevatorTest, DoorsReverseWhenThePlayerArrivesWhileTheyAreOpening) {
    C_Game& game = StartAt(kInCabin);
    std::vector<float> rightDoor;
    int arrivedAt = -1;
    for (int frame = 0; frame < 600 && !game.elevator->DoorsClosed(); ++frame) {
        RunFrames(1);
        rightDoor.push_back(game.elevator->RightDoorPosition().z);
        if (arrivedAt < 0 && game.player->arrived) {
            arrivedAt = frame;
        }
    }
    ASSERT_GT(arrivedAt, 1);
    ASSERT_LT(rightDoor[arrivedAt - 1], 12.0f) << "the robot took too long to turn: the doors finished opening";
    // Opening until the frame before, closing from the frame of arrival on.
    EXPECT_GT(rightDoor[arrivedAt - 1], rightDoor[arrivedAt - 2]);
    EXPECT_LT(rightDoor[arrivedAt], rightDoor[arrivedAt - 1]);
    EXPECT_TRUE(game.elevator->DoorsClosed());
    EXPECT_NEAR(rightDoor.back(), 3.0f, 0.2f);
    EXPECT_NEAR(game.elevator->LeftDoorPosition().z, -4.5f, 0.2f);
}

TEST_F(ElevatorTest, LampsCountDownOnlyOnceTheDoorsHaveShut) {
    C_Game& game = StartAt(kInCabin);
    int shutFrame = -1;
    std::vector<std::pair<int, int>> steps;  // frame, lit lamp
    for (int frame = 0; frame < 1400; ++frame) {
        RunFrames(1);
        if (shutFrame < 0 && game.elevator->DoorsClosed()) {
            shutFrame = frame;
        }
        if (shutFrame < 0) {
            ASSERT_EQ(game.lamps->LitIndex(), 4) << "frame " << frame;
        } else if (steps.empty() || steps.back().second != game.lamps->LitIndex()) {
            steps.emplace_back(frame, game.lamps->LitIndex());
        }
    }
    ASSERT_GE(shutFrame, 0);
    // The countdown runs from the frame the doors shut: the first step on its 60th frame, then
    // one every 120 frames down to lamp 0.
    const std::vector<std::pair<int, int>> expected = {{shutFrame, 4},
                                                       {shutFrame + 59, 3},
                                                       {shutFrame + 179, 2},
                                                       {shutFrame + 299, 1},
                                                       {shutFrame + 419, 0}};
    ASSERT_LT(shutFrame + 420, 1400);
    EXPECT_EQ(steps, expected);
}

}  // namespace
