#include "tools/content/SoundsRecipes.h"

namespace {

constexpr float kLinkInterval = 0.05f;  // tread links hitting the sprocket

// A slow rise, a hold and a fall, for moving machinery.
Envelope Travel(float seconds) { return Swell(0.2f, seconds - 0.4f, seconds); }

// Low thump and a short knock, for something heavy stopping.
Signal Clunk() {
    Signal s = Shaped(Sweep(0.2f, 90.0f, 50.0f, Wave::Sine), Hit(0.001f, 0.08f));
    Add(s, Shaped(LowPassed(Noise(0.1f, 201), 800.0f), Hit(0.0005f, 0.03f)), 0.7f);
    return s;
}

}  // namespace

Sound Treads() {
    const float length = 0.6f;
    Signal s = LowPassed(Noise(length, 211), 250.0f);
    for (float& v : s)
        v *= 3.0f;
    Add(s, LowPassed(Sweep(length, 70.0f, 64.0f, Wave::Saw), 600.0f), 0.45f);
    int link = 0;
    for (float t = 0.0f; t < length - 0.03f; t += kLinkInterval, ++link) {
        const Signal clank = Shaped(BandPassed(Noise(0.03f, 212 + link), 1800.0f, 4.0f), Hit(0.0003f, 0.006f));
        Add(s, clank, link % 2 == 0 ? 3.0f : 2.0f, t);
    }
    return {Shaped(s, Swell(0.0f, length - 0.15f, length))};
}

Sound Toppling() {
    const float length = 1.0f;
    // Metal bending: a falling sawtooth groan through a resonance, over scraping noise.
    Signal s = BandPassed(Sweep(length, 140.0f, 70.0f, Wave::Saw), 600.0f, 2.0f);
    Add(s, BandPassed(Noise(length, 221), 900.0f, 3.0f), 1.5f);
    Add(s, Clang(length, 420.0f, 0.15f), 0.5f);
    return {Shaped(s, Swell(0.0f, 0.6f, length))};
}

Sound ElevatorDoor() {
    const float slide = 1.4f;
    Signal s = Shaped(BandPassed(Noise(slide, 231), 500.0f, 0.8f), Travel(slide));
    Add(s, Shaped(LowPassed(Sweep(slide, 110.0f, 110.0f, Wave::Saw), 800.0f), Travel(slide)), 0.25f);
    Add(s, Clunk(), 1.0f, slide);
    return {s};
}

Sound ElevatorRise() {
    const float length = 3.0f;
    Signal motor = Sweep(length, 60.0f, 95.0f, Wave::Saw);
    Add(motor, Sweep(length, 90.0f, 142.0f, Wave::Saw), 0.5f);
    Signal s = Shaped(LowPassed(motor, 700.0f), Travel(length));
    Add(s, Shaped(LowPassed(Noise(length, 241), 150.0f), Travel(length)), 2.0f);
    Add(s, Clunk(), 0.8f);
    return {s};
}
