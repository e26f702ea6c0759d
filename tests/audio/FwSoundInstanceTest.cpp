#include <gtest/gtest.h>

#include <cmath>

#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "tests/audio/AudioFixture.h"

namespace audiotest {
namespace {

class SoundInstance : public AudioTest {
protected:
    // Plays one instance made by `play` to its end and returns the mix.
    template <typename Play>
    Mix Record(bool use3D, Play&& play, const Tone& tone = Tone{}) {
        auto effect = std::make_shared<FwSoundEffect>();
        EXPECT_TRUE(effect->Load(WriteTone("tone.wav", tone)));
        const std::shared_ptr<FwSoundInstance> instance = effect->CreateInstance(use3D);
        if (!instance) {
            ADD_FAILURE() << "no instance";
            return {};
        }
        play(*instance);
        EXPECT_TRUE(WaitWhilePlaying(*instance));
        return FinishMix();
    }

    double Amplitude(const Mix& mix) { return std::sqrt(mix.LeftEnergy() + mix.RightEnergy()); }
};

struct Placement {
    const char* name;
    Vector3 listenerPosition;
    Vector3 listenerFront;
    Vector3 emitter;
    bool use3D;
    int expectedSide;  // -1 left louder, 0 balanced, +1 right louder
};

void PrintTo(const Placement& placement, std::ostream* out) { *out << placement.name; }

class SoundPlacement : public SoundInstance, public testing::WithParamInterface<Placement> {};

TEST_P(SoundPlacement, IsHeardOnTheSideOfTheListenerItIsOn) {
    const Placement& p = GetParam();
    audio.listener.position = p.listenerPosition;
    audio.listener.front = p.listenerFront;
    const Mix mix = Record(p.use3D, [&](FwSoundInstance& instance) { instance.Play3D(p.emitter, false, false); });
    const double left = std::sqrt(mix.LeftEnergy());
    const double right = std::sqrt(mix.RightEnergy());
    ASSERT_GT(left + right, 0.0);
    const double balance = (right - left) / (right + left);
    switch (p.expectedSide) {
    case 1:
        EXPECT_GT(balance, 0.3) << "left " << left << " right " << right;
        break;
    case -1:
        EXPECT_LT(balance, -0.3) << "left " << left << " right " << right;
        break;
    default:
        EXPECT_NEAR(balance, 0.0, 0.05) << "left " << left << " right " << right;
        break;
    }
}

// The game is left-handed: facing +z, +x is on the right; facing +x, -z is on the right.
INSTANTIATE_TEST_SUITE_P(
    Listener, SoundPlacement,
    testing::Values(Placement{"RightOfDefaultListener", {}, {0, 0, 1}, {3, 0, 0}, true, 1},
                    Placement{"LeftOfDefaultListener", {}, {0, 0, 1}, {-3, 0, 0}, true, -1},
                    Placement{"RightOfListenerFacingPlusX", {10, 0, 10}, {1, 0, 0}, {10, 0, 7}, true, 1},
                    Placement{"PlainInstanceIgnoresPlacement", {10, 0, 10}, {1, 0, 0}, {10, 0, 7}, false, 0}),
    [](const testing::TestParamInfo<Placement>& info) { return std::string(info.param.name); });

TEST_F(SoundInstance, FallsOffAsScalerOverDistanceBeyondTheCurveDistanceScaler) {
    constexpr float kScaler = 2.0f;
    const auto playAt = [&](float distance) {
        return [=](FwSoundInstance& instance) {
            instance.SetCurveDistanceScaler(kScaler);
            instance.Play3D(Vector3(0.0f, 0.0f, distance), false, false);
        };
    };
    const double inside = Amplitude(Record(true, playAt(0.5f * kScaler)));
    ASSERT_TRUE(audio.Init());
    const double atEdge = Amplitude(Record(true, playAt(kScaler)));
    ASSERT_TRUE(audio.Init());
    const double fourTimes = Amplitude(Record(true, playAt(4.0f * kScaler)));

    ASSERT_GT(inside, 0.0);
    EXPECT_NEAR(atEdge / inside, 1.0, 0.05);
    EXPECT_NEAR(fourTimes / inside, 0.25, 0.03);
}

TEST_F(SoundInstance, Play3DResetsTheVolumeButPlayKeepsIt) {
    const Vector3 ahead(0.0f, 0.0f, 0.5f);
    const double full3D = Amplitude(Record(true, [&](FwSoundInstance& i) { i.Play3D(ahead, false, false); }));
    ASSERT_TRUE(audio.Init());
    const double quiet3D = Amplitude(Record(true, [&](FwSoundInstance& i) {
        i.SetVolume(0.2f);
        i.Play3D(ahead, false, false);
    }));
    ASSERT_TRUE(audio.Init());
    const double fullPlain = Amplitude(Record(false, [](FwSoundInstance& i) { i.Play(false, false); }));
    ASSERT_TRUE(audio.Init());
    const double quietPlain = Amplitude(Record(false, [](FwSoundInstance& i) {
        i.SetVolume(0.2f);
        i.Play(false, false);
    }));

    ASSERT_GT(full3D, 0.0);
    ASSERT_GT(fullPlain, 0.0);
    EXPECT_NEAR(quiet3D / full3D, 1.0, 0.05);
    EXPECT_NEAR(quietPlain / fullPlain, 0.2, 0.02);
}

TEST_F(SoundInstance, LoopedInstanceKeepsSounding) {
    auto effect = std::make_shared<FwSoundEffect>();
    ASSERT_TRUE(effect->Load(WriteTone("short.wav", Tone{.seconds = 0.1f})));
    const auto instance = effect->CreateInstance(false);
    ASSERT_TRUE(instance);
    instance->Play(true, true);
    ASSERT_TRUE(WaitForMix(0.8)) << "the device mixes nothing";
    audio.Update();
    EXPECT_EQ(instance->GetState(), FwSoundState::Playing);
    EXPECT_EQ(audio.GetPlayList().size(), 1u);

    const Mix mix = FinishMix();
    ASSERT_GT(mix.Seconds(), 0.5);
    // Long after a single 0.1 s pass would have ended.
    EXPECT_GT(mix.Rms(0.3, 0.5), 2000.0);
}

TEST_F(SoundInstance, PlayingAgainRestartsFromTheBeginningAndListsOnce) {
    auto effect = std::make_shared<FwSoundEffect>();
    ASSERT_TRUE(effect->Load(WriteTone("tone.wav", Tone{.seconds = 0.3f})));
    const auto instance = effect->CreateInstance(true);
    ASSERT_TRUE(instance);
    instance->Play3D(Vector3(0.0f, 0.0f, 0.5f), false, true);
    ASSERT_TRUE(WaitForMix(0.2)) << "the device mixes nothing";
    instance->Play3D(Vector3(0.0f, 0.0f, 0.5f), false, true);
    instance->Play3D(Vector3(0.0f, 0.0f, 0.5f), false, true);
    EXPECT_EQ(audio.GetPlayList().size(), 1u);
    ASSERT_TRUE(WaitWhilePlaying(*instance));

    const Mix mix = FinishMix();
    // Heard for longer than the 0.3 s tone: the second play started it over.
    EXPECT_GT(mix.SoundingSeconds(), 0.37);
}

}  // namespace
}  // namespace audiotest
