// ctest-cost: 70
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/GameRun.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;

// The content tree with the stage's area markers taken out: the game then draws every model in
// view, as it did before it knew the rooms.
void WriteContentWithoutAreas(const TempDir& content) {
    namespace fs = std::filesystem;
    fs::create_directory_symlink(kBuild + "/TxtData", content.File("TxtData"));
    for (const fs::directory_entry& entry : fs::directory_iterator(kBuild + "/Data")) {
        const std::string name = entry.path().filename().string();
        if (name != "Stage") {
            fs::create_directory_symlink(entry.path(), content.File("Data/" + name));
        }
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(kBuild + "/Data/Stage")) {
        const std::string name = entry.path().filename().string();
        if (name != "Stage.gltf") {
            fs::create_symlink(entry.path(), content.File("Data/Stage/" + name));
        }
    }
    nlohmann::json stage = ReadJsonFile(kBuild + "/Data/Stage/Stage.gltf");
    nlohmann::json meshNodes = nlohmann::json::array();
    for (const nlohmann::json& node : stage["nodes"]) {
        if (node.value("name", "") != "Area") {
            meshNodes.push_back(node);
        }
    }
    ASSERT_EQ(meshNodes.size(), 1u) << "the stage is one mesh node and its markers";
    stage["nodes"] = meshNodes;
    stage["scenes"] = {{{"nodes", {0}}}};
    WriteTextFile(content.File("Data/Stage/Stage.gltf"), stage.dump());
}

// Across the recorded fight, robots in rooms out of sight are left undrawn, and the pictures are
// the same to the byte as when every robot in view is drawn: walking in from the hangar, at the
// fight's start (where most of the level's robots stand beyond walls) and in it.
TEST(RoomCulling, RoomsOutOfSightAreLeftOutAndNoPixelChanges) {
    const int start = GameStartFrame();
    ASSERT_GT(start, kTitleReturnFrame);
    TempDir dir;
    WriteTextFile(dir.File("in.txt"), FightScript(start));
    TempDir withoutAreas;
    std::filesystem::create_directories(withoutAreas.File("Data/Stage"));
    WriteContentWithoutAreas(withoutAreas);
    const int shots[] = {start + 399, start + 489, start + 559};
    const int counted = start + 489;

    std::map<std::string, nlohmann::json> stages;
    for (const std::string& content : {kBuild, withoutAreas.Path()}) {
        const std::string tag = content == kBuild ? "rooms" : "all";
        std::vector<std::string> args = {"--unlimited", "--seed", "7", "--render-scale", "100", "--content", content,
                                         "--input", dir.File("in.txt"), "--frames", std::to_string(shots[2])};
        for (const int frame : shots) {
            args.insert(args.end(), {"--screenshot", std::to_string(frame) + ":" + dir.File(tag + std::to_string(frame))});
        }
        GameRunResult run;
        const auto states = RunGameWithSnapshots(args, {static_cast<uint32_t>(counted)}, &run);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        ASSERT_EQ(states.count(static_cast<uint32_t>(counted)), 1u);
        stages[tag] = states.at(static_cast<uint32_t>(counted))["stage"];
    }
    EXPECT_EQ(stages["all"]["areas"], 0);
    EXPECT_EQ(stages["rooms"]["areas"], 11);
    EXPECT_GT(stages["rooms"]["areasInSight"], 0);
    EXPECT_LT(stages["rooms"]["areasInSight"], 6) << "most of the level is beyond walls at the fight's start";
    for (const int frame : shots) {
        const std::string rooms = ReadTextFile(dir.File("rooms" + std::to_string(frame)));
        EXPECT_FALSE(rooms.empty());
        EXPECT_TRUE(rooms == ReadTextFile(dir.File("all" + std::to_string(frame)))) << "frame " << frame;
    }
}

}  // namespace
