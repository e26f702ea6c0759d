#include <gtest/gtest.h>

#include <cmath>

#include "game/hazards/C_Breaker.h"
#include "game/hazards/C_Explosion.h"
#include "game/hazards/C_InstallationStand.h"
#include "game/hazards/C_SmokePuff.h"
#include "game/player/C_BeamShot.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "tests/game/GameSceneFixture.h"

namespace {

// In the hangar: breaker 0 on the east wall powers two stands, one of them with its curtain in
// the plane x = 38 from z = 18 to 34 and its beams running north; breaker 1 hangs at height 35,
// above where smoke is kept, and powers the third stand and a fourth outside the stage.
class HazardsTest : public GameSceneTest {
protected:
    C_Game& Start(const std::string& start) {
        WriteLevelFile("data.txt", start);
        WriteLevelFile("breaker.txt", "60 -3 30 270\n60 35 20 270\n");
        WriteLevelFile("installatioStand.txt", "0 38 -1 20 0\n0 50 -1 -15 0\n1 20 -1 -10 0\n1 38 -1 300 0\n");
        StartGame();
        RunFrames(1);
        return *Game();
    }
};

// A breaker's life from three hits to smoke: one hit a frame however many land in it, a white
// flash for the frame of a hit, three explosions (cells 1 to 63, gone on their 64th update), both
// of its stands open in the frame it breaks, smoke from the next update on and every 60 frames;
// shots at a broken breaker do nothing, and a breaker at height 30 or more keeps no smoke.
TEST_F(HazardsTest, BreakerTimelineFromThreeHitsToSmoke) {
    C_Game& game = Start("30 -7.5 0 0");
    C_Breaker& breaker = *game.breakers[0];
    C_Breaker& high = *game.breakers[1];
    C_InstallationStand& curtain = *game.stands[0];
    C_InstallationStand& second = *game.stands[1];

    // Both breakers are hit in the same frames.
    const auto hit = [&]() {
        breaker.shot = true;
        high.shot = true;
        RunFrames(1);
    };
    hit();
    EXPECT_EQ(breaker.HitPoints(), 2);
    EXPECT_TRUE(breaker.HitFlash());
    EXPECT_FALSE(breaker.shot);
    RunFrames(1);
    EXPECT_FALSE(breaker.HitFlash());
    // Two hits in one frame: the flag is set twice, the hit counts once.
    breaker.shot = true;
    hit();
    EXPECT_EQ(breaker.HitPoints(), 1);
    EXPECT_TRUE(breaker.Intact());
    EXPECT_TRUE(curtain.BarrierUp());

    hit();
    EXPECT_FALSE(breaker.Intact());
    EXPECT_FALSE(high.Intact());
    EXPECT_EQ(breaker.HitPoints(), 0);
    EXPECT_FALSE(curtain.BarrierUp());
    EXPECT_FALSE(second.BarrierUp());
    EXPECT_FALSE(game.stands[2]->BarrierUp());
    // Three explosions each, first updated in the next frame.
    ASSERT_EQ(game.explosions.size(), 6u);
    EXPECT_EQ(game.explosions[0]->FrameCounter(), 0);
    EXPECT_TRUE(game.breakerSmokes.empty());

    // Broken: further shots change nothing and the flag stays set.
    breaker.shot = true;
    int puffs = 0;
    for (int update = 1; update <= 130; ++update) {
        const size_t before = game.breakerSmokes.size();
        RunFrames(1);
        if (update <= 63) {
            ASSERT_EQ(game.explosions.size(), 6u) << "update " << update;
            EXPECT_EQ(game.explosions[0]->FrameCounter(), update);
        } else {
            EXPECT_TRUE(game.explosions.empty()) << "update " << update;
        }
        puffs += static_cast<int>(game.breakerSmokes.size() - before);
        // Only the low breaker's puffs stay: the high one's go on their first update.
        EXPECT_EQ(game.breakerSmokes.size(), static_cast<size_t>((update - 1) / 60 + 1)) << "update " << update;
    }
    EXPECT_EQ(breaker.HitPoints(), 0);
    EXPECT_TRUE(breaker.shot);
    EXPECT_EQ(puffs, 3);  // after updates 1, 61 and 121
    const C_SmokePuff& puff = *game.breakerSmokes[0];
    EXPECT_NEAR(puff.World().Translation().x, 61.0f, 1e-3f);
    EXPECT_NEAR(puff.World().Translation().y, -3.0f + 0.05f * 129.0f, 1e-2f);
    EXPECT_EQ(puff.Alpha(), 0.0f);
}

// The curtain flickers narrow, wide, narrow from its first update; it holds an actor facing it 3
// units from its plane, and lets one walk along it or face it from farther away.
TEST_F(HazardsTest, CurtainFlickersAndHoldsOnlyWhatFacesItWithinThreeUnits) {
    C_Game& game = Start("36 -7.5 20 0");
    const C_InstallationStand& curtain = *game.stands[0];
    // Through the armory passage to the armory's north wall at z = 94.
    EXPECT_NEAR(curtain.BeamLength(), 74.0f, 0.01f);
    // Outside the stage, facing away, every ray misses: the beams get the fixed maximum.
    EXPECT_EQ(game.stands[3]->BeamLength(), 100.0f);
    // The first update ran with the first frame.
    for (int update = 1; update <= 6; ++update) {
        EXPECT_NEAR(curtain.HalfWidth(), update % 2 == 1 ? 0.23f : 0.5f, 1e-5f) << "update " << update;
        RunFrames(1);
    }

    C_Player& player = *game.player;
    Key(FwKey::W, true);
    RunFrames(20);
    EXPECT_EQ(player.position.x, 36.0f);
    EXPECT_NEAR(player.position.z, 30.0f, 1e-3f);
    Key(FwKey::W, false);
    RunFrames(1);
    MoveMouse(360, 0);  // east, into the curtain
    RunFrames(1);
    Key(FwKey::W, true);
    for (int frame = 0; frame < 20; ++frame) {
        RunFrames(1);
        EXPECT_NEAR(player.position.x, 35.0f, 1e-4f) << "frame " << frame;
    }
    Key(FwKey::W, false);

    Vector3 push;
    EXPECT_FALSE(curtain.BarrierTest(Vector3(34.0f, -7.5f, 25.0f), Vector3(1.0f, 0.0f, 0.0f), push));
    EXPECT_FALSE(curtain.BarrierTest(Vector3(37.0f, -7.5f, 25.0f), Vector3(0.0f, 0.0f, 1.0f), push));
    ASSERT_TRUE(curtain.BarrierTest(Vector3(35.5f, -7.5f, 25.0f), Vector3(1.0f, 0.0f, 0.0f), push));
    EXPECT_NEAR(push.x, -0.5f, 1e-5f);
    EXPECT_NEAR(push.y, 0.0f, 1e-6f);
    // Facing it at 45 degrees, 2 units off its plane: pushed back to 3 along the normal.
    const Vector3 slant = Vector3(1.0f, 0.0f, 1.0f).Normalized();
    ASSERT_TRUE(curtain.BarrierTest(Vector3(36.0f, -7.5f, 25.0f), slant, push));
    EXPECT_NEAR(push.x, -1.0f, 1e-4f);
}

// A beam that reaches a breaker stops there and flags it, with no impact flash and no burn mark.
TEST_F(HazardsTest, BeamOnABreakerFlagsItWithoutAnImpactFlash) {
    WriteLevelFile("data.txt", "38 -7.5 76 0");
    WriteLevelFile("breaker.txt", "44 -2.5 94 180\n");
    StartGame();
    RunFrames(1);
    C_Game& game = *Game();
    ASSERT_TRUE(game.player->hasGunArm);
    Key(FwKey::MouseRight, true);
    RunFrames(1);
    Key(FwKey::MouseRight, false);
    ASSERT_EQ(game.beamShots.size(), 1u);
    for (int frame = 0; frame < 40 && !game.beamShots.empty(); ++frame) {
        RunFrames(1);
        EXPECT_TRUE(game.beamLasers.empty());
        EXPECT_TRUE(game.burnMarks.empty());
        if (!game.beamShots.empty()) {
            EXPECT_EQ(game.beamShots[0]->Bounces(), 0);
        }
    }
    EXPECT_TRUE(game.beamShots.empty());
    EXPECT_EQ(game.breakers[0]->HitPoints(), 2);
}

}  // namespace
