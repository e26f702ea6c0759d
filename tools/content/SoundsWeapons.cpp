#include "tools/content/SoundsRecipes.h"

Sound GunShot() {
    Signal s = Shaped(LowPassed(Noise(0.4f, 11), 5000.0f, 500.0f), Hit(0.0005f, 0.05f));
    Add(s, Shaped(Sweep(0.2f, 160.0f, 45.0f, Wave::Sine), Hit(0.001f, 0.06f)), 0.9f);
    Add(s, Shaped(LowPassed(Noise(0.4f, 12), 900.0f), Hit(0.01f, 0.12f)), 0.4f);
    return {s};
}

Sound BeamShot() {
    Signal s = Shaped(Sweep(0.5f, 2400.0f, 260.0f, Wave::Sine), Hit(0.002f, 0.14f));
    Add(s, Shaped(LowPassed(Sweep(0.5f, 1200.0f, 130.0f, Wave::Saw), 3000.0f), Hit(0.002f, 0.1f)), 0.4f);
    Add(s, Shaped(HighPassed(Noise(0.1f, 21), 3000.0f), Hit(0.001f, 0.025f)), 0.5f);
    Add(s, Shaped(Sweep(0.3f, 130.0f, 60.0f, Wave::Sine), Hit(0.004f, 0.08f)), 0.6f);
    return {s};
}

Sound EnemyShot() {
    Signal s = Shaped(LowPassed(Sweep(0.45f, 700.0f, 110.0f, Wave::Square), 2500.0f), Hit(0.002f, 0.11f));
    Add(s, Shaped(LowPassed(Noise(0.2f, 31), 1500.0f), Hit(0.001f, 0.05f)), 0.8f);
    Add(s, Shaped(Sweep(0.3f, 95.0f, 45.0f, Wave::Sine), Hit(0.002f, 0.1f)), 0.7f);
    return {s};
}

Sound Charge() {
    const float length = 0.25f;
    Signal s = Sweep(length, 250.0f, 1400.0f, Wave::Sine);
    Add(s, Sweep(length, 500.0f, 2800.0f, Wave::Triangle), 0.3f);
    Signal tremolo = Sweep(length, 30.0f, 45.0f, Wave::Sine);
    for (size_t i = 0; i < s.size(); ++i)
        s[i] *= 0.75f + 0.25f * tremolo[i];
    return {Shaped(s, Swell(0.02f, length - 0.04f, length))};
}

Sound BulletImpact() {
    Signal s = Shaped(BandPassed(Noise(0.1f, 41), 2500.0f, 1.0f), Hit(0.0005f, 0.02f));
    Add(s, Clang(0.35f, 1800.0f, 0.06f), 0.4f);
    Add(s, Shaped(Sweep(0.1f, 200.0f, 90.0f, Wave::Sine), Hit(0.001f, 0.04f)), 0.7f);
    return {s};
}

Sound BeamHit() {
    Signal s = Shaped(BandPassed(Noise(0.45f, 51), 3000.0f, 2.0f), Hit(0.001f, 0.1f));
    Add(s, Shaped(Sweep(0.45f, 1600.0f, 300.0f, Wave::Sine), Hit(0.001f, 0.12f)), 0.6f);
    Add(s, Shaped(LowPassed(Sweep(0.45f, 60.0f, 60.0f, Wave::Square), 1200.0f), Hit(0.001f, 0.2f)), 0.3f);
    return {s};
}

Sound Ricochet() {
    Signal s = Shaped(Sweep(0.4f, 3200.0f, 1300.0f, Wave::Sine), Hit(0.001f, 0.12f));
    Add(s, Shaped(HighPassed(Noise(0.05f, 61), 2000.0f), Hit(0.0005f, 0.008f)), 0.5f);
    return {s};
}

Sound Damage() {
    Signal s = Shaped(BandPassed(Noise(0.5f, 71), 900.0f, 1.2f), Hit(0.0005f, 0.05f));
    Add(s, Clang(0.5f, 320.0f, 0.18f), 0.5f);
    Add(s, Shaped(Clipped(Sweep(0.2f, 110.0f, 55.0f, Wave::Sine), 3.0f), Hit(0.001f, 0.08f)), 0.8f);
    return {s};
}
