#include "framework/audio/FwSoundCache.h"

#include "framework/audio/FwSoundEffect.h"

FwSoundCache& FwSoundCache::GetInstance() {
    static FwSoundCache instance;
    return instance;
}

std::shared_ptr<FwSoundEffect> FwSoundCache::GetSound(const std::string& fileName) {
    const auto found = sounds.find(fileName);
    if (found != sounds.end()) {
        return found->second;
    }
    auto effect = std::make_shared<FwSoundEffect>();
    effect->Load(fileName);
    sounds.emplace(fileName, effect);
    return effect;
}
