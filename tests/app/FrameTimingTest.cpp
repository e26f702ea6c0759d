#include <gtest/gtest.h>

#include "app/FrameTiming.h"

namespace {

TEST(FrameLimiter, SleepsAwayTheRestOfSixteenMilliseconds) {
    const uint32_t budget = 1000 / 60;
    ASSERT_EQ(budget, 16u);
    EXPECT_EQ(FrameSleepTime(1000, 1000, budget), 16u);
    EXPECT_EQ(FrameSleepTime(1000, 1005, budget), 11u);
    EXPECT_EQ(FrameSleepTime(1000, 1015, budget), 1u);
    // A frame whose work takes the whole budget or more does not sleep.
    EXPECT_EQ(FrameSleepTime(1000, 1016, budget), 0u);
    EXPECT_EQ(FrameSleepTime(1000, 1100, budget), 0u);
    // The clock wraps after 49 days; unsigned differences keep working across it.
    EXPECT_EQ(FrameSleepTime(0xFFFFFFFAu, 4u, budget), 6u);
}

TEST(FrameRate, StaysZeroUntilHalfASecondHasPassed) {
    uint32_t measureStart = 0;
    uint32_t frameCount = 0;
    int32_t fps = 0;
    for (uint32_t t = 0; t < 500; t += 16) {
        EXPECT_FALSE(MeasureFrameRate(t, measureStart, frameCount, fps));
    }
    EXPECT_EQ(fps, 0);
    EXPECT_EQ(frameCount, 32u);
    // The 33rd frame starts at 512 ms: 33 frames in 512 ms is 64 per second (integer division).
    EXPECT_TRUE(MeasureFrameRate(512, measureStart, frameCount, fps));
    EXPECT_EQ(fps, 64);
    EXPECT_EQ(measureStart, 512u);
    EXPECT_EQ(frameCount, 0u);
}

TEST(FrameRate, RefreshesAtMostEveryHalfSecond) {
    uint32_t measureStart = 0;
    uint32_t frameCount = 0;
    int32_t fps = 0;
    int refreshes = 0;
    // An idle loop at the limiter's 16 ms frames measures about 62 frames per second.
    for (uint32_t t = 0; t <= 3000; t += 16) {
        refreshes += MeasureFrameRate(t, measureStart, frameCount, fps) ? 1 : 0;
    }
    EXPECT_EQ(refreshes, 5);
    EXPECT_GE(fps, 62);
    EXPECT_LE(fps, 64);
}

}  // namespace
