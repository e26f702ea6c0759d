#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <iterator>

#include "framework/platform/FwInput.h"
#include "tests/support/GameRun.h"

namespace {

std::vector<FwInputEvent> Parse(const std::string& text) {
    std::vector<FwInputEvent> events;
    std::string error;
    EXPECT_TRUE(FwParseInputScript(text, events, error)) << error;
    return events;
}

TEST(InputScript, ParsesEveryKindAndSkipsComments) {
    const auto events = Parse(
        "# a comment\n"
        "\n"
        "3 key W down   # trailing comment\n"
        "4 button right up\n"
        "5 move -12 7\n"
        "6 wheel -1\n"
        "7 focus off\n"
        "8 quit\n");
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].frame, 3u);
    EXPECT_EQ(events[0].key, FwKey::W);
    EXPECT_TRUE(events[0].down);
    EXPECT_EQ(events[1].key, FwKey::MouseRight);
    EXPECT_FALSE(events[1].down);
    EXPECT_EQ(events[2].type, FwInputEvent::Type::Move);
    EXPECT_EQ(events[2].dx, -12);
    EXPECT_EQ(events[2].dy, 7);
    EXPECT_EQ(events[3].dx, -1);
    EXPECT_EQ(events[4].type, FwInputEvent::Type::Focus);
    EXPECT_FALSE(events[4].down);
    EXPECT_EQ(events[5].type, FwInputEvent::Type::Quit);
}

TEST(InputScript, FormattedEventsParseBackToThemselves) {
    const std::string text =
        "2 key Return down\n2 button left down\n3 key O down\n4 key Up up\n5 key Down down\n6 key Left down\n"
        "7 key Right up\n9 move 3 -4\n10 wheel 2\n11 focus on\n12 quit\n"
        "13 key F11 down\n13 key Alt up\n14 point 12 700\n15 window 1000 800\n16 pad attach\n"
        "17 pad button start down\n17 pad axis righttrigger 32767\n18 pad axis leftx -32768\n19 pad detach\n";
    std::string formatted;
    for (const FwInputEvent& event : Parse(text)) {
        formatted += FwFormatInputEvent(event) + "\n";
    }
    EXPECT_EQ(formatted, text);
}

TEST(InputScript, MalformedLinesNameTheLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"1 key Q down\n", "line 1: expected: key"},
        {"1 key W\n", "line 1: expected: key"},
        {"\n0 key W down\n", "line 2: expected a frame number"},
        {"x key W down\n", "line 1: expected a frame number"},
        {"1 button middle down\n", "line 1: expected: button"},
        {"1 key left down\n", "line 1: expected: key"},
        {"1 move 3\n", "line 1: expected: move"},
        {"1 focus maybe\n", "line 1: expected: focus"},
        {"1 jump\n", "line 1: unknown event 'jump'"},
        {"1 quit now\n", "line 1: unexpected 'now'"},
        {"5\n", "line 1: expected an event"},
        {"1 point 3\n", "line 1: expected: point"},
        {"1 window 15 600\n", "line 1: expected: window"},
        {"1 window 800\n", "line 1: expected: window"},
        {"1 pad\n", "line 1: expected: pad"},
        {"1 pad plug\n", "line 1: expected: pad"},
        {"1 pad button z down\n", "line 1: expected: pad"},
        {"1 pad button a\n", "line 1: expected: pad"},
        {"1 pad axis lefty 32768\n", "line 1: expected: pad"},
        {"1 pad axis sideways 0\n", "line 1: expected: pad"},
        {"1 pad attach now\n", "line 1: unexpected 'now'"},
    };
    for (const auto& c : cases) {
        std::vector<FwInputEvent> events;
        std::string error;
        EXPECT_FALSE(FwParseInputScript(c.text, events, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << " gave: " << error;
    }
}

class ScriptedInput : public ::testing::Test {
protected:
    void SetUp() override { FwInput::GetInstance().Reset(); }
    void TearDown() override { FwInput::GetInstance().Reset(); }

    FwInput& Play(const std::string& script) {
        FwInput& input = FwInput::GetInstance();
        input.UseScript(Parse(script));
        return input;
    }
};

TEST_F(ScriptedInput, KeysHoldUntilChangedAndMovesLastOneFrame) {
    FwInput& input = Play("2 key W down\n2 move 5 -3\n4 key W up\n");
    input.BeginFrame();  // frame 1
    EXPECT_FALSE(input.IsKeyDown(FwKey::W));
    input.BeginFrame();  // frame 2
    EXPECT_TRUE(input.IsKeyDown(FwKey::W));
    int dx = 0, dy = 0;
    input.GetCursorOffset(dx, dy);
    EXPECT_EQ(dx, 5);
    EXPECT_EQ(dy, -3);
    input.ReturnCursorHome();
    input.BeginFrame();  // frame 3
    EXPECT_TRUE(input.IsKeyDown(FwKey::W));
    input.GetCursorOffset(dx, dy);
    EXPECT_EQ(dx, 0);
    input.BeginFrame();  // frame 4
    EXPECT_FALSE(input.IsKeyDown(FwKey::W));
    EXPECT_EQ(input.Frame(), 4u);
}

TEST_F(ScriptedInput, FocusIsOnUntilTheScriptSaysOtherwise) {
    FwInput& input = Play("2 focus off\n3 focus on\n");
    input.BeginFrame();
    EXPECT_TRUE(input.IsWindowActive());
    input.BeginFrame();
    EXPECT_FALSE(input.IsWindowActive());
    input.BeginFrame();
    EXPECT_TRUE(input.IsWindowActive());
}

TEST_F(ScriptedInput, EscapeAndQuitCloseOnlyInTheirFrame) {
    FwInput& input = Play("2 wheel 1\n3 key Escape down\n5 quit\n");
    input.BeginFrame();
    EXPECT_FALSE(input.CloseRequested());
    input.BeginFrame();
    EXPECT_EQ(input.WheelNotches(), 1);
    input.BeginFrame();
    EXPECT_EQ(input.WheelNotches(), 0);
    EXPECT_TRUE(input.CloseRequested());
    input.BeginFrame();
    EXPECT_FALSE(input.CloseRequested());
    input.BeginFrame();
    EXPECT_TRUE(input.CloseRequested());
}

TEST_F(ScriptedInput, TogglingKeysArePressedOnlyInTheFrameTheyGoDown) {
    FwInput& input = Play(
        "2 key P down\n4 key P up\n5 key P down\n"
        "6 key F11 down\n6 key F11 up\n"
        "7 key Alt down\n7 key Return down\n8 key Return up\n8 key Alt up\n9 key Return down\n");
    const struct {
        bool p;
        bool fullscreen;
        bool returnHeld;
    } frames[] = {{false, false, false}, {true, false, false},  {false, false, false},
                  {false, false, false}, {true, false, false},  {false, true, false},
                  {false, true, false},  {false, false, false}, {false, false, true}};
    for (size_t i = 0; i < std::size(frames); ++i) {
        input.BeginFrame();
        EXPECT_EQ(input.WasKeyPressed(FwKey::P), frames[i].p) << "frame " << i + 1;
        EXPECT_EQ(input.FullscreenToggleRequested(), frames[i].fullscreen) << "frame " << i + 1;
        EXPECT_EQ(input.IsKeyDown(FwKey::Return), frames[i].returnHeld)
            << "frame " << i + 1 << ": Alt+Return is the fullscreen key, not Return";
    }
    EXPECT_TRUE(input.IsKeyDown(FwKey::P));
}

TEST_F(ScriptedInput, PointerIsMappedThroughTheLetterboxAndResizesAreRequested) {
    FwInput& input = Play("1 point 640 360\n2 window 1000 800\n3 point 0 119\n4 point 999 700\n");
    input.SetWindowSize(1280, 720);
    input.BeginFrame();
    EXPECT_NEAR(input.PointerX(), 0.5f, 1e-4f);
    EXPECT_NEAR(input.PointerY(), -0.5f, 1e-4f);
    input.BeginFrame();
    EXPECT_EQ(input.RequestedWidth(), 1000);
    EXPECT_EQ(input.RequestedHeight(), 800);
    // The window now has its new size: 1000x562 of picture between bars of 119 pixels.
    input.SetWindowSize(1000, 800);
    input.BeginFrame();
    EXPECT_EQ(input.RequestedWidth(), 0) << "a request lasts one frame";
    EXPECT_NEAR(input.PointerX(), -639.36f, 0.01f);
    EXPECT_NEAR(input.PointerY(), 359.36f, 0.01f) << "the top-left pixel of the picture";
    input.BeginFrame();
    EXPECT_NEAR(input.PointerX(), 639.36f, 0.01f);
    EXPECT_LT(input.PointerY(), -360.0f) << "below the picture, in the bar";
}

TEST(Letterbox, PictureKeepsItsShapeCentredBetweenBlackBars) {
    const struct {
        int width, height;
        FwViewRect view;
    } cases[] = {
        {1280, 720, {0, 0, 1280, 720}},
        {1920, 1080, {0, 0, 1920, 1080}},
        {1000, 800, {0, 119, 1000, 562}},
        {1600, 700, {178, 0, 1244, 700}},
        {640, 720, {0, 180, 640, 360}},
        {1, 1, {0, 0, 1, 0}},
        {0, 0, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const FwViewRect view = FwLetterbox(c.width, c.height);
        EXPECT_EQ(view.x, c.view.x) << c.width << "x" << c.height;
        EXPECT_EQ(view.y, c.view.y) << c.width << "x" << c.height;
        EXPECT_EQ(view.width, c.view.width) << c.width << "x" << c.height;
        EXPECT_EQ(view.height, c.view.height) << c.width << "x" << c.height;
    }
}

// A screen that leaves on Escape captures it: the key is then read like any other and closes
// nothing, until the capture ends.
TEST_F(ScriptedInput, CapturedEscapeIsAKeyAndClosesNothing) {
    FwInput& input = Play("2 key Escape down\n3 key Escape up\n4 key Escape down\n");
    input.CaptureEscape(true);
    input.BeginFrame();
    input.BeginFrame();
    EXPECT_TRUE(input.IsKeyDown(FwKey::Escape));
    EXPECT_FALSE(input.CloseRequested());
    input.CaptureEscape(false);
    input.BeginFrame();
    EXPECT_FALSE(input.CloseRequested());
    input.BeginFrame();
    EXPECT_TRUE(input.CloseRequested());
}

// The mouse movement of a frame is summed and written when the next frame begins; the last
// frame's must still be written when the recording stops.
TEST(InputRecording, LastFrameMouseMovementIsWrittenWhenTheRecordingStops) {
    FwInput& input = FwInput::GetInstance();
    input.Reset();
    TempDir dir;
    std::string error;
    ASSERT_TRUE(input.StartRecording(dir.File("moves.txt"), error)) << error;
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    for (const int dx : {6, -6}) {
        input.BeginFrame();
        motion.motion.xrel = dx;
        input.HandleEvent(motion);
        input.HandleEvent(motion);
    }
    input.StopRecording();
    std::vector<FwInputEvent> all;
    ASSERT_TRUE(FwParseInputScript(ReadTextFile(dir.File("moves.txt")), all, error)) << error;
    std::vector<FwInputEvent> events;
    std::copy_if(all.begin(), all.end(), std::back_inserter(events),
                 [](const FwInputEvent& event) { return event.type == FwInputEvent::Type::Move; });
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].frame, 1u);
    EXPECT_EQ(events[0].dx, 12);
    EXPECT_EQ(events[1].frame, 2u);
    EXPECT_EQ(events[1].dx, -12);
    input.Reset();
}

}  // namespace
