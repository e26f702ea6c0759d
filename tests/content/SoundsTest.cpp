// The generated sounds, read back from the content tree with the decoder the game uses.

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kFullScale = 32767;

struct Wave {
    uint16_t formatTag = 0;  // from the "fmt " chunk; 1 = PCM
    SDL_AudioSpec spec{};
    std::vector<int16_t> samples;  // interleaved

    int Frames() const { return static_cast<int>(samples.size()) / spec.channels; }
    double Seconds() const { return double(Frames()) / spec.freq; }
    // Root mean square and peak over frames [from, to), all channels.
    double Rms(int from, int to) const {
        double sum = 0;
        for (int i = from * spec.channels; i < to * spec.channels; ++i)
            sum += double(samples[i]) * samples[i];
        return std::sqrt(sum / std::max(1, (to - from) * spec.channels));
    }
    int Peak(int from, int to) const {
        int peak = 0;
        for (int i = from * spec.channels; i < to * spec.channels; ++i)
            peak = std::max(peak, std::abs(int(samples[i])));
        return peak;
    }
    int FramesIn(double seconds) const { return static_cast<int>(seconds * spec.freq); }
};

uint16_t FormatTag(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    for (size_t at = 12; at + 10 <= bytes.size();) {
        uint32_t size = 0;
        std::memcpy(&size, &bytes[at + 4], 4);
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0)
            return uint16_t(uint8_t(bytes[at + 8]) | uint8_t(bytes[at + 9]) << 8);
        at += 8 + size + (size & 1);
    }
    return 0;
}

bool ReadWave(const std::string& name, Wave& wave) {
    const std::string path = std::string(QUARNEL_BUILD_DIR) + "/Data/Sound/" + name;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &wave.spec, &data, &length))
        return false;
    wave.formatTag = FormatTag(path);
    if (wave.spec.format == AUDIO_S16LSB) {
        wave.samples.resize(length / 2);
        std::memcpy(wave.samples.data(), data, wave.samples.size() * 2);
    }
    SDL_FreeWAV(data);
    return true;
}

struct SoundCase {
    const char* name;
    bool placedIn3D;
    double shortest;  // seconds
    double longest;
};

class GeneratedSound : public testing::TestWithParam<SoundCase> {};

TEST_P(GeneratedSound, IsSixteenBitPcmAtTheCommonRateAndMonoWhenPlacedIn3D) {
    Wave wave;
    ASSERT_TRUE(ReadWave(GetParam().name, wave)) << SDL_GetError();
    EXPECT_EQ(wave.formatTag, 1);
    EXPECT_EQ(wave.spec.format, AUDIO_S16LSB);
    EXPECT_EQ(wave.spec.freq, 22050);
    if (GetParam().placedIn3D) {
        EXPECT_EQ(wave.spec.channels, 1);
    } else {
        EXPECT_TRUE(wave.spec.channels == 1 || wave.spec.channels == 2);
    }
    EXPECT_GE(wave.Seconds(), GetParam().shortest);
    EXPECT_LE(wave.Seconds(), GetParam().longest);
}

TEST_P(GeneratedSound, IsNormalisedWithoutClippingAndEndsWithoutAClick) {
    Wave wave;
    ASSERT_TRUE(ReadWave(GetParam().name, wave));
    ASSERT_FALSE(wave.samples.empty());
    const int peak = wave.Peak(0, wave.Frames());
    EXPECT_LT(peak, kFullScale);
    EXPECT_GT(peak, kFullScale / 2) << "normalised to a healthy level";
    // Clipping flattens the tops: runs of samples stuck at the peak.
    int run = 0, longestRun = 0;
    for (const int16_t s : wave.samples) {
        run = std::abs(int(s)) >= peak - 1 ? run + 1 : 0;
        longestRun = std::max(longestRun, run);
    }
    EXPECT_LT(longestRun, 3 * wave.spec.channels);
    EXPECT_LT(wave.Peak(wave.Frames() - wave.FramesIn(0.001), wave.Frames()), kFullScale / 50);
}

INSTANTIATE_TEST_SUITE_P(
    Content, GeneratedSound,
    testing::Values(SoundCase{"Keyboard.wav", false, 1.8, 2.2}, SoundCase{"enter.wav", false, 0.3, 2.0},
                    SoundCase{"title.wav", false, 1.0, 4.0}, SoundCase{"click.wav", false, 0.05, 0.5},
                    SoundCase{"caterpillar.wav", true, 0.3, 1.0}, SoundCase{"item.wav", false, 0.2, 1.0},
                    SoundCase{"shot1.wav", false, 0.1, 1.0}, SoundCase{"tama1.wav", false, 0.1, 1.0},
                    SoundCase{"shot.wav", true, 0.1, 1.0}, SoundCase{"noise.wav", false, 0.1, 1.0},
                    SoundCase{"BeamHit.wav", true, 0.1, 1.0}, SoundCase{"reflection.wav", true, 0.1, 1.0},
                    SoundCase{"tama2.wav", true, 0.1, 1.0}, SoundCase{"charge.wav", true, 0.2, 0.3},
                    SoundCase{"explosion.wav", true, 1.0, 3.0}, SoundCase{"smallexplosion.wav", true, 0.4, 1.5},
                    SoundCase{"knockDown.wav", true, 0.5, 1.5}, SoundCase{"damage.wav", true, 0.1, 1.0},
                    SoundCase{"Breakerexplosion.wav", true, 0.8, 2.5}, SoundCase{"elevetordoor.wav", false, 0.8, 3.0},
                    SoundCase{"elevetorUp.wav", false, 1.5, 4.0}),
    [](const testing::TestParamInfo<SoundCase>& info) {
        std::string name = info.param.name;
        return name.substr(0, name.find('.'));
    });

// The treads and the toppling groan restart on every frame they last, so the first frame's worth
// (16 ms) is all that is heard: it must already be at full level.
TEST(Sound, RestartedEveryFrameSoundsAreAtFullLevelFromTheFirstFrame) {
    for (const char* name : {"caterpillar.wav", "knockDown.wav"}) {
        Wave wave;
        ASSERT_TRUE(ReadWave(name, wave)) << name;
        const int frame = wave.FramesIn(0.016);
        const double firstFrame = wave.Rms(0, frame);
        const double afterwards = wave.Rms(frame, frame + wave.FramesIn(0.2));
        EXPECT_GT(firstFrame, 0.6 * afterwards) << name;
        EXPECT_GT(wave.Peak(0, wave.FramesIn(0.002)), wave.Peak(0, wave.Frames()) / 10) << name << " starts silent";
    }
}

}  // namespace
