#include <gtest/gtest.h>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwAreaVisibility.h"

namespace {

using Box = FwAreaVisibility::Box;

// Room A, a low corridor B east of it, room C at the corridor's far end, and room D north of A,
// open to it across the whole wall.
const std::vector<Box> kRooms = {
    {{0, 0, 0}, {10, 5, 10}},
    {{10, 0, 4}, {20, 3, 6}},
    {{20, 0, 0}, {30, 5, 10}},
    {{0, 0, 10}, {10, 5, 20}},
};

Box Around(const Vector3& centre, float half = 0.5f) {
    return {centre - Vector3(half, half, half), centre + Vector3(half, half, half)};
}

struct View {
    Vector3 eye;
    Vector3 direction;
};

// What DrawModel asks: the box's own part of the view, or none when it reaches behind the eye.
bool Shows(const FwAreaVisibility& areas, const View& view, const Box& box) {
    const Matrix viewProj = Matrix::CreateLookToLH(view.eye, view.direction, Vector3::UnitY) *
                            Matrix::CreatePerspectiveFieldOfViewLH(Math::kPi / 3.0f, 16.0f / 9.0f, 0.01f, 1000.0f);
    Vector4 clip[8];
    for (int i = 0; i < 8; ++i) {
        const Vector3 corner((i & 1) ? box.maximum.x : box.minimum.x, (i & 2) ? box.maximum.y : box.minimum.y,
                             (i & 4) ? box.maximum.z : box.minimum.z);
        clip[i] = Vector4::Transform(Vector4(corner, 1.0f), viewProj);
    }
    FwAreaVisibility::Rect screen;
    return areas.MayShow(box, FwAreaVisibility::Project(clip, 8, screen) ? &screen : nullptr);
}

void Look(FwAreaVisibility& areas, const View& view) {
    areas.Update(view.eye, Matrix::CreateLookToLH(view.eye, view.direction, Vector3::UnitY) *
                               Matrix::CreatePerspectiveFieldOfViewLH(Math::kPi / 3.0f, 16.0f / 9.0f, 0.01f, 1000.0f));
}

TEST(FwAreaVisibility, RoomsShowOnlyThroughTheOpeningsOnTheWay) {
    FwAreaVisibility areas;
    areas.SetAreas(kRooms);
    ASSERT_EQ(areas.AreaCount(), 4u);
    const Box inC = Around({25, 1, 5});
    const Box inCBesideTheCorridor = Around({25, 1, 1});
    const Box inA = Around({3, 1, 5});
    const Box inD = Around({5, 1, 15});

    // From A down the corridor: C straight ahead shows, C off to the side behind the corridor's
    // walls does not.
    const View east{{5, 2, 5}, {1, 0, 0}};
    Look(areas, east);
    EXPECT_TRUE(Shows(areas, east, inC));
    EXPECT_FALSE(Shows(areas, east, inCBesideTheCorridor));
    EXPECT_TRUE(Shows(areas, east, inA));
    EXPECT_EQ(areas.AreasInSight(), 4u);  // D through its opening, which reaches behind the eye

    // Turned round: the corridor's opening is behind the eye, so nothing beyond it shows.
    const View west{{5, 2, 5}, {-1, 0, 0}};
    Look(areas, west);
    EXPECT_FALSE(Shows(areas, west, inC));
    EXPECT_TRUE(Shows(areas, west, inD));
    EXPECT_EQ(areas.AreasInSight(), 2u);

    // From the corridor looking east, A behind shows nothing; standing in the doorway sees both.
    const View corridor{{19.5f, 2, 5}, {1, 0, 0}};
    Look(areas, corridor);
    EXPECT_FALSE(Shows(areas, corridor, inA));
    EXPECT_TRUE(Shows(areas, corridor, inCBesideTheCorridor));
    const View doorway{{10, 2, 5}, {-1, 0, 0}};
    Look(areas, doorway);
    EXPECT_TRUE(Shows(areas, doorway, inA));

    // A box that straddles the corridor's wall counts in the corridor; one inside the solid
    // between the rooms, or out of every room, is drawn as before.
    Look(areas, west);
    EXPECT_FALSE(Shows(areas, west, Around({15, 1, 5}, 2.0f)));
    EXPECT_TRUE(Shows(areas, west, Around({15, 1, 1})));
    EXPECT_TRUE(Shows(areas, west, Around({5, 9, 5})));

    // An eye outside every room sees everything.
    const View outside{{5, 8, 5}, {1, 0, 0}};
    Look(areas, outside);
    EXPECT_TRUE(Shows(areas, outside, inCBesideTheCorridor));
    EXPECT_EQ(areas.AreasInSight(), 4u);
}

TEST(FwAreaVisibility, RoomsThatShareSpaceOrNoRoomsHideNothing) {
    FwAreaVisibility areas;
    const View east{{5, 2, 5}, {1, 0, 0}};
    Look(areas, east);
    EXPECT_TRUE(Shows(areas, east, Around({25, 1, 1})));

    std::vector<Box> overlapping = kRooms;
    overlapping.push_back({{5, 0, 0}, {15, 5, 10}});
    areas.SetAreas(overlapping);
    EXPECT_EQ(areas.AreaCount(), 0u);
    Look(areas, east);
    EXPECT_TRUE(Shows(areas, east, Around({25, 1, 1})));
}

}  // namespace
