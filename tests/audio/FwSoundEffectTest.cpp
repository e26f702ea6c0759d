#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "tests/audio/AudioFixture.h"

namespace audiotest {
namespace {

class SoundEffect : public AudioTest {};

struct Format {
    const char* name;
    SampleFormat format;
    int channels;
};

void PrintTo(const Format& format, std::ostream* out) { *out << format.name; }

class SoundEffectFormat : public AudioTest, public testing::WithParamInterface<Format> {};

// Each format of the same tone sounds as loud as 16-bit samples: the conversion keeps the signal.
TEST_P(SoundEffectFormat, LoadsAndPlaysAtTheToneLevel) {
    const Format& f = GetParam();
    const auto loudness = [&](const Tone& tone) {
        auto effect = std::make_shared<FwSoundEffect>();
        EXPECT_TRUE(effect->Load(WriteTone("format.wav", tone)));
        const auto instance = effect->CreateInstance(false);
        EXPECT_TRUE(instance);
        if (!instance) {
            return 0.0;
        }
        instance->Play(false, false);
        EXPECT_TRUE(WaitWhilePlaying(*instance));
        const Mix mix = FinishMix();
        return std::sqrt(mix.LeftEnergy() + mix.RightEnergy());
    };
    const double reference = loudness(Tone{.channels = f.channels});
    ASSERT_TRUE(audio.Init());
    const double converted = loudness(Tone{.channels = f.channels, .format = f.format});
    ASSERT_GT(reference, 0.0);
    EXPECT_NEAR(converted / reference, 1.0, 0.05);
}

INSTANTIATE_TEST_SUITE_P(Wav, SoundEffectFormat,
                         testing::Values(Format{"Unsigned8", SampleFormat::U8, 1},
                                         Format{"Float32", SampleFormat::F32, 1},
                                         Format{"StereoUnsigned8", SampleFormat::U8, 2}),
                         [](const testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

// A stereo file keeps its channels when played plainly, and is mixed down to mono to be placed.
TEST_F(SoundEffect, StereoFileKeepsItsChannelsPlainAndIsPlacedIn3D) {
    auto effect = std::make_shared<FwSoundEffect>();
    ASSERT_TRUE(effect->Load(WriteTone("left.wav", Tone{.channels = 2, .firstChannelOnly = true})));

    const auto plain = effect->CreateInstance(false);
    plain->Play(false, false);
    ASSERT_TRUE(WaitWhilePlaying(*plain));
    const Mix plainMix = FinishMix();
    EXPECT_LT(plainMix.RightEnergy(), plainMix.LeftEnergy() * 0.01);

    ASSERT_TRUE(audio.Init());
    ASSERT_TRUE(effect->Load(effect->FileName()));
    const auto placed = effect->CreateInstance(true);
    placed->Play3D(Vector3(3.0f, 0.0f, 0.0f), false, false);
    ASSERT_TRUE(WaitWhilePlaying(*placed));
    const Mix placedMix = FinishMix();
    EXPECT_GT(placedMix.RightEnergy(), placedMix.LeftEnergy() * 2.0);
}

TEST_F(SoundEffect, BadFileFailsAndKeepsWhatWasLoaded) {
    auto effect = std::make_shared<FwSoundEffect>();
    EXPECT_FALSE(effect->Load(TestDirectory() + "/missing.wav"));
    EXPECT_FALSE(effect->CreateInstance(false));

    const std::string good = WriteTone("good.wav", Tone{});
    ASSERT_TRUE(effect->Load(good));
    std::string truncated = "RIFF\x24\x10\0\0WAVEfmt ";
    truncated.resize(30, '\x7f');
    const std::vector<std::string> bad = {
        TestDirectory() + "/missing.wav",
        WriteFile("text.wav", "not a wave file at all"),
        WriteFile("truncated.wav", truncated),
        WriteFile("empty.wav", ""),
    };
    for (const std::string& path : bad) {
        EXPECT_FALSE(effect->Load(path)) << path;
        EXPECT_EQ(effect->FileName(), good);
        EXPECT_TRUE(effect->CreateInstance(true)) << path;
    }
}

// Five minutes is the longest sound a file may hold: one second more is refused with one line on
// standard error, and the effect then makes no instances, so whoever owns it stays silent.
TEST_F(SoundEffect, SoundsLongerThanFiveMinutesAreRefused) {
    const auto bytesOf = [](const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::vector<uint8_t>{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    };
    const std::string longest = WriteTone("longest.wav", Tone{.seconds = 300.5f, .format = SampleFormat::U8});
    const std::string tooLong = WriteTone("too-long.wav", Tone{.seconds = 301.5f, .format = SampleFormat::U8});
    FwWavData wav;
    std::string error;
    EXPECT_TRUE(FwDecodeWav(bytesOf(longest), wav, error)) << error;
    EXPECT_EQ(wav.samples.size(), size_t(300.5f * kRate) * 2);
    EXPECT_FALSE(FwDecodeWav(bytesOf(tooLong), wav, error));
    EXPECT_EQ(error, "the sound lasts 301 seconds, longer than five minutes");

    auto effect = std::make_shared<FwSoundEffect>();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(effect->Load(tooLong));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Cannot load sound " + tooLong + ": the sound lasts 301 seconds, longer than five minutes\n");
    EXPECT_FALSE(effect->CreateInstance(false));
}

}  // namespace
}  // namespace audiotest
