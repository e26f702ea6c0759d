#pragma once

#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"

// One record of "TxtData/breaker.txt": where a breaker stands and its turn about y in degrees.
struct C_BreakerRecord {
    Vector3 position;
    float angle = 0.0f;
};

// One record of "TxtData/installatioStand.txt": the breaker (counted from 0 in the breaker file)
// that switches the stand off, where the stand stands and its turn about y in degrees.
struct C_StandRecord {
    int breakerIndex = 0;
    Vector3 position;
    float angle = 0.0f;
};

// The variable content of the level, read from the five TxtData files when a game starts. The
// files are plain numbers separated by any white space; a record is just the next group of
// numbers. A missing file leaves its kind of object out; a record cut short by the end of the file
// keeps the values of the record before it. Numbers always use '.' as the decimal point.
class C_LevelLayout {
public:
    // Reads the files in the order the game needs them: breakers before stands, because a stand
    // names its breaker by index.
    void Load();

    Vector3 startPosition;
    std::vector<Vector3> enemies;
    std::vector<Vector3> drums;
    std::vector<C_BreakerRecord> breakers;
    std::vector<C_StandRecord> stands;
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    void LoadStart();
    static void LoadPositions(const std::string& fileName, std::vector<Vector3>& positions);
    void LoadBreakers();
    void LoadStands();
};
