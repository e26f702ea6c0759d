#include "tools/content/SoundsRecipes.h"

#include "tools/content/PicturesNoise.h"

#include <cmath>

namespace {

// Equal-tempered pitch, semitones from A4 (440 Hz).
float Note(int semitonesFromA4) { return 440.0f * std::pow(2.0f, static_cast<float>(semitonesFromA4) / 12.0f); }

constexpr int kC5 = 3, kE5 = 7, kG5 = 10, kC6 = 15, kE6 = 19, kG6 = 22, kC7 = 27, kC3 = -21;

// A soft square-ish voice: odd harmonics of a sine, rounded off.
Signal Voice(float seconds, float hz, const Envelope& envelope) {
    Signal s = Partials(seconds, {{hz, 1.0f}, {hz * 3.0f, 0.3f}, {hz * 5.0f, 0.12f}});
    return Shaped(LowPassed(s, 6000.0f), envelope);
}

Signal KeyPress(Random& random, bool spaceBar) {
    const float pitch = spaceBar ? 1200.0f : random.Range(2500.0f, 4000.0f);
    Signal s = Shaped(BandPassed(Noise(0.05f, random.Next()), pitch, 1.5f), Hit(0.0005f, 0.008f));
    Add(s, Shaped(Sweep(0.04f, 180.0f, 120.0f, Wave::Sine), Hit(0.001f, spaceBar ? 0.02f : 0.01f)), 0.5f);
    return s;
}

}  // namespace

Sound Typing() {
    Random random(301);
    Signal s = Silence(2.0f);
    for (float t = 0.02f; t < 1.9f; t += random.Range(0.045f, 0.12f)) {
        const bool spaceBar = random.Unit() < 0.1f;
        Add(s, KeyPress(random, spaceBar), random.Range(0.5f, 1.0f), t);
    }
    s.resize(Silence(2.0f).size());
    return {s};
}

Sound Chime() {
    Signal s = Shaped(
        Partials(1.2f,
                 {{Note(kE6), 1.0f}, {Note(kE6) * 1.5f, 0.6f}, {Note(kE6) * 2.0f, 0.3f}, {Note(kE6) * 3.2f, 0.15f}}),
        Hit(0.002f, 0.35f));
    return {s};
}

Sound Jingle() {
    // An arpeggio up the C major chord, then the chord rings out; notes alternate sides and the
    // two sides of the chord are detuned a little against each other for width.
    const int arpeggio[] = {kC5, kE5, kG5, kC6};
    const int chord[] = {kC5, kE5, kG5, kC6};
    Sound sides = {Silence(2.6f), Silence(2.6f)};
    for (int i = 0; i < 4; ++i) {
        const Signal note = Voice(0.5f, Note(arpeggio[i]), Hit(0.005f, 0.25f));
        Add(sides[i % 2], note, 0.8f, 0.15f * i);
        Add(sides[1 - i % 2], note, 0.4f, 0.15f * i);
    }
    for (int side = 0; side < 2; ++side) {
        const float detune = side == 0 ? 0.998f : 1.002f;
        for (const int n : chord)
            Add(sides[side], Voice(2.0f, Note(n) * detune, Hit(0.01f, 0.7f)), 0.5f, 0.6f);
        Add(sides[side], Voice(2.0f, Note(kC3), Hit(0.01f, 0.9f)), 0.6f, 0.6f);
    }
    return sides;
}

Sound Click() {
    Signal s = Voice(0.05f, 880.0f, Hit(0.001f, 0.03f));
    Add(s, Voice(0.12f, 1320.0f, Hit(0.001f, 0.04f)), 1.0f, 0.05f);
    return {s};
}

Sound PickUp() {
    const int notes[] = {kC6, kE6, kG6, kC7};
    Signal s = Silence(0.55f);
    for (int i = 0; i < 4; ++i)
        Add(s, Voice(0.3f, Note(notes[i]), Hit(0.002f, 0.1f)), 1.0f, 0.07f * i);
    return {s};
}
