#include "game/world/C_ClickToTitle.h"

#include "framework/platform/FwInput.h"
#include "scenes/SceneManager.h"
#include "scenes/TitleScene.h"

void C_ClickToTitle() {
    SceneManager& scenes = SceneManager::GetInstance();
    if (!FwInput::GetInstance().IsKeyDown(FwKey::MouseLeft)) {
        scenes.clickLatch = 1;
    } else if (scenes.clickLatch == 1) {
        scenes.clickLatch = 0;
        scenes.SetNextScene(std::make_unique<TitleScene>());
    }
}
