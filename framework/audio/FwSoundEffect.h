#pragma once

#include <memory>
#include <string>

#include "framework/audio/FwAlHandle.h"

class FwSoundInstance;

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

    const std::string& FileName() const { return fileName; }

private:
    // As loaded, for plain instances.
    std::shared_ptr<const FwAlBuffer> soundEffect;
    // Mono (the same buffer for a mono file): OpenAL only places mono sounds in 3D.
    std::shared_ptr<const FwAlBuffer> soundEffect3D;
    std::string fileName;
};
