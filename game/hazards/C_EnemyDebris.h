#pragma once

#include <array>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

class C_Game;

// The five parts of a destroyed enemy thrown up and apart; they fall, lie on the floor and fade
// out after 300 updates.
class C_EnemyDebris {
public:
    static constexpr int kPieces = 5;

    explicit C_EnemyDebris(const Vector3& position);

    bool Update();
    void Draw() const;

    float Alpha() const { return alpha; }
    const Vector3& PiecePosition(int i) const { return positions[i]; }

private:
    struct Piece {
        FwModel model;
        Matrix spare;
    };

    std::array<Vector3, kPieces> positions;
    std::array<Vector3, kPieces> velocities;
    std::array<Matrix, kPieces> worlds;
    std::array<Piece, kPieces> pieces;
    float alpha = 1.0f;
    float lifetime = 300.0f;
};
