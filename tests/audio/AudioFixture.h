#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/audio/FwAudioManager.h"
#include "framework/audio/FwSoundInstance.h"

// The audio tests hear the real mix: OpenAL Soft's wave back end writes it to a file in real time.
// OpenAL reads its configuration once per process, at the first device it opens, so every test
// here goes through AudioTest and the configuration is set before that.
namespace audiotest {

// Sources the test device offers, small so that running out is cheap to reach.
constexpr int kSourceLimit = 16;
// Rate of the test mix and of the test tones.
constexpr int kRate = 22050;

enum class SampleFormat { U8, S16, F32 };

struct Tone {
    float seconds = 0.2f;
    float amplitude = 0.5f;
    int channels = 1;
    SampleFormat format = SampleFormat::S16;
    // Channel 0 only; the others stay silent.
    bool firstChannelOnly = false;
};

// Writes a 440 Hz tone as a WAV file under the test directory and returns its absolute path.
std::string WriteTone(const std::string& name, const Tone& tone);
// Writes raw bytes (for broken files).
std::string WriteFile(const std::string& name, const std::string& bytes);
// The directory of the tones, also made the content root.
const std::string& TestDirectory();

struct Mix {
    std::vector<int16_t> left;
    std::vector<int16_t> right;

    // Sum of squared samples: comparing two of them compares the squared amplitudes of the same
    // sound however much silence surrounds it.
    double LeftEnergy() const;
    double RightEnergy() const;
    // Root mean square of both channels over a span of the mix, in seconds from its start.
    double Rms(double fromSeconds, double toSeconds) const;
    // From the first to the last clearly audible sample.
    double SoundingSeconds() const;
    double Seconds() const { return static_cast<double>(left.size()) / kRate; }
};

// Opens the wave device for every test and closes it afterwards.
class AudioTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Closes the device and reads what it wrote.
    Mix FinishMix();
    // Waits (in real time) until the instance is no longer playing; false after `timeoutSeconds`.
    static bool WaitWhilePlaying(const FwSoundInstance& instance, double timeoutSeconds = 3.0);
    // Seconds of sound the device has mixed into its file so far.
    static double MixedSeconds();
    // Waits until the device has mixed `seconds` more than it had at the call; false after
    // `timeoutSeconds`.
    static bool WaitForMix(double seconds, double timeoutSeconds = 5.0);
    // Makes the device fail to open at the next Init, as on a machine without sound.
    static void BreakDevice();

    FwAudioManager& audio = FwAudioManager::GetInstance();
};

}  // namespace audiotest
