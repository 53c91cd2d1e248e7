// Any bytes as a picture file: decode (BMP, JPEG, PNG, GIF by content), scan
// through both level sets, apply. A failure must leave the palette alone.

#include "pictures/picture_import.h"

#include <QImageReader>

#include <cstdint>
#include <cstdlib>

namespace {

void QuietQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

// The decoders log every broken input; printing them would be most of the
// run. A lower allocation limit keeps the time on decoding rather than on
// scanning huge flat pictures, and exercises the limit more often.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(QuietQtMessages);
    QImageReader::setAllocationLimit(16);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
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
