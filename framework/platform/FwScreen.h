#pragma once

// The logical screen every scene draws on, in pixels: sprites are placed on it, the 3D view has its
// shape, the window opens at its size, and the picture keeps its shape in any window.
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 720;
constexpr float kScreenAspect = static_cast<float>(kScreenWidth) / static_cast<float>(kScreenHeight);
