#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwMessageBox.h"
#include "framework/platform/FwPath.h"
#include "framework/platform/FwSettings.h"

namespace {

constexpr int kBadUsage = 2;

// Applies the automation flags to the platform layer; false (with a message) when a file is bad.
bool ApplyOptions(const AppOptions& options) {
    FwSetFixedRandomSeed(options.seed);
    if (!options.contentDir.empty()) {
        FwSetContentRoot(options.contentDir);
    }
    if (options.IsAutomated()) {
        FwEnableMessageBoxes(false);
    }
    // A bad settings file only costs its own values: the game starts either way.
    FwSetSettingsPath(SettingsFileFor(options));
    FwLoadSettings(FwSettingsPath(), FwGetSettings());
    ApplySettingFlags(options, FwGetSettings());
    FwInput& input = FwInput::GetInstance();
    std::string error;
    if (!options.inputPath.empty()) {
        std::ifstream file(options.inputPath);
        if (!file) {
            std::fprintf(stderr, "quarnel: cannot read input script %s\n", options.inputPath.c_str());
            return false;
        }
        std::stringstream text;
        text << file.rdbuf();
        std::vector<FwInputEvent> events;
        if (!FwParseInputScript(text.str(), events, error)) {
            std::fprintf(stderr, "quarnel: %s: %s\n", options.inputPath.c_str(), error.c_str());
            return false;
        }
        input.UseScript(std::move(events));
    }
    if (!options.recordPath.empty() && !input.StartRecording(options.recordPath, error)) {
        std::fprintf(stderr, "quarnel: %s\n", error.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Application& application = Application::GetInstance();
    std::string error;
    if (!ParseAppOptions(std::vector<std::string>(argv + 1, argv + argc), application.options, error)) {
        std::fprintf(stderr, "quarnel: %s\n%s", error.c_str(), AppUsage());
        return kBadUsage;
    }
    if (application.options.help) {
        std::printf("%s", AppUsage());
        return 0;
    }
    if (application.options.version) {
        std::printf("Quarnel %s\n", QUARNEL_VERSION);
        return 0;
    }
    if (!ApplyOptions(application.options)) {
        return kBadUsage;
    }
    return application.Run();
}
