#pragma once

#include <cstdint>

// The frame loop's arithmetic, on the millisecond clock's unsigned 32-bit values (wrap-around safe).

// Milliseconds left of the frame budget; 0 when the frame took the whole budget or more.
inline uint32_t FrameSleepTime(uint32_t frameStart, uint32_t now, uint32_t budget) {
    const uint32_t elapsed = now - frameStart;
    return elapsed < budget ? budget - elapsed : 0;
}

// Counts one frame and, once at least 500 ms have passed since measureStart, stores the rate in
// measuredFps and starts a new measurement. Returns true when measuredFps was refreshed.
inline bool MeasureFrameRate(uint32_t frameStart, uint32_t& measureStart, uint32_t& frameCount, int32_t& measuredFps) {
    ++frameCount;
    const uint32_t elapsed = frameStart - measureStart;
    if (elapsed < 500) {
        return false;
    }
    measuredFps = static_cast<int32_t>(frameCount * 1000 / elapsed);
    measureStart = frameStart;
    frameCount = 0;
    return true;
}
