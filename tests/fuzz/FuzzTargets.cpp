#include "tests/fuzz/FuzzTargets.h"

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/AppOptions.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/graphics/FwSpriteFont.h"
#include "framework/graphics/FwTexture.h"
#include "framework/model/FwGLTFModel.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwPath.h"
#include "game/world/C_LevelLayout.h"

namespace {

// The model and level readers open files by name, so their input is written to a folder of this
// process first; the folder goes when the process ends.
class ScratchFolder {
public:
    ScratchFolder() : path(std::filesystem::temp_directory_path() / ("quarnel-fuzz-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path / "TxtData");
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }

    std::string Write(const std::string& name, std::span<const uint8_t> bytes) const {
        const std::filesystem::path file = path / name;
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return file.string();
    }
    void Remove(const std::string& name) const {
        std::error_code ignored;
        std::filesystem::remove(path / name, ignored);
    }
    std::string Path() const { return path.string(); }

private:
    std::filesystem::path path;
};

const ScratchFolder& Scratch() {
    static const ScratchFolder folder;
    return folder;
}

std::string Text(std::span<const uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

// The extension picks the reader, as it does for the game: binary for data that starts like a GLB.
void Model(std::span<const uint8_t> bytes) {
    const bool binary = bytes.size() >= 4 && Text(bytes.first(4)) == "glTF";
    const std::string name = binary ? "model.glb" : "model.gltf";
    FwLoadGLTFModel(Scratch().Write(name, bytes));
    Scratch().Remove(name);
}

void Texture(std::span<const uint8_t> bytes) {
    FwImage image;
    std::string error;
    FwDecodeImage(bytes, image, error);
}

void Sound(std::span<const uint8_t> bytes) {
    FwWavData wav;
    std::string error;
    FwDecodeWav(bytes, wav, error);
}

void Font(std::span<const uint8_t> bytes) {
    FwSpriteFontData font;
    std::string error;
    FwParseSpriteFont(bytes, font, error);
}

const std::array<const char*, 5> kLevelFiles = {"TxtData/data.txt", "TxtData/Enemydata.txt", "TxtData/drumdata.txt",
                                                "TxtData/breaker.txt", "TxtData/installatioStand.txt"};

// The whole level is loaded with one of its files replaced by the input and the others absent,
// except that stands always have three breakers to name.
template <size_t file>
void Level(std::span<const uint8_t> bytes) {
    const std::string breakers = "0 0 0 0\n1 0 1 90\n2 0 2 180\n";
    for (const char* name : kLevelFiles) {
        Scratch().Remove(name);
    }
    if (file == 4) {
        Scratch().Write(kLevelFiles[3], std::span(reinterpret_cast<const uint8_t*>(breakers.data()), breakers.size()));
    }
    Scratch().Write(kLevelFiles[file], bytes);
    const std::string previousRoot = FwContentRoot();
    FwSetContentRoot(Scratch().Path());
    C_LevelLayout layout;
    layout.Load();
    FwSetContentRoot(previousRoot);
}

void InputScript(std::span<const uint8_t> bytes) {
    std::vector<FwInputEvent> events;
    std::string error;
    if (FwParseInputScript(Text(bytes), events, error)) {
        for (const FwInputEvent& event : events) {
            FwFormatInputEvent(event);
        }
    }
}

// The arguments are separated by NUL bytes.
void Options(std::span<const uint8_t> bytes) {
    std::vector<std::string> args(1);
    for (const uint8_t byte : bytes) {
        if (byte == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(byte);
        }
    }
    AppOptions options;
    std::string error;
    ParseAppOptions(args, options, error);
}

constexpr FuzzTarget kTargets[] = {
    {"model", Model},           {"texture", Texture},          {"sound", Sound},          {"font", Font},
    {"level_start", Level<0>},  {"level_enemies", Level<1>},   {"level_drums", Level<2>}, {"level_breakers", Level<3>},
    {"level_stands", Level<4>}, {"input_script", InputScript}, {"options", Options},
};

}  // namespace

std::span<const FuzzTarget> FuzzTargets() { return kTargets; }

const FuzzTarget* FindFuzzTarget(std::string_view name) {
    for (const FuzzTarget& target : kTargets) {
        if (name == target.name) {
            return &target;
        }
    }
    return nullptr;
}
