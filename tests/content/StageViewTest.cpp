// The stage through the game's own eyes: the real game scene, with the shipped stage and the
// player placed by a level file of the test's own, drawn a few frames and read back. Wherever the
// camera looks, floor, walls and ceiling fill the picture (the clear colour never shows) and the
// lights shine.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <SDL.h>

#include "framework/graphics/FwDirect3D.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwPath.h"
#include "game/world/C_Game.h"
#include "tests/content/ContentFixture.h"
#include "tests/support/GameRun.h"
#include "tests/support/Scoped.h"

using namespace contenttest;

namespace {

struct Picture {
    std::vector<uint8_t> rgba;

    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * kViewWidth + x) * 4]; }

    // Share of the pixels in rows [y0, y1) that pass `test`.
    template <typename Test>
    double Share(int y0, int y1, Test test) const {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = 0; x < kViewWidth; ++x)
                count += test(At(x, y)) ? 1 : 0;
        }
        return static_cast<double>(count) / (static_cast<double>(y1 - y0) * kViewWidth);
    }
};

// The frame loop clears to (0.3, 0.3, 0.3): grey that no lit surface of the stage comes out as.
bool ClearColour(const uint8_t* p) { return p[0] == p[1] && p[1] == p[2] && (p[0] == 76 || p[0] == 77); }

bool Light(const uint8_t* p) { return p[0] > 235 && p[1] > 225 && p[2] > 200; }

// The glowing cyan strips along the walls.
bool StripLight(const uint8_t* p) { return p[2] > 200 && p[1] > 180 && p[0] < 150; }

bool LitLamp(const uint8_t* p) { return p[0] > 200 && p[1] > 70 && p[1] < 190 && p[2] < 90; }

// Starts a game with the player at `start` on an empty level, turns the aim by `turnPixels` of
// mouse movement and draws `frames` frames without the fade-in.
Picture ViewFrom(const Vector3& start, int turnPixels, int frames = 3) {
    UseBuiltContent();
    TempDir content;
    std::filesystem::create_directory_symlink(std::string(QUARNEL_BUILD_DIR) + "/Data", content.File("Data"));
    std::filesystem::create_directory(content.File("TxtData"));
    WriteTextFile(content.File("TxtData/data.txt"),
                  std::to_string(start.x) + " " + std::to_string(start.y) + " " + std::to_string(start.z) + " 0\n");
    const ScopedContentRoot root{content.Path()};
    FwInput& input = FwInput::GetInstance();
    input.Reset();
    Picture picture;
    {
        testing::internal::CaptureStdout();
        C_Game game;
        testing::internal::GetCapturedStdout();
        game.blackAlpha = 0.0f;
        for (int frame = 0; frame < frames; ++frame) {
            input.BeginFrame();
            if (frame == 0) {
                SDL_Event motion{};
                motion.type = SDL_MOUSEMOTION;
                motion.motion.xrel = turnPixels;
                input.HandleEvent(motion);
            }
            game.Frame();
        }
        FwDirect3D::GetInstance().ReadBackBuffer(picture.rgba);
    }
    return picture;
}

}  // namespace

TEST(StageView, HangarFromTheStartIsClosedAndLit) {
    const Picture view = ViewFrom(Level().startPosition, 0);
    ASSERT_EQ(view.rgba.size(), static_cast<size_t>(kViewWidth) * kViewHeight * 4);
    EXPECT_LT(view.Share(0, kViewHeight, ClearColour), 0.002);
    EXPECT_GT(view.Share(0, kViewHeight / 3, Light), 0.01);  // lights under the roof
}

TEST(StageView, ElevatorHallShowsTheDoorsUnderTheirLamps) {
    // In the hall, turned to look west (-x) at the elevator: 360 pixels are 90 degrees.
    const Picture view = ViewFrom({-212, -7.5f, -3}, -360);
    EXPECT_LT(view.Share(0, kViewHeight, ClearColour), 0.002);
    // The hall has no ceiling lights in view: its walls' light strips shine.
    EXPECT_GT(view.Share(0, kViewHeight / 2, StripLight), 0.005);
    EXPECT_GT(view.Share(0, kViewHeight / 2, LitLamp), 0.0005);  // the fifth lamp is lit
}

TEST(StageView, CabinSeenThroughTheOpenDoorsIsClosed) {
    // In front of the doorway facing the cabin, until the doors have slid open (186 frames).
    const Picture view = ViewFrom({-227, -7.5f, -1}, -360, 190);
    EXPECT_LT(view.Share(0, kViewHeight, ClearColour), 0.002);
}
