// ctest-cost: 10
#include <gtest/gtest.h>

#include <cmath>

#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "scenes/SceneManager.h"
#include "tests/game/GameSceneFixture.h"

namespace {

const Vector3 kInCabin(-236.0f, -7.5f, -1.0f);

TEST_F(GameSceneTest, LevelFadesInFromBlackOverAHundredFrames) {
    StartGame();
    RunFrames(1);
    EXPECT_FLOAT_EQ(Game()->blackAlpha, 0.99f);
    double first[3];
    const Image firstFrame = ReadBackBuffer();
    firstFrame.Average(0, 0, firstFrame.width, firstFrame.height, first);
    EXPECT_LT(first[0] + first[1] + first[2], 3 * 4.0);

    RunFrames(99);
    EXPECT_GT(Game()->blackAlpha, 0.0f);
    RunFrames(1);
    EXPECT_EQ(Game()->blackAlpha, 0.0f);
    RunFrames(20);
    EXPECT_EQ(Game()->blackAlpha, 0.0f);
    double later[3];
    const Image laterFrame = ReadBackBuffer();
    laterFrame.Average(0, 0, laterFrame.width, laterFrame.height, later);
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

// The camera glides to its end position at 0.1 a frame while the robot walks in.
TEST_F(GameSceneTest, EndingCameraGlidesTowardItsEndPosition) {
    C_Game& game = StartGame();
    game.player->position = kInCabin;
    RunFrames(2);
    ASSERT_TRUE(game.ending);
    const Vector3 eye = game.camera->position;
    const Vector3 focus = game.camera->target;
    RunFrames(10);
    EXPECT_NEAR(Vector3::Distance(game.camera->position, eye), 1.0f, 1e-3f);
    EXPECT_NEAR(Vector3::Distance(eye, game.endEyeTarget) - Vector3::Distance(game.camera->position, game.endEyeTarget),
                1.0f, 1e-3f);
    EXPECT_NEAR(
        Vector3::Distance(focus, game.endFocusTarget) - Vector3::Distance(game.camera->target, game.endFocusTarget),
        1.0f, 1e-3f);
}

}  // namespace
