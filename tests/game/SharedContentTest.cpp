// ctest-cost: 30
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "framework/audio/FwSoundEffect.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwTexture.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwModel.h"
#include "framework/platform/FwClock.h"
#include "game/enemy/C_Enemy.h"
#include "game/world/C_Game.h"
#include "tests/game/GameSceneFixture.h"
#include "tests/support/FightDriver.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;

class SharedContent : public GameSceneTest {
protected:
    void SetUp() override {
        GameSceneTest::SetUp();
        for (const char* name : {"data.txt", "Enemydata.txt", "drumdata.txt", "breaker.txt", "installatioStand.txt"}) {
            WriteLevelFile(name, ReadTextFile(kBuild + "/TxtData/" + name));
        }
    }
    void TearDown() override {
        FwSetRayQueryObserver({});
        GameSceneTest::TearDown();
    }

    const ScopedSeed seed{7u};
};

std::set<const FwMesh*> MeshesOf(const FwModel& model) {
    std::set<const FwMesh*> meshes;
    for (const FwModelNode& node : model.Nodes()) {
        if (node.Mesh) {
            meshes.insert(node.Mesh.get());
        }
    }
    return meshes;
}

// Every robot draws and is hit through the one loaded copy of each of its models, while each
// keeps its own place, hit points and state; a second game scene finds the same copies.
TEST_F(SharedContent, RobotsShareOneLoadOfEachModelAndKeepTheirOwnState) {
    StartGame();
    RunFrames(2);
    C_Game& game = *Game();
    ASSERT_GE(game.enemies.size(), 2u);
    const C_Enemy& first = *game.enemies[0];
    const std::set<const FwMesh*> body = MeshesOf(first.bodyModel);
    ASSERT_FALSE(body.empty());
    for (const auto& enemy : game.enemies) {
        EXPECT_EQ(MeshesOf(enemy->bodyModel), body);
        EXPECT_EQ(MeshesOf(enemy->headModel), MeshesOf(first.headModel));
        EXPECT_EQ(enemy->bodyModel.Materials()[0].BaseColorTex, first.bodyModel.Materials()[0].BaseColorTex);
    }
    EXPECT_NE(game.enemies[0]->Position(), game.enemies[1]->Position());
    game.enemies[1]->Hit();
    EXPECT_EQ(game.enemies[0]->hitPoints, 3.0f);
    EXPECT_EQ(game.enemies[1]->hitPoints, 2.0f);

    StartGame();
    RunFrames(1);
    EXPECT_EQ(MeshesOf(Game()->enemies[0]->bodyModel), body);
}

// The queries of a fight (the camera, the aim, bullets, walls, floors and push-outs of the player
// and the robots) are answered by the hierarchy exactly as by testing every face.
TEST_F(SharedContent, EveryRayQueryOfAFightMatchesBruteForce) {
    FightDriver driver;
    std::string error;
    ASSERT_TRUE(driver.ReadRoute(kBuild, error)) << error;
    size_t queries = 0;
    size_t hits = 0;
    size_t mismatches = 0;
    bool answering = false;
    FwSetRayQueryObserver(
        [&](const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction) {
            if (answering) {
                return;
            }
            answering = true;
            float fast = 0.0f;
            float slow = 0.0f;
            Vector3 fastNormal;
            Vector3 slowNormal;
            const bool fastHit = RayToModel(model, world, origin, direction, fast, fastNormal);
            const bool slowHit = RayToModelBruteForce(model, world, origin, direction, slow, slowNormal);
            answering = false;
            ++queries;
            hits += fastHit ? 1 : 0;
            if (fastHit != slowHit || (fastHit && (fast != slow || fastNormal != slowNormal))) {
                ++mismatches;
            }
        });
    StartGame();
    RunFrames(1);
    C_Game& game = *Game();
    int frame = 0;
    for (; frame < 900 && driver.Step(game); ++frame) {
        RunFrames(1);
    }
    EXPECT_EQ(mismatches, 0u) << "of " << queries << " queries";
    EXPECT_GT(queries, 10000u);
    EXPECT_GT(hits, queries / 10);
    EXPECT_GE(driver.enemiesDowned, 1) << "no fight in " << frame << " frames";
}

// Everything a fight draws with and plays is there once the level has loaded: over its frames of
// shots, beams, flashes, sparks, explosions, smoke and debris the device makes no render state,
// and no model, texture or sound is read that the level's preloading did not already read.
TEST_F(SharedContent, AFightMakesNoStateAndReadsNoFileAfterTheFirstFrame) {
    FightDriver driver;
    std::string error;
    ASSERT_TRUE(driver.ReadRoute(kBuild, error)) << error;
    StartGame();
    RunFrames(1);
    C_Game& game = *Game();
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    const size_t states = d3d.StateCount();
    const size_t models = FwModel::CacheSize();
    const size_t textures = FwTexture::CacheSize();
    const size_t sounds = FwSoundEffect::CacheSize();
    std::map<std::string, size_t> largest;
    int frame = 1;
    for (; frame < 1400 && driver.Step(game); ++frame) {
        RunFrames(1);
        const nlohmann::json state = Snapshot();
        for (const auto& [list, size] : state["lists"].items()) {
            largest[list] = std::max(largest[list], size.get<size_t>());
        }
    }
    EXPECT_EQ(d3d.StateCount(), states);
    EXPECT_EQ(FwModel::CacheSize(), models);
    EXPECT_EQ(FwTexture::CacheSize(), textures);
    EXPECT_EQ(FwSoundEffect::CacheSize(), sounds);
    for (const char* list : {"playerBullets", "gunFlashes", "hitEffects", "chargeRings", "enemyBullets", "explosions",
                             "enemyDebris", "breakerSmokes", "burnMarks"}) {
        EXPECT_GT(largest[list], 0u) << "no " << list << " in " << frame << " frames";
    }
}

}  // namespace
