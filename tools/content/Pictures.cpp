#include "tools/content/ContentWriters.h"

#include "tools/content/PicturesEffects.h"
#include "tools/content/PicturesHud.h"
#include "tools/content/PicturesScreens.h"
#include "tools/content/PicturesSmoke.h"

#include <filesystem>
#include <system_error>

namespace {

struct PictureFile {
    const char* path;
    int width;
    int height;
    bool (*paint)(Canvas&);
};

// Pictures drawn whole by the sprite program must have exactly the size the game passes as
// their source rectangle.
const PictureFile kPictures[] = {
    {"Data/Texture/Title.png", 1038, 166, TitlePicture},
    {"Data/Texture/click.png", 210, 98, ClickPicture},
    {"Data/Texture/black.png", 1280, 720, BlackScreen},
    {"Data/Texture/cooltext366966352938747.png", 662, 147, EndingPicture},
    {"Data/Texture/cooltext370137486432058.png", 477, 99, GameOverPicture},
    {"Data/Texture/HPGauge02_green.png", 248, 12, GreenGaugeBar},
    {"Data/Texture/HPGauge02_red.png", 248, 12, RedGaugeBar},
    {"Data/Texture/HPGauge02_bg_03.png", 256, 20, GaugeFrame},
    {"Data/Texture/Sighting.png", 80, 81, SightingMark},
    {"Data/Texture/Smoke.png", kSmokeColumns* kSmokeCell, kSmokeColumns* kSmokeCell, SmokeAtlas},
    {"Data/Texture/MuzzleFlash.png", 128, 128, MuzzleFlashSheet},
    {"Data/Texture/LeftMuzzleFlash.png", 128, 128, FlamePetal},
    {"Data/Texture/Star.png", 128, 128, StarFlash},
    {"Data/Texture/Ring.png", 128, 128, ChargeRing},
    {"Data/Texture/light.png", 128, 128, ImpactLight},
    {"Data/Texture/laser.png", 128, 32, LaserBeam},
    {"Data/Texture/096a53cb.jpg", 128, 128, BeamStreak},
    {"Data/Texture/HitEffect.png", 128, 128, HitFlash},
    {"Data/Texture/burnMarks.png", 128, 128, BurnMark},
};

bool IsJpeg(const std::string& path) { return std::filesystem::path(path).extension() == ".jpg"; }

}  // namespace

bool WritePictures(const std::string& root) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(root) / "Data/Texture", error);
    for (const PictureFile& file : kPictures) {
        Canvas picture(file.width, file.height);
        if (!file.paint(picture))
            return false;
        const std::string path = root + "/" + file.path;
        if (!(IsJpeg(path) ? picture.WriteJpeg(path) : picture.WritePng(path)))
            return false;
    }
    return true;
}
