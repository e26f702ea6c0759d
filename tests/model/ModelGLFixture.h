#pragma once

#include <array>
#include <string>

#include <SDL.h>
#include <gtest/gtest.h>

#include "framework/math/SimpleMath.h"
#include "tests/model/GLTFTestFile.h"
#include "tests/support/GameRun.h"

// A small hidden window with the real device and shader service for the tests that draw models.
// Each test starts from a black, opaque back buffer, opaque blending, the camera at the origin
// looking along +z, lights and fog at their defaults and the standard program's world matrix
// and object constants reset.
class ModelGLTest : public testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 180;

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    // A square facing the camera, `halfSize` wide each way around (x, y) at distance `z`, with
    // the given glTF material (none when null).
    static GLTFTestFile FacingSquare(float x, float y, float z, float halfSize,
                                     const nlohmann::json& material = nullptr);
    // Writes the file into the test's folder and loads it; keeps the printed lines out of the log.
    bool LoadInto(class FwModel& model, const GLTFTestFile& file, const std::string& name = "model.gltf") const;

    // The back buffer's RGBA bytes at a pixel, counted from the top-left.
    static std::array<int, 4> Pixel(int x, int y);
    static std::array<int, 4> Centre() { return Pixel(kWidth / 2, kHeight / 2); }

    TempDir dir;

private:
    static SDL_Window* window;
};

// Channel-wise comparison with a tolerance, printing both colours on failure.
testing::AssertionResult ColorNear(const std::array<int, 4>& actual, const std::array<int, 4>& expected,
                                   int tolerance = 1);
