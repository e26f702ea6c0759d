#include "tools/content/SoundsWav.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>

namespace {

class ByteWriter {
public:
    void Tag(const char* fourCharacters) { bytes.append(fourCharacters, 4); }
    void U16(uint32_t value) { Little(value, 2); }
    void U32(uint32_t value) { Little(value, 4); }
    const std::string& Bytes() const { return bytes; }

private:
    void Little(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
    }
    std::string bytes;
};

}  // namespace

bool WriteWav(const std::string& path, const std::vector<Signal>& channels)
{
    constexpr uint32_t kBytesPerSample = 2;
    const uint32_t channelCount = static_cast<uint32_t>(channels.size());
    uint32_t frames = 0;
    for (const Signal& channel : channels) frames = std::max(frames, static_cast<uint32_t>(channel.size()));
    const uint32_t dataBytes = frames * channelCount * kBytesPerSample;

    ByteWriter out;
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

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.Bytes().data(), static_cast<std::streamsize>(out.Bytes().size()));
    if (!file) {
        std::cerr << "Cannot write " << path << "\n";
        return false;
    }
    return true;
}
