#include "tests/audio/AudioFixture.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "framework/platform/FwPath.h"
#include "tests/support/GameRun.h"

namespace audiotest {
namespace {

namespace fs = std::filesystem;

// A temporary directory with the OpenAL configuration and the tones; removed at exit.
struct TestFiles {
    std::string directory;
    std::string outputDirectory;
    std::string mixPath;

    TestFiles() {
        char pattern[] = "/tmp/quarnel-audio-XXXXXX";
        directory = mkdtemp(pattern);
        outputDirectory = directory + "/out";
        mixPath = outputDirectory + "/mix.wav";
        const std::string configPath = directory + "/alsoft.conf";
        std::ofstream(configPath) << "[general]\ndrivers=wave\nsample-type=int16\nchannels=stereo\nfrequency=" << kRate
                                  << "\nhrtf=false\nsources=" << kSourceLimit << "\n[wave]\nfile=" << mixPath << "\n";
        setenv("ALSOFT_CONF", configPath.c_str(), 1);
        unsetenv("ALSOFT_DRIVERS");
        FwSetContentRoot(directory);
    }
    ~TestFiles() {
        std::error_code error;
        fs::remove_all(directory, error);
    }
};

TestFiles& Files() {
    static TestFiles files;
    return files;
}

void Put16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xff));
    out.push_back(static_cast<char>((value >> 8) & 0xff));
}
void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

void PutSample(std::string& out, SampleFormat format, float value) {
    switch (format) {
    case SampleFormat::U8:
        out.push_back(static_cast<char>(static_cast<uint8_t>(std::lround(128.0f + value * 127.0f))));
        break;
    case SampleFormat::S16:
        Put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 32767.0f))));
        break;
    case SampleFormat::F32: {
        uint32_t bits = 0;
        static_assert(sizeof bits == sizeof value);
        std::memcpy(&bits, &value, sizeof bits);
        Put32(out, bits);
        break;
    }
    }
}

int BytesPerSample(SampleFormat format) { return format == SampleFormat::U8 ? 1 : format == SampleFormat::S16 ? 2 : 4; }

double Energy(const std::vector<int16_t>& samples) {
    double sum = 0.0;
    for (const int16_t s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return sum;
}

}  // namespace

const std::string& TestDirectory() { return Files().directory; }

std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = TestDirectory() + "/" + name;
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string WriteTone(const std::string& name, const Tone& tone) {
    const int frames = static_cast<int>(tone.seconds * kRate);
    const int blockAlign = BytesPerSample(tone.format) * tone.channels;
    std::string data;
    for (int i = 0; i < frames; ++i) {
        const float value = tone.amplitude * std::sin(2.0f * 3.14159265f * 440.0f * i / kRate);
        for (int c = 0; c < tone.channels; ++c) {
            PutSample(data, tone.format, c == 0 || !tone.firstChannelOnly ? value : 0.0f);
        }
    }
    std::string file = "RIFF";
    Put32(file, static_cast<uint32_t>(36 + data.size()));
    file += "WAVEfmt ";
    Put32(file, 16);
    Put16(file, tone.format == SampleFormat::F32 ? 3 : 1);
    Put16(file, tone.channels);
    Put32(file, kRate);
    Put32(file, kRate * blockAlign);
    Put16(file, blockAlign);
    Put16(file, BytesPerSample(tone.format) * 8);
    file += "data";
    Put32(file, static_cast<uint32_t>(data.size()));
    return WriteFile(name, file + data);
}

double Mix::LeftEnergy() const { return Energy(left); }
double Mix::RightEnergy() const { return Energy(right); }

double Mix::Rms(double fromSeconds, double toSeconds) const {
    const size_t from = std::min(left.size(), static_cast<size_t>(fromSeconds * kRate));
    const size_t to = std::min(left.size(), static_cast<size_t>(toSeconds * kRate));
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) {
        sum += static_cast<double>(left[i]) * left[i] + static_cast<double>(right[i]) * right[i];
    }
    return to > from ? std::sqrt(sum / (2.0 * (to - from))) : 0.0;
}

double Mix::SoundingSeconds() const {
    constexpr int kAudible = 1000;
    size_t first = left.size();
    size_t last = 0;
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::abs(left[i]) > kAudible || std::abs(right[i]) > kAudible) {
            first = std::min(first, i);
            last = i;
        }
    }
    return first < last ? static_cast<double>(last - first) / kRate : 0.0;
}

void AudioTest::SetUp() {
    fs::remove_all(Files().outputDirectory);
    fs::create_directories(Files().outputDirectory);
    audio.listener = FwAudioListener{};
    ASSERT_TRUE(audio.Init());
    ASSERT_TRUE(audio.HasDevice()) << "the wave back end did not open";
}

void AudioTest::TearDown() { audio.Release(); }

Mix AudioTest::FinishMix() {
    audio.Release();
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    Mix mix;
    if (!SDL_LoadWAV(Files().mixPath.c_str(), &spec, &data, &length)) {
        ADD_FAILURE() << "no mix written: " << SDL_GetError();
        return mix;
    }
    EXPECT_EQ(spec.format, AUDIO_S16SYS);
    EXPECT_EQ(spec.channels, 2);
    EXPECT_EQ(spec.freq, kRate);
    const auto* samples = reinterpret_cast<const int16_t*>(data);
    for (Uint32 i = 0; i + 1 < length / 2; i += 2) {
        mix.left.push_back(samples[i]);
        mix.right.push_back(samples[i + 1]);
    }
    SDL_FreeWAV(data);
    return mix;
}

bool AudioTest::WaitWhilePlaying(const FwSoundInstance& instance, double timeoutSeconds) {
    return WaitUntil([&] { return instance.GetState() != FwSoundState::Playing; },
                     std::chrono::duration<double>(timeoutSeconds));
}

double AudioTest::MixedSeconds() {
    // The wave writer's header is 44 bytes; then 16-bit stereo frames.
    std::error_code error;
    const auto bytes = fs::file_size(Files().mixPath, error);
    return error || bytes < 44 ? 0.0 : static_cast<double>(bytes - 44) / (4.0 * kRate);
}

bool AudioTest::WaitForMix(double seconds, double timeoutSeconds) {
    const double until = MixedSeconds() + seconds;
    return WaitUntil([&] { return MixedSeconds() >= until; }, std::chrono::duration<double>(timeoutSeconds));
}

void AudioTest::BreakDevice() {
    fs::remove_all(Files().outputDirectory);
    std::ofstream(Files().outputDirectory) << "not a directory";
}

}  // namespace audiotest
