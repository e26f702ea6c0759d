#include "framework/audio/FwSoundEffect.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "framework/audio/FwSoundInstance.h"
#include "framework/platform/FwFileCache.h"
#include "framework/platform/FwPath.h"

namespace {

struct WavFreer {
    void operator()(Uint8* data) const { SDL_FreeWAV(data); }
};

// The decoded samples converted to signed 16-bit with `channels` channels; false when SDL cannot
// convert them.
bool Convert(const SDL_AudioSpec& spec, const Uint8* data, Uint32 length, int channels, std::vector<uint8_t>& samples) {
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, static_cast<Uint8>(channels),
                          spec.freq) < 0) {
        return false;
    }
    const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
    const Uint32 wholeFrames = length - length % frameBytes;
    samples.assign(data, data + wholeFrames);
    samples.resize(static_cast<size_t>(wholeFrames) * std::max(cvt.len_mult, 1));
    cvt.buf = samples.data();
    cvt.len = static_cast<int>(wholeFrames);
    if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) {
        return false;
    }
    samples.resize(static_cast<size_t>(cvt.needed ? cvt.len_cvt : cvt.len));
    return true;
}

// A new buffer holding 16-bit samples; null when OpenAL refuses them.
std::shared_ptr<const FwAlBuffer> MakeBuffer(const std::vector<uint8_t>& samples, int channels, int frequency) {
    auto buffer = std::make_shared<FwAlBuffer>();
    if (!buffer->Create()) {
        return nullptr;
    }
    alGetError();
    alBufferData(buffer->Get(), channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, samples.data(),
                 static_cast<ALsizei>(samples.size()), frequency);
    return alGetError() == AL_NO_ERROR ? buffer : nullptr;
}

// One WAV file as OpenAL buffers: as loaded, and mono for 3D.
struct WaveBuffers {
    std::shared_ptr<const FwAlBuffer> plain;
    std::shared_ptr<const FwAlBuffer> mono;
};

std::shared_ptr<const WaveBuffers> DecodeWave(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    FwWavData wav;
    std::string error = "cannot open the file";
    if (!file.is_open() || !FwDecodeWav(bytes, wav, error)) {
        std::fprintf(stderr, "Cannot load sound %s: %s\n", path.c_str(), error.c_str());
        return nullptr;
    }
    auto buffers = std::make_shared<WaveBuffers>();
    buffers->plain = MakeBuffer(wav.samples, wav.channels, wav.frequency);
    buffers->mono = wav.channels == 1 ? buffers->plain : MakeBuffer(wav.mono, 1, wav.frequency);
    if (!buffers->plain || !buffers->mono) {
        std::fprintf(stderr, "Cannot play sound %s: the sound device refuses its samples\n", path.c_str());
        return nullptr;
    }
    return buffers;
}

FwFileCache<WaveBuffers>& WaveCache() {
    static FwFileCache<WaveBuffers> cache;
    return cache;
}

}  // namespace

bool FwDecodeWav(std::span<const uint8_t> bytes, FwWavData& wav, std::string& error) {
    wav = FwWavData{};
    if (bytes.empty() || bytes.size() > size_t{INT32_MAX}) {
        error = bytes.empty() ? "the file is empty" : "the file is larger than 2 GB";
        return false;
    }
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1, &spec, &data, &length)) {
        error = SDL_GetError();
        return false;
    }
    const std::unique_ptr<Uint8, WavFreer> owned(data);
    const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
    if (frameBytes == 0 || spec.freq <= 0) {
        error = "no channels, no sample size or no sample rate";
        return false;
    }
    const uint64_t seconds = length / frameBytes / static_cast<uint32_t>(spec.freq);
    if (seconds > kMaxSoundSeconds) {
        error = "the sound lasts " + std::to_string(seconds) + " seconds, longer than five minutes";
        return false;
    }
    wav.frequency = spec.freq;
    wav.channels = std::min<int>(spec.channels, 2);
    if (!Convert(spec, data, length, wav.channels, wav.samples) ||
        (wav.channels != 1 && !Convert(spec, data, length, 1, wav.mono))) {
        error = "unsupported sample format";
        return false;
    }
    return true;
}

bool FwSoundEffect::Load(const std::string& filePath) {
    if (!FwAudioManager::GetInstance().HasDevice()) {
        return false;
    }
    const std::string path = FwResolvePath(filePath);
    const std::shared_ptr<const WaveBuffers> buffers =
        WaveCache().Get(path, path, FwAudioManager::DeviceSerial(), DecodeWave);
    if (!buffers) {
        return false;
    }
    soundEffect = buffers->plain;
    soundEffect3D = buffers->mono;
    fileName = filePath;
    return true;
}

void FwSoundEffect::ReleaseCache() { WaveCache().Release(); }

size_t FwSoundEffect::CacheSize() { return WaveCache().Size(); }

std::shared_ptr<FwSoundInstance> FwSoundEffect::CreateInstance(bool use3D) {
    if (!FwAudioManager::GetInstance().HasDevice() || !soundEffect || soundEffect->Get() == 0) {
        return nullptr;
    }
    return std::make_shared<FwSoundInstance>(shared_from_this(), use3D ? soundEffect3D : soundEffect, use3D);
}
