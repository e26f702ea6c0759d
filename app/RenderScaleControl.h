#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

// Picks the scale the game's 3D picture is drawn at, once a frame. A fixed render-scale setting is
// used as it stands. `auto` starts at full size and watches the frame's own work (frame start to
// the end of present, without the limiter's wait) against the 16 ms budget of 60 frames a second:
// - down, when most frames of a short window overrun 90 % of the budget; by as much as the
//   overrun says (up to three steps), since the pixels' share of a frame goes with the square of
//   the scale;
// - up one step, after a longer stretch of frames comfortably under the budget;
// - a step up that had to be taken back is tried again only after a back-off that doubles each
//   time, or sooner once frames at the lower scale are clearly cheaper than when it was tried:
//   on a steady scene the scale settles instead of swinging.
// Changes come at most a few times a second, and never below kMinPercent. One step below it is
// kCheaperLookPercent: kMinPercent with the cheaper look (FwDirect3D::SetCheaperLook), for frames
// that still miss at the smallest picture; it is left the way any step is.
// A scene's first frame may be timed at full size and at kMinPercent (Start): the scale then starts
// where the scene's frames fit, instead of stepping down over its first second.
class RenderScaleControl {
public:
    static constexpr uint64_t kBudget = 16000;  // microseconds
    static constexpr uint64_t kOverrun = kBudget * 9 / 10;
    static constexpr uint64_t kComfortable = kBudget * 7 / 10;
    static constexpr int kMinPercent = 50;
    static constexpr int kStepPercent = 5;
    static constexpr int kCheaperLookPercent = kMinPercent - kStepPercent;
    static constexpr int kWindow = 10;  // frames; down when kOverrunsToStep of them overrun
    static constexpr int kOverrunsToStep = 6;
    static constexpr int kSettleFrames = 15;    // after a change, before the next
    static constexpr int kMaxStepsDown = 3;     // in one change
    static constexpr int kCalmStretch = 120;    // frames under kComfortable before a step up
    static constexpr int kFirstBackOff = 1200;  // frames before a step up that failed is tried again
    static constexpr int kMaxBackOff = 9600;
    static constexpr int kFailedWithin = 240;        // a step down this soon after a step up takes it back
    static constexpr uint64_t kCheaperPercent = 85;  // work share that counts as clearly cheaper

    // `setting` is the render-scale setting (0 for auto, else percent); `workMicroseconds` what the
    // frame just ended took. Returns the scale for the next frame.
    float Next(float setting, uint64_t workMicroseconds);
    float Scale() const { return static_cast<float>(std::max(percent, kMinPercent)) / 100.0f; }
    bool CheaperLook() const { return percent < kMinPercent; }
    // Begins a scene at `auto` from its frame's work at full size and at kMinPercent: full size
    // if that is not over kOverrun, else the largest step whose work, on the line through the two
    // (a fixed part, and a part that goes with the pixels), lands in the middle of the comfortable
    // range. Returns the scale.
    float Start(uint64_t fullWork, uint64_t smallestWork);

private:
    void Change(int newPercent);
    void StepDown();
    void StepUp();

    int percent = 100;
    std::array<uint64_t, kWindow> window{};
    int windowCount = 0;  // frames in `window`, up to kWindow
    int windowNext = 0;
    int sinceChange = 0;
    // The stretch since the last change or the last stretch judged: its frames, their total work
    // and how many of them were over kComfortable.
    int calm = 0;
    uint64_t calmWork = 0;
    int uneasy = 0;
    // The last step up and what frames cost just before it.
    bool steppedUp = false;
    int sinceStepUp = 0;
    uint64_t workBeforeStepUp = 0;
    // The step up that failed last: the percentage it went to, the frames' cost before it, the
    // frames since and the wait before it is tried again.
    int failedPercent = 1000;
    uint64_t workBeforeFailed = 0;
    int sinceFailure = 0;
    int backOff = kFirstBackOff;
};
