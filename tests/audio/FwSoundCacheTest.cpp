#include <gtest/gtest.h>

#include "framework/audio/FwSoundCache.h"
#include "framework/audio/FwSoundEffect.h"
#include "tests/audio/AudioFixture.h"

namespace audiotest {
namespace {

// The cache outlives devices and tests, so every test asks for names no one asked for before.
// Files are written under one spelling of each folder, as the content tree has.
class SoundCache : public AudioTest {
protected:
    void SetUp() override {
        AudioTest::SetUp();
        static int run = 0;
        suffix = std::to_string(++run);
    }

    FwSoundCache& cache = FwSoundCache::GetInstance();
    std::string suffix;
};

TEST_F(SoundCache, SameNameGivesTheSameEffectAndAnotherSpellingASecondCopy) {
    WriteTone("Data/Sound/Chime" + suffix + ".wav", Tone{});
    const std::string name = "data/sound/chime" + suffix + ".wav";
    const auto first = cache.GetSound(name);
    ASSERT_TRUE(first->CreateInstance(true)) << "relative names resolve under the content root, ignoring case";
    EXPECT_EQ(cache.GetSound(name), first);

    const auto other = cache.GetSound("Data/Sound/Chime" + suffix + ".wav");
    EXPECT_NE(other, first);
    EXPECT_TRUE(other->CreateInstance(false));
}

TEST_F(SoundCache, MissingFileIsCachedUnloadedAndNotRetried) {
    const std::string name = "data/sound/late" + suffix + ".wav";
    const auto missing = cache.GetSound(name);
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing->CreateInstance(false));

    WriteTone("Data/Sound/late" + suffix + ".wav", Tone{});
    EXPECT_EQ(cache.GetSound(name), missing);
    EXPECT_FALSE(missing->CreateInstance(false));
}

}  // namespace
}  // namespace audiotest
