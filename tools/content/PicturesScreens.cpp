#include "tools/content/PicturesScreens.h"

#include "tools/content/PicturesLettering.h"

namespace {

const std::string kBold = "DejaVuSans-Bold.ttf";

// The player's colours: white letters shading to sky blue, navy rim, blue glow.
LetteringStyle PlayerStyle(int outlineWidth, int glowRadius)
{
    LetteringStyle style;
    style.fontFile = kBold;
    style.fillTop = {1.0f, 1.0f, 1.0f, 1.0f};
    style.fillBottom = {0.55f, 0.75f, 1.0f, 1.0f};
    style.outline = {0.04f, 0.08f, 0.25f, 1.0f};
    style.glow = {0.2f, 0.5f, 1.0f, 0.9f};
    style.outlineWidth = outlineWidth;
    style.glowRadius = glowRadius;
    return style;
}

}  // namespace

bool TitlePicture(Canvas& picture)
{
    LetteringStyle style = PlayerStyle(4, 10);
    style.tracking = 0.12f;
    return Lettering({{"QUARNEL", 1.0f}}, style, picture);
}

bool ClickPicture(Canvas& picture)
{
    return Lettering({{"CLICK", 0.6f}, {"or press ENTER", 0.26f}}, PlayerStyle(2, 5), picture);
}

bool EndingPicture(Canvas& picture)
{
    LetteringStyle style = PlayerStyle(4, 9);
    style.fillBottom = {1.0f, 0.82f, 0.3f, 1.0f};
    style.glow = {1.0f, 0.7f, 0.2f, 0.9f};
    style.tracking = 0.06f;
    return Lettering({{"STAGE CLEAR", 0.8f}}, style, picture);
}

bool GameOverPicture(Canvas& picture)
{
    LetteringStyle style;
    style.fontFile = kBold;
    style.fillTop = {1.0f, 0.5f, 0.45f, 1.0f};
    style.fillBottom = {0.7f, 0.04f, 0.04f, 1.0f};
    style.outline = {0.12f, 0.0f, 0.0f, 1.0f};
    style.glow = {1.0f, 0.12f, 0.05f, 0.9f};
    style.outlineWidth = 3;
    style.glowRadius = 7;
    style.tracking = 0.06f;
    return Lettering({{"GAME OVER", 0.85f}}, style, picture);
}
