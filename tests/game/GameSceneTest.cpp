#include <gtest/gtest.h>

#include <cmath>

#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/world/C_Elevator.h"
#include "game/world/C_Game.h"
#include "game/world/C_GameClear.h"
#include "scenes/SceneManager.h"
#include "tests/game/GameSceneFixture.h"

namespace {

const Vector3 kInCabin(-236.0f, -7.5f, -1.0f);

TEST_F(GameSceneTest, LevelFadesInFromBlackOverAHundredFrames) {
    StartGame();
    RunFrames(1);
    EXPECT_FLOAT_EQ(Game()->blackAlpha, 0.99f);
    double first[3];
    BackBufferPixels().Average(0, 0, 1280, 720, first);
    EXPECT_LT(first[0] + first[1] + first[2], 3 * 4.0);

    RunFrames(99);
    EXPECT_GT(Game()->blackAlpha, 0.0f);
    RunFrames(1);
    EXPECT_EQ(Game()->blackAlpha, 0.0f);
    RunFrames(20);
    EXPECT_EQ(Game()->blackAlpha, 0.0f);
    double later[3];
    BackBufferPixels().Average(0, 0, 1280, 720, later);
    EXPECT_GT(later[0] + later[1] + later[2], 3 * 30.0);
}

TEST_F(GameSceneTest, CursorIsHiddenWhileTheSceneExists) {
    StartGame();
    EXPECT_FALSE(FwInput::GetInstance().IsCursorShown());
    RunFrames(2);
    SceneManager::GetInstance().Release();
    EXPECT_TRUE(FwInput::GetInstance().IsCursorShown());
}

// Anywhere above the 14 by 14 quad at x -244.2 .. -230.2, z -8.35 .. 5.65 counts.
TEST_F(GameSceneTest, GoalAreaStartsTheEndingFromAnywhereAboveIt) {
    const struct {
        Vector3 position;
        bool ending;
    } cases[] = {
        {kInCabin, true},
        {Vector3(-230.3f, -7.5f, 5.5f), true},
        {Vector3(-237.0f, 40.0f, 0.0f), true},
        {Vector3(-230.0f, -7.5f, 0.0f), false},
        {Vector3(-237.0f, -7.5f, 5.8f), false},
        {Vector3(-237.0f, -8.3f, 0.0f), false},
    };
    for (const auto& c : cases) {
        C_Game& game = StartGame();
        game.player->position = c.position;
        RunFrames(1);
        EXPECT_EQ(game.ending, c.ending) << c.position.x << " " << c.position.y << " " << c.position.z;
        SceneManager::GetInstance().Release();
    }
}

// The robot walks to the back of the cabin on the floor and turns to the camera, which glides to
// its end position; a click counts only after the doors have shut and the button was seen up.
TEST_F(GameSceneTest, EndingRunsToAClickThatStartsANewTitle) {
    C_Game& game = StartGame();
    game.player->position = kInCabin;
    Key(FwKey::MouseLeft, true);
    int frame = 0;
    for (; frame < 900 && !game.elevator->DoorsClosed(); ++frame) {
        RunFrames(1);
        ASSERT_TRUE(game.ending);
        ASSERT_EQ(game.player->position.y, -7.5f) << "frame " << frame;
        ASSERT_TRUE(std::isfinite(game.camera->position.x));
        ASSERT_STREQ(SceneName(), "game");
    }
    ASSERT_TRUE(game.elevator->DoorsClosed());
    EXPECT_TRUE(game.player->arrived);
    EXPECT_NEAR(Vector3::Distance(game.player->position, Vector3(-240.0f, -7.5f, -0.9f)), 0.0f, 0.5f);
    EXPECT_NEAR(game.gameClear->Alpha(), 1.0f, 1e-5f);

    // Held since before the doors shut: not a click. Meanwhile the camera glides on at 0.1 a frame.
    const float glideStart = Vector3::Distance(game.camera->position, game.endEyeTarget);
    RunFrames(30);
    EXPECT_STREQ(SceneName(), "game");
    const float glideEnd = Vector3::Distance(game.camera->position, game.endEyeTarget);
    EXPECT_TRUE(glideEnd < 0.5f || std::fabs(glideStart - glideEnd - 3.0f) < 1e-3f) << glideStart << " " << glideEnd;
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
