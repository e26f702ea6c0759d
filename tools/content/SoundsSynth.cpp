#include "tools/content/SoundsSynth.h"

#include "tools/content/PicturesNoise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

size_t Samples(float seconds) { return static_cast<size_t>(std::lround(seconds * kSampleRate)); }

float Seconds(size_t sample) { return static_cast<float>(sample) / kSampleRate; }

float Oscillator(Wave wave, float phase)  // phase in cycles, 0..1
{
    switch (wave) {
    case Wave::Sine:
        return std::sin(kTwoPi * phase);
    case Wave::Square:
        return phase < 0.5f ? 1.0f : -1.0f;
    case Wave::Saw:
        return 2.0f * phase - 1.0f;
    case Wave::Triangle:
        return 1.0f - 4.0f * std::abs(phase - 0.5f);
    }
    return 0.0f;
}

// Smoothing factor of a one-pole low-pass at the given cutoff.
float OnePole(float hz) { return 1.0f - std::exp(-kTwoPi * std::min(hz, kSampleRate * 0.45f) / kSampleRate); }

float Glide(float startHz, float endHz, float progress) { return startHz * std::pow(endHz / startHz, progress); }

}  // namespace

Signal Silence(float seconds) { return Signal(Samples(seconds), 0.0f); }

Signal Noise(float seconds, uint32_t seed) {
    Signal signal(Samples(seconds));
    Random random(seed);
    for (float& s : signal)
        s = random.Range(-1.0f, 1.0f);
    return signal;
}

Signal Sweep(float seconds, float startHz, float endHz, Wave wave) {
    Signal signal(Samples(seconds));
    double phase = 0.0;
    for (size_t i = 0; i < signal.size(); ++i) {
        signal[i] = Oscillator(wave, static_cast<float>(phase));
        phase += Glide(startHz, endHz, static_cast<float>(i) / signal.size()) / kSampleRate;
        phase -= std::floor(phase);
    }
    return signal;
}

Signal Partials(float seconds, const std::vector<Partial>& partials) {
    Signal signal = Silence(seconds);
    for (const Partial& p : partials)
        Add(signal, Sweep(seconds, p.hz, p.hz, Wave::Sine), p.gain);
    return signal;
}

Signal Clang(float seconds, float baseHz, float decay) {
    return Shaped(Partials(seconds, {{baseHz, 1.0f}, {baseHz * 2.76f, 0.6f}, {baseHz * 5.4f, 0.35f}}),
                  Hit(0.0005f, decay));
}

Envelope Hit(float attack, float decay) {
    return [=](float t) { return t < attack ? t / attack : std::exp(-(t - attack) / decay); };
}

Envelope Swell(float attack, float releaseStart, float releaseEnd) {
    return [=](float t) {
        const float rise = attack > 0.0f ? std::min(1.0f, t / attack) : 1.0f;
        const float fall = std::clamp((releaseEnd - t) / (releaseEnd - releaseStart), 0.0f, 1.0f);
        return rise * fall;
    };
}

Signal Shaped(Signal signal, const Envelope& envelope) {
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] *= envelope(Seconds(i));
    return signal;
}

Signal LowPassed(Signal signal, float startHz, float endHz) {
    float first = 0.0f, second = 0.0f;
    for (size_t i = 0; i < signal.size(); ++i) {
        const float k = OnePole(Glide(startHz, endHz, static_cast<float>(i) / signal.size()));
        first += k * (signal[i] - first);
        second += k * (first - second);
        signal[i] = second;
    }
    return signal;
}

Signal LowPassed(Signal signal, float hz) { return LowPassed(std::move(signal), hz, hz); }

Signal HighPassed(Signal signal, float hz) {
    const Signal low = LowPassed(signal, hz);
    for (size_t i = 0; i < signal.size(); ++i)
        signal[i] -= low[i];
    return signal;
}

Signal BandPassed(Signal signal, float centreHz, float q) {
    // Biquad band-pass with 0 dB peak gain.
    const float w = kTwoPi * centreHz / kSampleRate;
    const float alpha = std::sin(w) / (2.0f * q);
    const float a0 = 1.0f + alpha;
    const float b0 = alpha / a0, b2 = -alpha / a0;
    const float a1 = -2.0f * std::cos(w) / a0, a2 = (1.0f - alpha) / a0;
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (float& s : signal) {
        const float y = b0 * s + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = s;
        y2 = y1;
        y1 = y;
        s = y;
    }
    return signal;
}

Signal Clipped(Signal signal, float drive) {
    for (float& s : signal)
        s = std::tanh(s * drive);
    return signal;
}

void Add(Signal& into, const Signal& part, float gain, float atSeconds) {
    const size_t offset = Samples(atSeconds);
    if (into.size() < offset + part.size())
        into.resize(offset + part.size(), 0.0f);
    for (size_t i = 0; i < part.size(); ++i)
        into[offset + i] += part[i] * gain;
}

void FadeOutEnd(std::vector<Signal>& channels, float seconds) {
    for (Signal& channel : channels) {
        const size_t length = std::min(Samples(seconds), channel.size());
        for (size_t i = 0; i < length; ++i)
            channel[channel.size() - 1 - i] *= static_cast<float>(i) / length;
    }
}

void Normalise(std::vector<Signal>& channels, float peak) {
    float largest = 0.0f;
    for (const Signal& channel : channels)
        for (const float s : channel)
            largest = std::max(largest, std::abs(s));
    if (largest <= 0.0f)
        return;
    for (Signal& channel : channels)
        for (float& s : channel)
            s *= peak / largest;
}
