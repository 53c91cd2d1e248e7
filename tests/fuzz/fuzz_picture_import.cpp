// Any bytes as a picture file: the colour table as stored, then decode (BMP,
// JPEG, PNG, GIF by content), scan through both level sets, apply. A failure
// must leave the palette alone.

#include "pictures/picture_tables.h"
#include "pictures/picture_decoding.h"
#include "sources/picture_import.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdint>
#include <cstdlib>

namespace {

void QuietQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

// The decoders log every broken input; printing them would be most of the
// run.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(QuietQtMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (const auto table = palfade::StoredColorTable(buffer); table && table->size() > 256)
        std::abort();
    // Pictures of up to 8192 x 8192 pixels decode; a few KiB can claim that
    // much, and the time goes to small pictures instead.
    buffer.seek(0);
    const QSize claimed = QImageReader(&buffer).size();
    if (qint64{claimed.width()} * claimed.height() > 1024 * 1024)
        return 0;
    const palfade::IoResult<QImage> picture = palfade::DecodePicture(bytes, QStringLiteral("input"));
    if (!picture.ok()) {
        if (picture.error.isEmpty())
            std::abort();
        return 0;
    }
    for (bool hardware : {false, true}) {
        const palfade::LevelTable& levels = hardware ? palfade::HardwareLevelSet() : palfade::LinearLevelSet();
        palfade::ImportSlots slotKeys{};
        palfade::ScanPictureColors(palfade::PixelsOf(picture.value), levels.inverse, slotKeys);
        palfade::SourcePalette palette{};
        palfade::ApplyPictureSlots(slotKeys, palette);
        for (const palfade::PaletteEntry& e : palette)
            if (e.red < 0 || e.red > 31 || e.green < 0 || e.green > 31 || e.blue < 0 || e.blue > 31 ||
                (e.dark != 0 && e.dark != 1))
                std::abort();
    }
    return 0;
}
