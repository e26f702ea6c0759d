#include "framework/model/FwRayBvh.h"

#include <algorithm>

namespace {

constexpr uint32_t kLeafFaces = 4;

Vector3 Min(const Vector3& a, const Vector3& b) { return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)}; }

Vector3 Max(const Vector3& a, const Vector3& b) { return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}; }

float Axis(const Vector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

}  // namespace

void FwRayBvh::Build(const std::vector<Vector3>& positions, const std::vector<FwMeshFace>& faces) {
    Release();
    std::vector<FaceBox> boxes;
    boxes.reserve(faces.size());
    for (uint32_t i = 0; i < faces.size(); ++i) {
        const FwMeshFace& face = faces[i];
        if (face.idx[0] >= positions.size() || face.idx[1] >= positions.size() || face.idx[2] >= positions.size()) {
            continue;  // the loader never makes such a face
        }
        const Vector3& a = positions[face.idx[0]];
        const Vector3& b = positions[face.idx[1]];
        const Vector3& c = positions[face.idx[2]];
        const Vector3 low = Min(a, Min(b, c));
        const Vector3 high = Max(a, Max(b, c));
        boxes.push_back({low, high, (low + high) * 0.5f, i});
    }
    if (boxes.empty()) {
        return;
    }
    nodes.reserve(2 * boxes.size() / kLeafFaces + 2);
    BuildRange(boxes, 0, uint32_t(boxes.size()));
    faceOrder.reserve(boxes.size());
    for (const FaceBox& box : boxes) {
        faceOrder.push_back(box.face);
    }
}

// Depth first: a node's first child follows it, so only the second child's index is stored.
// Splitting at the median by count keeps the depth at log2 of the face count.
uint32_t FwRayBvh::BuildRange(std::vector<FaceBox>& boxes, uint32_t begin, uint32_t end) {
    const uint32_t index = uint32_t(nodes.size());
    nodes.emplace_back();
    Vector3 low = boxes[begin].low;
    Vector3 high = boxes[begin].high;
    Vector3 centreLow = boxes[begin].centre;
    Vector3 centreHigh = centreLow;
    for (uint32_t i = begin; i < end; ++i) {
        low = Min(low, boxes[i].low);
        high = Max(high, boxes[i].high);
        centreLow = Min(centreLow, boxes[i].centre);
        centreHigh = Max(centreHigh, boxes[i].centre);
    }
    // Boxes are padded by a share of their size and place, on top of the query's own pad.
    const Vector3 size = high - low;
    const float scale = std::max({std::fabs(low.x), std::fabs(low.y), std::fabs(low.z), std::fabs(high.x),
                                  std::fabs(high.y), std::fabs(high.z), size.x, size.y, size.z});
    const float pad = 1e-5f * (1.0f + scale);
    nodes[index].low = low - Vector3(pad, pad, pad);
    nodes[index].high = high + Vector3(pad, pad, pad);
    const uint32_t count = end - begin;
    if (count <= kLeafFaces) {
        nodes[index].first = begin;
        nodes[index].count = count;
        return index;
    }
    const Vector3 spread = centreHigh - centreLow;
    const int axis = spread.x >= spread.y && spread.x >= spread.z ? 0 : (spread.y >= spread.z ? 1 : 2);
    const uint32_t middle = begin + count / 2;
    std::nth_element(
        boxes.begin() + begin, boxes.begin() + middle, boxes.begin() + end,
        [axis](const FaceBox& a, const FaceBox& b) { return Axis(a.centre, axis) < Axis(b.centre, axis); });
    BuildRange(boxes, begin, middle);
    const uint32_t second = BuildRange(boxes, middle, end);
    nodes[index].first = second;
    return index;
}

void FwRayBvh::Release() {
    nodes.clear();
    faceOrder.clear();
}
