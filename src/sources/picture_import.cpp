#include "sources/picture_import.h"

#include "pictures/picture_colors.h"
#include "pictures/picture_decoding.h"
#include "pictures/picture_tables.h"

#include <QFile>

namespace palfade {

namespace {

IoResult<SourcePalettes> Failed(const QString& reason)
{
    IoResult<SourcePalettes> result;
    result.error = reason;
    return result;
}

// The colours first seen in reading order, over the base palette.
IoResult<SourcePalettes> AppearancePalette(const QString& path, const SourceRequest& request)
{
    const IoResult<QImage> picture = LoadPicture(path);
    if (!picture.ok())
        return Failed(picture.error);
    IoResult<SourcePalettes> result;
    SourcePalette palette = PaletteOfWords(request.base);
    if (request.pictureWords == PictureWords::Ngdevkit) {
        ScanNgdevkitColors(PixelsOf(picture.value), palette);
    } else {
        ImportSlots& keys = result.value.importSlots.emplace();
        ScanPictureColors(PixelsOf(picture.value), request.levels.inverse, keys);
        ApplyPictureSlots(keys, palette);
    }
    result.value.palettes = {WordsOfPalette(palette)};
    return result;
}

// Palette K from entries 16K to 16K + 15 of the colour table as stored.
IoResult<SourcePalettes> TablePalettes(const QString& path, const SourceRequest& request)
{
    const IoResult<QImage> picture = LoadStoredPicture(path);
    if (!picture.ok())
        return Failed(picture.error);
    // The picture decodes; its table is read from the file as stored.
    std::optional<std::vector<std::uint32_t>> table;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        table = StoredColorTable(file);
    if (!table || table->empty())
        return Failed(QStringLiteral("%1 has no colour table: its pixels are colours, not table indices").arg(path));
    const std::span<const std::uint32_t> entries(*table);
    IoResult<SourcePalettes> result;
    std::vector<PaletteWords>& palettes = result.value.palettes;
    palettes.resize((entries.size() + kPaletteSize - 1) / kPaletteSize);
    ImportSlots keys{};
    for (std::size_t k = 0; k < palettes.size(); ++k) {
        SourcePalette palette = PaletteOfWords(request.base);
        if (request.pictureWords == PictureWords::Ngdevkit) {
            // ngdevkit's palette tool fills a palette the table does not
            // reach to its end with black, which it converts to $8000.
            for (std::size_t i = k * kPaletteSize; i < (k + 1) * kPaletteSize; ++i)
                palette[i % kPaletteSize] = NgdevkitEntry(i < entries.size() ? entries[i] : 0x000000u);
        } else {
            ScanColorTable(entries, k * kPaletteSize, request.levels.inverse, keys);
            ApplyPictureSlots(keys, palette);
        }
        palettes[k] = WordsOfPalette(palette);
    }
    return result;
}

} // namespace

IoResult<SourcePalettes> ReadPictureSource(const QString& path, const SourceRequest& request)
{
    IoResult<SourcePalettes> result = request.pictureOrder == PictureOrder::Appearance
                                          ? AppearancePalette(path, request)
                                          : TablePalettes(path, request);
    result.value.holder = path;
    return result;
}

} // namespace palfade
