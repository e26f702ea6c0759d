// The generated pictures, read back from the content tree the build wrote beside the game.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/GameRun.h"

namespace {

Image ReadTexture(const std::string& name) { return ReadPng(std::string(QUARNEL_BUILD_DIR) + "/Data/Texture/" + name); }

int Alpha(const Image& image, int x, int y) { return image.At(x, y)[3]; }

// What an additively drawn texel adds to the screen: colour times alpha, 0..255.
int Light(const Image& image, int x, int y) {
    const uint8_t* p = image.At(x, y);
    return std::max({p[0], p[1], p[2]}) * p[3] / 255;
}

struct Rect {
    int x, y, width, height;
};

int CountPixels(const Image& image, const Rect& r, bool (*test)(const Image&, int, int)) {
    int count = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            count += test(image, x, y) ? 1 : 0;
    return count;
}

bool Lit(const Image& image, int x, int y) { return Light(image, x, y) >= 26; }
bool Visible(const Image& image, int x, int y) { return Alpha(image, x, y) >= 26; }  // the sprite cut-off, 0.1
bool Solid(const Image& image, int x, int y) { return Alpha(image, x, y) >= 128; }

// Largest light on the outermost pixels of a rectangle, on its left/right and top/bottom sides.
int EdgeLight(const Image& image, const Rect& r, bool leftRight, bool topBottom) {
    int most = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            const bool side = leftRight && (x == r.x || x == r.x + r.width - 1);
            const bool cap = topBottom && (y == r.y || y == r.y + r.height - 1);
            if (side || cap)
                most = std::max(most, Light(image, x, y));
        }
    }
    return most;
}

// --- Pictures drawn whole by the sprite program --------------------------------------------

struct PictureSize {
    const char* name;
    int width;
    int height;
};

class WholePicture : public testing::TestWithParam<PictureSize> {};

TEST_P(WholePicture, HasExactlyTheSizeOfItsSourceRectangle) {
    const Image image = ReadTexture(GetParam().name);
    ASSERT_FALSE(image.Empty()) << GetParam().name << " is missing or unreadable";
    EXPECT_EQ(image.width, GetParam().width);
    EXPECT_EQ(image.height, GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(
    Content, WholePicture,
    testing::Values(PictureSize{"Title.png", 1038, 166}, PictureSize{"click.png", 210, 98},
                    PictureSize{"black.png", 1280, 720}, PictureSize{"cooltext366966352938747.png", 662, 147},
                    PictureSize{"cooltext370137486432058.png", 477, 99}, PictureSize{"HPGauge02_green.png", 248, 12},
                    PictureSize{"HPGauge02_red.png", 248, 12}, PictureSize{"HPGauge02_bg_03.png", 256, 20},
                    PictureSize{"Sighting.png", 80, 81}));

struct LetteringCase {
    const char* name;
    int dominant;  // colour channel that leads in the solid letters: 0 red, 2 blue
};

class Lettering : public testing::TestWithParam<LetteringCase> {};

TEST_P(Lettering, LettersFillTheMiddleOfATransparentPicture) {
    const Image image = ReadTexture(GetParam().name);
    ASSERT_FALSE(image.Empty());
    const Rect all{0, 0, image.width, image.height};

    for (const auto& [x, y] :
         {std::pair{0, 0}, {image.width - 1, 0}, {0, image.height - 1}, {image.width - 1, image.height - 1}})
        EXPECT_EQ(Alpha(image, x, y), 0) << "corner " << x << "," << y;

    const double solidShare = double(CountPixels(image, all, Solid)) / (image.width * image.height);
    EXPECT_GT(solidShare, 0.15);
    EXPECT_LT(solidShare, 0.75);

    int left = image.width, right = 0, top = image.height, bottom = 0;
    double channel[3] = {0, 0, 0};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!Solid(image, x, y))
                continue;
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
            for (int c = 0; c < 3; ++c)
                channel[c] += image.At(x, y)[c];
        }
    }
    EXPECT_GT(right - left, image.width * 0.6) << "the lettering should use the picture's width";
    EXPECT_NEAR((left + right) / 2.0, image.width / 2.0, image.width * 0.05);
    EXPECT_NEAR((top + bottom) / 2.0, image.height / 2.0, image.height * 0.1);
    EXPECT_GT(channel[GetParam().dominant], channel[2 - GetParam().dominant]);
}

INSTANTIATE_TEST_SUITE_P(Content, Lettering,
                         testing::Values(LetteringCase{"Title.png", 2}, LetteringCase{"click.png", 2},
                                         LetteringCase{"cooltext366966352938747.png", 0},
                                         LetteringCase{"cooltext370137486432058.png", 0}));

TEST(Hud, GaugeFrameIsABorderWithAWindowExactlyOverTheFullBar) {
    // The frame is centred where the full 248 by 12 bar is, so the window starts 4 pixels in.
    const Image frame = ReadTexture("HPGauge02_bg_03.png");
    ASSERT_EQ(frame.width, 256);
    ASSERT_EQ(frame.height, 20);
    const Rect window{4, 4, 248, 12};
    EXPECT_EQ(CountPixels(frame, window, Visible), 0) << "the bar must show through";
    int border = 0, visibleBorder = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const bool inWindow = x >= 4 && x < 252 && y >= 4 && y < 16;
            const bool corner = (x == 0 || x == 255) && (y == 0 || y == 19);
            if (inWindow || corner)
                continue;
            ++border;
            visibleBorder += Visible(frame, x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(visibleBorder, border);
}

TEST(Hud, GaugeBarsAndBlackOverlayAreOpaqueInTheirColour) {
    const auto opaqueWithLead = [](const char* name, int lead) {
        const Image image = ReadTexture(name);
        ASSERT_FALSE(image.Empty()) << name;
        EXPECT_EQ(CountPixels(image, {0, 0, image.width, image.height}, Solid), image.width * image.height) << name;
        double average[3];
        image.Average(0, 0, image.width, image.height, average);
        for (int c = 0; c < 3; ++c) {
            if (lead < 0) {
                EXPECT_LT(average[c], 1.0) << name;
            } else if (c != lead) {
                EXPECT_GT(average[lead], average[c] + 40) << name;
            }
        }
    };
    opaqueWithLead("HPGauge02_green.png", 1);
    opaqueWithLead("HPGauge02_red.png", 0);
    opaqueWithLead("black.png", -1);
}

TEST(Hud, SightingMarkLeavesTheAimPointClearInsideItsRing) {
    const Image mark = ReadTexture("Sighting.png");
    ASSERT_EQ(mark.width, 80);
    const int cx = 40, cy = 40;
    EXPECT_TRUE(Solid(mark, cx, cy)) << "centre dot";
    for (const auto& [dx, dy] : {std::pair{22, 0}, {-22, 0}, {0, 22}, {0, -22}, {0, 28}, {28, 0}})
        EXPECT_TRUE(Solid(mark, cx + dx, cy + dy)) << "ring and ticks at " << dx << "," << dy;
    for (const auto& [dx, dy] : {std::pair{6, 6}, {-6, 6}, {6, -6}, {-6, -6}, {12, 12}})
        EXPECT_FALSE(Visible(mark, cx + dx, cy + dy)) << "open space at " << dx << "," << dy;
    EXPECT_EQ(Alpha(mark, 0, 0), 0);
    EXPECT_EQ(Alpha(mark, 79, 80), 0);
}

// --- Effect textures, drawn additively --------------------------------------------------------

struct EffectCase {
    const char* name;
    bool darkLeftRight;  // a beam runs through the other pair of sides
    bool darkTopBottom;
};

class EffectTexture : public testing::TestWithParam<EffectCase> {};

TEST_P(EffectTexture, GlowsAndAddsNothingAtItsEdges) {
    const Image image = ReadTexture(GetParam().name);
    ASSERT_FALSE(image.Empty()) << GetParam().name;
    const Rect all{0, 0, image.width, image.height};
    const bool jpeg = std::string(GetParam().name).ends_with(".jpg");

    EXPECT_LE(EdgeLight(image, all, GetParam().darkLeftRight, GetParam().darkTopBottom), jpeg ? 12 : 2);
    EXPECT_GT(CountPixels(image, all, Lit), image.width * image.height / 20);
    int brightest = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            brightest = std::max(brightest, Light(image, x, y));
            // A bright texel with almost no alpha would be thrown away by the effect program.
            const uint8_t* p = image.At(x, y);
            if (std::max({p[0], p[1], p[2]}) >= 64) {
                ASSERT_GE(p[3], 26) << x << "," << y;
            }
        }
    EXPECT_GE(brightest, 128);
}

INSTANTIATE_TEST_SUITE_P(Content, EffectTexture,
                         testing::Values(EffectCase{"Star.png", true, true}, EffectCase{"Ring.png", true, true},
                                         EffectCase{"light.png", true, true}, EffectCase{"HitEffect.png", true, true},
                                         EffectCase{"burnMarks.png", true, true},
                                         EffectCase{"LeftMuzzleFlash.png", true, true},
                                         EffectCase{"laser.png", false, true},
                                         EffectCase{"096a53cb.jpg", true, false}));

TEST(EffectShape, MuzzleFlashBurnsInTheTopLeftSixtyFourPixels) {
    const Image image = ReadTexture("MuzzleFlash.png");
    ASSERT_GE(image.width, 64);
    ASSERT_GE(image.height, 64);
    const Rect flame{0, 0, 64, 64};
    EXPECT_GE(Light(image, 32, 32), 200);
    EXPECT_LE(EdgeLight(image, flame, true, true), 2) << "the quad shows exactly this square";
    EXPECT_GT(CountPixels(image, flame, Lit), 64 * 64 / 10);
}

TEST(EffectShape, GunFlashPetalsStartAtTheBarrelSide) {
    // Each petal quad lies beside the barrel with its right edge towards it.
    const Image image = ReadTexture("LeftMuzzleFlash.png");
    const int half = image.width / 2;
    int left = 0, right = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < half; ++x)
            left += Light(image, x, y), right += Light(image, x + half, y);
    EXPECT_GT(right, left * 3 / 2);
}

TEST(EffectShape, BeamRibbonIsBrightestAtItsHeadRow) {
    // The ribbon's newest end samples the top of the picture, its tail the bottom.
    const Image image = ReadTexture("096a53cb.jpg");
    double head[3], tail[3], beside[3];
    image.Average(image.width / 2 - 2, 0, 4, 8, head);
    image.Average(image.width / 2 - 2, image.height - 8, 4, 8, tail);
    image.Average(0, 0, 8, image.height, beside);
    EXPECT_GT(head[0] + head[1] + head[2], 1.5 * (tail[0] + tail[1] + tail[2]));
    EXPECT_LT(beside[0] + beside[1] + beside[2], 30.0);
}

// --- The explosion atlas -----------------------------------------------------------------------

constexpr int kCell = 32;

Rect Cell(int k) { return {(k % 8) * kCell, (k / 8) * kCell, kCell, kCell}; }

struct CellLight {
    int lit = 0;
    double colour[3] = {0, 0, 0};  // average colour of the lit texels, weighted by their light
    double light = 0;              // average light of the lit texels
};

CellLight Measure(const Image& atlas, int k) {
    CellLight m;
    const Rect r = Cell(k);
    double weight = 0;
    for (int y = r.y; y < r.y + kCell; ++y)
        for (int x = r.x; x < r.x + kCell; ++x) {
            const int light = Light(atlas, x, y);
            if (light < 26)
                continue;
            ++m.lit;
            m.light += light;
            weight += light;
            for (int c = 0; c < 3; ++c)
                m.colour[c] += atlas.At(x, y)[c] * light;
        }
    if (m.lit > 0) {
        m.light /= m.lit;
        for (double& c : m.colour)
            c /= weight;
    }
    return m;
}

TEST(SmokeAtlas, IsEightByEightCellsWithCellZeroEmptyAndEveryFrameAfterItShowing) {
    const Image atlas = ReadTexture("Smoke.png");
    ASSERT_EQ(atlas.width, 8 * kCell);
    ASSERT_EQ(atlas.height, 8 * kCell);
    EXPECT_EQ(CountPixels(atlas, Cell(0), Visible), 0);
    for (int k = 1; k < 64; ++k) {
        EXPECT_GT(CountPixels(atlas, Cell(k), Visible), 40) << "cell " << k;
        EXPECT_LE(EdgeLight(atlas, Cell(k), true, true), 2) << "cell " << k << " would bleed into its neighbours";
    }
}

TEST(SmokeAtlas, FireballCoolsIntoTheGreySmokePuffOfCellTwentyFive) {
    const Image atlas = ReadTexture("Smoke.png");
    for (int k = 1; k <= 10; ++k) {
        const CellLight fire = Measure(atlas, k);
        EXPECT_GT(fire.colour[0], fire.colour[2] + 30) << "cell " << k << " should burn yellow-orange";
    }
    const CellLight puff = Measure(atlas, 25);
    EXPECT_GT(puff.lit, kCell * kCell / 5) << "the puff fills much of its cell";
    EXPECT_GT(puff.light, 60);
    EXPECT_LT(std::max({puff.colour[0], puff.colour[1], puff.colour[2]}) -
                  std::min({puff.colour[0], puff.colour[1], puff.colour[2]}),
              20)
        << "cell 25 should be grey smoke";
    EXPECT_LT(Measure(atlas, 63).light, puff.light * 0.6) << "the smoke fades by the last frame";
}

// --- The generator as a whole --------------------------------------------------------------------

std::vector<char> FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(ContentGenerator, WritesTheSamePicturesSoundsAndFontsOnEveryRun) {
    TempDir fresh;
    const std::string command = std::string("'") + QUARNEL_BUILD_DIR + "/quarnel_content' '" + fresh.Path() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int compared = 0;
    for (const char* folder : {"Data/Texture", "Data/Sound", "Data/Font"}) {
        const std::filesystem::path built = std::filesystem::path(QUARNEL_BUILD_DIR) / folder;
        for (const auto& entry : std::filesystem::directory_iterator(built)) {
            const std::filesystem::path again = std::filesystem::path(fresh.Path()) / folder / entry.path().filename();
            EXPECT_TRUE(FileBytes(entry.path()) == FileBytes(again)) << entry.path() << " differs between runs";
            ++compared;
        }
    }
    EXPECT_GE(compared, 19 + 21 + 2);
}

}  // namespace
