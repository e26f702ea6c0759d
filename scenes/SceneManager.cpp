#include "scenes/SceneManager.h"

#include <cstdio>

#include "scenes/C_Scene.h"

SceneManager& SceneManager::GetInstance() {
    static SceneManager instance;
    return instance;
}

void SceneManager::Register(const std::string& name, Maker make) { makers[name] = std::move(make); }

std::unique_ptr<C_Scene> SceneManager::Create(const std::string& name) const {
    const auto found = makers.find(name);
    if (found == makers.end()) {
        std::fprintf(stderr, "quarnel: no scene named '%s'\n", name.c_str());
        return nullptr;
    }
    return found->second();
}

void SceneManager::SetNextScene(std::unique_ptr<C_Scene> scene) { next = std::move(scene); }

void SceneManager::Release() {
    next.reset();
    current.reset();
}

bool SceneManager::Step() {
    const bool switched = next != nullptr;
    if (switched) {
        current = std::move(next);
    }
    if (current) {
        current->Frame();
    }
    return switched && current != nullptr;
}
