#pragma once

#include <AL/al.h>

#include <cstdint>

#include "framework/audio/FwAudioManager.h"

// Owns one OpenAL name (a buffer or a source) of the device that was open when it was made.
// After that device is gone (Release, perhaps a new Init) the name means nothing or, worse, an
// object of the new device, so a stale handle reads as empty and is never deleted.
template <void(AL_APIENTRY* Generate)(ALsizei, ALuint*), void(AL_APIENTRY* Delete)(ALsizei, const ALuint*)>
class FwAlHandle {
public:
    FwAlHandle() = default;
    ~FwAlHandle() { Reset(); }
    FwAlHandle(const FwAlHandle&) = delete;
    FwAlHandle& operator=(const FwAlHandle&) = delete;

    // False, leaving the handle empty, without a device or when the device has no name left
    // (sources are few: 256 unless configured otherwise).
    bool Create() {
        Reset();
        const uint32_t serial = FwAudioManager::DeviceSerial();
        if (serial == 0) {
            return false;
        }
        alGetError();
        ALuint name = 0;
        Generate(1, &name);
        if (alGetError() != AL_NO_ERROR) {
            return false;
        }
        id = name;
        deviceSerial = serial;
        return true;
    }

    // 0 when empty or stale.
    ALuint Get() const { return IsLive() ? id : 0; }

    void Reset() {
        if (IsLive()) {
            Delete(1, &id);
        }
        id = 0;
        deviceSerial = 0;
    }

private:
    bool IsLive() const { return id != 0 && deviceSerial == FwAudioManager::DeviceSerial(); }

    ALuint id = 0;
    uint32_t deviceSerial = 0;
};

using FwAlBuffer = FwAlHandle<alGenBuffers, alDeleteBuffers>;
using FwAlSource = FwAlHandle<alGenSources, alDeleteSources>;
