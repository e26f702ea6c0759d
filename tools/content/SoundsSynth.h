#pragma once

// A small synthesiser for the game's sound effects: noise, tones and sweeps, envelopes,
// filters and mixing on mono float signals. Everything is seeded, so every run writes the
// same samples.

#include <cstdint>
#include <functional>
#include <vector>

constexpr int kSampleRate = 22050;

using Signal = std::vector<float>;
// Gain as a function of the time in seconds from the start of the signal.
using Envelope = std::function<float(float seconds)>;

enum class Wave { Sine, Square, Saw, Triangle };

// Generators.
Signal Silence(float seconds);
Signal Noise(float seconds, uint32_t seed);
// A tone whose pitch glides exponentially from startHz to endHz over its length.
Signal Sweep(float seconds, float startHz, float endHz, Wave wave);
// Sines of the given frequencies and gains, for bells and struck metal.
struct Partial {
    float hz;
    float gain;
};
Signal Partials(float seconds, const std::vector<Partial>& partials);
// Struck metal: inharmonic partials above baseHz ringing down with time constant decay.
Signal Clang(float seconds, float baseHz, float decay);

// Envelopes.
Envelope Hit(float attack, float decay);  // linear rise, then exponential fall with time constant decay
// Full level from the very first sample (attack 0 allowed), held, then a linear fade to silence
// between releaseStart and releaseEnd.
Envelope Swell(float attack, float releaseStart, float releaseEnd);

// Shaping; each returns the shaped copy.
Signal Shaped(Signal signal, const Envelope& envelope);
// Two one-pole stages whose cutoff glides exponentially from startHz to endHz.
Signal LowPassed(Signal signal, float startHz, float endHz);
Signal LowPassed(Signal signal, float hz);
Signal HighPassed(Signal signal, float hz);
Signal BandPassed(Signal signal, float centreHz, float q);
Signal Clipped(Signal signal, float drive);  // soft saturation for crunch

// Mixing: adds part times gain into `into` starting at `atSeconds`, growing `into` as needed.
void Add(Signal& into, const Signal& part, float gain = 1.0f, float atSeconds = 0.0f);
// Ramps the last `seconds` of every channel down to silence, so a sound cut short by its own
// length does not end in a click.
void FadeOutEnd(std::vector<Signal>& channels, float seconds);
// Scales so that the largest magnitude equals peak (below 1: never clips).
void Normalise(std::vector<Signal>& channels, float peak);
