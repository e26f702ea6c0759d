// Ray queries against a stage-sized model: every bullet and the camera cast rays against about
// 6000 triangles each frame, so one query must stay in the tens of microseconds.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "framework/model/FwCollision.h"
#include "framework/model/FwModel.h"

namespace {

constexpr int kCells = 55;  // 55 x 55 quads: 6050 triangles

// A rolling floor written as glTF beside a .bin and loaded through the game's loader.
FwModel& Stage() {
    static FwModel stage = [] {
        std::vector<float> positions;
        for (int z = 0; z <= kCells; ++z) {
            for (int x = 0; x <= kCells; ++x) {
                positions.insert(positions.end(),
                                 {float(x) * 2 - kCells, std::sin(float(x) * 0.3f) * std::cos(float(z) * 0.2f),
                                  float(z) * 2 - kCells});
            }
        }
        std::vector<uint32_t> indices;
        for (int z = 0; z < kCells; ++z) {
            for (int x = 0; x < kCells; ++x) {
                const uint32_t a = uint32_t(z * (kCells + 1) + x);
                const uint32_t c = a + kCells + 1;
                indices.insert(indices.end(), {a, c, a + 1, a + 1, c, c + 1});
            }
        }
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quarnel-ray-bench";
        std::filesystem::create_directories(folder);
        std::ofstream bin(folder / "stage.bin", std::ios::binary);
        bin.write(reinterpret_cast<const char*>(positions.data()), std::streamsize(positions.size() * 4));
        bin.write(reinterpret_cast<const char*>(indices.data()), std::streamsize(indices.size() * 4));
        bin.close();
        const size_t positionBytes = positions.size() * 4;
        const nlohmann::json gltf = {
            {"asset", {{"version", "2.0"}}},
            {"scenes", {{{"nodes", {0}}}}},
            {"nodes", {{{"mesh", 0}}}},
            {"meshes", {{{"primitives", {{{"attributes", {{"POSITION", 0}}}, {"indices", 1}}}}}}},
            {"buffers", {{{"uri", "stage.bin"}, {"byteLength", positionBytes + indices.size() * 4}}}},
            {"bufferViews",
             {{{"buffer", 0}, {"byteLength", positionBytes}},
              {{"buffer", 0}, {"byteOffset", positionBytes}, {"byteLength", indices.size() * 4}}}},
            {"accessors",
             {{{"bufferView", 0}, {"componentType", 5126}, {"type", "VEC3"}, {"count", positions.size() / 3}},
              {{"bufferView", 1}, {"componentType", 5125}, {"type", "SCALAR"}, {"count", indices.size()}}}}};
        std::ofstream(folder / "stage.gltf") << gltf.dump();
        FwModel model;
        model.Load((folder / "stage.gltf").string());
        std::filesystem::remove_all(folder);
        return model;
    }();
    return stage;
}

void BM_RayToModelHitsFloor(benchmark::State& state) {
    const FwModel& stage = Stage();
    const Matrix world = Matrix::CreateTranslation(0, -2, 0);
    float distance = 0.0f;
    Vector3 normal;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RayToModel(stage, world, {3.3f, 5, 7.1f}, {0, -1, 0}, distance, normal));
    }
    state.counters["triangles"] = double(kCells * kCells * 2);
}
BENCHMARK(BM_RayToModelHitsFloor);

// A bullet flying level above the floor misses everything: the common case.
void BM_RayToModelMisses(benchmark::State& state) {
    const FwModel& stage = Stage();
    float distance = 0.0f;
    Vector3 normal;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RayToModel(stage, Matrix::Identity, {0, 3, 0}, {0.6f, 0, 0.8f}, distance, normal));
    }
}
BENCHMARK(BM_RayToModelMisses);

void BM_RayToTriangle(benchmark::State& state) {
    const Vector3 v0(0, 0, 0), v1(1, 0, 0), v2(0, 1, 0);
    float distance = 0.0f;
    Vector3 origin(0.25f, 0.25f, -3);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RayToTriangle(origin, {0, 0, 1}, v0, v1, v2, distance));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RayToTriangle);

}  // namespace
