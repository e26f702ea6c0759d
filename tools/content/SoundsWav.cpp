#include "tools/content/SoundsWav.h"

#include "tools/content/BinaryWriter.h"

#include <algorithm>
#include <cmath>

bool WriteWav(const std::string& path, const std::vector<Signal>& channels) {
    constexpr uint32_t kBytesPerSample = 2;
    const uint32_t channelCount = static_cast<uint32_t>(channels.size());
    uint32_t frames = 0;
    for (const Signal& channel : channels)
        frames = std::max(frames, static_cast<uint32_t>(channel.size()));
    const uint32_t dataBytes = frames * channelCount * kBytesPerSample;

    BinaryWriter out;
    out.Tag("RIFF");
    out.U32(36 + dataBytes);
    out.Tag("WAVE");
    out.Tag("fmt ");
    out.U32(16);
    out.U16(1);  // PCM
    out.U16(channelCount);
    out.U32(kSampleRate);
    out.U32(kSampleRate * channelCount * kBytesPerSample);
    out.U16(channelCount * kBytesPerSample);
    out.U16(16);
    out.Tag("data");
    out.U32(dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        for (const Signal& channel : channels) {
            const float s = i < channel.size() ? std::clamp(channel[i], -1.0f, 1.0f) : 0.0f;
            out.U16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * 32767.0f))));
        }
    }

    return out.Save(path);
}
