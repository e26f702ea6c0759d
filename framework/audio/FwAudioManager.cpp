#include "framework/audio/FwAudioManager.h"

#include <cstdio>

#include "framework/audio/FwSoundInstance.h"
#include "framework/platform/FwSettings.h"

FwAudioManager& FwAudioManager::GetInstance() {
    static FwAudioManager instance;
    return instance;
}

bool FwAudioManager::Init() {
    Release();
    if (!OpenDevice()) {
        std::fprintf(stderr, "No sound device: the game runs without sound\n");
    }
    listener.front = Vector3(0.0f, 0.0f, 1.0f);
    return true;
}

bool FwAudioManager::OpenDevice() {
    device.reset(alcOpenDevice(nullptr));
    if (device) {
        context.reset(alcCreateContext(device.get(), nullptr));
    }
    if (!context || !alcMakeContextCurrent(context.get())) {
        context.reset();
        device.reset();
        return false;
    }
    deviceSerial = ++devicesOpened;
    // With the reference distance set to an emitter's curve distance scaler this is the game's
    // curve: full volume up to the scaler, then scaler / distance.
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    return true;
}

void FwAudioManager::Update() {
    if (!context) {
        return;
    }
    ApplyListener();
    std::erase_if(playList,
                  [](const PlayList::value_type& entry) { return entry.second->GetState() != FwSoundState::Playing; });
}

void FwAudioManager::Release() {
    playList.clear();
    context.reset();
    device.reset();
    deviceSerial = 0;
}

void FwAudioManager::AddPlayList(const std::shared_ptr<FwSoundInstance>& instance) {
    if (instance) {
        playList[instance.get()] = instance;
    }
}

void FwAudioManager::ApplyListener() const {
    if (!context) {
        return;
    }
    alListenerfv(AL_POSITION, FwToOpenAL(listener.position).data());
    alListenerfv(AL_VELOCITY, FwToOpenAL(listener.velocity).data());
    const std::array<ALfloat, 3> at = FwToOpenAL(listener.front);
    const std::array<ALfloat, 3> up = FwToOpenAL(listener.top);
    const ALfloat orientation[6] = {at[0], at[1], at[2], up[0], up[1], up[2]};
    alListenerfv(AL_ORIENTATION, orientation);
    // The master volume scales everything heard, so the options screen's changes are heard at once.
    alListenerf(AL_GAIN, FwGetSettings().masterVolume);
}
