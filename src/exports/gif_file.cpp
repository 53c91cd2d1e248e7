#include "exports/gif_file.h"

#include "core/art_timeline.h"
#include "pictures/gif_reading.h"
#include "render/art_recolour.h"

#include <gif_lib.h>

#include <algorithm>
#include <unordered_map>

namespace palfade {

std::vector<int> GifDelays(const std::vector<int>& frames)
{
    std::vector<int> delays;
    delays.reserve(frames.size());
    std::int64_t shownFrames = 0;
    std::int64_t written = 0; // centiseconds
    for (const int f : frames) {
        shownFrames += f;
        const std::int64_t delay = std::max<std::int64_t>(kGifMinDelay, CentisecondsAt(shownFrames) - written);
        written += delay;
        delays.push_back(static_cast<int>(delay));
    }
    return delays;
}

namespace {

int AppendOutput(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

} // namespace

struct GifWriter::State {
    int width = 0;
    int height = 0;
    int zoom = 1;
    int frames = 0;
    QByteArray bytes;
    GifFileType* gif = nullptr;
    QString error;
    std::unordered_map<std::uint32_t, std::uint8_t> colourSlots;
    std::vector<GifPixelType> frameIndices;
    std::vector<GifPixelType> line;

    bool Fail(const QString& reason)
    {
        if (error.isEmpty())
            error = reason;
        return false;
    }
    bool Check(int result)
    {
        return result == GIF_OK || Fail(QStringLiteral("cannot write GIF: %1").arg(GifErrorText(gif->Error)));
    }

    bool Start()
    {
        int code = 0;
        gif = EGifOpen(&bytes, &AppendOutput, &code);
        if (gif == nullptr)
            return Fail(QStringLiteral("cannot write GIF: %1").arg(GifErrorText(code)));
        EGifSetGifVersion(gif, true);
        // No global table: every frame brings its own.
        if (!Check(EGifPutScreenDesc(gif, width * zoom, height * zoom, 8, 0, nullptr)))
            return false;
        // The application extension that makes browsers loop forever.
        static const GifByteType kLoopForever[] = {1, 0, 0};
        return Check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE)) &&
               Check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0")) &&
               Check(EGifPutExtensionBlock(gif, sizeof kLoopForever, kLoopForever)) &&
               Check(EGifPutExtensionTrailer(gif));
    }

    bool Add(const PixelBuffer& frame, int delay)
    {
        ++frames;
        if (!error.isEmpty())
            return false;
        if (frame.width != width || frame.height != height || frame.pixels.size() != std::size_t(width) * height)
            return Fail(QStringLiteral("frame %1 is %2 x %3 pixels, not %4 x %5")
                            .arg(frames)
                            .arg(frame.width)
                            .arg(frame.height)
                            .arg(width)
                            .arg(height));
        // The frame's colours in order of first use, each pixel its table index.
        colourSlots.clear();
        std::vector<GifColorType> colours;
        frameIndices.resize(frame.pixels.size());
        std::uint32_t previous = 0;
        std::uint8_t previousSlot = 0;
        int distinct = 0;
        for (std::size_t p = 0; p < frame.pixels.size(); ++p) {
            const std::uint32_t rgb = frame.pixels[p] & 0xFFFFFFu;
            if (p == 0 || rgb != previous) {
                const auto [it, added] = colourSlots.try_emplace(rgb, static_cast<std::uint8_t>(distinct & 0xFF));
                if (added) {
                    ++distinct;
                    if (distinct <= kGifMaxColours)
                        colours.push_back(GifColorType{static_cast<GifByteType>(rgb >> 16),
                                                       static_cast<GifByteType>(rgb >> 8),
                                                       static_cast<GifByteType>(rgb)});
                }
                previous = rgb;
                previousSlot = it->second;
            }
            frameIndices[p] = previousSlot;
        }
        if (distinct > kGifMaxColours)
            return Fail(QStringLiteral("frame %1 has %2 colours; a GIF frame holds at most %3")
                            .arg(frames)
                            .arg(distinct)
                            .arg(kGifMaxColours));

        // A table of 2^n entries, at least 2; the unused ones stay black.
        const int tableSize = 1 << GifBitSize(std::max(distinct, 2));
        colours.resize(static_cast<std::size_t>(tableSize), GifColorType{0, 0, 0});
        ColorMapObject* map = GifMakeMapObject(tableSize, colours.data());
        if (map == nullptr)
            return Fail(QStringLiteral("cannot write GIF: out of memory"));

        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = std::clamp(delay, 0, 0xFFFF);
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const std::size_t extensionSize = EGifGCBToExtension(&control, extension);
        bool ok = Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extensionSize), extension)) &&
                  Check(EGifPutImageDesc(gif, 0, 0, width * zoom, height * zoom, false, map));
        GifFreeMapObject(map);
        line.resize(static_cast<std::size_t>(width * zoom));
        for (int y = 0; ok && y < height; ++y) {
            const GifPixelType* in = frameIndices.data() + static_cast<std::size_t>(y) * width;
            for (int x = 0; x < width; ++x)
                std::fill_n(line.data() + static_cast<std::size_t>(x) * zoom, zoom, in[x]);
            for (int r = 0; ok && r < zoom; ++r)
                ok = Check(EGifPutLine(gif, line.data(), width * zoom));
        }
        return ok;
    }
};

GifWriter::GifWriter(int width, int height, int zoom) : state_(std::make_unique<State>())
{
    state_->width = width;
    state_->height = height;
    state_->zoom = std::clamp(zoom, 1, 4);
    if (width <= 0 || height <= 0)
        state_->Fail(QStringLiteral("cannot write GIF: the picture is empty"));
    else
        state_->Start();
}

GifWriter::~GifWriter()
{
    if (state_->gif != nullptr)
        EGifCloseFile(state_->gif, nullptr);
}

IoStatus GifWriter::AddFrame(const PixelBuffer& frame, int delayCentiseconds)
{
    return state_->Add(frame, delayCentiseconds) ? IoStatus::Success() : IoStatus::Failure(state_->error);
}

IoResult<QByteArray> GifWriter::Finish()
{
    IoResult<QByteArray> result;
    if (state_->error.isEmpty() && state_->frames == 0)
        state_->Fail(QStringLiteral("cannot write GIF: no frame"));
    if (state_->gif != nullptr) {
        int code = 0;
        const int closed = EGifCloseFile(state_->gif, &code);
        state_->gif = nullptr;
        if (closed != GIF_OK)
            state_->Fail(QStringLiteral("cannot write GIF: %1").arg(GifErrorText(code)));
    }
    if (!state_->error.isEmpty()) {
        result.error = state_->error;
        return result;
    }
    result.value = std::move(state_->bytes);
    return result;
}

} // namespace palfade
