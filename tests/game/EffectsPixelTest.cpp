// ctest-cost: 10
#include <gtest/gtest.h>

#include "game/effects/C_GunMuzzleFlash.h"
#include "game/player/C_Player.h"
#include "game/player/C_PlayerBullet.h"
#include "game/world/C_Game.h"
#include "tests/game/GameSceneFixture.h"

namespace {

using EffectsPixelTest = GameScenePixelTest;

// The left gun sits behind the robot's chest from the usual camera; with the robot backed up near
// the hangar's back wall the camera is pushed in and the flash shows between head and right arm.
TEST_F(EffectsPixelTest, GunFlashShowsAtTheLeftGunAndFades) {
    C_Game& game = StartAfterFade();
    game.player->position = Vector3(38.0f, -7.5f, -13.5f);
    RunFrames(30);
    const Image before = ReadBackBuffer();

    Key(FwKey::MouseLeft, true);
    RunFrames(1);
    Key(FwKey::MouseLeft, false);
    ASSERT_EQ(game.gunFlashes.size(), 1u);
    // Only the flash may change the picture: the bullet would cross the same pixels.
    game.playerBullets.clear();
    RunFrames(1);
    ASSERT_NEAR(game.gunFlashes[0]->Alpha(), 0.8f, 1e-4f);
    const Image lit = ReadBackBuffer();
    RunFrames(9);
    ASSERT_TRUE(game.gunFlashes.empty());
    const Image after = ReadBackBuffer();

    // Warm additive light beside the gun, and nothing of it once the flash is gone.
    int brighter = 0;
    int leftOver = 0;
    for (int y = 400; y < 480; ++y) {
        for (int x = 0; x < 240; ++x) {
            const uint8_t* const b = before.At(x, y);
            const uint8_t* const l = lit.At(x, y);
            const uint8_t* const a = after.At(x, y);
            brighter += l[0] > b[0] + 40 && l[0] >= l[2];
            leftOver += a[0] != b[0] || a[1] != b[1] || a[2] != b[2];
        }
    }
    EXPECT_GT(brighter, 150);
    EXPECT_EQ(leftOver, 0);
}

}  // namespace
