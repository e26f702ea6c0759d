#include <gtest/gtest.h>

#include <cstdlib>

#include <SDL.h>

#include "framework/platform/FwInput.h"
#include "framework/platform/FwSettings.h"
#include "framework/platform/FwWindow.h"
#include "tests/support/GameRun.h"

namespace {

// SDL's virtual controller through the real window pump: device events, polling and the mapping
// of sticks, triggers and buttons onto the keys and mouse the game reads.
class GamepadTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        FwInput::GetInstance().Reset();
        FwGetSettings().gamepadSensitivity = 0.5f;
        ASSERT_TRUE(window.Create(1280, 720, "Quarnel", "Window")) << SDL_GetError();
    }
    void TearDown() override {
        FwInput::GetInstance().Reset();
        FwGetSettings() = FwSettings();
        window.Destroy();
    }

    static int CursorX() {
        int dx = 0;
        int dy = 0;
        FwInput::GetInstance().GetCursorOffset(dx, dy);
        FwInput::GetInstance().ReturnCursorHome();
        return dx;
    }

    FwWindow window;
};

TEST_F(GamepadTest, ScriptedControllerDrivesAimsFiresAndQuits) {
    std::vector<FwInputEvent> events;
    std::string error;
    ASSERT_TRUE(
        FwParseInputScript("2 pad attach\n"
                           "3 pad axis lefty -32767\n3 pad axis rightx 32767\n3 pad axis righttrigger 32767\n"
                           "4 pad axis lefty 6000\n4 pad axis rightx 16384\n4 pad axis righttrigger 10000\n"
                           "4 pad axis lefttrigger 30000\n4 pad axis leftx 32767\n"
                           "7 pad button a down\n7 pad axis rightx 0\n8 pad button a up\n8 pad button start down\n"
                           "10 pad detach\n11 pad attach\n12 pad button back down\n",
                           events, error))
        << error;
    FwInput& input = FwInput::GetInstance();
    input.UseScript(std::move(events));

    window.ProcessMessages();  // frame 1
    EXPECT_FALSE(input.GamepadConnected());
    window.ProcessMessages();  // frame 2
    ASSERT_TRUE(input.GamepadConnected()) << "plugged in: " << SDL_GetError();
    window.ProcessMessages();  // frame 3: stick forward, aim full right, gun trigger
    EXPECT_TRUE(input.IsKeyDown(FwKey::W));
    EXPECT_FALSE(input.IsKeyDown(FwKey::S));
    EXPECT_TRUE(input.IsKeyDown(FwKey::MouseLeft));
    EXPECT_FALSE(input.IsKeyDown(FwKey::MouseRight));
    EXPECT_EQ(CursorX(), 8) << "16 pixels a frame at full travel, times the sensitivity 0.5";
    for (int frame = 4; frame <= 6; ++frame) {  // inside the dead zone; half travel; beam trigger
        window.ProcessMessages();
        EXPECT_FALSE(input.IsKeyDown(FwKey::W));
        EXPECT_TRUE(input.IsKeyDown(FwKey::D));
        EXPECT_FALSE(input.IsKeyDown(FwKey::MouseLeft)) << "a trigger pressed less than half way";
        EXPECT_TRUE(input.IsKeyDown(FwKey::MouseRight));
    }
    EXPECT_EQ(CursorX(), 8) << "a third of full speed past the dead zone, gathered over three frames";
    window.ProcessMessages();  // frame 7: A
    EXPECT_TRUE(input.IsKeyDown(FwKey::Return));
    EXPECT_FALSE(input.WasKeyPressed(FwKey::P));
    window.ProcessMessages();  // frame 8: Start
    EXPECT_TRUE(input.IsKeyDown(FwKey::Return));
    EXPECT_TRUE(input.WasKeyPressed(FwKey::P));
    window.ProcessMessages();
    EXPECT_FALSE(input.WasKeyPressed(FwKey::P)) << "one press";
    window.ProcessMessages();  // frame 10: pulled out
    EXPECT_FALSE(input.GamepadConnected());
    EXPECT_FALSE(input.IsKeyDown(FwKey::D));
    EXPECT_FALSE(input.IsKeyDown(FwKey::Return));
    EXPECT_FALSE(input.IsKeyDown(FwKey::MouseRight));
    EXPECT_EQ(CursorX(), 0);
    window.ProcessMessages();  // frame 11: a fresh controller at rest
    EXPECT_TRUE(input.GamepadConnected());
    EXPECT_FALSE(input.IsKeyDown(FwKey::D));
    window.ProcessMessages();  // frame 12: Back quits as Escape does
    EXPECT_EQ(window.Hwnd(), nullptr);
}

// ...and is recorded as the virtual controller that replays it.
TEST_F(GamepadTest, ControllerPluggedInWhileRunningIsPickedUpAndLetGo) {
    FwInput& input = FwInput::GetInstance();
    TempDir dir;
    std::string error;
    ASSERT_TRUE(input.StartRecording(dir.File("pad.txt"), error)) << error;
    window.ProcessMessages();
    ASSERT_FALSE(input.GamepadConnected());
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr) << SDL_GetError();
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTY, 32767);
    window.ProcessMessages();
    EXPECT_TRUE(input.GamepadConnected());
    EXPECT_TRUE(input.IsKeyDown(FwKey::S));
    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(index);
    window.ProcessMessages();
    EXPECT_FALSE(input.GamepadConnected());
    EXPECT_FALSE(input.IsKeyDown(FwKey::S));
    input.Reset();
    const std::string recorded = ReadTextFile(dir.File("pad.txt"));
    std::vector<FwInputEvent> events;
    EXPECT_TRUE(FwParseInputScript(recorded, events, error)) << error;
    EXPECT_NE(recorded.find("2 pad attach\n2 pad axis lefty 32767\n3 pad detach\n"),
              std::string::npos)
        << recorded;
}

}  // namespace
