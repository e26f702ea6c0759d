#include "app/SceneRegistry.h"

#include <memory>

#include "game/world/C_Game.h"
#include "scenes/SceneManager.h"
#include "scenes/TitleScene.h"

void RegisterScenes() {
    SceneManager& scenes = SceneManager::GetInstance();
    scenes.Register("title", [] { return std::make_unique<TitleScene>(); });
    scenes.Register("game", [] { return std::make_unique<C_Game>(); });
}
