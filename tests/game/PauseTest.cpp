// ctest-cost: 20
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "framework/audio/FwAudioManager.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwSettings.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "scenes/SceneManager.h"
#include "tests/game/GameSceneFixture.h"

namespace {

// The player among four robots that charge and fire at it: every kind of list is busy.
class PauseTest : public GameSceneTest {
protected:
    void SetUp() override {
        GameSceneTest::SetUp();
        WriteLevelFile("data.txt", "-75 -7.5 0 0");
        WriteLevelFile("Enemydata.txt", "-75 -3 25  -75 -3 -25  -50 -3 0  -100 -3 0");
    }
    void TearDown() override {
        FwGetSettings() = FwSettings();
        GameSceneTest::TearDown();
    }

    const ScopedSeed seed{23u};

    static nlohmann::json Snapshot() {
        nlohmann::json out;
        if (C_Game* game = dynamic_cast<C_Game*>(SceneManager::GetInstance().Current())) {
            game->DumpState(out);
        }
        return out;
    }

    // Drives, turns and fires for `frames` frames from the start of a game.
    void Fight(int frames) {
        Key(FwKey::W, true);
        Key(FwKey::MouseLeft, true);
        for (int frame = 0; frame < frames; ++frame) {
            MoveMouse(frame % 40 < 20 ? 6 : -4, 0);
            RunFrames(1);
        }
    }

    void TapP() {
        Key(FwKey::P, true);
        RunFrames(1);
        Key(FwKey::P, false);
        RunFrames(1);
    }
};

// A run paused half way through its fight ends where the same run without the pause ends, and
// nothing of the world changes while it is held: not even by the mouse and buttons meanwhile.
TEST_F(PauseTest, PauseFreezesTheWorldAndResumeCarriesOnAsIfNothingHappened) {
    StartGame();
    Fight(200);
    const nlohmann::json straight = Snapshot();
    ASSERT_GT(straight["updates"], 199);
    ASSERT_GT(straight["lists"]["enemyBullets"].get<int>() + straight["lists"]["chargeRings"].get<int>(), 0)
        << "the enemies fire while the player fights";

    SceneManager::GetInstance().Release();
    FwSetFixedRandomSeed(23u);
    FwInput::GetInstance().Reset();
    C_Game& game = StartGame();
    Fight(120);
    EXPECT_FALSE(Snapshot()["paused"]);
    EXPECT_TRUE(FwInput::GetInstance().MouseCaptured());
    Key(FwKey::P, true);
    RunFrames(1);  // the pause starts before this frame's update
    nlohmann::json held = Snapshot();
    EXPECT_TRUE(held["paused"]);
    EXPECT_TRUE(held["soundPaused"]);
    EXPECT_TRUE(FwAudioManager::GetInstance().Paused());
    EXPECT_FALSE(FwInput::GetInstance().MouseCaptured()) << "the cursor is the player's while paused";
    Key(FwKey::P, false);
    Key(FwKey::MouseLeft, false);
    for (int frame = 0; frame < 60; ++frame) {
        MoveMouse(25, 9);
        Key(FwKey::MouseRight, frame % 2 == 0);
        RunFrames(1);
        ASSERT_EQ(Snapshot(), held) << "paused frame " << frame;
    }
    Key(FwKey::MouseRight, false);
    Key(FwKey::MouseLeft, true);
    // The resuming frame updates as the 121st of the run without the pause did.
    MoveMouse(6, 0);
    Key(FwKey::P, true);
    RunFrames(1);
    Key(FwKey::P, false);
    EXPECT_FALSE(game.paused);
    EXPECT_FALSE(FwAudioManager::GetInstance().Paused());
    EXPECT_TRUE(FwInput::GetInstance().MouseCaptured());
    // 79 more make 200.
    for (int frame = 121; frame < 200; ++frame) {
        MoveMouse(frame % 40 < 20 ? 6 : -4, 0);
        RunFrames(1);
    }
    EXPECT_EQ(Snapshot(), straight);
}

TEST_F(PauseTest, LosingTheFocusPausesOnlyWhenThePlayerAskedForIt) {
    C_Game& game = StartGame();
    RunFrames(5);
    Focus(false);
    RunFrames(5);
    EXPECT_FALSE(game.paused) << "by default the game plays on and ignores input";
    EXPECT_EQ(Snapshot()["updates"], 10);
    EXPECT_FALSE(FwInput::GetInstance().MouseCaptured()) << "an inactive window lets the mouse go";
    Focus(true);
    RunFrames(1);
    EXPECT_TRUE(FwInput::GetInstance().MouseCaptured());

    FwGetSettings().pauseOnFocusLoss = true;
    Focus(false);
    RunFrames(5);
    EXPECT_TRUE(game.paused);
    EXPECT_EQ(Snapshot()["updates"], 11);
    Focus(true);
    RunFrames(5);
    EXPECT_TRUE(game.paused) << "coming back does not resume by itself";
    TapP();
    EXPECT_FALSE(game.paused);
    EXPECT_EQ(Snapshot()["updates"], 13);
}

}  // namespace
