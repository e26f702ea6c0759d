#include "bench/game/GameBench.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <epoxy/gl.h>

#include "framework/FwServices.h"
#include "framework/audio/FwAudioManager.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwPath.h"
#include "framework/platform/FwScreen.h"
#include "framework/platform/FwWindow.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "scenes/SceneManager.h"
#include "tests/support/FightDriver.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;

// Every record, then `scale - 1` more rounds of copies moved in x and z on a spiral.
std::string Repeated(const std::vector<std::vector<float>>& records, int scale) {
    std::ostringstream text;
    for (int copy = 0; copy < scale; ++copy) {
        const float radius = 1.5f * std::sqrt(float(copy));
        const float angle = float(copy) * 2.4f;
        for (const std::vector<float>& record : records) {
            for (size_t i = 0; i < record.size(); ++i) {
                const float shift = i == 0 ? radius * std::cos(angle) : (i == 2 ? radius * std::sin(angle) : 0.0f);
                text << record[i] + shift << (i + 1 < record.size() ? " " : "\n");
            }
        }
    }
    return text.str();
}

}  // namespace

double ThreadMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

bool OpenGameServices() {
    static const bool opened = [] {
        if (std::getenv("DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        setenv("ALSOFT_DRIVERS", "null", 0);
        static FwWindow window;
        std::string error;
        return window.Create(kScreenWidth, kScreenHeight, "game bench", "Window") &&
               FwStartServices(window.Hwnd(), 320, 180, true, false, error);
    }();
    return opened;
}

BenchContent::BenchContent(int scale) {
    std::filesystem::create_directory_symlink(kBuild + "/Data", dir.File("Data"));
    const std::string level = kBuild + "/TxtData/";
    for (const char* name : {"data.txt", "route.txt", "installatioStand.txt"}) {
        WriteTextFile(dir.File(std::string("TxtData/") + name), ReadTextFile(level + name));
    }
    WriteTextFile(dir.File("TxtData/Enemydata.txt"), Repeated(ReadLevelRecords(level + "Enemydata.txt", 3), scale));
    WriteTextFile(dir.File("TxtData/drumdata.txt"), Repeated(ReadLevelRecords(level + "drumdata.txt", 3), scale));
    WriteTextFile(dir.File("TxtData/breaker.txt"), Repeated(ReadLevelRecords(level + "breaker.txt", 4), scale));
}

PlayResult Play(const std::string& contentRoot, int maxFrames, int drawEvery,
                const std::function<void(bool)>& watchFrames) {
    PlayResult result;
    FightDriver driver;
    std::string error;
    if (!OpenGameServices() || !driver.ReadRoute(contentRoot, error)) {
        return result;
    }
    const std::string previousRoot = FwContentRoot();
    FwSetContentRoot(contentRoot);
    FwSetFixedRandomSeed(7u);
    FwInput::GetInstance().Reset();
    SceneManager::GetInstance().clickLatch = 0;
    // The frame as C_Scene::Frame runs it, with the update timed on its own.
    auto game = std::make_unique<C_Game>();
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    result.enemies = game->enemies.size();
    for (int frame = 0; frame < maxFrames && (frame == 0 || driver.Step(*game)); ++frame) {
        FwInput::GetInstance().BeginFrame();
        FwAudioManager::GetInstance().Update();
        if (watchFrames) {
            watchFrames(true);
        }
        const double startThread = ThreadMs();
        const auto start = std::chrono::steady_clock::now();
        game->Update();
        const auto updated = std::chrono::steady_clock::now();
        result.updateMs.push_back(ThreadMs() - startThread);
        if (watchFrames) {
            watchFrames(false);
        }
        result.updateWallMs.push_back(std::chrono::duration<double, std::milli>(updated - start).count());
        d3d.ClearBackBuffer(Color(0.3f, 0.3f, 0.3f, 0.1f));
        d3d.ClearDepthStencil(1.0f, 0);
        game->SetCamera();
        if (frame % drawEvery == 0) {
            game->Draw();
            glFinish();
            const auto drawn = std::chrono::steady_clock::now();
            result.drawMs.push_back(std::chrono::duration<double, std::milli>(drawn - updated).count());
        }
    }
    result.enemiesDown = static_cast<size_t>(driver.enemiesDowned);
    result.ending = game->ending;
    game.reset();
    SceneManager::GetInstance().Release();
    FwInput::GetInstance().Reset();
    FwSetFixedRandomSeed(std::nullopt);
    FwSetContentRoot(previousRoot);
    return result;
}

const PlayResult& StockPlay() {
    static const PlayResult play = [] {
        const BenchContent content(1);
        return Play(content.Root(), 9000);
    }();
    return play;
}

double Median(std::vector<double> values) { return Percentile(std::move(values), 0.5); }

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(share * double(values.size())))];
}

double Max(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}
