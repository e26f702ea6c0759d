#pragma once

#include <memory>

#include "framework/audio/FwAlHandle.h"
#include "framework/math/SimpleMath.h"

class FwSoundEffect;

enum class FwSoundState { Stopped, Playing, Paused };

// A 3D sound's source, in the game's coordinates. Without a cone the orientation changes nothing
// that is heard, and OpenAL has no counterpart to the inner radius; they keep their defaults so
// that the emitter reads the same as anywhere else in the game.
struct FwAudioEmitter {
    Vector3 front{0.0f, 0.0f, -1.0f};
    Vector3 top{0.0f, 1.0f, 0.0f};
    Vector3 position;
    Vector3 velocity;
    float innerRadius = 0.0f;
    float innerRadiusAngle = 0.785398163f;
    // Distance up to which the sound is heard at full volume; beyond it, scaler / distance.
    float curveDistanceScaler = 1.0f;
    float dopplerScaler = 1.0f;
};

// One playable voice of a sound effect, plain (heard at the listener) or 3D (placed at its
// emitter). The OpenAL source is taken at the first play and given back when the instance goes,
// so that silent instances (one per bullet, state and effect) cost none. Always created shared
// by FwSoundEffect::CreateInstance.
class FwSoundInstance : public std::enable_shared_from_this<FwSoundInstance> {
public:
    FwSoundInstance(std::shared_ptr<FwSoundEffect> source, std::shared_ptr<const FwAlBuffer> wave, bool is3D);

    // Both restart from the beginning; keep = true lists the instance with the sound service so
    // that it plays to its end even when its owner lets go of it.
    void Play(bool loop, bool keep);
    // Also resets the volume to 1.0.
    void Play3D(const Vector3& position, bool loop, bool keep);
    void SetPos(const Vector3& position);
    void SetCurveDistanceScaler(float value);
    void SetVolume(float value);
    void Stop();
    void Pause();

    FwSoundState GetState() const;
    bool Is3D() const { return is3D; }
    const FwAudioEmitter& Emitter() const { return emitter; }

private:
    bool AcquireVoice();
    void Restart(bool loop);
    void Apply3D() const;

    // The wave is declared before the voice, so the source is deleted first: OpenAL refuses to
    // delete a buffer that a source still holds.
    std::shared_ptr<const FwAlBuffer> wave;
    FwAlSource voice;
    float volume = 1.0f;
    std::shared_ptr<FwSoundEffect> source;
    FwAudioEmitter emitter;
    bool is3D = false;
};
