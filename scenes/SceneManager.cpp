#include "scenes/SceneManager.h"

#include "scenes/C_Scene.h"

SceneManager::Holder::~Holder() {
    if (next != current.get()) {
        delete next;
    }
}

SceneManager& SceneManager::GetInstance() {
    static SceneManager instance;
    return instance;
}

void SceneManager::SetNextScene(C_Scene* scene) {
    // A second request in the same frame replaces the first, which nobody else owns.
    if (scenes.next != scenes.current.get() && scenes.next != scene) {
        delete scenes.next;
    }
    scenes.next = scene;
}

void SceneManager::Release() {
    SetNextScene(nullptr);
    scenes.current.reset();
}

void SceneManager::Step() {
    if (scenes.next != scenes.current.get()) {
        scenes.current.reset(scenes.next);
    }
    if (scenes.current) {
        scenes.current->Frame();
    }
}
