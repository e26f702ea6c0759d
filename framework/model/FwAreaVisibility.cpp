#include "framework/model/FwAreaVisibility.h"

#include <algorithm>
#include <iterator>

namespace {

// Faces this close count as touching, and boxes this close as overlapping.
constexpr float kTouch = 1e-3f;
// Clip w at or below this is at the eye or behind it.
constexpr float kNearW = 1e-3f;
// Openings and boxes are widened by this much of the view (about six pixels across at 1280x720)
// so that rounding never takes away a model that shows at the edge of an opening.
constexpr float kMargin = 0.01f;

float& At(Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
float At(const Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

bool Inside(const FwAreaVisibility::Box& box, const Vector3& point) {
    return box.Overlaps({point, point}, kTouch);
}

FwAreaVisibility::Rect Intersection(const FwAreaVisibility::Rect& a, const FwAreaVisibility::Rect& b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

FwAreaVisibility::Rect Union(const FwAreaVisibility::Rect& a, const FwAreaVisibility::Rect& b) {
    if (a.Empty()) {
        return b;
    }
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

bool Same(const FwAreaVisibility::Rect& a, const FwAreaVisibility::Rect& b) {
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

constexpr FwAreaVisibility::Rect kWholeView{-1.0f, -1.0f, 1.0f, 1.0f};

}  // namespace

void FwAreaVisibility::Box::Grow(const Vector3& point) {
    minimum = Vector3(std::min(minimum.x, point.x), std::min(minimum.y, point.y), std::min(minimum.z, point.z));
    maximum = Vector3(std::max(maximum.x, point.x), std::max(maximum.y, point.y), std::max(maximum.z, point.z));
}

bool FwAreaVisibility::Box::Contains(const Vector3& point) const {
    return point.x >= minimum.x && point.x <= maximum.x && point.y >= minimum.y && point.y <= maximum.y &&
           point.z >= minimum.z && point.z <= maximum.z;
}

bool FwAreaVisibility::Box::Overlaps(const Box& other, float slack) const {
    for (int axis = 0; axis < 3; ++axis) {
        if (At(maximum, axis) + slack < At(other.minimum, axis) || At(other.maximum, axis) + slack < At(minimum, axis)) {
            return false;
        }
    }
    return true;
}

void FwAreaVisibility::SetAreas(const std::vector<Box>& boxes) {
    areas = boxes;
    FindOpenings();
    seen.assign(areas.size(), Rect{});
    eyeInside = false;
}

void FwAreaVisibility::FindOpenings() {
    openings.clear();
    for (size_t a = 0; a < areas.size(); ++a) {
        for (size_t b = 0; b < areas.size(); ++b) {
            if (a == b) {
                continue;
            }
            // Rooms that share space are not walled from each other: nothing is left out.
            if (a < b && areas[a].Overlaps(areas[b], -kTouch)) {
                areas.clear();
                openings.clear();
                return;
            }
            for (int axis = 0; axis < 3; ++axis) {
                if (std::abs(At(areas[a].maximum, axis) - At(areas[b].minimum, axis)) > kTouch) {
                    continue;
                }
                const int u = (axis + 1) % 3, v = (axis + 2) % 3;
                const float u0 = std::max(At(areas[a].minimum, u), At(areas[b].minimum, u));
                const float u1 = std::min(At(areas[a].maximum, u), At(areas[b].maximum, u));
                const float v0 = std::max(At(areas[a].minimum, v), At(areas[b].minimum, v));
                const float v1 = std::min(At(areas[a].maximum, v), At(areas[b].maximum, v));
                if (u1 <= u0 || v1 <= v0) {
                    continue;
                }
                Opening opening{a, b, {}};
                for (int corner = 0; corner < 4; ++corner) {
                    Vector3& p = opening.corners[corner];
                    At(p, axis) = At(areas[a].maximum, axis);
                    At(p, u) = (corner & 1) ? u1 : u0;
                    At(p, v) = (corner & 2) ? v1 : v0;
                }
                openings.push_back(opening);
                std::swap(opening.from, opening.to);
                openings.push_back(opening);
            }
        }
    }
}

void FwAreaVisibility::Update(const Vector3& eye, const Matrix& viewProj) {
    seen.assign(areas.size(), Rect{});
    eyeInside = false;
    std::vector<size_t> pending;
    for (size_t a = 0; a < areas.size(); ++a) {
        if (Inside(areas[a], eye)) {
            seen[a] = kWholeView;
            pending.push_back(a);
            eyeInside = true;
        }
    }
    // Each area's part of the view only grows, and a way round a loop of rooms narrows, so this
    // ends; the bound is for safety only.
    size_t steps = 0;
    const size_t maximumSteps = 16 * (openings.size() + areas.size());
    while (!pending.empty()) {
        if (++steps > maximumSteps) {
            eyeInside = false;
            return;
        }
        const size_t from = pending.back();
        pending.pop_back();
        const Rect through = seen[from];
        for (const Opening& opening : openings) {
            if (opening.from != from) {
                continue;
            }
            Vector4 clip[4];
            for (int corner = 0; corner < 4; ++corner) {
                clip[corner] = Vector4::Transform(Vector4(opening.corners[corner], 1.0f), viewProj);
            }
            // Nothing in front of the eye is seen through an opening wholly behind it; one that
            // reaches past the eye may show anything in the part of the view that leads to it.
            if (std::all_of(std::begin(clip), std::end(clip), [](const Vector4& c) { return c.w <= 0.0f; })) {
                continue;
            }
            Rect view;
            const Rect part = Project(clip, 4, view) ? Intersection(view, through) : through;
            if (part.Empty()) {
                continue;
            }
            const Rect grown = Union(seen[opening.to], part);
            if (!Same(grown, seen[opening.to])) {
                seen[opening.to] = grown;
                pending.push_back(opening.to);
            }
        }
    }
}

bool FwAreaVisibility::MayShow(const Box& box, const Rect* screen) const {
    if (!eyeInside) {
        return true;
    }
    bool inArea = false;
    for (size_t a = 0; a < areas.size(); ++a) {
        if (!box.Overlaps(areas[a], kTouch)) {
            continue;
        }
        if (!seen[a].Empty() && (screen == nullptr || !Intersection(*screen, seen[a]).Empty())) {
            return true;
        }
        inArea = inArea || Inside(areas[a], (box.minimum + box.maximum) * 0.5f);
    }
    // Whatever stands outside the rooms (in the shaft above the lift, say) is drawn as before.
    return !inArea;
}

size_t FwAreaVisibility::AreasInSight() const {
    return eyeInside ? static_cast<size_t>(std::count_if(seen.begin(), seen.end(), [](const Rect& r) { return !r.Empty(); }))
                     : areas.size();
}

bool FwAreaVisibility::Project(const Vector4* clipCorners, size_t count, Rect& rect) {
    rect = Rect{};
    for (size_t i = 0; i < count; ++i) {
        const Vector4& clip = clipCorners[i];
        if (clip.w <= kNearW) {
            return false;
        }
        const float x = clip.x / clip.w, y = clip.y / clip.w;
        rect = Union(rect, {x - kMargin, y - kMargin, x + kMargin, y + kMargin});
    }
    return true;
}
