#include "framework/audio/FwSoundEffect.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/audio/FwSoundInstance.h"
#include "framework/platform/FwFileCache.h"
#include "framework/platform/FwPath.h"

namespace {

struct WavFreer {
    void operator()(Uint8* data) const { SDL_FreeWAV(data); }
};

// The decoded samples converted to signed 16-bit with `channels` channels, in a new buffer;
// null when SDL cannot convert them or OpenAL refuses them.
std::shared_ptr<const FwAlBuffer> MakeBuffer(const SDL_AudioSpec& spec, const Uint8* data, Uint32 length,
                                             int channels) {
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, static_cast<Uint8>(channels),
                          spec.freq) < 0) {
        return nullptr;
    }
    const Uint32 frameBytes = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
    const Uint32 wholeFrames = length - length % frameBytes;
    std::vector<Uint8> samples(static_cast<size_t>(wholeFrames) * std::max(cvt.len_mult, 1));
    std::memcpy(samples.data(), data, wholeFrames);
    cvt.buf = samples.data();
    cvt.len = static_cast<int>(wholeFrames);
    if (cvt.needed && SDL_ConvertAudio(&cvt) < 0) {
        return nullptr;
    }
    const int size = cvt.needed ? cvt.len_cvt : cvt.len;

    auto buffer = std::make_shared<FwAlBuffer>();
    if (!buffer->Create()) {
        return nullptr;
    }
    alGetError();
    alBufferData(buffer->Get(), channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, samples.data(), size, spec.freq);
    return alGetError() == AL_NO_ERROR ? buffer : nullptr;
}

// One WAV file as OpenAL buffers: as loaded, and mono for 3D.
struct WaveBuffers {
    std::shared_ptr<const FwAlBuffer> plain;
    std::shared_ptr<const FwAlBuffer> mono;
};

std::shared_ptr<const WaveBuffers> DecodeWave(const std::string& path) {
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &spec, &data, &length)) {
        std::fprintf(stderr, "Cannot load sound %s: %s\n", path.c_str(), SDL_GetError());
        return nullptr;
    }
    const std::unique_ptr<Uint8, WavFreer> owned(data);
    const int channels = std::min<int>(spec.channels, 2);
    auto buffers = std::make_shared<WaveBuffers>();
    buffers->plain = MakeBuffer(spec, data, length, channels);
    buffers->mono = channels == 1 ? buffers->plain : MakeBuffer(spec, data, length, 1);
    if (!buffers->plain || !buffers->mono) {
        std::fprintf(stderr, "Cannot play sound %s: unsupported sample format\n", path.c_str());
        return nullptr;
    }
    return buffers;
}

FwFileCache<WaveBuffers>& WaveCache() {
    static FwFileCache<WaveBuffers> cache;
    return cache;
}

}  // namespace

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

std::shared_ptr<FwSoundInstance> FwSoundEffect::CreateInstance(bool use3D) {
    if (!FwAudioManager::GetInstance().HasDevice() || !soundEffect || soundEffect->Get() == 0) {
        return nullptr;
    }
    return std::make_shared<FwSoundInstance>(shared_from_this(), use3D ? soundEffect3D : soundEffect, use3D);
}
