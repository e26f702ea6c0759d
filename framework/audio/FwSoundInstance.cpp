#include "framework/audio/FwSoundInstance.h"

#include <algorithm>

#include "framework/audio/FwSoundEffect.h"

FwSoundInstance::FwSoundInstance(std::shared_ptr<FwSoundEffect> source, std::shared_ptr<const FwAlBuffer> wave,
                                 bool is3D)
    : wave(std::move(wave)), source(std::move(source)), is3D(is3D) {}

void FwSoundInstance::Play(bool loop, bool keep) {
    if (!AcquireVoice()) {
        return;
    }
    Restart(loop);
    if (keep) {
        FwAudioManager::GetInstance().AddPlayList(shared_from_this());
    }
}

void FwSoundInstance::Play3D(const Vector3& position, bool loop, bool keep) {
    if (!AcquireVoice()) {
        return;
    }
    volume = 1.0f;
    emitter.position = position;
    // Placed before it starts, so that no mix runs at the old place.
    Apply3D();
    Restart(loop);
    if (keep) {
        FwAudioManager::GetInstance().AddPlayList(shared_from_this());
    }
}

void FwSoundInstance::SetPos(const Vector3& position) {
    emitter.position = position;
    Apply3D();
}

void FwSoundInstance::SetCurveDistanceScaler(float value) {
    emitter.curveDistanceScaler = value;
    Apply3D();
}

void FwSoundInstance::SetVolume(float value) {
    volume = std::max(value, 0.0f);
    if (voice.Get() != 0) {
        alSourcef(voice.Get(), AL_GAIN, volume);
    }
}

void FwSoundInstance::Stop() {
    if (voice.Get() != 0) {
        alSourceStop(voice.Get());
    }
}

void FwSoundInstance::Pause() {
    if (voice.Get() != 0) {
        alSourcePause(voice.Get());
    }
}

FwSoundState FwSoundInstance::GetState() const {
    if (voice.Get() == 0) {
        return FwSoundState::Stopped;
    }
    ALint state = AL_STOPPED;
    alGetSourcei(voice.Get(), AL_SOURCE_STATE, &state);
    switch (state) {
    case AL_PLAYING:
        return FwSoundState::Playing;
    case AL_PAUSED:
        return FwSoundState::Paused;
    default:
        return FwSoundState::Stopped;
    }
}

// A new source plays at the listener, unattenuated, until a 3D placement moves it. Without a
// source left on the device (or without a device) the sound is simply not heard.
bool FwSoundInstance::AcquireVoice() {
    if (voice.Get() != 0) {
        return true;
    }
    if (!wave || wave->Get() == 0 || !voice.Create()) {
        return false;
    }
    const ALuint id = voice.Get();
    alSourcei(id, AL_BUFFER, static_cast<ALint>(wave->Get()));
    alSourcei(id, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(id, AL_POSITION, 0.0f, 0.0f, 0.0f);
    return true;
}

void FwSoundInstance::Restart(bool loop) {
    const ALuint id = voice.Get();
    alSourceStop(id);
    alSourcef(id, AL_GAIN, volume);
    alSourcei(id, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcePlay(id);
}

// Plain instances stay at the listener; a placement only reaches a source that exists (one that
// has played), as a fresh source starts plain anyway.
void FwSoundInstance::Apply3D() const {
    const ALuint id = voice.Get();
    if (id == 0 || !is3D) {
        return;
    }
    FwAudioManager::GetInstance().ApplyListener();
    alSourcei(id, AL_SOURCE_RELATIVE, AL_FALSE);
    alSourcefv(id, AL_POSITION, FwToOpenAL(emitter.position).data());
    alSourcefv(id, AL_VELOCITY, FwToOpenAL(emitter.velocity).data());
    alSourcef(id, AL_REFERENCE_DISTANCE, emitter.curveDistanceScaler);
}
