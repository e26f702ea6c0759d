// The generated models against the offsets at which the game draws them: parts meet, feet and
// treads stand on the floor, guns end where shots start, and every closed part faces outwards
// after the loader's z mirror.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/content/ContentFixture.h"

using namespace contenttest;

namespace {

constexpr float kFloor = -7.5f;

ModelShape Shape(const std::string& path) {
    ModelShape shape = ShapeOf(path);
    EXPECT_TRUE(shape.loaded) << path;
    return shape;
}

}  // namespace

class ClosedModel : public testing::TestWithParam<const char*> {};

TEST_P(ClosedModel, FacesOutwardsAfterTheMirror) {
    const ModelShape shape = Shape(GetParam());
    // A model whose winding came out reversed encloses a negative volume and is drawn inside out.
    EXPECT_GT(shape.volume, 0.0f) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Content, ClosedModel,
    testing::Values("Data/Player/Leg/leg.gltf", "Data/Player/Spine/spine.gltf", "Data/Player/Chest/chest.gltf",
                    "Data/Player/Head/head.gltf", "Data/Player/LeftArm/armleft.gltf",
                    "Data/Player/Rightarm/HandArmright.gltf", "Data/Player/Rightarm/armright.gltf",
                    "Data/CollisionModel/PlayerCollision.gltf", "Data/Bullet/PlayerBullet.gltf",
                    "Data/Bullet/bullet.gltf", "Data/Enemy/Enemy.gltf", "Data/Enemy/caterpillar.gltf",
                    "Data/Enemy/Chest.gltf", "Data/Enemy/head.gltf", "Data/Enemy/eye.gltf", "Data/Enemy/eyeLight.gltf",
                    "Data/Enemy/Leg.gltf", "Data/Enemy/Spine.gltf", "Data/Drum/Drum.gltf", "Data/breaker/breaker.gltf",
                    "Data/breaker/Breakbreaker.gltf", "Data/Stage/InstallationStand.gltf", "Data/Stage/Stand.gltf",
                    "data/Elevator/ElevatorRightdoor.gltf", "data/Elevator/Elevatordoor.gltf", "Data/Lamp/Lamp.gltf",
                    "Data/Lamp/OrangeLamp.gltf"));

TEST(PlayerModel, StandsOnTheFloorWithItsPartsJoinedAtTheirPivots) {
    const ModelShape leg = Shape("Data/Player/Leg/leg.gltf");
    const ModelShape spine = Shape("Data/Player/Spine/spine.gltf");
    const ModelShape chest = Shape("Data/Player/Chest/chest.gltf");
    const ModelShape head = Shape("Data/Player/Head/head.gltf");
    EXPECT_NEAR(leg.minimum.y, 0.0f, 0.01f);           // the position is the foot point
    EXPECT_GE(leg.maximum.y, 1.7f + spine.minimum.y);  // spine pivot 1.7 up
    EXPECT_GE(1.7f + spine.maximum.y, 3.3f + chest.minimum.y);
    EXPECT_GE(3.3f + chest.maximum.y, 4.5f + head.minimum.y);
    // The title screen puts the chest 1.18 below the head: the neck must still meet the head.
    EXPECT_GE(-1.18f + chest.maximum.y, head.minimum.y);
    for (const ModelShape* part : {&leg, &spine, &chest, &head}) {
        EXPECT_LE(part->horizontalRadius, 3.0f);  // the robot's radius
    }
}

TEST(PlayerModel, GunsEndWhereTheirShotsStart) {
    const ModelShape left = Shape("Data/Player/LeftArm/armleft.gltf");
    const ModelShape gun = Shape("Data/Player/Rightarm/armright.gltf");
    const ModelShape hand = Shape("Data/Player/Rightarm/HandArmright.gltf");
    // Bullets appear 4.5 along the left arm, the beam 4.5 and its flash 5 along the right arm.
    EXPECT_GT(left.maximum.z, 3.9f);
    EXPECT_LE(left.maximum.z, 4.5f);
    EXPECT_GT(gun.maximum.z, 4.5f);
    EXPECT_LE(gun.maximum.z, 5.2f);
    EXPECT_LT(hand.maximum.z, left.maximum.z);
    // Shoulders 2.1 left and 1.9 right of the centre: arms stay inside the robot's radius.
    EXPECT_LE(2.1f - left.minimum.x, 3.0f);
    EXPECT_LE(1.9f + gun.maximum.x, 3.0f);
    // The spare gun arm floats with its centre bobbing down to -5, above the floor.
    EXPECT_GT(-5.0f + gun.minimum.y, kFloor);
}

TEST(PlayerModel, CollisionVolumeCoversTheWholeRobot) {
    const ModelShape volume = Shape("Data/CollisionModel/PlayerCollision.gltf");
    const ModelShape head = Shape("Data/Player/Head/head.gltf");
    const ModelShape left = Shape("Data/Player/LeftArm/armleft.gltf");
    // Drawn in the chest's frame, 3.3 above the feet.
    EXPECT_LE(volume.minimum.y, -3.3f + 0.01f);
    EXPECT_GE(volume.maximum.y, 4.5f + head.maximum.y - 3.3f);
    EXPECT_GE(volume.horizontalRadius, 2.1f - left.minimum.x);
    EXPECT_LT(volume.faces, 100u);  // every enemy shot tests it
}

TEST(EnemyModel, TreadsOnTheFloorAndTheFrontShortOfTheMuzzlePoint) {
    const ModelShape treads = Shape("Data/Enemy/caterpillar.gltf");
    const ModelShape hull = Shape("Data/Enemy/Enemy.gltf");
    const ModelShape chest = Shape("Data/Enemy/Chest.gltf");
    const ModelShape head = Shape("Data/Enemy/head.gltf");
    EXPECT_NEAR(treads.minimum.y, 0.0f, 0.01f);  // drawn 4.5 below the hull origin
    EXPECT_GE(-4.5f + treads.maximum.y, hull.minimum.y - 0.05f);
    EXPECT_GE(hull.maximum.y + 0.05f, chest.minimum.y);
    EXPECT_GE(chest.maximum.y + 0.05f, 1.8f + head.minimum.y);
    // Charge rings and bullets appear 4 ahead of the hull origin, in front of the robot; the
    // sides stay within its radius. The treads are drawn 0.2 to the right.
    const std::pair<const ModelShape*, float> parts[] = {{&treads, 0.2f}, {&hull, 0.0f}, {&chest, 0.0f}, {&head, 0.0f}};
    for (const auto& [part, right] : parts) {
        EXPECT_LT(part->maximum.z, 4.0f);
        EXPECT_LE(std::max(-(part->minimum.x + right), part->maximum.x + right), 3.0f);
    }
    EXPECT_NEAR(0.2f + (treads.minimum.x + treads.maximum.x) / 2, 0.0f, 0.05f);
}

TEST(EnemyModel, EyeSitsInTheHeadAndItsLightShinesAhead) {
    const ModelShape head = Shape("Data/Enemy/head.gltf");
    const ModelShape eye = Shape("Data/Enemy/eye.gltf");
    const ModelShape light = Shape("Data/Enemy/eyeLight.gltf");
    // The eye is drawn 0.2 ahead of the head, the light 1.9 ahead.
    EXPECT_GT(0.2f + eye.maximum.z, head.maximum.z - 0.1f);
    EXPECT_LT(0.2f + eye.maximum.z, head.maximum.z + 0.3f);
    EXPECT_LE(1.9f + light.minimum.z, 0.2f + eye.maximum.z);
    EXPECT_GT(1.9f + light.maximum.z, head.maximum.z + 2.0f);
}

TEST(PropModel, DrumIsFiveHighAroundItsCentreAndInsideItsRadius) {
    const ModelShape drum = Shape("Data/Drum/Drum.gltf");
    EXPECT_NEAR(drum.minimum.y, -2.5f, 0.1f);  // centre at -5: the bottom on the floor
    EXPECT_NEAR(drum.maximum.y - drum.minimum.y, 5.0f, 0.3f);
    EXPECT_LE(drum.horizontalRadius, 2.5f);
}

TEST(PropModel, BreakersStandOffTheWallSoShotsReachThemFirst) {
    for (const char* path : {"Data/breaker/breaker.gltf", "Data/breaker/Breakbreaker.gltf"}) {
        const ModelShape breaker = Shape(path);
        EXPECT_GE(breaker.minimum.z, -0.01f) << path;  // nothing behind the wall
        // Bullets test the stage (2.0) before breakers (2.5): the front stands well off the wall.
        EXPECT_GE(breaker.maximum.z, 1.5f) << path;
        EXPECT_LT(breaker.maximum.x - breaker.minimum.x, 6.0f) << path;
    }
}

TEST(PropModel, EmittersFitTheirSpacingAndTheBeamLeavesTheLens) {
    const ModelShape post = Shape("Data/Stage/Stand.gltf");
    const ModelShape emitter = Shape("Data/Stage/InstallationStand.gltf");
    EXPECT_LT(emitter.maximum.y - emitter.minimum.y, 1.5f);  // five of them, 1.5 apart
    EXPECT_LE(emitter.maximum.z, 0.25f);                     // the beam starts at the origin
    // The arms of the post reach the emitters 1.5 ahead of it.
    EXPECT_GE(post.maximum.z + 0.1f, 1.5f + emitter.minimum.z);
    EXPECT_LT(post.maximum.z, 1.5f);
}

TEST(PropModel, ElevatorDoorsCoverTheDoorwayBelowTheLamps) {
    const ModelShape lamp = Shape("Data/Lamp/Lamp.gltf");
    for (const char* path : {"data/Elevator/ElevatorRightdoor.gltf", "data/Elevator/Elevatordoor.gltf"}) {
        const ModelShape door = Shape(path);
        // Closed, the doors' centres are 7.5 apart: each leaf is 7.5 wide.
        EXPECT_NEAR(door.maximum.x - door.minimum.x, 7.5f, 0.2f) << path;
        EXPECT_NEAR(2.2f + door.minimum.y, kFloor, 0.01f) << path;
        EXPECT_LT(2.2f + door.maximum.y, 11.0f + lamp.minimum.y) << path;
        EXPECT_LT(door.maximum.z - door.minimum.z, 1.0f) << path;
    }
    // Five lamps 2.5 apart.
    EXPECT_LT(lamp.maximum.z - lamp.minimum.z, 2.5f);
}
