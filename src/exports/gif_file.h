#pragma once
// GIF animations through giflib: every frame carries its exact colours in
// its own colour table (nothing dithered or quantised), delays in 1/100 s.

#include "io/io_result.h"
#include "render/pixel_buffer.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace palfade {

inline constexpr int kGifMaxColours = 256;
// Browsers stretch shorter frames to 1/10 s.
inline constexpr int kGifMinDelay = 2;

// The delay of each frame, in 1/100 s, for frames lasting frames[k] frames
// of the Neo Geo's 59.1856 Hz: each delay carries its rounding error on, so
// the animation ends within 1/100 s of its true length, and no delay is
// under kGifMinDelay (then the whole runs longer).
std::vector<int> GifDelays(const std::vector<int>& frames);

// An animation that loops forever, written in memory as frames come.
class GifWriter {
public:
    // Every frame is `width` x `height` pixels, written with each pixel a
    // zoom x zoom block.
    GifWriter(int width, int height, int zoom);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // A frame of more than 256 colours fails naming its number (from 1) and
    // its count, and writes nothing; so does every frame after a failure.
    IoStatus AddFrame(const PixelBuffer& frame, int delayCentiseconds);
    // The file's bytes; fails when a frame failed or no frame was added.
    IoResult<QByteArray> Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace palfade
