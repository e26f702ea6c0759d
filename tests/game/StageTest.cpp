#include <gtest/gtest.h>

#include "framework/audio/FwAudioManager.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "tests/game/GameSceneFixture.h"

namespace {

// The hangar's east wall stands at x = 60, facing west.
TEST_F(GameSceneTest, StageCountsHitsWithinTwoUnitsAndMirrorsTheBeamWithASound) {
    C_Game& game = StartGame();
    RunFrames(1);
    C_Stage& stage = *game.stage;
    const FwAudioManager::PlayList& playing = FwAudioManager::GetInstance().GetPlayList();
    const size_t sounds = playing.size();
    float distance = 0.0f;
    Vector3 hit;
    Vector3 normal;
    Vector3 reflected;

    EXPECT_FALSE(stage.HitTest(Vector3(57.0f, -4.0f, -8.0f), Vector3(1.0f, 0.0f, 0.0f), distance, hit, normal));
    EXPECT_NEAR(distance, 3.0f, 0.05f);
    ASSERT_TRUE(stage.HitTest(Vector3(58.5f, -4.0f, -8.0f), Vector3(1.0f, 0.0f, 0.0f), distance, hit, normal));
    EXPECT_NEAR(hit.x, 60.0f, 0.05f);
    EXPECT_NEAR(normal.x, -1.0f, 1e-3f);

    const Vector3 slanting = Vector3(1.0f, 0.0f, 1.0f).Normalized();
    EXPECT_FALSE(stage.ReflectTest(Vector3(57.0f, -4.0f, -8.0f), slanting, distance, normal, hit, reflected));
    // Along the wall: the next thing ahead is far away.
    EXPECT_FALSE(
        stage.ReflectTest(Vector3(59.0f, -4.0f, -8.0f), Vector3(0.0f, 0.0f, 1.0f), distance, normal, hit, reflected));
    EXPECT_EQ(playing.size(), sounds);
    ASSERT_TRUE(stage.ReflectTest(Vector3(59.0f, -4.0f, -8.0f), slanting, distance, normal, hit, reflected));
    EXPECT_NEAR(reflected.x, -slanting.x, 1e-3f);
    EXPECT_NEAR(reflected.z, slanting.z, 1e-3f);
    // OpenAL's null device plays (silently), so the bounce is listed while it sounds.
    ASSERT_TRUE(FwAudioManager::GetInstance().HasDevice());
    EXPECT_EQ(playing.size(), sounds + 1);
}

}  // namespace
