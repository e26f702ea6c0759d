#include <gtest/gtest.h>

#include <cstdlib>

#include <SDL.h>

#include "framework/platform/FwInput.h"
#include "framework/platform/FwSettings.h"
#include "framework/platform/FwWindow.h"

namespace {

class FwWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        FwInput::GetInstance().Reset();
        ASSERT_TRUE(window.Create(1280, 720, "Quarnel", "Window")) << SDL_GetError();
    }
    void TearDown() override {
        window.Destroy();
        FwInput::GetInstance().Reset();
        FwGetSettings() = FwSettings();
    }

    static void Push(SDL_Event event) { SDL_PushEvent(&event); }

    // Keys are read by their place on the keyboard.
    static SDL_Event Key(SDL_Scancode code) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.scancode = code;
        return event;
    }

    FwWindow window;
};

TEST_F(FwWindowTest, ClientAreaStartsAtTheRequestedSizeAndCanBeResized) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window.Hwnd(), &width, &height);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);
    EXPECT_NE(SDL_GetWindowFlags(window.Hwnd()) & SDL_WINDOW_RESIZABLE, 0u);
    EXPECT_FALSE(window.IsFullscreen());
    EXPECT_STREQ(SDL_GetWindowTitle(window.Hwnd()), "Quarnel");
}

TEST_F(FwWindowTest, FullscreenKeysToggleTheWindowAndTheSetting) {
    FwInput& input = FwInput::GetInstance();
    Push(Key(SDL_SCANCODE_F11));
    window.ProcessMessages();
    EXPECT_TRUE(window.IsFullscreen());
    EXPECT_TRUE(FwGetSettings().fullscreen);
    SDL_Event up{};
    up.type = SDL_KEYUP;
    up.key.keysym.scancode = SDL_SCANCODE_F11;
    Push(up);
    Push(Key(SDL_SCANCODE_LALT));
    Push(Key(SDL_SCANCODE_RETURN));
    window.ProcessMessages();
    EXPECT_FALSE(window.IsFullscreen()) << "Alt+Return toggles back";
    EXPECT_FALSE(FwGetSettings().fullscreen);
    EXPECT_FALSE(input.IsKeyDown(FwKey::Return));
    FwGetSettings().fullscreen = true;
    window.ProcessMessages();
    EXPECT_TRUE(window.IsFullscreen()) << "the window follows the setting the options screen changes";

    window.Destroy();
    FwGetSettings().fullscreen = true;
    ASSERT_TRUE(window.Create(1280, 720, "Quarnel", "Window")) << SDL_GetError();
    EXPECT_TRUE(window.IsFullscreen()) << "the setting at start";
}

TEST_F(FwWindowTest, EscapeDestroysTheWindowAtThePump) {
    window.ProcessMessages();
    ASSERT_NE(window.Hwnd(), nullptr);
    Push(Key(SDL_SCANCODE_W));
    window.ProcessMessages();
    EXPECT_NE(window.Hwnd(), nullptr) << "other keys do nothing to the window";
    Push(Key(SDL_SCANCODE_ESCAPE));
    window.ProcessMessages();
    EXPECT_EQ(window.Hwnd(), nullptr);
}

TEST_F(FwWindowTest, CloseBoxDestroysTheWindow) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
    EXPECT_FALSE(window.ProcessMessages());
    EXPECT_EQ(window.Hwnd(), nullptr);
}

TEST_F(FwWindowTest, WheelNotchLastsOneFrame) {
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1;
    Push(wheel);
    window.ProcessMessages();
    EXPECT_EQ(window.MouseWheel(), 120);
    window.ProcessMessages();
    EXPECT_EQ(window.MouseWheel(), 0);
    wheel.wheel.y = -1;
    Push(wheel);
    window.ProcessMessages();
    EXPECT_EQ(window.MouseWheel(), -120);
}

TEST_F(FwWindowTest, HeldKeysAreSeenAndRepeatsIgnored) {
    FwInput& input = FwInput::GetInstance();
    Push(Key(SDL_SCANCODE_D));
    window.ProcessMessages();
    EXPECT_TRUE(input.IsKeyDown(FwKey::D));
    SDL_Event up{};
    up.type = SDL_KEYUP;
    up.key.keysym.scancode = SDL_SCANCODE_D;
    Push(up);
    SDL_Event repeat = Key(SDL_SCANCODE_D);
    repeat.key.repeat = 1;
    Push(repeat);
    window.ProcessMessages();
    EXPECT_FALSE(input.IsKeyDown(FwKey::D));
}

}  // namespace
