// ctest-cost: 15
#include <gtest/gtest.h>

#include <cmath>

#include "game/effects/C_GameOver.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "scenes/SceneManager.h"
#include "tests/game/GameSceneFixture.h"

namespace {

// The bar's row on screen: y = 298 in the centre-origin space is pixel row 62.
constexpr int kBarRow = 62;

// Pixels of the gauge's row that show the green bar (inside the frame's transparent middle).
int GreenBarWidth() {
    const Image pixels = ReadBackBuffer();
    int width = 0;
    for (int x = 100; x < 400; ++x) {
        const uint8_t* p = pixels.At(x, kBarRow);
        if (p[1] > 100 && p[1] > p[0] + 40 && p[1] > p[2] + 40) {
            ++width;
        }
    }
    return width;
}

// Nearly white pixels in the 80 by 81 box at the screen centre, where the sighting mark sits.
int WhiteAtCentre() {
    const double share =
        ReadBackBuffer().Share(600, 320, 80, 81, [](int r, int g, int b) { return r > 225 && g > 225 && b > 225; });
    return static_cast<int>(std::lround(share * 80 * 81));
}

using HudTest = GameScenePixelTest;

TEST_F(HudTest, GaugeBarShrinksTowardItsLeftEnd) {
    C_Game& game = StartAfterFade();
    const struct {
        float hitPoints;
        int width;
    } cases[] = {{100.0f, 248}, {50.0f, 124}, {0.0f, 0}};
    for (const auto& c : cases) {
        game.player->hitPoints = c.hitPoints;
        RunFrames(1);
        EXPECT_NEAR(GreenBarWidth(), c.width, 2) << c.hitPoints;
        if (c.width > 0) {
            EXPECT_GT(ReadBackBuffer().At(117, kBarRow)[1], 100) << "the left end stays at x = -524";
        }
    }
}

TEST_F(HudTest, SightingMarkDisappearsTheFrameThePlayerDies) {
    C_Game& game = StartAfterFade();
    const int alive = WhiteAtCentre();
    EXPECT_GT(alive, 40);
    game.player->Damage(-100.0f);
    RunFrames(1);
    EXPECT_LT(WhiteAtCentre(), alive / 4);
}

TEST_F(HudTest, SightingMarkIsHiddenDuringTheEnding) {
    C_Game& game = StartAfterFade();
    EXPECT_GT(WhiteAtCentre(), 40);
    game.player->position = Vector3(-236.0f, -7.5f, -1.0f);
    RunFrames(1);
    ASSERT_TRUE(game.ending);
    EXPECT_LT(WhiteAtCentre(), 10);
}

// The picture fades in over 100 frames; a click made of a release and a press makes exactly
// one title scene, and a button held from before the death does not count.
TEST_F(HudTest, GameOverFadesInAndOneClickMakesOneTitle) {
    C_Game& game = StartAfterFade();
    Key(FwKey::MouseLeft, true);
    game.player->Damage(-100.0f);
    RunFrames(50);
    EXPECT_NEAR(game.gameOver->Alpha(), 0.5f, 1e-4f);
    RunFrames(60);
    EXPECT_EQ(game.gameOver->Alpha(), 1.0f);
    EXPECT_STREQ(SceneName(), "game");
    EXPECT_FALSE(SceneManager::GetInstance().HasPendingScene());

    Key(FwKey::MouseLeft, false);
    RunFrames(1);
    Key(FwKey::MouseLeft, true);
    RunFrames(1);
    SceneManager& scenes = SceneManager::GetInstance();
    EXPECT_TRUE(scenes.HasPendingScene());
    EXPECT_EQ(scenes.clickLatch, 0);
    const C_Scene* requested = nullptr;
    RunFrames(1);
    requested = scenes.Current();
    EXPECT_STREQ(SceneName(), "title");
    // Still held: the title that took over is the one scene made by the click.
    RunFrames(2);
    EXPECT_EQ(scenes.Current(), requested);
    EXPECT_FALSE(scenes.HasPendingScene());
}

}  // namespace
