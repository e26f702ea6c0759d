#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/GameRun.h"

// `quarnel --view` run for real: the loader's lines and the summary on standard output, the
// model on screen, the state in the snapshot.

namespace {

const std::string kBox = std::string(QUARNEL_SOURCE_DIR) + "/tests/data/gltf/Box.gltf";

// The scenes' clear colour, 0.3 grey.
bool IsBackground(const uint8_t* p) {
    const auto near = [](uint8_t value) { return value >= 75 && value <= 78; };
    return near(p[0]) && near(p[1]) && near(p[2]);
}

}  // namespace

TEST(ViewerScene, ShowsTheModelTurningAndPrintsItsSummary) {
    TempDir dir;
    GameRunResult run;
    const auto snapshots = RunGameWithSnapshots(
        {"--view", kBox, "--frames", "4", "--render-scale", "100", "--screenshot", "4:" + dir.File("box.png")}, {2, 4},
        &run);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Reading ASCII glTF\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Box.gltf: 2 nodes, 1 meshes, 12 triangles, 1 materials, "
                              "bounds (-0.5, -0.5, -0.5) to (0.5, 0.5, 0.5), radius 0.866"),
              std::string::npos)
        << run.output;

    ASSERT_EQ(snapshots.size(), 2u);
    const nlohmann::json& state = snapshots.at(4);
    EXPECT_EQ(state["scene"], "viewer");
    EXPECT_EQ(state["viewer"]["loaded"], true);
    EXPECT_EQ(state["viewer"]["triangles"], 12);
    EXPECT_GT(state["viewer"]["angle"].get<double>(), snapshots.at(2)["viewer"]["angle"].get<double>());

    // The box is red (0.8, 0, 0), framed in the middle of the picture with background around it.
    const Image shot = ReadPng(dir.File("box.png"));
    ASSERT_FALSE(shot.Empty());
    const uint8_t* middle = shot.At(shot.width / 2, shot.height / 2);
    EXPECT_GT(middle[0], 100);
    EXPECT_LT(middle[1], 30);
    EXPECT_TRUE(IsBackground(shot.At(5, 5)));
    EXPECT_TRUE(IsBackground(shot.At(shot.width - 5, shot.height - 5)));
}

TEST(ViewerScene, FindsContentRelativePathsWhateverTheirCase) {
    TempDir content;
    std::filesystem::create_directories(content.File("Data/Props"));
    std::filesystem::copy_file(kBox, content.File("Data/Props/Box.gltf"));
    const GameRunResult run = RunGame({"--content", content.Path(), "--view", "data/props/BOX.gltf", "--frames", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("12 triangles"), std::string::npos) << run.output;
}

TEST(ViewerScene, UnreadableFileShowsAnEmptySceneAndSaysWhy) {
    TempDir dir;
    WriteTextFile(dir.File("broken.gltf"), "{\"asset\": {\"version\": \"2.0\"}, \"nodes\": [{\"mesh\": 3}]}");
    const GameRunResult run = RunGame({"--view", dir.File("broken.gltf"), "--frames", "2", "--render-scale", "100",
                                       "--screenshot", "2:" + dir.File("empty.png")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Err: "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Failed to parse glTF\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("cannot be loaded"), std::string::npos) << run.output;
    const Image shot = ReadPng(dir.File("empty.png"));
    ASSERT_FALSE(shot.Empty());
    EXPECT_TRUE(IsBackground(shot.At(shot.width / 2, shot.height / 2)));
}
