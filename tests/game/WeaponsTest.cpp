#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "game/effects/C_BurnMark.h"
#include "game/effects/C_GunMuzzleFlash.h"
#include "game/effects/C_RightMuzzleFlash.h"
#include "game/hazards/C_Drum.h"
#include "game/player/C_BeamShot.h"
#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/player/C_PlayerBullet.h"
#include "game/player/C_WeaponItem.h"
#include "game/world/C_Game.h"
#include "tests/game/GameSceneFixture.h"

namespace {

// The robot starts in the armory beside the spare gun arm, which it takes on its first frame,
// facing the north wall 18 units away.
class WeaponsTest : public GameSceneTest {
protected:
    C_Game& Start() {
        WriteLevelFile("data.txt", "38 -7.5 76 0");
        StartGame();
        RunFrames(1);
        return *Game();
    }
};

// What one beam did, frame by frame, until it was deleted.
struct BeamLog {
    int stage = 0;  // contacts with the stage, each with a burn mark
    int drums = 0;  // contacts with a drum, without one
    int stoppedAt = -1;
    int deletedAt = -1;
};

// `step` runs one frame and looks at whatever else the test follows in it.
BeamLog FollowBeam(C_Game& game, const std::function<void(int)>& step, int frames) {
    BeamLog log;
    int bounces = 0;
    for (int frame = 0; frame < frames && log.deletedAt < 0; ++frame) {
        const size_t marks = game.burnMarks.size();
        step(frame);
        if (game.beamShots.empty()) {
            log.deletedAt = frame;
            break;
        }
        const C_BeamShot& beam = *game.beamShots.front();
        if (beam.Bounces() != bounces) {
            EXPECT_EQ(beam.Bounces(), bounces + 1) << "frame " << frame;
            bounces = beam.Bounces();
            // The tip has gone on 1.5 from the contact, which lies up to 3.3 from the drum's centre.
            const bool onDrum = !game.drums.empty() && Vector3::Distance(beam.Tip(), game.drums[0]->Position()) < 5.0f;
            (onDrum ? log.drums : log.stage) += 1;
            EXPECT_EQ(game.burnMarks.size(), marks + (onDrum ? 0 : 1)) << "frame " << frame;
        } else {
            EXPECT_EQ(game.burnMarks.size(), marks) << "frame " << frame;
        }
        if (beam.Stopped() && log.stoppedAt < 0) {
            log.stoppedAt = frame;
            EXPECT_EQ(beam.Bounces(), 3);
        }
    }
    return log;
}

// Both buttons held: the left gun fires on frames 0, 20, 40 ... and the right arm never; each
// bullet ends on the wall with one burn mark; no two gun flashes live at once and none is drawn
// with alpha below 0. Released, the left gun lets the right arm fire as soon as the cool-down is
// out; its flame grows from 1.0 to 1.8 and the beam bounces twice and stops at its third contact.
TEST_F(WeaponsTest, LeftGunTimelineThenTheBeamOffTheWalls) {
    C_Game& game = Start();
    C_Player& player = *game.player;
    EXPECT_TRUE(player.hasGunArm);
    EXPECT_TRUE(game.weaponItem->taken);

    Key(FwKey::MouseLeft, true);
    Key(FwKey::MouseRight, true);
    std::set<int> shots;
    size_t bullets = 0;
    for (int frame = 0; frame <= 90; ++frame) {
        const size_t marks = game.burnMarks.size();
        RunFrames(1);
        ASSERT_LE(game.gunFlashes.size(), 1u) << "frame " << frame;
        if (!game.gunFlashes.empty()) {
            EXPECT_GT(game.gunFlashes[0]->Alpha(), 0.0f) << "frame " << frame;
            if (std::fabs(game.gunFlashes[0]->Alpha() - 0.9f) < 1e-4f) {
                shots.insert(frame);
                ++bullets;
            }
        }
        EXPECT_TRUE(game.beamShots.empty()) << "frame " << frame;
        // Every bullet that is gone ended on the wall, with one burn mark.
        const size_t gone = bullets - game.playerBullets.size();
        EXPECT_EQ(game.burnMarks.size(), gone) << "frame " << frame;
        EXPECT_LE(game.burnMarks.size() - marks, 1u);
    }
    EXPECT_EQ(shots, (std::set<int>{0, 20, 40, 60, 80}));
    EXPECT_EQ(game.burnMarks.size(), 5u);  // the wall is nine frames of flight away
    // On the wall, a mark faces z: it keeps the unturned orientation.
    EXPECT_NEAR(game.burnMarks[0]->World().Facing().z, 1.0f, 1e-4f);

    Key(FwKey::MouseLeft, false);
    RunFrames(9);  // frames 91 to 99: the cool-down runs out
    EXPECT_TRUE(game.beamShots.empty());
    const size_t marksBeforeBeam = game.burnMarks.size() + game.playerBullets.size();
    const BeamLog log = FollowBeam(
        game,
        [&](int frame) {
            RunFrames(1);
            if (frame == 0) {  // frame 100: the beam is fired
                Key(FwKey::MouseRight, false);
                EXPECT_EQ(game.beamShots.size(), 1u);
            }
            // The flame never fades; it grows a tenth a frame and is gone on its tenth update.
            ASSERT_EQ(game.armFlashes.size(), frame < 9 ? 1u : 0u) << "update " << frame + 1;
            if (frame < 9) {
                EXPECT_NEAR(game.armFlashes[0]->World().Right().Length(), 1.0f + 0.1f * frame, 1e-4f);
            }
        },
        400);
    EXPECT_EQ(log.stage, 3);
    EXPECT_EQ(log.drums, 0);
    ASSERT_GE(log.stoppedAt, 0);
    // Stopped on its third contact, the ribbon takes nine more updates to shrink into the stop point.
    EXPECT_EQ(log.deletedAt - log.stoppedAt, 9);
    EXPECT_EQ(game.burnMarks.size(), marksBeforeBeam + 3);
}

// A drum in the way: bullets stop on it without a burn mark, and the beam reflects off it without
// leaving one, stopping at its third contact all the same.
TEST_F(WeaponsTest, DrumsStopBulletsAndReflectTheBeamWithoutBurnMarks) {
    // Raised so that the camera ray, 5.3 above the feet, meets it.
    WriteLevelFile("drumdata.txt", "44 -4 86");
    C_Game& game = Start();
    Key(FwKey::MouseLeft, true);
    RunFrames(1);
    Key(FwKey::MouseLeft, false);
    ASSERT_EQ(game.playerBullets.size(), 1u);
    RunUntil([&] { return game.playerBullets.empty(); }, 30);
    EXPECT_TRUE(game.playerBullets.empty());
    EXPECT_TRUE(game.burnMarks.empty());

    RunFrames(20);
    Key(FwKey::MouseRight, true);
    RunFrames(1);
    Key(FwKey::MouseRight, false);
    ASSERT_EQ(game.beamShots.size(), 1u);
    const BeamLog log = FollowBeam(
        game, [this](int) { RunFrames(1); }, 400);
    EXPECT_GE(log.drums, 1);
    EXPECT_EQ(log.stage + log.drums, 3);
    EXPECT_GE(log.deletedAt, 0);
}

// Outside the stage, facing away from it, the camera ray meets nothing: the shot goes along the
// camera ray, and the bullet, out of the stage's bounds, is removed at once.
TEST_F(WeaponsTest, ShotIntoNothingGoesAlongTheCameraRayAndIsRemoved) {
    WriteLevelFile("data.txt", "38 -7.5 300 0");
    StartGame();
    RunFrames(1);
    C_Game& game = *Game();
    const Vector3 direction = game.player->AimDirectionFrom(game.player->leftArmWorld.Translation());
    EXPECT_NEAR(direction.Dot(game.camera->Forward()), 1.0f, 1e-5f);
    Key(FwKey::MouseLeft, true);
    RunFrames(1);
    EXPECT_EQ(game.gunFlashes.size(), 1u);
    EXPECT_TRUE(game.playerBullets.empty());
}

// Burn marks lie flat on floors, face x on walls facing x and keep facing z on any other wall;
// past the cap the oldest goes.
TEST_F(WeaponsTest, BurnMarksTurnToTheirSurfaceAndAreCapped) {
    C_Game& game = Start();
    const C_BurnMark floor(Vector3(0.0f, 1.0f, 0.0f), Vector3(1.0f, -7.5f, 2.0f));
    EXPECT_NEAR(std::fabs(floor.World().Facing().y), 1.0f, 1e-5f);
    EXPECT_NEAR(floor.World().Translation().y, -7.4f, 1e-5f);
    const C_BurnMark xWall(Vector3(1.0f, 0.0f, 0.0f), Vector3::Zero);
    EXPECT_NEAR(std::fabs(xWall.World().Facing().x), 1.0f, 1e-5f);
    const C_BurnMark zWall(Vector3(0.0f, 0.0f, -1.0f), Vector3::Zero);
    EXPECT_EQ(zWall.World().Facing(), Vector3(0.0f, 0.0f, 1.0f));
    EXPECT_NEAR(zWall.World().Translation().z, -0.1f, 1e-6f);

    for (size_t i = 0; i < C_Game::kMaxBurnMarks + 5; ++i) {
        game.AddBurnMark(Vector3(0.0f, 1.0f, 0.0f), Vector3(static_cast<float>(i), -7.5f, 0.0f));
    }
    ASSERT_EQ(game.burnMarks.size(), C_Game::kMaxBurnMarks);
    EXPECT_FLOAT_EQ(game.burnMarks.front()->World().Translation().x, 5.0f);
    EXPECT_FLOAT_EQ(game.burnMarks.back()->World().Translation().x, C_Game::kMaxBurnMarks + 4.0f);
}

}  // namespace
