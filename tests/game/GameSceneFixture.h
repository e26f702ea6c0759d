#pragma once

// The game scene inside the test process: the game's 1280x720 window with the real device, shader
// and sound services (silent), content from a tree of the test's own (the generated Data beside
// the build's quarnel, level files written by the test), and input fed to FwInput as the window's
// events would feed it. Frames run as the frame loop runs them: input, sound, scene step.

#include <memory>
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "framework/platform/FwInput.h"
#include "framework/platform/FwWindow.h"
#include "tests/support/GameRun.h"

class C_Game;

class GameSceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // Empty level files (no enemies, drums, breakers or stands); the player starts at the start
    // point of the shipped level unless a test writes its own data.txt.
    void SetUp() override;
    void TearDown() override;

    void WriteLevelFile(const std::string& name, const std::string& text) const;
    // Makes the game scene the way the title does and hands it to the scene manager; its first
    // update runs with the next frame.
    C_Game& StartGame();
    void RunFrames(int count);
    // The running game scene, or null once another scene has taken over.
    C_Game* Game() const;
    const char* SceneName() const;

    static void Key(FwKey key, bool down);
    static void MoveMouse(int dx, int dy);
    static void Focus(bool active);

    TempDir content;

private:
    static std::unique_ptr<FwWindow> window;
    std::string previousRoot;
};

// The back buffer as drawn by the last frame (before presenting), top row first.
class BackBufferPixels {
public:
    BackBufferPixels();
    // Average colour (0..255) of the rectangle [x0, x1) x [y0, y1).
    void Average(int x0, int y0, int x1, int y1, double rgb[3]) const;
    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * 1280 + x) * 4]; }

private:
    std::vector<uint8_t> rgba;
};
