#include "tests/game/GameSceneFixture.h"

#include <cstdlib>
#include <filesystem>

#include "app/SceneRegistry.h"
#include "framework/FwServices.h"
#include "framework/audio/FwAudioManager.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwPath.h"
#include "game/world/C_Game.h"
#include "scenes/SceneManager.h"
#include "tests/support/FightDriver.h"

std::unique_ptr<FwWindow> GameSceneTest::window;
std::vector<SDL_Event> GameSceneTest::pending;

void GameSceneTest::SetUpTestSuite() { OpenDevice(kStateWidth, kStateHeight); }

void GameScenePixelTest::SetUpTestSuite() { OpenDevice(1280, 720); }

C_Game& GameScenePixelTest::StartAfterFade() {
    C_Game& game = StartGame();
    RunFrames(1);
    game.blackAlpha = 0.0f;
    RunFrames(1);
    return game;
}

void GameSceneTest::OpenDevice(int backBufferWidth, int backBufferHeight) {
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    // No sound card here: the game must run silently either way.
    setenv("ALSOFT_DRIVERS", "null", 0);
    RegisterScenes();
    window = std::make_unique<FwWindow>();
    ASSERT_TRUE(window->Create(1280, 720, "game test", "Window")) << SDL_GetError();
    std::string errorText;
    ASSERT_TRUE(FwStartServices(window->Hwnd(), backBufferWidth, backBufferHeight, true, false, errorText))
        << errorText;
}

void GameSceneTest::TearDownTestSuite() {
    FwStopServices();
    window.reset();
}

void GameSceneTest::SetUp() {
    ASSERT_TRUE(window && window->Hwnd() != nullptr);
    FwInput::GetInstance().Reset();
    pending.clear();
    SceneManager::GetInstance().clickLatch = 0;
    std::filesystem::create_directory_symlink(std::string(QUARNEL_BUILD_DIR) + "/Data", content.File("Data"));
    contentRoot.emplace(content.Path());
    WriteLevelFile("data.txt", ReadTextFile(std::string(QUARNEL_BUILD_DIR) + "/TxtData/data.txt"));
    for (const char* name : {"Enemydata.txt", "drumdata.txt", "breaker.txt", "installatioStand.txt"}) {
        WriteLevelFile(name, "");
    }
}

void GameSceneTest::TearDown() {
    SceneManager::GetInstance().Release();
    contentRoot.reset();
}

void GameSceneTest::WriteLevelFile(const std::string& name, const std::string& text) const {
    WriteTextFile(content.File("TxtData/" + name), text);
}

C_Game& GameSceneTest::StartGame() {
    auto owned = std::make_unique<C_Game>();
    C_Game& game = *owned;
    SceneManager::GetInstance().SetNextScene(std::move(owned));
    SceneManager::GetInstance().clickLatch = 0;
    return game;
}

SDL_Window* GameSceneTest::Window() { return window->Hwnd(); }

void GameSceneTest::RunFrames(int count) {
    for (int i = 0; i < count; ++i) {
        // As the window's pump does it: the frame starts, then the events since the last one arrive.
        FwInput::GetInstance().BeginFrame();
        for (const SDL_Event& event : pending) {
            FwInput::GetInstance().HandleEvent(event);
        }
        pending.clear();
        FwAudioManager::GetInstance().Update();
        // Not presented: the tests read the back buffer, and copying it to the window costs time.
        SceneManager::GetInstance().Step();
    }
}

int GameSceneTest::RunUntil(const std::function<bool()>& done, int limit) {
    int frames = 0;
    while (frames < limit && !done()) {
        RunFrames(1);
        ++frames;
    }
    return frames;
}

nlohmann::json GameSceneTest::Snapshot() const {
    nlohmann::json out;
    Game()->DumpState(out);
    return out;
}

C_Game* GameSceneTest::Game() const { return dynamic_cast<C_Game*>(SceneManager::GetInstance().Current()); }

const char* GameSceneTest::SceneName() const {
    const C_Scene* scene = SceneManager::GetInstance().Current();
    return scene != nullptr ? scene->Name() : "";
}

void GameSceneTest::Key(FwKey key, bool down) { pending.push_back(KeyEvent(key, down)); }

void GameSceneTest::MoveMouse(int dx, int dy) { pending.push_back(MouseMoveEvent(dx, dy)); }

void GameSceneTest::Focus(bool active) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = active ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    pending.push_back(event);
}
