#pragma once

// The game scene inside the test process: the game's 1280x720 window with the real device, shader
// and sound services (silent), content from a tree of the test's own (the generated Data beside
// the build's quarnel, level files written by the test), and input fed to FwInput as the window's
// events would feed it. Frames run as the frame loop runs them: input, sound, scene step; they
// are not presented. Tests that check state draw into a quarter-size back buffer, which draws
// the same frames many times faster; tests that check pixels use GameScenePixelTest.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "framework/platform/FwInput.h"
#include "framework/platform/FwWindow.h"
#include "tests/support/GameRun.h"
#include "tests/support/Scoped.h"

class C_Game;

class GameSceneTest : public ::testing::Test {
protected:
    static constexpr int kStateWidth = 320;
    static constexpr int kStateHeight = 180;

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static void OpenDevice(int backBufferWidth, int backBufferHeight);
    // Empty level files (no enemies, drums, breakers or stands); the player starts at the start
    // point of the shipped level unless a test writes its own data.txt.
    void SetUp() override;
    void TearDown() override;

    void WriteLevelFile(const std::string& name, const std::string& text) const;
    // Makes the game scene the way the title does and hands it to the scene manager; its first
    // update runs with the next frame.
    C_Game& StartGame();
    void RunFrames(int count);
    // Runs frames while `done` does not hold, `limit` frames at most; returns how many ran.
    int RunUntil(const std::function<bool()>& done, int limit);
    // The running game scene, or null once another scene has taken over.
    C_Game* Game() const;
    const char* SceneName() const;
    // The running game's fields as --dump-state writes them.
    nlohmann::json Snapshot() const;

    // Input events, handed to FwInput at the start of the next frame as the window's pump does.
    static void Key(FwKey key, bool down);
    static void MoveMouse(int dx, int dy);
    static void Focus(bool active);
    // The window the device presents to, for tests that resize it.
    static SDL_Window* Window();

    TempDir content;

private:
    static std::unique_ptr<FwWindow> window;
    static std::vector<SDL_Event> pending;
    std::optional<ScopedContentRoot> contentRoot;
};

// The game drawn at its full 1280x720, for tests that read pixels at screen positions. The seed
// is fixed: effects take random turns (the muzzle flash's petals), and a picture must come out
// the same on every run.
class GameScenePixelTest : public GameSceneTest {
protected:
    static void SetUpTestSuite();
    // StartGame, with the fade from black skipped.
    C_Game& StartAfterFade();

    const ScopedSeed seed{5u};
};
