#include "sources/picture_import.h"

#include "pictures/picture_colors.h"
#include "pictures/picture_decoding.h"
#include "pictures/picture_tables.h"

#include <QFile>

#include <algorithm>

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
    // ngdevkit's palette tool fills a palette the table does not reach to
    // its end with black, which it converts as any colour (to $8000).
    if (request.pictureWords == PictureWords::Ngdevkit)
        table->resize((table->size() + kPaletteSize - 1) / kPaletteSize * kPaletteSize, 0x000000u);
    IoResult<SourcePalettes> result;
    result.value.palettes = PalettesOfColors(*table, request);
    return result;
}

} // namespace

std::vector<PaletteWords> PalettesOfColors(std::span<const std::uint32_t> colors, const SourceRequest& request,
                                           int paletteSize, int firstEntry, ColourMatch match)
{
    const auto size = static_cast<std::size_t>(std::clamp(paletteSize, 1, kPaletteSize));
    const auto first = static_cast<std::size_t>(std::clamp(firstEntry, 0, kPaletteSize - static_cast<int>(size)));
    std::vector<PaletteWords> palettes((colors.size() + size - 1) / size);
    for (std::size_t k = 0; k < palettes.size(); ++k) {
        const std::span<const std::uint32_t> part = colors.subspan(k * size, std::min(size, colors.size() - k * size));
        SourcePalette palette = PaletteOfWords(request.base);
        if (request.pictureWords == PictureWords::Ngdevkit) {
            for (std::size_t i = 0; i < part.size(); ++i)
                palette[first + i] = NgdevkitEntry(part[i]);
        } else {
            ImportSlots keys{};
            ScanColorTable(part, 0, request.levels.inverse, keys);
            ImportSlots placed{};
            placed.fill(kEmptySlot);
            std::copy_n(keys.begin(), size, placed.begin() + static_cast<std::ptrdiff_t>(first));
            ApplyPictureSlots(placed, palette);
            if (match == ColourMatch::Exact)
                for (std::size_t i = 0; i < part.size(); ++i)
                    if (const std::optional<PaletteEntry> exact = ExactColourEntry(part[i], request.levels))
                        palette[first + i] = *exact;
        }
        palettes[k] = WordsOfPalette(palette);
    }
    return palettes;
}

IoResult<SourcePalettes> ReadPictureSource(const QString& path, const SourceRequest& request)
{
    IoResult<SourcePalettes> result = request.pictureOrder == PictureOrder::Appearance
                                          ? AppearancePalette(path, request)
                                          : TablePalettes(path, request);
    result.value.holder = path;
    return result;
}

} // namespace palfade
