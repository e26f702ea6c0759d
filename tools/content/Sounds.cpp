#include "tools/content/ContentWriters.h"

#include "tools/content/SoundsRecipes.h"
#include "tools/content/SoundsWav.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr float kFadeOut = 0.01f;  // seconds

struct SoundFile {
    const char* path;
    Sound (*make)();
    float peak;  // loudest sample after normalising, of full scale
};

// Sounds that repeat constantly (treads, typing) sit lower so they do not tire the ear.
const SoundFile kSounds[] = {
    {"Data/Sound/Keyboard.wav", Typing, 0.7f},
    {"Data/Sound/enter.wav", Chime, 0.85f},
    {"Data/Sound/title.wav", Jingle, 0.85f},
    {"Data/Sound/click.wav", Click, 0.8f},
    {"Data/Sound/caterpillar.wav", Treads, 0.6f},
    {"Data/Sound/item.wav", PickUp, 0.85f},
    {"Data/Sound/shot1.wav", GunShot, 0.9f},
    {"Data/Sound/tama1.wav", BeamShot, 0.9f},
    {"Data/Sound/shot.wav", BulletImpact, 0.9f},
    {"Data/Sound/noise.wav", BreakerHit, 0.85f},
    {"Data/Sound/BeamHit.wav", BeamHit, 0.9f},
    {"Data/Sound/reflection.wav", Ricochet, 0.8f},
    {"Data/Sound/tama2.wav", EnemyShot, 0.9f},
    {"Data/Sound/charge.wav", Charge, 0.8f},
    {"Data/Sound/explosion.wav", Explosion, 0.95f},
    {"Data/Sound/smallexplosion.wav", SmallExplosion, 0.9f},
    {"Data/Sound/knockDown.wav", Toppling, 0.8f},
    {"Data/Sound/damage.wav", Damage, 0.9f},
    {"Data/Sound/Breakerexplosion.wav", BreakerExplosion, 0.95f},
    {"Data/Sound/elevetordoor.wav", ElevatorDoor, 0.8f},
    {"Data/Sound/elevetorUp.wav", ElevatorRise, 0.8f},
};

}  // namespace

bool WriteSounds(const std::string& root) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(root) / "Data/Sound", error);
    for (const SoundFile& file : kSounds) {
        Sound sound = file.make();
        FadeOutEnd(sound, kFadeOut);
        Normalise(sound, file.peak);
        if (!WriteWav(root + "/" + file.path, sound))
            return false;
    }
    return true;
}
