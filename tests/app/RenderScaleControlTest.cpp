#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "app/RenderScaleControl.h"

namespace {

// Plays `frames` frames whose work (microseconds) is `work(scale)` at the scale each is drawn at;
// returns the scale of every frame.
std::vector<float> Play(RenderScaleControl& control, int frames, const std::function<double(float)>& work) {
    std::vector<float> scales;
    for (int i = 0; i < frames; ++i) {
        scales.push_back(control.Scale());
        control.Next(0.0f, static_cast<uint64_t>(work(control.Scale())));
    }
    return scales;
}

// A frame with a fixed part and a part that goes with the pixels, times some noise.
std::function<double(float)> Frame(double fixedMs, double fullPixelsMs, double noise, std::mt19937& random) {
    return [=, &random](float scale) {
        std::uniform_real_distribution<double> jitter(1.0 - noise, 1.0 + noise);
        return (fixedMs + fullPixelsMs * scale * scale) * 1000.0 * jitter(random);
    };
}

int StepsUp(const std::vector<float>& scales) {
    int ups = 0;
    for (size_t i = 1; i < scales.size(); ++i) {
        ups += scales[i] > scales[i - 1] ? 1 : 0;
    }
    return ups;
}

// A noisy machine through a play: fast, then a heavy scene, then fast again.
TEST(RenderScaleControl, StaysAtFullSizeWhenFastStepsDownHoldsAndComesBack) {
    std::mt19937 random(3);
    RenderScaleControl control;
    // A machine that holds 60 fps: the odd slow frame (a load, a hiccup) changes nothing.
    std::vector<float> fast = Play(
        control, 3000, [&](float scale) { return random() % 50 == 0 ? 40000.0 : Frame(4.0, 6.0, 0.3, random)(scale); });
    for (const float scale : fast) {
        ASSERT_EQ(scale, 1.0f);
    }

    // A heavy scene: down within a quarter second, up to three steps at once, and then steady.
    const std::vector<float> heavy = Play(control, 6000, Frame(3.0, 30.0, 0.1, random));
    EXPECT_LT(heavy[15], 1.0f);
    EXPECT_LE(heavy[60], 0.65f);
    for (const float scale : heavy) {
        ASSERT_GE(scale, 0.5f);
    }
    // Settled, it crosses over and back at most once in the long steady run.
    const std::vector<float> settled(heavy.begin() + 120, heavy.end());
    EXPECT_LE(StepsUp(settled), 1);
    const double settledWork = 3.0 + 30.0 * settled.back() * settled.back();
    EXPECT_LT(settledWork, 14.4);
    EXPECT_GE(settled.back(), 0.55f) << "no deeper than the overrun needs";
    // At most four changes a second.
    int last = -100;
    for (size_t i = 1; i < heavy.size(); ++i) {
        if (heavy[i] != heavy[i - 1]) {
            EXPECT_GE(static_cast<int>(i) - last, RenderScaleControl::kSettleFrames);
            EXPECT_LE(heavy[i - 1] - heavy[i], 0.151f);
            last = static_cast<int>(i);
        }
    }

    // Light again: back to full size one step a stretch.
    const std::vector<float> light = Play(control, 1500, Frame(4.0, 4.0, 0.1, random));
    EXPECT_EQ(light.back(), 1.0f);
    EXPECT_EQ(light[RenderScaleControl::kCalmStretch - 2], light.front()) << "only after a longer calm stretch";
}

// A scene that is cheap at 70 % and too slow above it: the failed step up to 75 % is tried again
// only after a back-off that doubles, or at once when the frames get clearly cheaper.
TEST(RenderScaleControl, AFailedStepUpWaitsForItsBackOff) {
    RenderScaleControl control;
    double cheapMs = 10.0;
    const auto frame = [&](float scale) { return (scale > 0.72f ? 20.0 : cheapMs) * 1000.0; };
    const std::vector<float> scales = Play(control, 6000, frame);
    std::vector<int> tries;
    for (size_t i = 1; i < scales.size(); ++i) {
        if (scales[i] > 0.72f && scales[i - 1] <= 0.72f) {
            tries.push_back(static_cast<int>(i));
        }
    }
    EXPECT_EQ(scales.back(), 0.7f);
    ASSERT_EQ(tries.size(), 3u) << "the first climb, then after 20 s and after 40 s more";
    EXPECT_GE(tries[1] - tries[0], RenderScaleControl::kFirstBackOff);
    EXPECT_GE(tries[2] - tries[1], 2 * RenderScaleControl::kFirstBackOff);

    cheapMs = 5.0;
    const std::vector<float> cheaper = Play(control, 300, frame);
    EXPECT_GT(StepsUp(cheaper), 0) << "cheaper frames try the step again without waiting";
}

// A scene timed on its first frame at full size and at 50 % starts at the largest scale whose
// frames fit, whatever share of the frame goes with the pixels, and the frames after it keep it.
TEST(RenderScaleControl, AStartFromTwoTimedFramesLandsWhereFramesFit) {
    struct Machine {
        double fixedMs, fullPixelsMs;
        float start;
    };
    // Fast; mostly pixels; mostly fixed (draw calls, present); the fixed part alone over the aim.
    for (const Machine& machine : {Machine{4.0, 6.0, 1.0f}, Machine{2.0, 30.0, 0.6f}, Machine{10.0, 10.0, 0.5f},
                                   Machine{7.0, 12.0, 0.65f}, Machine{15.0, 10.0, 0.5f}}) {
        std::mt19937 random(5);
        const auto work = Frame(machine.fixedMs, machine.fullPixelsMs, 0.0, random);
        RenderScaleControl control;
        Play(control, 50, [](float) { return 40000.0; });
        EXPECT_EQ(control.Start(static_cast<uint64_t>(work(1.0f)), static_cast<uint64_t>(work(0.5f))), machine.start)
            << machine.fixedMs << " + " << machine.fullPixelsMs;
        const std::vector<float> after = Play(control, 600, Frame(machine.fixedMs, machine.fullPixelsMs, 0.05, random));
        EXPECT_EQ(after[RenderScaleControl::kCalmStretch], machine.start) << "no step in the first two seconds";
    }
    // Noise that makes the smaller frame the dearer one is no reason to stay big.
    RenderScaleControl control;
    EXPECT_EQ(control.Start(20000, 21000), 0.5f);
}

TEST(RenderScaleControl, AFixedSettingIsUsedAsItIsAndAutoStartsAgainFromFullSize) {
    RenderScaleControl control;
    Play(control, 200, [](float) { return 40000.0; });
    EXPECT_EQ(control.Scale(), 0.5f);
    EXPECT_TRUE(control.CheaperLook()) << "auto, missing at the smallest picture";
    EXPECT_EQ(control.Next(50.0f, 40000), 0.5f);
    EXPECT_FALSE(control.CheaperLook()) << "a fixed setting keeps the full look";
    EXPECT_EQ(control.Next(75.0f, 40000), 0.75f);
    EXPECT_EQ(control.Next(100.0f, 40000), 1.0f);
    EXPECT_EQ(control.Next(0.0f, 40000), 1.0f);
}

// A machine that misses even at the smallest picture takes one step further, to the cheaper look,
// only from there, and stays; once frames are cheap again it climbs back through the full look at
// the smallest picture to full size.
TEST(RenderScaleControl, TheCheaperLookComesOnlyBelowTheSmallestPictureAndGoesAgain) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> jitter(0.95, 1.05);
    RenderScaleControl control;
    struct Seen {
        float scale;
        bool cheaper;
    };
    const auto play = [&](int frames, double fixedMs, double fullPixelsMs, double lookSavesMs) {
        std::vector<Seen> seen;
        for (int i = 0; i < frames; ++i) {
            const float scale = control.Scale();
            seen.push_back({scale, control.CheaperLook()});
            const double ms = fixedMs + fullPixelsMs * scale * scale - (control.CheaperLook() ? lookSavesMs : 0.0);
            control.Next(0.0f, static_cast<uint64_t>(ms * 1000.0 * jitter(random)));
        }
        return seen;
    };
    // 17 ms at half size, 13 with the cheaper look.
    const std::vector<Seen> heavy = play(4000, 9.0, 32.0, 4.0);
    int firstCheaper = -1;
    int lookChanges = 0;
    for (size_t i = 0; i < heavy.size(); ++i) {
        ASSERT_GE(heavy[i].scale, 0.5f);
        ASSERT_TRUE(!heavy[i].cheaper || heavy[i].scale == 0.5f);
        if (heavy[i].cheaper && firstCheaper < 0) {
            firstCheaper = static_cast<int>(i);
            EXPECT_FALSE(heavy[i - 1].cheaper);
            EXPECT_EQ(heavy[i - 1].scale, 0.5f) << "the smallest picture was tried first";
        }
        lookChanges += i > 0 && heavy[i].cheaper != heavy[i - 1].cheaper ? 1 : 0;
    }
    ASSERT_GT(firstCheaper, 0);
    EXPECT_LT(firstCheaper, 240);
    EXPECT_TRUE(heavy.back().cheaper);
    EXPECT_LE(lookChanges, 3) << "on, and at most one try back to the full look";

    const std::vector<Seen> light = play(6000, 3.0, 6.0, 1.0);
    EXPECT_FALSE(light.back().cheaper);
    EXPECT_EQ(light.back().scale, 1.0f);
}

}  // namespace
