// Every content path written in the game's source (app/, framework/, scenes/, game/) resolves in
// the generated tree and loads with the loader the game uses for it. The source is scanned when
// the test runs, so paths added later are covered without touching this test.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <set>

#include "framework/audio/FwAudioManager.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwSpriteFont.h"
#include "framework/graphics/FwTexture.h"
#include "framework/model/FwGLTFModel.h"
#include "framework/model/FwModel.h"
#include "framework/platform/FwPath.h"
#include "tests/content/ContentFixture.h"

using namespace contenttest;

namespace {

namespace fs = std::filesystem;

// String literals naming a file below Data/ (any letter case) or TxtData/.
std::set<std::string> ContentPathsInSource() {
    static const std::regex literal(R"re("((?:[Dd][Aa][Tt][Aa]|TxtData)/[^"\s]+\.[A-Za-z]+)")re");
    std::set<std::string> paths;
    for (const char* folder : {"app", "framework", "scenes", "game"}) {
        const fs::path root = fs::path(QUARNEL_SOURCE_DIR) / folder;
        if (!fs::exists(root))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h"))
                continue;
            std::ifstream file(entry.path());
            const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            for (std::sregex_iterator m(text.begin(), text.end(), literal), end; m != end; ++m) {
                paths.insert((*m)[1].str());
            }
        }
    }
    return paths;
}

std::string Extension(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// Each model loads with geometry, and every picture it names is found beside it (a missing one
// would silently turn white).
testing::AssertionResult LoadsAsModel(const std::string& path) {
    FwModel model;
    testing::internal::CaptureStdout();
    const bool loaded = model.Load(path);
    const std::shared_ptr<FwGLTFModel> record = FwLoadGLTFModel(FwResolvePath(path));
    testing::internal::GetCapturedStdout();
    if (!loaded || !record)
        return testing::AssertionFailure() << "does not load";
    size_t faces = 0;
    for (const FwModelNode& node : model.Nodes())
        faces += node.Mesh ? node.Mesh->Faces().size() : 0;
    if (faces == 0)
        return testing::AssertionFailure() << "has no triangles";
    for (size_t i = 0; i < record->Materials.size(); ++i) {
        const bool named = !record->Materials[i].BaseColorTexture.empty();
        const bool white = model.Materials()[i].BaseColorTex == FwDirect3D::GetInstance().WhiteTexture();
        if (named && white) {
            return testing::AssertionFailure() << "texture " << record->Materials[i].BaseColorTexture << " is missing";
        }
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult Loads(const std::string& path) {
    const std::string extension = Extension(path);
    if (!fs::is_regular_file(FwResolvePath(path)))
        return testing::AssertionFailure() << "no such file";
    if (extension == ".gltf" || extension == ".glb")
        return LoadsAsModel(path);
    if (extension == ".png" || extension == ".jpg" || extension == ".jpeg") {
        FwTexture texture;
        return texture.Load(path) && texture.Width() > 0 ? testing::AssertionSuccess()
                                                         : testing::AssertionFailure() << "not a picture";
    }
    if (extension == ".wav") {
        const auto sound = std::make_shared<FwSoundEffect>();
        return sound->Load(path) ? testing::AssertionSuccess() : testing::AssertionFailure() << "not a sound";
    }
    if (extension == ".dat") {
        FwSpriteFont font;
        return font.Load(path) ? testing::AssertionSuccess() : testing::AssertionFailure() << "not a sprite font";
    }
    if (extension == ".txt") {
        return fs::file_size(FwResolvePath(path)) > 0 ? testing::AssertionSuccess()
                                                      : testing::AssertionFailure() << "empty";
    }
    return testing::AssertionFailure() << "no loader for " << extension;
}

}  // namespace

TEST(ContentPaths, EveryPathInTheSourceResolvesAndLoads) {
    UseBuiltContent();
    setenv("ALSOFT_DRIVERS", "null", 1);  // a device that plays nothing, so sounds can be loaded
    ASSERT_TRUE(FwAudioManager::GetInstance().Init());
    const std::set<std::string> paths = ContentPathsInSource();
    ASSERT_FALSE(paths.empty());
    for (const std::string& path : paths) {
        EXPECT_TRUE(Loads(path)) << path;
    }
    FwAudioManager::GetInstance().Release();
}
