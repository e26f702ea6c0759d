#pragma once

// The input a player gives to walk the route of TxtData/route.txt (docs/route.md) and shoot its
// breakers: what the play-through tests feed the game.

#include <cmath>
#include <sstream>
#include <vector>

#include "framework/math/SimpleMath.h"

constexpr float kWalkSpeed = 0.5f;
constexpr float kDegreesPerPixel = 0.25f;

inline Vector3 FacingOf(float degrees) {
    const float radians = degrees * Math::kDegToRad;
    return Vector3(std::sin(radians), 0.0f, std::cos(radians));
}

// Writes the input a player would give to walk the route: turn with the mouse (a quarter degree
// a pixel) with W released, then hold W for as many half-unit frames as the leg needs. The
// driver keeps the robot's position, yaw and pitch as the game computes them, so each leg is aimed
// from where the last one really ended; the test checks that against snapshots.
class RouteDriver {
public:
    RouteDriver(const Vector3& start, int firstFrame) : position(start), frame(firstFrame) {}

    // Holds W `extraFrames` longer than the leg needs. Returns the frame of the leg's last step.
    int WalkTo(float x, float z, int extraFrames = 0) {
        const float heading = std::atan2(x - position.x, z - position.z) / Math::kDegToRad;
        script << frame << " key W up\n";
        Turn(heading, 0.0f);
        const float distance = std::hypot(x - position.x, z - position.z);
        const int steps = static_cast<int>(std::lround(distance / kWalkSpeed));
        script << frame + 1 << " key W down\n";
        const Vector3 forward = FacingOf(yaw).Normalized();
        for (int i = 0; i < steps; ++i) {
            position += forward * kWalkSpeed;
        }
        frame += steps + 1 + extraFrames;
        return frame - 1 - extraFrames;
    }

    // Stands still, turns the sighting mark onto `target` and holds the left button for
    // `holdFrames`. Returns the frame in which the button is released.
    int ShootAt(const Vector3& target, int holdFrames) {
        script << frame << " key W up\n";
        // The camera ray runs through the pivot, 6 units right of the chest and 5.3 above the
        // feet; the pivot turns with the aim, so the yaw is found by iteration.
        float heading = yaw;
        Vector3 pivot;
        for (int i = 0; i < 20; ++i) {
            const float radians = heading * Math::kDegToRad;
            pivot = position + Vector3(0.0f, kPivotHeight, 0.0f) +
                    Vector3(std::cos(radians), 0.0f, -std::sin(radians)) * kPivotSide;
            heading = std::atan2(target.x - pivot.x, target.z - pivot.z) / Math::kDegToRad;
        }
        const float across = std::hypot(target.x - pivot.x, target.z - pivot.z);
        Turn(heading, std::atan2(pivot.y - target.y, across) / Math::kDegToRad);
        // The camera places itself from the chest posed before the turn: the aim is right one
        // frame later.
        script << frame + 2 << " button left down\n" << frame + 2 + holdFrames << " button left up\n";
        frame += holdFrames + 3;
        return frame - 1;
    }

    // Presses the right button for one frame and watches the beam for 20; returns the press frame.
    int FireBeam() {
        script << frame << " key W up\n" << frame + 1 << " button right down\n" << frame + 2 << " button right up\n";
        frame += 22;
        return frame - 21;
    }

    void ReleaseAll() { script << frame << " key W up\n"; }
    void Click(int at) { script << at << " button left down\n" << at + 1 << " button left up\n"; }

    std::ostringstream script;
    Vector3 position;
    float yaw = 0.0f;
    float pitch = 0.0f;
    int frame;

private:
    static constexpr float kPivotHeight = 5.3f;
    static constexpr float kPivotSide = 6.0f;

    // One mouse movement in this frame, rounded to whole pixels.
    void Turn(float toYaw, float toPitch) {
        const int dx = static_cast<int>(std::lround(std::remainder(toYaw - yaw, 360.0f) / kDegreesPerPixel));
        const int dy = static_cast<int>(std::lround((toPitch - pitch) / kDegreesPerPixel));
        if (dx != 0 || dy != 0) {
            script << frame << " move " << dx << " " << dy << "\n";
        }
        yaw += static_cast<float>(dx) * kDegreesPerPixel;
        pitch += static_cast<float>(dy) * kDegreesPerPixel;
    }
};

inline // Aim at the centre of a breaker's front, 1.6 in front of its position along its facing.
Vector3 BreakerFront(const std::vector<float>& record) {
    return Vector3(record[0], record[1], record[2]) + FacingOf(record[3]) * 1.6f;
}

inline // The left gun fires every 20 frames; three bullets must reach the breaker, 1.5 units a frame.
int HoldFramesToBreak(const Vector3& from, const Vector3& target) {
    return 41 + static_cast<int>(Vector3::Distance(from, target) / 1.5f) + 10;
}
