#pragma once

#include <algorithm>
#include <cstdint>

#include "framework/platform/FwClock.h"

// The frame loop's arithmetic. The rate is measured on the millisecond clock's unsigned 32-bit
// values (wrap-around safe); the limiter waits on the microsecond clock.

// The limiter's wait. A plain sleep of the time left wakes late by the system's timer slack and
// scheduling delay (a tenth of a millisecond up to several on a busy machine), and a whole-
// millisecond sleep loses up to a millisecond more, so frames drift past their budget. The wait
// sleeps until `margin` before the end, then halves what is left with shorter sleeps and yields
// the processor for the last few microseconds: the thread never spins for long and gives way to
// anything else that wants the core. The margin follows what the sleeps really overshoot: it rises
// at once to the latest overshoot and falls back by an eighth a frame.
class FrameWait {
public:
    static constexpr uint64_t kMinMargin = 100;   // microseconds
    static constexpr uint64_t kMaxMargin = 2000;  // an eighth of the budget
    static constexpr uint64_t kMarginHeadroom = 50;
    static constexpr uint64_t kShortestSleep = 25;

    // Returns at `deadline` on `clock` (microseconds), or at once when it has passed. `Clock` has
    // Now(), Sleep(microseconds) and Yield().
    template <typename Clock>
    void Until(Clock& clock, uint64_t deadline) {
        uint64_t now = clock.Now();
        if (now < deadline && deadline - now > margin) {
            const uint64_t planned = deadline - now - margin;
            clock.Sleep(planned);
            const uint64_t woke = clock.Now();
            overshoot = woke > now + planned ? woke - now - planned : 0;
            margin = std::clamp(std::max(overshoot + kMarginHeadroom, margin - margin / 8), kMinMargin, kMaxMargin);
            now = woke;
        }
        while (now < deadline) {
            // A sleep shorter than what sleeps overshoot would end past the deadline.
            const uint64_t half = (deadline - now) / 2;
            if (half > std::max(overshoot, kShortestSleep)) {
                clock.Sleep(half);
            } else {
                clock.Yield();
            }
            now = clock.Now();
        }
    }

    uint64_t Margin() const { return margin; }

private:
    uint64_t margin = 500;   // until the first sleep shows what this machine overshoots
    uint64_t overshoot = 0;  // of the last long sleep
};

// The process's own clock for FrameWait.
struct FrameWaitClock {
    uint64_t Now() const { return FwTimeMicroseconds(); }
    void Sleep(uint64_t microseconds) const { FwSleepMicroseconds(microseconds); }
    void Yield() const { FwYieldProcessor(); }
};

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
