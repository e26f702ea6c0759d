#include <gtest/gtest.h>

#include "framework/platform/FwInput.h"

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
        "7 key Right up\n9 move 3 -4\n10 wheel 2\n11 focus on\n12 quit\n";
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

}  // namespace
