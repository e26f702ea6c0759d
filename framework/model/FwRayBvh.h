#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwMeshData.h"

// Bounding-volume hierarchy over the faces of one mesh, in model space, for ray queries. It only
// decides which faces a ray may hit; the faces themselves are tested by the caller with the same
// ray-triangle test as a brute-force walk, so the answers are the same. Boxes are padded so that
// rounding in the triangle test (a hit on an edge, a ray along a box face) never loses a face.
class FwRayBvh {
public:
    void Build(const std::vector<Vector3>& positions, const std::vector<FwMeshFace>& faces);
    void Release();

    bool Empty() const { return nodes.empty(); }

    // Calls `visit(faceIndex)` for every face in a box the ray from `origin` along unit
    // `direction` enters no farther than `limit`, nearer boxes first. `visit` may lower `limit`
    // (the local distance of the nearest hit so far) to skip what lies beyond it.
    template <typename Visit>
    void Traverse(const Vector3& origin, const Vector3& direction, const float& limit, Visit&& visit) const;

private:
    struct Node {
        Vector3 low;
        uint32_t first = 0;  // inner node: index of the second child (the first follows it); leaf: first entry
        Vector3 high;
        uint32_t count = 0;  // faces of a leaf; 0 for an inner node
    };

    struct FaceBox {
        Vector3 low;
        Vector3 high;
        Vector3 centre;
        uint32_t face = 0;
    };

    // Lays out the faces boxes[begin, end) below a new node; returns its index.
    uint32_t BuildRange(std::vector<FaceBox>& boxes, uint32_t begin, uint32_t end);
    // Entry distance of the ray into a node's box, or a value above `limit` when it misses.
    float Enter(const Node& node, const Vector3& origin, const Vector3& inverse, float pad, float limit) const;

    std::vector<Node> nodes;
    std::vector<uint32_t> faceOrder;  // face indices, leaf by leaf
};

inline float FwRayBvh::Enter(const Node& node, const Vector3& origin, const Vector3& inverse, float pad,
                             float limit) const {
    // A zero direction component gives 0 * inf = NaN on a slab boundary; the comparisons below
    // ignore NaN, which only keeps a box that might have been dropped.
    float near = 0.0f;
    float far = limit;
    const float lows[3] = {node.low.x - pad, node.low.y - pad, node.low.z - pad};
    const float highs[3] = {node.high.x + pad, node.high.y + pad, node.high.z + pad};
    const float origins[3] = {origin.x, origin.y, origin.z};
    const float inverses[3] = {inverse.x, inverse.y, inverse.z};
    for (int axis = 0; axis < 3; ++axis) {
        float t0 = (lows[axis] - origins[axis]) * inverses[axis];
        float t1 = (highs[axis] - origins[axis]) * inverses[axis];
        if (t0 > t1) {
            const float swap = t0;
            t0 = t1;
            t1 = swap;
        }
        near = t0 > near ? t0 : near;
        far = t1 < far ? t1 : far;
    }
    return near <= far ? near : INFINITY;
}

template <typename Visit>
void FwRayBvh::Traverse(const Vector3& origin, const Vector3& direction, const float& limit, Visit&& visit) const {
    if (nodes.empty()) {
        return;
    }
    const Vector3 inverse(1.0f / direction.x, 1.0f / direction.y, 1.0f / direction.z);
    // Rounding in the triangle test grows with the size of the coordinates involved.
    const float pad =
        1e-5f * (1.0f + std::fmax(std::fabs(origin.x), std::fmax(std::fabs(origin.y), std::fabs(origin.z))));
    // A box is skipped only when it starts clearly beyond the nearest hit: ties must still be seen.
    const auto slack = [&] { return limit + limit * 1e-4f + pad; };
    uint32_t stack[64];
    int depth = 0;
    uint32_t current = 0;
    if (Enter(nodes[0], origin, inverse, pad, slack()) == INFINITY) {
        return;
    }
    for (;;) {
        const Node& node = nodes[current];
        if (node.count > 0) {
            for (uint32_t i = 0; i < node.count; ++i) {
                visit(faceOrder[node.first + i]);
            }
        } else {
            const uint32_t a = current + 1;
            const uint32_t b = node.first;
            const float reach = slack();
            const float enterA = Enter(nodes[a], origin, inverse, pad, reach);
            const float enterB = Enter(nodes[b], origin, inverse, pad, reach);
            const bool hitA = enterA != INFINITY;
            const bool hitB = enterB != INFINITY;
            if (hitA && hitB) {
                const bool aFirst = enterA <= enterB;
                stack[depth++] = aFirst ? b : a;
                current = aFirst ? a : b;
                continue;
            }
            if (hitA || hitB) {
                current = hitA ? a : b;
                continue;
            }
        }
        // Pop, dropping boxes the nearest hit has since moved in front of.
        for (;;) {
            if (depth == 0) {
                return;
            }
            current = stack[--depth];
            if (Enter(nodes[current], origin, inverse, pad, slack()) != INFINITY) {
                break;
            }
        }
    }
}
