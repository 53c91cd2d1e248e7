#pragma once
// Art playback at the Neo Geo's frame rate: which fade step shows for how
// many frames, and where a running animation stands after a given time.

#include <cstdint>
#include <vector>

namespace palfade {

// 6 MHz pixel clock, 384 x 264 pixels a frame: 59.1856 frames a second. The
// rate is kept as this exact fraction so that long runs do not drift.
inline constexpr std::int64_t kNeoGeoPixelClock = 6'000'000;
inline constexpr std::int64_t kNeoGeoPixelsPerFrame = 384 * 264;

inline constexpr int kMinFramesPerStep = 1;
inline constexpr int kMaxFramesPerStep = 60;
inline constexpr int kMaxHoldFrames = 600;

struct ArtPlayback {
    int steps = 16;        // P, the fade's palettes
    int framesPerStep = 1; // 1-60
    int holdStart = 0;     // extra frames on step 0, 0-600
    int holdEnd = 0;       // extra frames on the last step, 0-600
    bool thereAndBack = false;
};

// One shown step and how many frames it stays.
struct ArtShot {
    int step = 0;
    int frames = 0;

    bool operator==(const ArtShot&) const = default;
};

// The steps of one cycle in playing order: 0 to P - 1, then with
// thereAndBack P - 2 down to 1, so that a loop of the cycle shows neither end
// twice in a row. The holds lengthen the first and the last step.
std::vector<ArtShot> ArtCycle(const ArtPlayback& playback);

// Frames shown in `nanoseconds` of playing, rounded down.
std::int64_t FramesIn(std::int64_t nanoseconds);

// The whole frames of 1/100 s from the start to the end of frame `frames`,
// rounded to nearest.
std::int64_t CentisecondsAt(std::int64_t frames);

// The shot that frame `frame` of a looping cycle falls in (index into cycle).
std::size_t ShotAtFrame(const std::vector<ArtShot>& cycle, std::int64_t frame);

} // namespace palfade
