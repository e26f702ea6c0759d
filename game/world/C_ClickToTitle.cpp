#include "game/world/C_ClickToTitle.h"

#include "framework/platform/FwInput.h"
#include "scenes/C_Scene.h"
#include "scenes/SceneManager.h"

void C_ClickToTitle() {
    SceneManager& scenes = SceneManager::GetInstance();
    if (!FwInput::GetInstance().IsKeyDown(FwKey::MouseLeft)) {
        scenes.clickLatch = 1;
    } else if (scenes.clickLatch == 1) {
        scenes.clickLatch = 0;
        scenes.SetNextScene(scenes.Create("title"));
    }
}
