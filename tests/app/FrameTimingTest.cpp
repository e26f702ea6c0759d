#include <gtest/gtest.h>

#include <algorithm>

#include "app/FrameTiming.h"

namespace {

// A clock that moves only when the wait sleeps or yields. Each sleep lasts what was asked plus
// `overshoot` (the system's timer slack and scheduling delay); each yield lasts `yieldTime`.
struct FakeClock {
    uint64_t now = 0;
    uint64_t overshoot = 20;
    uint64_t yieldTime = 5;
    int sleeps = 0;
    int yields = 0;
    uint64_t slept = 0;

    uint64_t Now() const { return now; }
    void Sleep(uint64_t microseconds) {
        ++sleeps;
        slept += microseconds;
        now += microseconds + overshoot;
    }
    void Yield() {
        ++yields;
        now += yieldTime;
    }
};

// Frames of the 16 ms budget whose work took `work` microseconds; checks that each ends at its
// deadline (no later than one yield after it), or when its work is done if that is later.
FakeClock RunFrames(FrameWait& wait, FakeClock clock, uint64_t work, int frames) {
    for (int frame = 0; frame < frames; ++frame) {
        const uint64_t start = clock.now;
        clock.now += work;
        wait.Until(clock, start + 16000);
        const uint64_t end = start + std::max<uint64_t>(work, 16000);
        EXPECT_GE(clock.now, end) << "frame " << frame;
        EXPECT_LT(clock.now, end + clock.yieldTime) << "frame " << frame;
    }
    return clock;
}

TEST(FrameLimiter, SleepsMostOfTheFrameAndEndsItOnTime) {
    FrameWait wait;
    // Idle frames: one long sleep up to the margin, then a few short ones and yields; with sleeps
    // 20 us late the margin settles at its floor, and no frame yields for more than the last 50 us.
    FakeClock clock = RunFrames(wait, FakeClock{}, 0, 60);
    EXPECT_EQ(wait.Margin(), FrameWait::kMinMargin);
    EXPECT_LE(clock.sleeps, 60 * 3);
    EXPECT_LE(clock.yields, 60 * static_cast<int>(2 * FrameWait::kShortestSleep / clock.yieldTime + 1));
    const uint64_t slept = clock.slept;
    clock = RunFrames(wait, clock, 3000, 10);
    EXPECT_GE(clock.slept - slept, 10 * (16000 - 3000 - FrameWait::kMinMargin));

    // A frame whose work takes the budget or more neither sleeps nor yields; one that leaves less
    // than the shortest sleep only yields.
    clock = FakeClock{};
    clock = RunFrames(wait, clock, 16000, 1);
    clock = RunFrames(wait, clock, 17500, 3);
    EXPECT_EQ(clock.sleeps + clock.yields, 0);
    clock = RunFrames(wait, clock, 16000 - 2 * FrameWait::kShortestSleep + 10, 1);
    EXPECT_EQ(clock.sleeps, 0);
    EXPECT_GT(clock.yields, 0);
}

TEST(FrameLimiter, MarginFollowsWhatTheSleepsOvershoot) {
    FrameWait wait;
    FakeClock clock;
    // A busy machine: sleeps wake 1.5 ms late. The first frame ends late (the sleep went past its
    // deadline), the margin rises at once, and every frame after it ends on time.
    clock.overshoot = 1500;
    const uint64_t start = clock.now;
    wait.Until(clock, start + 16000);
    EXPECT_EQ(clock.now, start + 16000 + 1000);
    EXPECT_EQ(wait.Margin(), 1500 + FrameWait::kMarginHeadroom);
    clock = RunFrames(wait, clock, 2000, 30);
    // Calm again: the margin falls back to its floor within a few dozen frames, frames on time.
    clock.overshoot = 50;
    clock = RunFrames(wait, clock, 2000, 40);
    EXPECT_EQ(wait.Margin(), FrameWait::kMinMargin);
    // Never more than a quarter of the budget, however late the sleeps are.
    clock.overshoot = 9000;
    wait.Until(clock, clock.now + 16000);
    EXPECT_EQ(wait.Margin(), FrameWait::kMaxMargin);
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
