#include <gtest/gtest.h>

#include <filesystem>

#include "framework/platform/FwPath.h"
#include "tests/support/GameRun.h"
#include "tests/support/Scoped.h"

namespace {

class FwPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTextFile(dir.File("Data/Texture/Title.png"), "x");
        WriteTextFile(dir.File("Data/Sound/click.wav"), "x");
        WriteTextFile(dir.File("TxtData/data.txt"), "x");
    }
    TempDir dir;
    const ScopedContentRoot root{dir.Path()};
};

TEST_F(FwPathTest, ExactSpellingIsTakenAsWritten) {
    EXPECT_EQ(FwResolvePath("Data/Texture/Title.png"), dir.File("Data/Texture/Title.png"));
}

TEST_F(FwPathTest, EveryComponentMatchesIgnoringCase) {
    EXPECT_EQ(FwResolvePath("data/texture/Title.png"), dir.File("Data/Texture/Title.png"));
    EXPECT_EQ(FwResolvePath("data/sound/CLICK.WAV"), dir.File("Data/Sound/click.wav"));
    EXPECT_EQ(FwResolvePath("txtdata\\DATA.txt"), dir.File("TxtData/data.txt"));
}

TEST_F(FwPathTest, MissingFileComesBackJoinedSoOpeningFails) {
    const std::string resolved = FwResolvePath("data/texture/Missing.png");
    EXPECT_EQ(resolved, dir.File("Data/Texture/Missing.png"));
    EXPECT_FALSE(std::filesystem::exists(resolved));
    EXPECT_EQ(FwResolvePath("Nowhere/sub/x.png"), dir.File("Nowhere/sub/x.png"));
}

// Answers are remembered, but a file that went away is looked for again, and a file that appears
// after a miss is found.
TEST_F(FwPathTest, RememberedAnswersFollowFilesThatMoveOrAppear) {
    EXPECT_EQ(FwResolvePath("data/sound/CLICK.WAV"), dir.File("Data/Sound/click.wav"));
    std::filesystem::rename(dir.File("Data/Sound"), dir.File("Data/sound"));
    std::filesystem::rename(dir.File("Data/sound/click.wav"), dir.File("Data/sound/Click.WAV"));
    EXPECT_EQ(FwResolvePath("data/sound/CLICK.WAV"), dir.File("Data/sound/Click.WAV"));
    EXPECT_EQ(FwResolvePath("data/sound/shot.wav"), dir.File("Data/sound/shot.wav"));
    WriteTextFile(dir.File("Data/sound/SHOT.wav"), "x");
    EXPECT_EQ(FwResolvePath("data/sound/shot.wav"), dir.File("Data/sound/SHOT.wav"));
}

TEST_F(FwPathTest, AbsolutePathsIgnoreTheContentRoot) {
    EXPECT_EQ(FwResolvePath(dir.File("data/TEXTURE/title.png")), dir.File("Data/Texture/Title.png"));
}

TEST(FwPathDefault, ContentRootIsTheExecutableFolder) {
    const std::string root = FwContentRoot();
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(root)));
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(root),
                                            std::filesystem::read_symlink("/proc/self/exe").parent_path()));
}

}  // namespace
