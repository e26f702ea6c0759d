#pragma once

#include <cstdint>
#include <memory>

class C_Scene;

// Holds the current scene and switches to a requested one at the start of the next step, so a
// scene may request its own replacement from inside its update.
class SceneManager {
public:
    static SceneManager& GetInstance();

    // A second request before the switch replaces the first.
    void SetNextScene(std::unique_ptr<C_Scene> scene);
    void Step();
    // Deletes the current and any requested scene while the services they use still exist.
    void Release();

    C_Scene* Current() const { return current.get(); }
    bool HasPendingScene() const { return next != nullptr; }

    // Turns a held button into one accepted press across scenes: 1 once a press was taken.
    uint8_t clickLatch = 0;

private:
    std::unique_ptr<C_Scene> current;
    std::unique_ptr<C_Scene> next;
};
