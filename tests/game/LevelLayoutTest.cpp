#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/platform/FwPath.h"
#include "game/world/C_LevelLayout.h"
#include "tests/support/GameRun.h"
#include "tests/support/Scoped.h"

namespace {

// Writes the given level files into a content tree of its own and reads them back.
class LevelLayoutTest : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& text) const { WriteTextFile(dir.File(name), text); }

    C_LevelLayout Load() const {
        C_LevelLayout layout;
        layout.Load();
        return layout;
    }

    TempDir dir;
    const ScopedContentRoot root{dir.Path()};
};

void ExpectVector(const Vector3& actual, float x, float y, float z) {
    EXPECT_FLOAT_EQ(actual.x, x);
    EXPECT_FLOAT_EQ(actual.y, y);
    EXPECT_FLOAT_EQ(actual.z, z);
}

TEST_F(LevelLayoutTest, MissingFilesLeaveEveryKindOutAndStartAtTheOrigin) {
    const C_LevelLayout layout = Load();
    ExpectVector(layout.startPosition, 0, 0, 0);
    EXPECT_TRUE(layout.enemies.empty());
    EXPECT_TRUE(layout.drums.empty());
    EXPECT_TRUE(layout.breakers.empty());
    EXPECT_TRUE(layout.stands.empty());
}

TEST_F(LevelLayoutTest, LineBreaksAndBlanksDoNotMatter) {
    const std::vector<std::string> spellings = {
        "1 2 3\n4.5 -5 6e1\n",
        "1 2 3 4.5 -5 6e1",
        "\t1\n2\n3\n\n  4.5\r\n-5\r\n+60.0",
    };
    for (const std::string& text : spellings) {
        Write("TxtData/Enemydata.txt", text);
        const C_LevelLayout layout = Load();
        ASSERT_EQ(layout.enemies.size(), 2u) << text;
        ExpectVector(layout.enemies[0], 1, 2, 3);
        ExpectVector(layout.enemies[1], 4.5f, -5, 60);
    }
}

TEST_F(LevelLayoutTest, StartIsTheFirstRecordOfDataTxtOnly) {
    Write("TxtData/data.txt", "38 -7.5 -8 0\n1 2 3 4\n");
    ExpectVector(Load().startPosition, 38, -7.5f, -8);
}

TEST_F(LevelLayoutTest, CutShortRecordKeepsTheValuesOfTheRecordBefore) {
    Write("TxtData/drumdata.txt", "1 2 3\n7 8");
    Write("TxtData/breaker.txt", "-5");
    Write("TxtData/data.txt", "10 20");
    const C_LevelLayout layout = Load();
    ASSERT_EQ(layout.drums.size(), 2u);
    ExpectVector(layout.drums[1], 7, 8, 3);
    // A cut-short first record has nothing before it: the rest stays 0.
    ASSERT_EQ(layout.breakers.size(), 1u);
    ExpectVector(layout.breakers[0].position, -5, 0, 0);
    EXPECT_FLOAT_EQ(layout.breakers[0].angle, 0.0f);
    ExpectVector(layout.startPosition, 10, 20, 0);
}

TEST_F(LevelLayoutTest, EmptyFileGivesNoObjects) {
    Write("TxtData/Enemydata.txt", "");
    Write("TxtData/drumdata.txt", " \n\t\n");
    const C_LevelLayout layout = Load();
    EXPECT_TRUE(layout.enemies.empty());
    EXPECT_TRUE(layout.drums.empty());
}

// Stands name their breaker by its place in breaker.txt; one that names none is left out instead
// of being linked to something outside the list.
TEST_F(LevelLayoutTest, StandsLinkToBreakersByIndexAndUnknownIndicesAreLeftOut) {
    Write("TxtData/breaker.txt", "0 -3 10 90\n5 -3 20 180\n");
    Write("TxtData/installatioStand.txt", "1 0 -1 -5.5 0\n2 1 -1 -5.5 0\n-1 2 -1 -5.5 0\n0 3 -1 -5.5 90\n");
    const C_LevelLayout layout = Load();
    ASSERT_EQ(layout.breakers.size(), 2u);
    EXPECT_FLOAT_EQ(layout.breakers[0].angle, 90.0f);
    ASSERT_EQ(layout.stands.size(), 2u);
    EXPECT_EQ(layout.stands[0].breakerIndex, 1);
    ExpectVector(layout.stands[0].position, 0, -1, -5.5f);
    EXPECT_EQ(layout.stands[1].breakerIndex, 0);
    ExpectVector(layout.stands[1].position, 3, -1, -5.5f);
    EXPECT_FLOAT_EQ(layout.stands[1].angle, 90.0f);
}

TEST_F(LevelLayoutTest, StandsWithoutAnyBreakerFileAreAllLeftOut) {
    Write("TxtData/installatioStand.txt", "0 0 -1 -5.5 0\n");
    EXPECT_TRUE(Load().stands.empty());
}

// A word in a level file would stop the runtime's reader in front of it for ever; here it ends
// that file and keeps what came before.
TEST_F(LevelLayoutTest, TokenThatIsNotANumberEndsTheFile) {
    struct Case {
        const char* text;
        size_t enemies;
    };
    const Case cases[] = {{"1 2 3 x 5 6", 1},
                          {"1 2 3 nan 1 1", 1},
                          {"1 2 3 1e999 1 1", 1},
                          {"1 2 3 +-4 1 1", 1},
                          // The record cut short by the word still counts, as one cut short by the end would.
                          {"1 2 3 4 5 abc 7 8 9", 2}};
    for (const Case& c : cases) {
        Write("TxtData/Enemydata.txt", c.text);
        const C_LevelLayout layout = Load();
        ASSERT_EQ(layout.enemies.size(), c.enemies) << c.text;
        ExpectVector(layout.enemies[0], 1, 2, 3);
    }
    ExpectVector(Load().enemies[1], 4, 5, 3);
}

TEST_F(LevelLayoutTest, StandIndexReadAsAnIntegerLeavesTheFractionForTheNextField) {
    // "%d" stops at the point, so ".5" becomes the stand's x.
    Write("TxtData/breaker.txt", "0 0 0 0\n0 0 0 0\n");
    Write("TxtData/installatioStand.txt", "1.5 2 3 45");
    const C_LevelLayout layout = Load();
    ASSERT_EQ(layout.stands.size(), 1u);
    EXPECT_EQ(layout.stands[0].breakerIndex, 1);
    ExpectVector(layout.stands[0].position, 0.5f, 2, 3);
    EXPECT_FLOAT_EQ(layout.stands[0].angle, 45.0f);
}

TEST_F(LevelLayoutTest, FolderAndFileNamesMatchIgnoringCase) {
    Write("txtdata/ENEMYDATA.TXT", "1 2 3");
    Write("txtdata/installatiostand.txt", "0 1 1 1 0");
    Write("txtdata/Breaker.txt", "4 4 4 0");
    const C_LevelLayout layout = Load();
    EXPECT_EQ(layout.enemies.size(), 1u);
    EXPECT_EQ(layout.stands.size(), 1u);
}

// A file may hold at most 256 records: the rest is ignored with one line on standard error, and a
// file larger than 1 MB is not read at all, as if it were missing.
TEST_F(LevelLayoutTest, AbsurdRecordCountsAndFileSizesAreCutShort) {
    std::string records;
    for (int i = 0; i < 300; ++i) {
        records += std::to_string(i) + " 0 1\n";
    }
    Write("TxtData/Enemydata.txt", records);
    Write("TxtData/drumdata.txt", records.substr(0, records.find("256 0 1")));
    Write("TxtData/breaker.txt", std::string((1 << 20) + 1, ' '));
    testing::internal::CaptureStderr();
    const C_LevelLayout layout = Load();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "TxtData/Enemydata.txt: more than 256 records; the rest of the file is ignored\n"
              "TxtData/breaker.txt: 1048577 bytes, more than a level file can need; the file is ignored\n");
    ASSERT_EQ(layout.enemies.size(), 256u);
    ExpectVector(layout.enemies.back(), 255, 0, 1);
    EXPECT_EQ(layout.drums.size(), 256u);
    EXPECT_TRUE(layout.breakers.empty());
}

}  // namespace
