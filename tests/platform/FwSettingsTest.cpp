#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "framework/platform/FwSettings.h"
#include "tests/support/GameRun.h"

namespace {

namespace fs = std::filesystem;

FwSettings Changed() {
    FwSettings settings;
    settings.mouseSensitivity = 2.7f;
    settings.invertY = true;
    settings.gamepadSensitivity = 0.1f;
    settings.masterVolume = 0.3f;
    settings.fullscreen = true;
    settings.pauseOnFocusLoss = true;
    settings.fieldOfView = 85.0f;
    settings.rumble = false;
    settings.keyBindings[0] = SDL_SCANCODE_UP;
    settings.keyBindings[7] = SDL_SCANCODE_LSHIFT;
    settings.renderScale = 65.0f;
    return settings;
}

// The folder's entries other than settings.ini: what a write left behind.
std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename() != "settings.ini") {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

TEST(FwSettingsFile, EverySettingRoundTripsAndTheFolderIsMade) {
    TempDir dir;
    const std::string path = dir.File("config/quarnel/settings.ini");
    const FwSettings written = Changed();
    ASSERT_TRUE(FwSaveSettings(path, written));
    const std::string text = ReadTextFile(path);
    for (const FwSettingInfo& info : FwSettingInfos()) {
        EXPECT_NE(text.find(std::string(info.key) + " = "), std::string::npos) << info.key;
    }
    EXPECT_NE(text.find("volume = 0.3\n"), std::string::npos) << text;
    for (const char* line : {"field-of-view = 85\n", "rumble = false\n", "key-forward = Up\n", "key-back = S\n",
                             "key-menu-up = Left Shift\n", "key-screenshot = F12\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    }
    EXPECT_NE(text.find("render-scale = 65\n"), std::string::npos) << text;

    FwSettings read;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(FwLoadSettings(path, read));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(read == written);
    EXPECT_TRUE(Leftovers(dir.File("config/quarnel")).empty());

    // Saving again replaces the file; a missing file changes nothing and says nothing.
    ASSERT_TRUE(FwSaveSettings(path, FwSettings()));
    EXPECT_TRUE(FwLoadSettings(path, read));
    EXPECT_TRUE(read == FwSettings());
    FwSettings untouched = written;
    EXPECT_TRUE(FwLoadSettings(dir.File("nowhere/settings.ini"), untouched));
    EXPECT_TRUE(untouched == written);
}

TEST(FwSettingsFile, NumbersStayOnTheirGridAndWithinTheirBounds) {
    const FwSettingInfo& volume = *FwFindSetting("volume");
    EXPECT_FLOAT_EQ(volume.Stepped(0.3f, 1), 0.4f);
    EXPECT_FLOAT_EQ(volume.Stepped(1.0f, 1), 1.0f);
    EXPECT_FLOAT_EQ(volume.Stepped(0.04f, -1), 0.0f);
    float value = 0.0f;
    for (int i = 0; i < 7; ++i) {
        value = volume.Stepped(value, 1);
    }
    FwSettings settings;
    settings.masterVolume = value;
    EXPECT_EQ(volume.FileText(settings), "0.7");
    EXPECT_EQ(volume.ScreenText(settings), "70%");
    EXPECT_EQ(FwFindSetting("invert-y")->ScreenText(settings), "Off");
    EXPECT_EQ(FwFindSetting("mouse-sensitivity")->ScreenText(settings), "1.0");
    EXPECT_EQ(FwFindSetting("mouse-sensitivity")->Stepped(5.0f, 3), 5.0f);
    EXPECT_EQ(FwFindSetting("brightness"), nullptr);

    // The render scale: auto one step below 50, whole percentages in steps of 5.
    const FwSettingInfo& scale = *FwFindSetting("render-scale");
    EXPECT_EQ(scale.FileText(settings), "auto");
    EXPECT_EQ(scale.ScreenText(settings), "Auto");
    EXPECT_EQ(scale.Stepped(0.0f, 1), 50.0f);
    EXPECT_EQ(scale.Stepped(0.0f, -1), 0.0f);
    EXPECT_EQ(scale.Stepped(50.0f, -1), 0.0f);
    EXPECT_EQ(scale.Stepped(95.0f, 3), 100.0f);
    for (const auto& [text, parsed] : {std::pair{"75", 75.0f}, {"62", 60.0f}, {"100", 100.0f}, {"auto", 0.0f}}) {
        settings.renderScale = 1.0f;
        EXPECT_TRUE(scale.Parse(text, settings)) << text;
        EXPECT_EQ(settings.renderScale, parsed) << text;
    }
    EXPECT_EQ(scale.FileText(settings), "auto");
    settings.renderScale = 55.0f;
    EXPECT_EQ(scale.FileText(settings), "55");
    EXPECT_EQ(scale.ScreenText(settings), "55%");
    for (const char* bad : {"45", "0", "105", "Auto", "", "auto75"}) {
        EXPECT_FALSE(scale.Parse(bad, settings)) << bad;
        EXPECT_EQ(settings.renderScale, 55.0f) << bad;
    }
}

// Every line that cannot be understood is named on stderr and costs only its own setting.
TEST(FwSettingsFile, MalformedLinesWarnAndKeepTheirDefaults) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    WriteTextFile(path,
                  std::string("# comment\n"
                              "[quarnel]\n"
                              "mouse-sensitivity = 2.5\n"
                              "invert-y = maybe\n"              // line 4
                              "volume = 7\n"                    // 5: out of range
                              "gamepad-sensitivity = nan\n"     // 6
                              "this line has no equals sign\n"  // 7
                              "brightness = 3\n"                // 8
                              "fullscreen = on\n"
                              "  pause-on-focus-loss=1  \r\n"
                              "mouse-sensitivity = 0x10\n"  // 11: not a decimal number
                              "volume = 0.34\n") +
                      std::string("\x01\xff\x00garbage\n", 11));  // 13
    FwSettings settings;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(FwLoadSettings(path, settings));
    const std::string warnings = testing::internal::GetCapturedStderr();
    for (const char* line : {"line 4:", "line 5:", "line 6:", "line 7:", "line 8:", "line 11:", "line 13:"}) {
        EXPECT_NE(warnings.find(line), std::string::npos) << line << " in:\n" << warnings;
    }
    EXPECT_EQ(warnings.find("line 3:"), std::string::npos) << warnings;
    EXPECT_FLOAT_EQ(settings.mouseSensitivity, 2.5f);
    EXPECT_FALSE(settings.invertY);
    EXPECT_FLOAT_EQ(settings.gamepadSensitivity, 1.0f);
    EXPECT_FLOAT_EQ(settings.masterVolume, 0.3f);
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_TRUE(settings.pauseOnFocusLoss);
}

// Bindings are physical keys by SDL's scancode name. An unknown name keeps the default; a key bound
// twice gives the later line's binding its default back, and so on until no key is bound twice.
TEST(FwSettingsFile, BadBindingLinesFallBackToTheDefaults) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    WriteTextFile(path,
                  "key-forward = Keypad 8\n"
                  "key-back = Bogus Key\n"       // 2: unknown
                  "key-left = Keypad 8\n"        // 3: already forward's: left keeps A
                  "key-right = A\n"              // 4: left's default, so right keeps D
                  "key-pause = Escape\n"         // 5: quit's default: pause keeps P
                  "key-screenshot = \n"          // 6: no name
                  "key-options = Left Shift\n"
                  "field-of-view = 72\n");       // on the grid of 5: 70
    FwSettings settings;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(FwLoadSettings(path, settings));
    const std::string warnings = testing::internal::GetCapturedStderr();
    for (const char* text : {"line 2: unknown key 'Bogus Key' for key-back; keeping S",
                             "line 3: Keypad 8 is already bound to key-forward; key-left keeps its default A",
                             "line 4: A is already bound to key-left; key-right keeps its default D",
                             "line 5: Escape is already bound to key-quit; key-pause keeps its default P",
                             "line 6: unknown key '' for key-screenshot"}) {
        EXPECT_NE(warnings.find(text), std::string::npos) << text << " in:\n" << warnings;
    }
    FwSettings expected;
    expected.keyBindings[0] = SDL_SCANCODE_KP_8;
    expected.keyBindings[6] = SDL_SCANCODE_LSHIFT;
    expected.fieldOfView = 70.0f;
    EXPECT_TRUE(settings == expected);
    for (size_t i = 0; i < FwKeyBindingInfos().size(); ++i) {
        for (size_t j = i + 1; j < FwKeyBindingInfos().size(); ++j) {
            EXPECT_NE(FwKeyBindingInfos()[i].defaultScancode, FwKeyBindingInfos()[j].defaultScancode);
        }
        EXPECT_EQ(FwSettings().keyBindings[i], FwKeyBindingInfos()[i].defaultScancode) << i;
    }
}

TEST(FwSettingsFile, UnreadableFilesWarnAndGiveTheDefaults) {
    TempDir dir;
    fs::create_directories(dir.File("folder/settings.ini"));
    WriteTextFile(dir.File("huge.ini"), std::string(200 * 1024, '#'));
    for (const std::string& path : {dir.File("folder/settings.ini"), dir.File("huge.ini")}) {
        FwSettings settings;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(FwLoadSettings(path, settings)) << path;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("using the defaults"), std::string::npos) << path;
        EXPECT_TRUE(settings == FwSettings());
    }
}

// A crash between writing the temporary file and the rename leaves that file behind; it is never
// read, and the next save still works. A write that cannot finish keeps the previous file.
TEST(FwSettingsFile, InterruptedAndFailedWritesKeepThePreviousFile) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    ASSERT_TRUE(FwSaveSettings(path, Changed()));
    const std::string previous = ReadTextFile(path);
    WriteTextFile(dir.File("settings.ini.tmp-Ab12Cd"), "mouse-sensitivity = 0.");
    FwSettings settings;
    EXPECT_TRUE(FwLoadSettings(path, settings));
    EXPECT_TRUE(settings == Changed());
    ASSERT_TRUE(FwSaveSettings(path, Changed()));
    EXPECT_EQ(Leftovers(dir.Path()), std::vector<std::string>{"settings.ini.tmp-Ab12Cd"});

    // The folder cannot be made: a file stands where it would go.
    WriteTextFile(dir.File("blocked"), "x");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(FwSaveSettings(dir.File("blocked/quarnel/settings.ini"), Changed()));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be written"), std::string::npos);

    // The rename cannot replace a folder; the temporary file goes again.
    fs::create_directories(dir.File("odd/settings.ini"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(FwSaveSettings(dir.File("odd/settings.ini"), Changed()));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("previous file is kept"), std::string::npos);
    EXPECT_TRUE(Leftovers(dir.File("odd")).empty());

    // A read-only folder (root writes anyway, so only other users can check this).
    if (geteuid() != 0) {
        ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(FwSaveSettings(path, FwSettings()));
        testing::internal::GetCapturedStderr();
        chmod(dir.Path().c_str(), 0755);
        EXPECT_EQ(ReadTextFile(path), previous);
    }
}

TEST(FwSettingsFile, DefaultPathFollowsXdgConfigHome) {
    const char* const saved = std::getenv("XDG_CONFIG_HOME");
    const std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
    setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(FwDefaultSettingsPath(), "/tmp/xdg/quarnel/settings.ini");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    // XDG counts a relative folder as invalid: it is ignored.
    setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(FwDefaultSettingsPath(), home.empty() ? "" : home + "/.config/quarnel/settings.ini");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(FwDefaultSettingsPath(), home.empty() ? "" : home + "/.config/quarnel/settings.ini");
    if (previous) {
        setenv("XDG_CONFIG_HOME", previous->c_str(), 1);
    }
}

}  // namespace
