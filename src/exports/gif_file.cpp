#include "exports/gif_file.h"

#include "core/art_timeline.h"
#include "render/art_recolour.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
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

QString GifError(int code)
{
    const char* text = GifErrorString(code);
    return QString::fromLatin1(text != nullptr ? text : "unknown error");
}

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
        return result == GIF_OK || Fail(QStringLiteral("cannot write GIF: %1").arg(GifError(gif->Error)));
    }

    bool Start()
    {
        int code = 0;
        gif = EGifOpen(&bytes, &AppendOutput, &code);
        if (gif == nullptr)
            return Fail(QStringLiteral("cannot write GIF: %1").arg(GifError(code)));
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
            state_->Fail(QStringLiteral("cannot write GIF: %1").arg(GifError(code)));
    }
    if (!state_->error.isEmpty()) {
        result.error = state_->error;
        return result;
    }
    result.value = std::move(state_->bytes);
    return result;
}

namespace {

struct ReadCursor {
    const QByteArray* bytes;
    qsizetype at = 0;
};

int ReadInput(GifFileType* gif, GifByteType* out, int length)
{
    auto* cursor = static_cast<ReadCursor*>(gif->UserData);
    const qsizetype n = std::min<qsizetype>(length, cursor->bytes->size() - cursor->at);
    if (n <= 0)
        return 0;
    std::memcpy(out, cursor->bytes->constData() + cursor->at, static_cast<std::size_t>(n));
    cursor->at += n;
    return static_cast<int>(n);
}

std::vector<std::uint32_t> TableOf(const ColorMapObject* map)
{
    std::vector<std::uint32_t> table;
    if (map == nullptr)
        return table;
    for (int k = 0; k < map->ColorCount; ++k) {
        const GifColorType& c = map->Colors[k];
        table.push_back(0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue);
    }
    return table;
}

} // namespace

IoResult<GifIndexedImage> ReadGifFirstImage(const QByteArray& bytes, const QString& name)
{
    IoResult<GifIndexedImage> result;
    ReadCursor cursor{&bytes};
    int code = 0;
    GifFileType* gif = DGifOpen(&cursor, &ReadInput, &code);
    if (gif == nullptr) {
        result.error = QStringLiteral("cannot decode GIF %1: %2").arg(name, GifError(code));
        return result;
    }
    auto fail = [&](const QString& reason) {
        result.error = QStringLiteral("cannot decode GIF %1: %2").arg(name, reason);
        DGifCloseFile(gif, nullptr);
        return result;
    };
    for (;;) {
        GifRecordType record = TERMINATE_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return fail(GifError(gif->Error));
        if (record == TERMINATE_RECORD_TYPE)
            return fail(QStringLiteral("it holds no image"));
        if (record == EXTENSION_RECORD_TYPE) {
            int extCode = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &extCode, &block) != GIF_OK)
                return fail(GifError(gif->Error));
            while (block != nullptr)
                if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                    return fail(GifError(gif->Error));
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif) != GIF_OK)
            return fail(GifError(gif->Error));
        const GifImageDesc& desc = gif->Image;
        GifIndexedImage& image = result.value;
        image.width = desc.Width;
        image.height = desc.Height;
        if (image.width <= 0 || image.height <= 0 || image.width > kMaxArtSide || image.height > kMaxArtSide)
            return fail(QStringLiteral("its first image is %1 x %2 pixels").arg(image.width).arg(image.height));
        image.table = TableOf(desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap);
        if (image.table.empty())
            return fail(QStringLiteral("it has no colour table"));
        image.indices.resize(static_cast<std::size_t>(image.width) * image.height);
        auto readRow = [&](int y) {
            return DGifGetLine(gif, image.indices.data() + static_cast<std::size_t>(y) * image.width, image.width) ==
                   GIF_OK;
        };
        bool ok = true;
        if (desc.Interlace) {
            // Rows come in four passes: every 8th from 0, every 8th from 4,
            // every 4th from 2, every 2nd from 1.
            static constexpr int kStart[] = {0, 4, 2, 1};
            static constexpr int kStep[] = {8, 8, 4, 2};
            for (int pass = 0; ok && pass < 4; ++pass)
                for (int y = kStart[pass]; ok && y < image.height; y += kStep[pass])
                    ok = readRow(y);
        } else {
            for (int y = 0; ok && y < image.height; ++y)
                ok = readRow(y);
        }
        if (!ok)
            return fail(GifError(gif->Error));
        DGifCloseFile(gif, nullptr);
        return result;
    }
}

} // namespace palfade
