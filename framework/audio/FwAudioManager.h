#pragma once

#include <AL/al.h>
#include <AL/alc.h>

// Emscripten's OpenAL headers name no calling convention.
#ifndef AL_APIENTRY
#define AL_APIENTRY
#endif
#ifndef ALC_APIENTRY
#define ALC_APIENTRY
#endif

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "framework/math/SimpleMath.h"

class FwSoundInstance;

// Where the game hears from, in its own left-handed coordinates.
struct FwAudioListener {
    Vector3 front{0.0f, 0.0f, 1.0f};
    Vector3 top{0.0f, 1.0f, 0.0f};
    Vector3 position;
    Vector3 velocity;
};

// OpenAL is right-handed with the same x and y, so a game vector maps by negating z.
inline std::array<ALfloat, 3> FwToOpenAL(const Vector3& v) { return {v.x, v.y, -v.z}; }

// The sound service: the OpenAL device and context, the listener, and the play list that keeps
// fire-and-forget sounds alive while they play. Without a sound device everything stays silent.
class FwAudioManager {
public:
    using PlayList = std::map<const FwSoundInstance*, std::shared_ptr<FwSoundInstance>>;

    static FwAudioManager& GetInstance();

    // Always true: no device only means no sound.
    bool Init();
    void Update();
    // Empties the play list before the device goes.
    void Release();

    // Holds (true) or goes on with (false) the whole mix: every playing sound stops where it is
    // and later carries on from there. Without a device only the flag changes.
    void Pause(bool pause);
    bool Paused() const { return paused; }

    void AddPlayList(const std::shared_ptr<FwSoundInstance>& instance);
    // Pushes the listener and the master volume to OpenAL; sounds placed in 3D are heard from
    // where it stands.
    void ApplyListener() const;

    bool HasDevice() const { return context != nullptr; }
    const PlayList& GetPlayList() const { return playList; }

    // Nonzero while a device is open, different for every device opened in this process; AL
    // names carry it so that names of a closed device are never used or deleted.
    static uint32_t DeviceSerial() { return deviceSerial; }

    // The game writes position, front and top directly, every frame.
    FwAudioListener listener;

private:
    struct DeviceCloser {
        void operator()(ALCdevice* device) const { alcCloseDevice(device); }
    };
    struct ContextDestroyer {
        void operator()(ALCcontext* context) const {
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
        }
    };

    FwAudioManager() = default;
    ~FwAudioManager() { Release(); }

    bool OpenDevice();

    std::unique_ptr<ALCdevice, DeviceCloser> device;
    std::unique_ptr<ALCcontext, ContextDestroyer> context;
    PlayList playList;
    bool paused = false;

    static inline uint32_t deviceSerial = 0;
    static inline uint32_t devicesOpened = 0;
};
