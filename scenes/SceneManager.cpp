#include "scenes/SceneManager.h"

#include "scenes/C_Scene.h"

SceneManager& SceneManager::GetInstance() {
    static SceneManager instance;
    return instance;
}

void SceneManager::SetNextScene(std::unique_ptr<C_Scene> scene) { next = std::move(scene); }

void SceneManager::Release() {
    next.reset();
    current.reset();
}

void SceneManager::Step() {
    if (next) {
        current = std::move(next);
    }
    if (current) {
        current->Frame();
    }
}
