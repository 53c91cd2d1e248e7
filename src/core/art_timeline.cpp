#include "core/art_timeline.h"

#include <algorithm>

namespace palfade {

std::vector<ArtShot> ArtCycle(const ArtPlayback& playback)
{
    const int steps = std::max(1, playback.steps);
    std::vector<ArtShot> cycle;
    cycle.reserve(static_cast<std::size_t>(2 * steps));
    for (int s = 0; s < steps; ++s)
        cycle.push_back({s, playback.framesPerStep});
    if (playback.thereAndBack)
        for (int s = steps - 2; s >= 1; --s)
            cycle.push_back({s, playback.framesPerStep});
    cycle.front().frames += playback.holdStart;
    cycle[static_cast<std::size_t>(steps - 1)].frames += playback.holdEnd;
    return cycle;
}

std::int64_t FramesIn(std::int64_t nanoseconds)
{
    // A frame lasts pixels * 1e9 / clock = 16,896,000 ns exactly.
    constexpr std::int64_t kFrameNanoseconds = kNeoGeoPixelsPerFrame * 1'000'000'000 / kNeoGeoPixelClock;
    static_assert(kFrameNanoseconds * kNeoGeoPixelClock == kNeoGeoPixelsPerFrame * 1'000'000'000);
    return std::max<std::int64_t>(0, nanoseconds) / kFrameNanoseconds;
}

std::int64_t CentisecondsAt(std::int64_t frames)
{
    // frames * 100 * pixels / clock, rounded half up.
    const std::int64_t numerator = frames * 100 * kNeoGeoPixelsPerFrame;
    return (2 * numerator + kNeoGeoPixelClock) / (2 * kNeoGeoPixelClock);
}

std::size_t ShotAtFrame(const std::vector<ArtShot>& cycle, std::int64_t frame)
{
    std::int64_t length = 0;
    for (const ArtShot& shot : cycle)
        length += shot.frames;
    if (cycle.empty() || length <= 0)
        return 0;
    std::int64_t at = frame % length;
    for (std::size_t k = 0; k < cycle.size(); ++k) {
        if (at < cycle[k].frames)
            return k;
        at -= cycle[k].frames;
    }
    return cycle.size() - 1;
}

} // namespace palfade
