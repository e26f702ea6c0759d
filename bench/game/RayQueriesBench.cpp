// The ray queries of a real play-through (camera, aim, bullets, beam, walls, floors, push-outs),
// recorded from the fight driver's game and answered again with each mesh's hierarchy and by
// testing every face, in the same run. Both must give the same hit, distance and normal.

#include <chrono>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

#include "bench/game/GameBench.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwModel.h"

namespace {

constexpr size_t kMaxQueries = 60000;
constexpr double kTargetSpeedup = 10.0;

struct Query {
    const FwModel* model;
    Matrix world;
    Vector3 origin;
    Vector3 direction;
};

struct Answer {
    bool hit = false;
    float distance = 0.0f;
    Vector3 normal;
};

// The queries with their own copies of the models asked (the objects that asked are gone by the
// end), one copy per file: copies of one file share the meshes.
struct Recording {
    std::map<const FwMesh*, std::unique_ptr<FwModel>> models;
    std::vector<Query> queries;
};

const FwMesh* FirstMesh(const FwModel& model) {
    for (const FwModelNode& node : model.Nodes()) {
        if (node.Mesh) {
            return node.Mesh.get();
        }
    }
    return nullptr;
}

Recording Record() {
    Recording recording;
    bool watching = false;
    FwSetRayQueryObserver(
        [&](const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction) {
            const FwMesh* mesh = FirstMesh(model);
            if (!watching || mesh == nullptr) {
                return;
            }
            std::unique_ptr<FwModel>& copy = recording.models[mesh];
            if (!copy) {
                copy = std::make_unique<FwModel>(model);
            }
            recording.queries.push_back({copy.get(), world, origin, direction});
        });
    const BenchContent content(1);
    Play(content.Root(), 9000, 1, [&](bool inUpdate) { watching = inUpdate; });
    FwSetRayQueryObserver({});
    // An even sample when the play asked more than the benchmark needs.
    if (recording.queries.size() > kMaxQueries) {
        std::vector<Query> sample;
        const double step = double(recording.queries.size()) / double(kMaxQueries);
        for (size_t i = 0; i < kMaxQueries; ++i) {
            sample.push_back(recording.queries[size_t(double(i) * step)]);
        }
        recording.queries = std::move(sample);
    }
    return recording;
}

using QueryFunction = bool (*)(const FwModel&, const Matrix&, const Vector3&, const Vector3&, float&, Vector3&);

double AnswerAll(const std::vector<Query>& queries, QueryFunction query, std::vector<Answer>& answers) {
    answers.assign(queries.size(), {});
    const auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < queries.size(); ++i) {
        const Query& q = queries[i];
        answers[i].hit = query(*q.model, q.world, q.origin, q.direction, answers[i].distance, answers[i].normal);
    }
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
}

void BM_RayQueriesPlayThrough(benchmark::State& state) {
    if (!OpenGameServices()) {
        state.SkipWithError("no graphics device");
        return;
    }
    const Recording recording = Record();
    if (recording.queries.empty()) {
        state.SkipWithError("the play asked no ray queries");
        return;
    }
    std::vector<Answer> fast;
    std::vector<Answer> slow;
    double fastNs = 0.0;
    double slowNs = 0.0;
    for (auto _ : state) {
        fastNs = AnswerAll(recording.queries, RayToModel, fast);
        slowNs = AnswerAll(recording.queries, RayToModelBruteForce, slow);
    }
    size_t mismatches = 0;
    size_t hits = 0;
    for (size_t i = 0; i < fast.size(); ++i) {
        const bool same = fast[i].hit == slow[i].hit &&
                          (!fast[i].hit || (std::fabs(fast[i].distance - slow[i].distance) <= 1e-5f &&
                                            Vector3::Distance(fast[i].normal, slow[i].normal) <= 1e-5f));
        mismatches += same ? 0 : 1;
        hits += fast[i].hit ? 1 : 0;
    }
    const double count = double(recording.queries.size());
    state.counters["queries"] = count;
    state.counters["hits"] = double(hits);
    state.counters["models"] = double(recording.models.size());
    state.counters["bvhNsPerQuery"] = fastNs / count;
    state.counters["bruteNsPerQuery"] = slowNs / count;
    state.counters["speedup"] = slowNs / fastNs;
    state.counters["targetSpeedup"] = kTargetSpeedup;
    state.counters["mismatches"] = double(mismatches);
    if (mismatches != 0) {
        state.SkipWithError("the hierarchy and brute force disagree");
    }
}
BENCHMARK(BM_RayQueriesPlayThrough)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
