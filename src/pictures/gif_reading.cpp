#include "pictures/gif_reading.h"

#include <QBuffer>

#include <gif_lib.h>

#include <functional>

namespace palfade {

QString GifErrorText(int code)
{
    const char* text = GifErrorString(code);
    return QString::fromLatin1(text != nullptr ? text : "unknown error");
}

namespace {

int ReadFromDevice(GifFileType* gif, GifByteType* out, int length)
{
    const qint64 n = static_cast<QIODevice*>(gif->UserData)->read(reinterpret_cast<char*>(out), length);
    return n > 0 ? static_cast<int>(n) : 0;
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

// Where row y of the image goes; a null row refuses the image with `why`.
struct RowTarget {
    std::function<GifPixelType*(int y)> row;
    QString why;
};

// The first image, its descriptor handed to `start`, which gives where its
// rows go; the reason when it fails.
QString DecodeFirstImage(QIODevice& device, const std::function<RowTarget(const GifFileType&)>& start)
{
    int code = 0;
    GifFileType* gif = DGifOpen(&device, &ReadFromDevice, &code);
    if (gif == nullptr)
        return GifErrorText(code);
    auto fail = [&](const QString& reason) {
        DGifCloseFile(gif, nullptr);
        return reason;
    };
    for (;;) {
        GifRecordType record = TERMINATE_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return fail(GifErrorText(gif->Error));
        if (record == TERMINATE_RECORD_TYPE)
            return fail(QStringLiteral("it holds no image"));
        if (record == EXTENSION_RECORD_TYPE) {
            int extCode = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &extCode, &block) != GIF_OK)
                return fail(GifErrorText(gif->Error));
            while (block != nullptr)
                if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                    return fail(GifErrorText(gif->Error));
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif) != GIF_OK)
            return fail(GifErrorText(gif->Error));
        const RowTarget target = start(*gif);
        if (!target.why.isEmpty())
            return fail(target.why);
        const GifImageDesc& desc = gif->Image;
        auto readRow = [&](int y) { return DGifGetLine(gif, target.row(y), desc.Width) == GIF_OK; };
        bool ok = true;
        if (desc.Interlace) {
            // Rows come in four passes: every 8th from 0, every 8th from 4,
            // every 4th from 2, every 2nd from 1.
            static constexpr int kStart[] = {0, 4, 2, 1};
            static constexpr int kStep[] = {8, 8, 4, 2};
            for (int pass = 0; ok && pass < 4; ++pass)
                for (int y = kStart[pass]; ok && y < desc.Height; y += kStep[pass])
                    ok = readRow(y);
        } else {
            for (int y = 0; ok && y < desc.Height; ++y)
                ok = readRow(y);
        }
        if (!ok)
            return fail(GifErrorText(gif->Error));
        DGifCloseFile(gif, nullptr);
        return {};
    }
}

} // namespace

IoResult<GifIndexedImage> ReadGifFirstImage(const QByteArray& bytes, const QString& name, int largestSide)
{
    IoResult<GifIndexedImage> result;
    GifIndexedImage& image = result.value;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QString why = DecodeFirstImage(buffer, [&](const GifFileType& gif) {
        image.width = gif.Image.Width;
        image.height = gif.Image.Height;
        if (image.width <= 0 || image.height <= 0 || image.width > largestSide ||
            image.height > largestSide)
            return RowTarget{{}, QStringLiteral("its first image is %1 x %2 pixels").arg(image.width).arg(image.height)};
        image.table = TableOf(gif.Image.ColorMap != nullptr ? gif.Image.ColorMap : gif.SColorMap);
        if (image.table.empty())
            return RowTarget{{}, QStringLiteral("it has no colour table")};
        image.indices.resize(static_cast<std::size_t>(image.width) * image.height);
        return RowTarget{[&](int y) { return image.indices.data() + static_cast<std::size_t>(y) * image.width; }, {}};
    });
    if (!why.isEmpty()) {
        result.error = QStringLiteral("cannot decode GIF %1: %2").arg(name, why);
        result.value = {};
    }
    return result;
}

IoStatus CheckGifFirstImage(QIODevice& device)
{
    std::vector<GifPixelType> row;
    const QString why = DecodeFirstImage(device, [&](const GifFileType& gif) {
        // A side is 16 bits: one row is at most 64 KiB.
        row.resize(static_cast<std::size_t>(std::max(gif.Image.Width, 1)));
        return RowTarget{[&](int) { return row.data(); }, {}};
    });
    return why.isEmpty() ? IoStatus::Success() : IoStatus::Failure(why);
}

} // namespace palfade
