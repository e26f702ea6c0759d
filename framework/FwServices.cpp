#include "framework/FwServices.h"

#include "framework/audio/FwAudioManager.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwTexture.h"
#include "framework/model/FwModel.h"

bool FwStartServices(SDL_Window* window, int width, int height, bool sound, bool debug, std::string& error) {
    if (!FwDirect3D::GetInstance().Init(window, width, height, debug, error)) {
        return false;
    }
    FwShaderManager::GetInstance().Init();
    if (sound) {
        FwAudioManager::GetInstance().Init();
    }
    return true;
}

void FwStopServices() {
    FwModel::ReleaseCache();
    FwTexture::ReleaseCache();
    FwSoundEffect::ReleaseCache();
    FwShaderManager::GetInstance().Release();
    FwDirect3D::GetInstance().Release();
    FwAudioManager::GetInstance().Release();
}
