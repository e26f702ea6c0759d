#pragma once

#include <map>
#include <memory>
#include <string>

class FwSoundEffect;

// One sound effect per file name, shared by everyone who asks for it, kept (loaded or not) until
// the process ends. Names are compared exactly: two spellings of one file load it twice.
class FwSoundCache {
public:
    static FwSoundCache& GetInstance();

    std::shared_ptr<FwSoundEffect> GetSound(const std::string& fileName);

private:
    FwSoundCache() = default;

    std::map<std::string, std::shared_ptr<FwSoundEffect>> sounds;
};
