#include "tools/content/PicturesScreens.h"

#include "tools/content/PicturesLettering.h"

namespace {

const std::string kBold = "DejaVuSans-Bold.ttf";

// The player's colours: white letters shading to sky blue with a navy rim in a blue glow.
const Rgba kWhite = {1.0f, 1.0f, 1.0f, 1.0f};
const Rgba kSkyBlue = {0.55f, 0.75f, 1.0f, 1.0f};
const Rgba kNavy = {0.04f, 0.08f, 0.25f, 1.0f};
const Rgba kBlueGlow = {0.2f, 0.5f, 1.0f, 0.9f};

}  // namespace

bool TitlePicture(Canvas& picture) {
    const LetteringStyle style{.fontFile = kBold,
                               .fillTop = kWhite,
                               .fillBottom = kSkyBlue,
                               .outline = kNavy,
                               .glow = kBlueGlow,
                               .outlineWidth = 4,
                               .glowRadius = 10,
                               .tracking = 0.12f};
    return Lettering({{"QUARNEL", 1.0f}}, style, picture);
}

bool ClickPicture(Canvas& picture) {
    const LetteringStyle style{.fontFile = kBold,
                               .fillTop = kWhite,
                               .fillBottom = kSkyBlue,
                               .outline = kNavy,
                               .glow = kBlueGlow,
                               .outlineWidth = 2,
                               .glowRadius = 5};
    return Lettering({{"CLICK", 0.6f}, {"or press ENTER", 0.26f}}, style, picture);
}

bool EndingPicture(Canvas& picture) {
    const LetteringStyle style{.fontFile = kBold,
                               .fillTop = kWhite,
                               .fillBottom = {1.0f, 0.82f, 0.3f, 1.0f},
                               .outline = kNavy,
                               .glow = {1.0f, 0.7f, 0.2f, 0.9f},
                               .outlineWidth = 4,
                               .glowRadius = 9,
                               .tracking = 0.06f};
    return Lettering({{"STAGE CLEAR", 0.8f}}, style, picture);
}

bool GameOverPicture(Canvas& picture) {
    const LetteringStyle style{.fontFile = kBold,
                               .fillTop = {1.0f, 0.5f, 0.45f, 1.0f},
                               .fillBottom = {0.7f, 0.04f, 0.04f, 1.0f},
                               .outline = {0.12f, 0.0f, 0.0f, 1.0f},
                               .glow = {1.0f, 0.12f, 0.05f, 0.9f},
                               .outlineWidth = 3,
                               .glowRadius = 7,
                               .tracking = 0.06f};
    return Lettering({{"GAME OVER", 0.85f}}, style, picture);
}
