#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class C_Scene;

// Holds the current scene and switches to a requested one at the start of the next step, so a
// scene may request its own replacement from inside its update.
class SceneManager {
public:
    static SceneManager& GetInstance();

    // Scenes that switch to one another make it by name through these, so that a scene needs no
    // header of the one it switches to; the application registers every name before the first frame.
    using Maker = std::function<std::unique_ptr<C_Scene>()>;
    void Register(const std::string& name, Maker make);
    // The scene registered as `name`; null, with a message, when none is.
    std::unique_ptr<C_Scene> Create(const std::string& name) const;

    // A second request before the switch replaces the first.
    void SetNextScene(std::unique_ptr<C_Scene> scene);
    // Switches to a requested scene, then runs the current one's frame. True when the frame was a
    // new scene's first.
    bool Step();
    // Deletes the current and any requested scene while the services they use still exist.
    void Release();

    C_Scene* Current() const { return current.get(); }
    bool HasPendingScene() const { return next != nullptr; }

    // Turns a held button into one accepted press across scenes: 1 once a press was taken.
    uint8_t clickLatch = 0;

private:
    std::map<std::string, Maker> makers;
    std::unique_ptr<C_Scene> current;
    std::unique_ptr<C_Scene> next;
};
