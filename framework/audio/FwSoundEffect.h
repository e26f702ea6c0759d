#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/audio/FwAlHandle.h"

class FwSoundInstance;

// The samples of a WAV file as signed 16-bit, ready for the sound device.
struct FwWavData {
    int frequency = 0;
    int channels = 0;              // of `samples`: 1 or 2
    std::vector<uint8_t> samples;  // as stored, more than two channels mixed down to two
    std::vector<uint8_t> mono;     // mixed to one channel for 3D; empty when `samples` is mono
};

// Longer sounds are refused: the game's longest is well under a minute, and five minutes of
// 16-bit stereo are already 50 MB.
constexpr uint32_t kMaxSoundSeconds = 300;

// Decodes the bytes of any WAV file SDL reads. False with the reason in `error` for data that is
// not a WAV, a sample format that cannot be converted, or a sound longer than kMaxSoundSeconds.
bool FwDecodeWav(std::span<const uint8_t> bytes, FwWavData& wav, std::string& error);

// One WAV file in OpenAL buffers. Always created shared (std::make_shared): its instances hold a
// reference to it, and CreateInstance on an effect that no shared reference holds throws
// std::bad_weak_ptr. Effects of one file share its OpenAL buffers, which never change once filled.
class FwSoundEffect : public std::enable_shared_from_this<FwSoundEffect> {
public:
    // Any WAV that SDL decodes; 16-bit samples, more than two channels are mixed down to two. A
    // missing or invalid file (or no sound device) returns false and keeps what was loaded.
    bool Load(const std::string& filePath);
    // An empty reference without a sound device or without loaded data.
    std::shared_ptr<FwSoundInstance> CreateInstance(bool use3D);
    // Forgets the decoded files that effects share (see FwFileCache); called before the device goes.
    static void ReleaseCache();
    // How many files the shared cache holds.
    static size_t CacheSize();

    const std::string& FileName() const { return fileName; }

private:
    // As loaded, for plain instances.
    std::shared_ptr<const FwAlBuffer> soundEffect;
    // Mono (the same buffer for a mono file): OpenAL only places mono sounds in 3D.
    std::shared_ptr<const FwAlBuffer> soundEffect3D;
    std::string fileName;
};
