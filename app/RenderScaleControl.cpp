#include "app/RenderScaleControl.h"

#include <algorithm>
#include <cmath>

float RenderScaleControl::Next(float setting, uint64_t workMicroseconds) {
    if (setting != 0.0f) {
        // Back to auto later starts again from full size.
        *this = RenderScaleControl();
        percent = static_cast<int>(std::lround(setting));
        return Scale();
    }
    window[static_cast<size_t>(windowNext)] = workMicroseconds;
    windowNext = (windowNext + 1) % kWindow;
    windowCount = std::min(windowCount + 1, kWindow);
    ++sinceChange;
    ++sinceStepUp;
    ++sinceFailure;
    ++calm;
    calmWork += workMicroseconds;
    uneasy += workMicroseconds > kComfortable ? 1 : 0;
    if (sinceChange < kSettleFrames) {
        return Scale();
    }
    const auto overruns =
        std::count_if(window.begin(), window.begin() + windowCount, [](uint64_t work) { return work > kOverrun; });
    if (overruns >= kOverrunsToStep && percent > kCheaperLookPercent) {
        StepDown();
    } else if (calm >= kCalmStretch) {
        // At most one frame in twenty over the comfortable line. Each stretch is judged on its
        // own, so its mean is what frames cost now.
        const uint64_t mean = calmWork / static_cast<uint64_t>(calm);
        const bool comfortable = uneasy * 20 <= calm;
        const bool triedBefore = percent + kStepPercent >= failedPercent;
        if (comfortable && percent < 100 &&
            (!triedBefore || sinceFailure >= backOff || mean * 100 < workBeforeFailed * kCheaperPercent)) {
            StepUp();
        } else {
            calm = 0;
            calmWork = 0;
            uneasy = 0;
        }
    }
    return Scale();
}

float RenderScaleControl::Start(uint64_t fullWork, uint64_t smallestWork) {
    *this = RenderScaleControl();
    if (fullWork <= kOverrun) {
        return Scale();
    }
    const double smallest = kMinPercent / 100.0;
    const double pixels =
        (static_cast<double>(fullWork) - static_cast<double>(smallestWork)) / (1.0 - smallest * smallest);
    const double fixed = static_cast<double>(fullWork) - pixels;
    const double aim = static_cast<double>(kComfortable + kOverrun) / 2.0;
    // Noise can make the smaller frame the dearer one; the fixed part alone can be over the aim.
    const double wanted = pixels > 0.0 && aim > fixed ? 100.0 * std::sqrt((aim - fixed) / pixels) : 0.0;
    const int onGrid = static_cast<int>(std::floor(wanted / kStepPercent)) * kStepPercent;
    percent = std::clamp(onGrid, kMinPercent, 100 - kStepPercent);
    return Scale();
}

void RenderScaleControl::StepDown() {
    // The pixels' share of a frame goes with the square of the scale; aim at the middle of the
    // comfortable range from the median of the window, at least one step and at most
    // kMaxStepsDown (a hitch, say shaders compiled on a scene's first frames, must not throw the
    // picture to its coarsest for the long climb back).
    std::array<uint64_t, kWindow> sorted = window;
    std::sort(sorted.begin(), sorted.begin() + windowCount);
    const double median = static_cast<double>(sorted[static_cast<size_t>(windowCount / 2)]);
    const double aim = static_cast<double>(kComfortable + kOverrun) / 2.0;
    const double wanted = percent * std::sqrt(aim / median);
    const int onGrid = static_cast<int>(std::floor(wanted / kStepPercent)) * kStepPercent;
    if (steppedUp && sinceStepUp <= kFailedWithin) {
        backOff = percent == failedPercent ? std::min(backOff * 2, kMaxBackOff) : kFirstBackOff;
        failedPercent = percent;
        workBeforeFailed = workBeforeStepUp;
        sinceFailure = 0;
    }
    steppedUp = false;
    // The cheaper look only once the smallest picture has been tried.
    const int lowest =
        percent > kMinPercent ? std::max(kMinPercent, percent - kMaxStepsDown * kStepPercent) : kCheaperLookPercent;
    Change(std::clamp(onGrid, lowest, percent - kStepPercent));
}

void RenderScaleControl::StepUp() {
    workBeforeStepUp = calmWork / static_cast<uint64_t>(calm);
    steppedUp = true;
    sinceStepUp = 0;
    Change(percent + kStepPercent);
}

void RenderScaleControl::Change(int newPercent) {
    percent = newPercent;
    sinceChange = 0;
    windowCount = 0;
    windowNext = 0;
    calm = 0;
    calmWork = 0;
    uneasy = 0;
}
