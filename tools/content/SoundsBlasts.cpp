#include "tools/content/SoundsRecipes.h"

#include "tools/content/PicturesNoise.h"

namespace {

struct Blast {
    float seconds;
    float brightHz;  // the first crack's colour
    float dullHz;    // what the rumble darkens to
    float decay;     // seconds for the body to fall by 1/e
    float subHz;     // the thump under it
    uint32_t seed;
};

// Filtered noise that darkens as it dies away, a sharp crack on top and a falling thump below.
Signal Boom(const Blast& blast) {
    Signal s =
        Shaped(LowPassed(Noise(blast.seconds, blast.seed), blast.brightHz, blast.dullHz), Hit(0.002f, blast.decay));
    Add(s, Shaped(HighPassed(Noise(0.2f, blast.seed + 1), 1500.0f), Hit(0.0005f, 0.03f)), 0.6f);
    Add(s, Shaped(Sweep(blast.seconds, blast.subHz, blast.subHz * 0.5f, Wave::Sine), Hit(0.003f, blast.decay * 0.8f)),
        0.8f);
    Add(s, Shaped(LowPassed(Noise(blast.seconds, blast.seed + 2), 200.0f), Hit(0.05f, blast.decay * 2.0f)), 1.5f);
    return s;
}

// Electric crackle: sparse, short bursts of bright noise whose density falls over `seconds`.
Signal Crackle(float seconds, float perSecond, uint32_t seed) {
    Random random(seed);
    Signal s = Silence(seconds);
    for (float t = 0.0f; t < seconds; t += random.Range(0.2f, 1.8f) / perSecond * (1.0f + 3.0f * t / seconds)) {
        const Signal spark = Shaped(BandPassed(Noise(0.03f, random.Next()), random.Range(2500.0f, 5000.0f), 2.0f),
                                    Hit(0.0003f, random.Range(0.002f, 0.006f)));
        Add(s, spark, random.Range(0.5f, 1.0f), t);
    }
    return s;
}

// Mains hum rasping through a band-pass.
Signal Buzz(float seconds, float hz) {
    Signal s = Sweep(seconds, hz, hz, Wave::Square);
    Add(s, Sweep(seconds, hz * 1.5f, hz * 1.5f, Wave::Saw), 0.5f);
    return BandPassed(s, 1000.0f, 1.0f);
}

}  // namespace

Sound Explosion() { return {Boom({2.2f, 1000.0f, 140.0f, 0.5f, 55.0f, 101})}; }

Sound SmallExplosion() { return {Boom({0.9f, 2200.0f, 300.0f, 0.18f, 90.0f, 111})}; }

Sound BreakerExplosion() {
    Signal s = Boom({1.6f, 1500.0f, 200.0f, 0.35f, 70.0f, 121});
    Add(s, Crackle(1.4f, 40.0f, 122), 0.6f);
    Add(s, Shaped(Buzz(0.6f, 100.0f), Hit(0.002f, 0.2f)), 0.3f);
    return {s};
}

Sound BreakerHit() {
    Signal s = Shaped(Buzz(0.5f, 100.0f), Hit(0.002f, 0.15f));
    Add(s, Crackle(0.4f, 60.0f, 131), 0.9f);
    return {s};
}
