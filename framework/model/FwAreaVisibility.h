#pragma once

#include <cfloat>
#include <cstddef>
#include <vector>

#include "framework/math/SimpleMath.h"

// The rooms of a closed indoor model as world boxes that meet face to face. Where two faces
// touch, their overlap is an opening; everywhere else a room's box is walled, floored and
// roofed. Seen from inside one room, a point in another shows only through the openings on the
// way, so a model whose box lies in rooms out of sight can be left undrawn: a software rasteriser
// would transform and bin every triangle of it only for the depth test to throw them away.
class FwAreaVisibility {
public:
    struct Box {
        Vector3 minimum{FLT_MAX, FLT_MAX, FLT_MAX};  // empty
        Vector3 maximum{-FLT_MAX, -FLT_MAX, -FLT_MAX};
        void Grow(const Vector3& point);
        bool Contains(const Vector3& point) const;
        // Whether the boxes meet or lie within `slack` of each other (a negative slack asks for shared
        // space).
        bool Overlaps(const Box& other, float slack) const;
    };
    // Part of the view, in normalised device x and y.
    struct Rect {
        float x0 = 1.0f, y0 = 1.0f, x1 = -1.0f, y1 = -1.0f;  // empty
        bool Empty() const { return x0 > x1 || y0 > y1; }
    };

    // No areas: everything shows.
    void SetAreas(const std::vector<Box>& areas);
    size_t AreaCount() const { return areas.size(); }

    // Which areas show from `eye`, and through which part of the view. An eye outside every area
    // sees everything.
    void Update(const Vector3& eye, const Matrix& viewProj);

    // Whether anything inside the world box may show. `screen` is where the box falls in the view,
    // or null when a part of it lies at or behind the eye.
    bool MayShow(const Box& box, const Rect* screen) const;
    // How many areas showed at the last Update.
    size_t AreasInSight() const;

    // Where the corners fall in the view; false when one of them lies at or behind the eye.
    static bool Project(const Vector4* clipCorners, size_t count, Rect& rect);

private:
    struct Opening {
        size_t from, to;
        Vector3 corners[4];
    };
    void FindOpenings();

    std::vector<Box> areas;
    std::vector<Opening> openings;
    bool eyeInside = false;
    std::vector<Rect> seen;  // per area, empty when the area does not show
};
