#include "tools/content/ContentWriters.h"

#include "tools/content/GltfWriter.h"
#include "tools/content/ModelDesigns.h"

#include <filesystem>
#include <iostream>

namespace {

struct ModelFile {
    const char* folder;  // below Data; one spelling per folder, the game's others resolve to it
    const char* name;
    MeshBuilder (*design)();
};

const ModelFile kModels[] = {
    {"Stage", "Stage", StageModel},
};

}  // namespace

bool WriteModels(const std::string& root) {
    bool ok = true;
    for (const ModelFile& model : kModels) {
        const std::filesystem::path folder = std::filesystem::path(root) / "Data" / model.folder;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            std::cerr << "quarnel_content: cannot create " << folder.string() << "\n";
            ok = false;
            continue;
        }
        ok = WriteGltf(model.design(), folder.string(), model.name) && ok;
    }
    return ok;
}
