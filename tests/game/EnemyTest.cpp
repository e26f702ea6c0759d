#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "framework/math/FwRandom.h"
#include "framework/model/FwCollision.h"
#include "framework/platform/FwClock.h"
#include "game/effects/C_GunMuzzleFlash.h"
#include "game/enemy/C_Enemy.h"
#include "game/enemy/C_EnemyBullet.h"
#include "game/player/C_BeamShot.h"
#include "game/player/C_Player.h"
#include "game/player/C_PlayerCollision.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "scenes/SceneManager.h"
#include "tests/game/GameSceneFixture.h"

namespace {

constexpr float kFloor = -7.5f;
constexpr float kEnemyHeight = -3.0f;

// Levels of the test's own in room C (x -110 to -40, z -30 to 30) and corridor B (x -40 to 16,
// z -7 to 7), with a fixed seed; states are read back from the scene's snapshot.
class EnemyTest : public GameSceneTest {
protected:
    const ScopedSeed seed{11u};

    C_Game& Start(const Vector3& player, const std::string& enemies, const std::string& drums = "") {
        WriteLevelFile("data.txt", Text(player) + " 0");
        WriteLevelFile("Enemydata.txt", enemies);
        WriteLevelFile("drumdata.txt", drums);
        StartGame();
        RunFrames(1);
        return *Game();
    }

    static std::string Text(const Vector3& v) {
        return std::to_string(v.x) + " " + std::to_string(v.y) + " " + std::to_string(v.z);
    }

    std::string StateOf(size_t enemy) const { return Snapshot()["enemies"][enemy]["state"]; }

    // Puts the player on the floor due south of the enemy, `distance` away from it in 3D.
    static void PlacePlayer(C_Game& game, float distance, size_t enemy = 0) {
        const Vector3 at = game.enemies[enemy]->Position();
        const float drop = at.y - kFloor;
        game.player->position = Vector3(at.x, kFloor, at.z - std::sqrt(distance * distance - drop * drop));
    }
    static float Distance(const C_Game& game, size_t enemy = 0) {
        return Vector3::Distance(game.player->position, game.enemies[enemy]->Position());
    }
};

// Patrol locks on within 30, tracking gives up at 50 and closes in until 20; the attack makes its
// ring on its 20th update (first ring update in the same frame), the ring's 15th update sets the
// fire request and the 35th update fires and hands back to tracking.
TEST_F(EnemyTest, PatrolTrackAttackTimeline) {
    C_Game& game = Start(Vector3(-75, kFloor, -25), "-75 -3 15");
    for (int frame = 0; frame < 5; ++frame) {
        RunFrames(1);
        EXPECT_EQ(StateOf(0), "walkAround");
    }
    // Patrol drives up to 0.1 before it measures.
    PlacePlayer(game, 30.3f);
    RunFrames(1);
    EXPECT_EQ(StateOf(0), "walkAround");
    EXPECT_FALSE(Snapshot()["enemies"][0]["eyeLight"]);
    PlacePlayer(game, 29.7f);
    RunFrames(1);
    EXPECT_EQ(StateOf(0), "track");
    EXPECT_TRUE(Snapshot()["enemies"][0]["eyeLight"]);
    PlacePlayer(game, 49.9f);
    RunFrames(1);
    EXPECT_EQ(StateOf(0), "track");
    PlacePlayer(game, 50.1f);
    RunFrames(1);
    EXPECT_EQ(StateOf(0), "walkAround");
    EXPECT_FALSE(Snapshot()["enemies"][0]["eyeLight"]);
    PlacePlayer(game, 29.7f);
    RunFrames(1);
    ASSERT_EQ(StateOf(0), "track");

    // Closing in at 0.1 a frame once it faces the player: attack from the first update that
    // measures 20 or less.
    PlacePlayer(game, 21.0f);
    float before = Distance(game);
    int frames = 0;
    while (StateOf(0) == "track" && frames < 200) {
        ASSERT_GT(before, 20.0f) << "still tracking at " << before;
        before = Distance(game);
        RunFrames(1);
        EXPECT_LE(Distance(game), before + 1e-4f);
        ++frames;
    }
    ASSERT_EQ(StateOf(0), "attack");
    EXPECT_LE(before, 20.0f);
    EXPECT_GT(before, 19.8f);

    for (int update = 1; update <= 35; ++update) {
        RunFrames(1);
        const nlohmann::json state = Snapshot();
        const nlohmann::json& enemy = state["enemies"][0];
        EXPECT_EQ(state["chargeRings"].size(), (update >= 20 && update <= 33) ? 1u : 0u) << "update " << update;
        if (update == 20) {
            EXPECT_NEAR(state["chargeRings"][0]["size"].get<float>(), 4.65f, 1e-4f);
            EXPECT_NEAR(state["chargeRings"][0]["alpha"].get<float>(), 0.09f, 1e-4f);
        }
        EXPECT_EQ(enemy["fireRequest"], update == 34) << "update " << update;
        EXPECT_EQ(state["enemyBullets"].size(), update == 35 ? 1u : 0u) << "update " << update;
        EXPECT_EQ(enemy["state"], update == 35 ? "track" : "attack") << "update " << update;
        if (update == 35) {
            EXPECT_EQ(state["lists"]["gunFlashes"], 1);
            // Launched 4 in front of the robot and moved on 1, turned by the spread, in the same
            // frame.
            const nlohmann::json& p = state["enemyBullets"][0]["position"];
            const Vector3 bullet(p[0].get<float>(), p[1].get<float>(), p[2].get<float>());
            EXPECT_NEAR(Vector3::Distance(bullet, game.enemies[0]->Position()), 5.0f, 0.07f);
        }
    }
}

// Shot while patrolling 80 units away, the robot charges at 0.3 a frame without ever giving up
// and attacks once within 20; the attack clears the shot flag.
TEST_F(EnemyTest, ShotFromFarAwayChargesUntilTwentyUnits) {
    C_Game& game = Start(Vector3(10, kFloor, 0), "-70 -3 0");
    ASSERT_GT(Distance(game), 80.0f);
    game.enemies[0]->Hit();
    RunFrames(1);
    nlohmann::json enemy = Snapshot()["enemies"][0];
    EXPECT_EQ(enemy["state"], "notice");
    EXPECT_TRUE(enemy["eyeLight"]);
    EXPECT_EQ(enemy["hitPoints"], 2.0f);
    const float startDistance = Distance(game);
    float before = startDistance;
    float fastest = 0.0f;
    int frames = 0;
    while (StateOf(0) == "notice" && frames < 400) {
        before = Distance(game);
        RunFrames(1);
        fastest = std::max(fastest, before - Distance(game));
        ++frames;
    }
    enemy = Snapshot()["enemies"][0];
    EXPECT_EQ(enemy["state"], "attack");
    EXPECT_FALSE(enemy["shotByPlayer"]);
    EXPECT_GT(startDistance, 50.0f);
    EXPECT_LE(before, 20.0f);
    EXPECT_NEAR(fastest, 0.3f, 0.01f);
}

// Three hits: the state hands over within three frames; then tipping 0.5 a frame for 50 frames,
// small explosions on frames 51, 81 and 111, the final one with the debris on frame 140, when the
// robot is gone; the debris goes on its 309th update.
TEST_F(EnemyTest, KnockdownTimeline) {
    C_Game& game = Start(Vector3(-45, kFloor, -25), "-75 -3 0");
    for (int i = 0; i < 3; ++i) {
        game.enemies[0]->Hit();
    }
    EXPECT_EQ(game.enemies[0]->hitPoints, 0.0f);
    game.enemies[0]->Hit();
    EXPECT_EQ(game.enemies[0]->hitPoints, 0.0f);
    const int handover = RunUntil([&] { return StateOf(0) == "knockdown"; }, 5);
    ASSERT_EQ(StateOf(0), "knockdown");
    EXPECT_LE(handover, 3);
    size_t explosions = game.explosions.size();
    for (int frame = 1; frame <= 140; ++frame) {
        RunFrames(1);
        const nlohmann::json state = Snapshot();
        const size_t now = state["lists"]["explosions"];
        const bool boom = now > explosions;
        explosions = now;
        EXPECT_EQ(boom, frame == 51 || frame == 81 || frame == 111 || frame == 140) << "frame " << frame;
        if (frame == 140) {
            EXPECT_TRUE(state["enemies"].empty());
            EXPECT_EQ(state["lists"]["enemyDebris"], 1);
            break;
        }
        const nlohmann::json& enemy = state["enemies"][0];
        ASSERT_FALSE(state["enemies"].empty()) << "frame " << frame;
        EXPECT_FLOAT_EQ(enemy["deathTimer"].get<float>(), 140.0f - frame);
        EXPECT_FLOAT_EQ(enemy["knockdownTilt"].get<float>(), std::min(0.5f * frame, 25.0f));
        if (frame + handover >= 11) {
            EXPECT_EQ(enemy["eyeAlpha"], 0.0f);
        }
    }
    for (int update = 2; update <= 309; ++update) {
        RunFrames(1);
        ASSERT_EQ(game.enemyDebris.size(), update < 309 ? 1u : 0u) << "debris update " << update;
    }
}

// Once the ending starts every state goes back to patrol with the eye light off and nobody locks
// on by distance; a robot whose shot flag is still set alternates between patrol and Notice. The
// fire request of a ring whose attack was abandoned stays set and the next attack fires on its
// first update.
TEST_F(EnemyTest, EndingSendsEveryStateToPatrol) {
    // Far away, tracking (25 off), shot (39 off), attacking (14 off).
    C_Game& game = Start(Vector3(-75, kFloor, 0), "-105 -3 25  -75 -3 25  -105 -3 -25  -65 -3 -8");
    game.enemies[2]->Hit();
    RunUntil([&] { return !game.chargeRings.empty(); }, 60);
    ASSERT_EQ(game.chargeRings.size(), 1u);
    EXPECT_EQ(StateOf(0), "walkAround");
    EXPECT_EQ(StateOf(1), "track");
    EXPECT_EQ(StateOf(2), "notice");
    EXPECT_EQ(StateOf(3), "attack");

    game.player->endingTarget = game.player->position;
    game.ending = true;
    RunFrames(1);
    for (size_t i = 0; i < 4; ++i) {
        const nlohmann::json enemy = Snapshot()["enemies"][i];
        EXPECT_EQ(enemy["state"], "walkAround") << "enemy " << i;
        EXPECT_FALSE(enemy["eyeLight"]) << "enemy " << i;
    }
    for (int frame = 1; frame <= 20; ++frame) {
        RunFrames(1);
        const nlohmann::json state = Snapshot();
        const bool notice = frame % 2 == 1;
        EXPECT_EQ(state["enemies"][2]["state"], notice ? "notice" : "walkAround") << "frame " << frame;
        EXPECT_EQ(state["enemies"][2]["eyeLight"], notice) << "frame " << frame;
        for (const size_t i : {0u, 1u, 3u}) {
            EXPECT_EQ(state["enemies"][i]["state"], "walkAround") << "enemy " << i << " frame " << frame;
        }
        // The ring finished 14 frames after the ending started.
        EXPECT_EQ(state["enemies"][3]["fireRequest"], frame >= 13) << "frame " << frame;
    }
    ASSERT_LE(Distance(game, 3), 20.0f);
    game.enemies[3]->Hit();
    RunFrames(2);  // patrol sees the shot, Notice is within 20
    EXPECT_EQ(StateOf(3), "attack");
    EXPECT_TRUE(game.enemyBullets.empty());
    RunFrames(1);
    const nlohmann::json enemy = Snapshot()["enemies"][3];
    EXPECT_EQ(game.enemyBullets.size(), 1u);
    EXPECT_FALSE(enemy["fireRequest"]);
    EXPECT_EQ(enemy["state"], "walkAround");
}

// Finds a seed whose two spreads are 0, so that the bullet flies along the robot's facing.
void SeedForStraightShot() {
    for (unsigned seed = 1;; ++seed) {
        FwSrand(seed);
        const int pitch = FwRand() % 40 - 20;
        const int yaw = FwRand() % 40 - 20;
        if (pitch == 0 && yaw == 0) {
            FwSrand(seed);
            return;
        }
    }
}

// A bullet costs exactly 1.0 hit point however many arrive at once; with a wall within its 2-unit
// ray the wall wins, even when the player's hit volume is nearer.
TEST_F(EnemyTest, EnemyBulletsCostOneHitPointAndTheWallWins) {
    C_Game& game = Start(Vector3(-75, kFloor, 0), "");
    const auto fire = [&](const Vector3& firstPosition, const Vector3& facing) {
        Matrix enemyWorld = Matrix::CreateRotationY(std::atan2(facing.x, facing.z));
        enemyWorld.SetTranslation(firstPosition - facing * 5.0f);
        SeedForStraightShot();
        game.enemyBullets.push_back(std::make_unique<C_EnemyBullet>(&game, enemyWorld));
    };
    // Three unspread bullets, all reaching the hit volume (radius 2.9) in their second update.
    for (const float x : {-75.5f, -75.0f, -74.5f}) {
        fire(Vector3(x, -3, -5), Vector3(0, 0, 1));
    }
    RunFrames(1);
    EXPECT_EQ(game.enemyBullets.size(), 3u);
    EXPECT_EQ(game.player->hitPoints, 100.0f);
    RunFrames(1);
    EXPECT_TRUE(game.enemyBullets.empty());
    EXPECT_EQ(game.player->hitPoints, 97.0f);
    EXPECT_EQ(game.playerHitEffects.size(), 3u);

    // Against the south wall of room C: a bullet grazing the hit volume 1.5 from the wall.
    const Vector3 down(0, 0, -1);
    float wall = 0.0f;
    Vector3 normal;
    const Vector3 first(-75, -3, -28.5f);
    ASSERT_TRUE(RayToModel(game.stage->Model(), game.stage->World(), first, down, wall, normal));
    ASSERT_LT(wall, 2.0f);
    float offset = 2.95f;
    float volume = 0.0f;
    for (; offset > 0.0f; offset -= 0.05f) {
        const Vector3 center(first.x + offset, kFloor, first.z - wall + 0.2f);
        game.player->position = center;
        RunFrames(1);
        if (FwRayToModelWithin(game.playerCollision->Model(), game.playerCollision->World(), first, down, wall, volume,
                               normal)) {
            break;
        }
    }
    ASSERT_GT(offset, 0.0f);
    ASSERT_LT(volume, wall);
    const float hitPoints = game.player->hitPoints;
    const size_t sparks = game.playerHitEffects.size();
    fire(first, down);
    RunFrames(1);
    EXPECT_TRUE(game.enemyBullets.empty());
    EXPECT_EQ(game.player->hitPoints, hitPoints);
    EXPECT_LE(game.playerHitEffects.size(), sparks);

    // Out through an opening (here: far above the stage), a bullet is removed on its first update.
    fire(Vector3(-75, 500, 0), Vector3(0, 0, 1));
    RunFrames(1);
    EXPECT_TRUE(game.enemyBullets.empty());
}

// The flash of an enemy's shot sits at the muzzle of the enemy that fired, not at the last enemy
// of the list, and stays where it was once that enemy is gone.
TEST_F(EnemyTest, MuzzleFlashFollowsTheEnemyThatFired) {
    C_Game& game = Start(Vector3(-75, kFloor, 0), "-75 -3 12  -105 -3 25");
    RunUntil([&] { return !game.enemyBullets.empty(); }, 120);
    ASSERT_EQ(game.gunFlashes.size(), 1u);
    const C_GunMuzzleFlash& flash = *game.gunFlashes[0];
    const Vector3 star = flash.StarWorld().Translation();
    EXPECT_NEAR(Vector3::Distance(star, (Matrix::CreateTranslation(0, 0, 3.7f) * game.enemies[0]->world).Translation()),
                0.0f, 1e-3f);
    game.enemies.erase(game.enemies.begin());
    RunFrames(1);
    ASSERT_EQ(game.gunFlashes.size(), 1u);
    EXPECT_EQ(game.gunFlashes[0]->StarWorld().Translation(), star);
}

// A beam through the hull and the chest within its 2-unit reach costs two hit points in one
// frame, with an impact flash for each part.
TEST_F(EnemyTest, BeamThroughBodyAndChestTakesTwoHitPoints) {
    C_Game& game = Start(Vector3(-60, kFloor, -20), "-75 -3 0");
    C_Enemy& enemy = *game.enemies[0];
    // The hull's side lies 2.3 from its axis, the chest's 1.35, at 0.6 above the hull origin.
    const Vector3 tip = enemy.Position() + Vector3(2.8f, 0.6f, 0.0f);
    game.player->rightMuzzle = Matrix::CreateTranslation(tip);
    game.beamShots.push_back(std::make_unique<C_BeamShot>(&game, Vector3(-1, 0, 0)));
    RunFrames(1);
    EXPECT_EQ(enemy.hitPoints, 1.0f);
    EXPECT_TRUE(enemy.shotByPlayer);
    EXPECT_EQ(game.beamLasers.size(), 2u);
    EXPECT_TRUE(game.beamShots[0]->Stopped());
    // The enemies update after the beams.
    EXPECT_EQ(StateOf(0), "notice");
}

// A drum within reach pushes an enemy out horizontally on its first update; one straight below
// an enemy does not move it. Of two overlapping enemies only the one processed first moves.
TEST_F(EnemyTest, DrumsAndEnemiesPushEnemiesOutHorizontally) {
    WriteLevelFile("data.txt", "-45 -7.5 -25 0");
    WriteLevelFile("Enemydata.txt", "-75 -3 0  -95 -3 0  -60 -3 20  -56 -3 20");
    WriteLevelFile("drumdata.txt", "-73 -5 0  -95 -5 0");
    StartGame();
    RunFrames(1);
    const nlohmann::json enemies = Snapshot()["enemies"];
    const auto x = [&](size_t i) { return enemies[i]["position"][0].get<float>(); };
    const auto z = [&](size_t i) { return enemies[i]["position"][2].get<float>(); };
    // Pushed along the 3D direction away from the drum by the overlap, in x only.
    const float overlap = 5.5f - std::sqrt(8.0f);
    EXPECT_NEAR(x(0), -75.0f - overlap * std::sqrt(0.5f), 0.15f);
    EXPECT_NEAR(z(0), 0.0f, 0.15f);
    EXPECT_NEAR(x(1), -95.0f, 0.15f);
    EXPECT_NEAR(z(1), 0.0f, 0.15f);
    EXPECT_NEAR(x(2), -62.0f, 0.15f);
    EXPECT_NEAR(x(3), -56.0f, 0.15f);
}

// Among four robots with no input the player is shot down and the game-over picture fades in;
// one click starts exactly one title scene.
TEST_F(EnemyTest, EnemyFireEndsInGameOverAndOneClickReturnsToTheTitle) {
    C_Game& game = Start(Vector3(-75, kFloor, 0), "-75 -3 15  -75 -3 -15  -60 -3 0  -90 -3 0");
    // Three hits instead of a hundred keep the run short.
    game.player->hitPoints = 3.0f;
    RunUntil([&] { return game.player->hitPoints <= 0.0f; }, 2000);
    ASSERT_EQ(game.player->hitPoints, 0.0f);
    EXPECT_FALSE(game.player->alive);
    RunFrames(30);
    EXPECT_GT(Snapshot()["hud"]["gameOverAlpha"].get<float>(), 0.25f);
    EXPECT_STREQ(SceneName(), "game");
    Key(FwKey::MouseLeft, true);
    RunFrames(1);
    EXPECT_TRUE(SceneManager::GetInstance().HasPendingScene());
    RunFrames(1);
    EXPECT_STREQ(SceneName(), "title");
    // The title takes no click that was held over from the game.
    RunFrames(5);
    EXPECT_STREQ(SceneName(), "title");
    EXPECT_FALSE(SceneManager::GetInstance().HasPendingScene());
}

}  // namespace
