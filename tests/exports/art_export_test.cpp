#include "exports/art_export.h"

#include "exports/file_formats.h"
#include "exports/gif_file.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include <vector>

namespace palfade {
namespace {

QString Fixture(const char* name)
{
    return QStringLiteral(PALFADE_TEST_DATA "/") + QLatin1String(name);
}

// Entry 3 (green in the fixtures) fades from white to black in 3 steps; the
// other 15 entries are black throughout.
FadeTable WhiteToBlackOnEntry3()
{
    SourcePalette top{};
    top[3] = {31, 31, 31, 0};
    FadeTable table;
    ComputeFade(FadeInputs{top, SourcePalette{}, 3}, table);
    return table;
}

ArtRequest Request(const QString& path, ArtFormat output)
{
    ArtRequest r;
    r.path = path;
    r.fades = {WhiteToBlackOnEntry3()};
    r.levels = LinearLevelSet();
    r.output = output;
    return r;
}

// palfade-cli's art formats write the files their extensions name.
TEST(ArtExport, EveryArtFormatWritesItsFile)
{
    const std::pair<const char*, QByteArray> signatures[] = {{"gif", "GIF8"}, {"png", "\x89PNG\r\n\x1A\n"}};
    for (const FileFormat* format : kArtCliFormats) {
        SCOPED_TRACE(format->cliName);
        const IoResult<ArtBytes> art = ExportArt(Request(Fixture("table_order.png"), *format->artExport));
        ASSERT_TRUE(art.ok()) << art.error.toStdString();
        for (const auto& [extension, signature] : signatures)
            EXPECT_EQ(art.value.bytes.startsWith(signature), format->extensions[0] == std::string_view(extension));
    }
}

TEST(ArtExport, IndexedPicturesKeepTheirTableIndices)
{
    // The fixtures' pixels use indices 3, 1, 19, 3 / 0, 0, 2, 17 (the 4-bit
    // one 3, 1, 5, 3 / 0, 0, 2, 4).
    const struct {
        const char* file;
        std::vector<std::uint8_t> indices;
        int palettes;
    } rows[] = {
        {"table_order.png", {3, 1, 19, 3, 0, 0, 2, 17}, 2},
        {"table_order_4bit.png", {3, 1, 5, 3, 0, 0, 2, 4}, 1},
        {"table_order.gif", {3, 1, 19, 3, 0, 0, 2, 17}, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const IoResult<ArtPicture> art = LoadArt(Fixture(row.file));
        ASSERT_TRUE(art.ok()) << art.error.toStdString();
        EXPECT_EQ(art.value.width, 4);
        EXPECT_EQ(art.value.height, 2);
        EXPECT_EQ(art.value.indices, row.indices);
        EXPECT_EQ(art.value.paletteCount(), row.palettes);
        EXPECT_EQ(art.value.table[1], 0xFFFF0000u);
    }
}

TEST(ArtExport, BadInputFailsWithTheReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString trueColour = dir.filePath("true.png");
    QImage small(2, 1, QImage::Format_RGB32);
    small.setPixel(0, 0, 0xFFFFFFFF);
    small.setPixel(1, 0, 0xFF123456);
    ASSERT_TRUE(small.save(trueColour));
    const QString wide = dir.filePath("wide.png");
    ASSERT_TRUE(QImage(4097, 1, QImage::Format_RGB32).save(wide));
    const QString colourful = dir.filePath("colourful.png");
    QImage many(300, 1, QImage::Format_RGB32);
    for (int x = 0; x < 300; ++x)
        many.setPixel(x, 0, 0xFF000000u | static_cast<unsigned>(x * 97));
    ASSERT_TRUE(many.save(colourful));

    const struct {
        const char* name;
        QString path;
        int artPalette;
        ArtFormat output;
        QString error;
    } rows[] = {
        {"missing", dir.filePath("none.png"), 0, ArtFormat::Gif,
         QStringLiteral("cannot open %1: No such file or directory").arg(dir.filePath("none.png"))},
        {"palette of a true-colour picture", trueColour, 1, ArtFormat::Gif,
         QStringLiteral("%1 has no colour table: art palette 1 needs one (its pixels are colours, matched to "
                        "Palette 1 as palette 0)")
             .arg(trueColour)},
        {"palette past the table", Fixture("table_order.png"), 2, ArtFormat::Sheet,
         QStringLiteral("%1 has no art palette 2: its colour table of 20 entries holds palettes 0-1")
             .arg(Fixture("table_order.png"))},
        {"too wide", wide, 0, ArtFormat::Sheet,
         QStringLiteral("%1 is 4097 x 1 pixels; art may be at most 4096 x 4096").arg(wide)},
        {"too many colours for a GIF", colourful, 0, ArtFormat::Gif,
         QStringLiteral("frame 1 has 300 colours; a GIF frame holds at most 256: write a sheet instead "
                        "(--format png)")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ArtRequest r = Request(row.path, row.output);
        r.artPalette = row.artPalette;
        const IoResult<ArtBytes> result = ExportArt(r);
        EXPECT_EQ(result.error.toStdString(), row.error.toStdString());
    }
    // The same colours fit a sheet, and the unmatched pixels are counted.
    const IoResult<ArtBytes> sheet = ExportArt(Request(colourful, ArtFormat::Sheet));
    ASSERT_TRUE(sheet.ok()) << sheet.error.toStdString();
    EXPECT_EQ(sheet.value.warning, QStringLiteral("300 pixels match no colour of Palette 1"));
    EXPECT_EQ(UnmatchedPixelsText(1234), QStringLiteral("1,234 pixels match no colour of Palette 1"));
    EXPECT_EQ(UnmatchedPixelsText(1), QStringLiteral("1 pixel matches no colour of Palette 1"));
}

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kGrey = 0xFF848484;
constexpr QRgb kBlack = 0xFF000000;

TEST(ArtExport, SheetOfEveryStepLeftToRightThenDown)
{
    ArtRequest r = Request(Fixture("table_order.png"), ArtFormat::Sheet);
    r.columns = 2;
    const IoResult<ArtBytes> result = ExportArt(r);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_TRUE(result.value.warning.isEmpty());
    const QImage sheet = QImage::fromData(result.value.bytes, "PNG").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(sheet.size(), QSize(8, 4));
    // Each 4 x 2 cell's top-left pixel (index 3) shows its step; pixel 2 of
    // row 0 is index 19, white in every drawn step and black in the fourth
    // cell, left empty. The recolouring itself is the renderer's.
    const QRgb corners[] = {kWhite, kGrey, kBlack, kBlack};
    const QRgb index19[] = {kWhite, kWhite, kWhite, kBlack};
    for (int cell = 0; cell < 4; ++cell) {
        const int x = (cell % 2) * 4, y = (cell / 2) * 2;
        EXPECT_EQ(sheet.pixel(x, y), corners[cell]) << "cell " << cell;
        EXPECT_EQ(sheet.pixel(x + 2, y), index19[cell]) << "cell " << cell;
    }

    // The default: one row of every step when there are 8 or fewer.
    r.columns = 0;
    r.zoom = 2;
    EXPECT_EQ(QImage::fromData(ExportArt(r).value.bytes, "PNG").size(), QSize(24, 4));
}

TEST(ArtExport, GifFramesFollowThePlayback)
{
    ArtRequest r = Request(Fixture("table_order.gif"), ArtFormat::Gif);
    r.playback = ArtPlayback{0, 2, 3, 0, true}; // steps come from the fade
    const IoResult<ArtBytes> result = ExportArt(r);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    // Steps 0, 1, 2, 1 for 5, 2, 2, 2 frames end at 8.45, 11.83, 15.21, 18.59 cs.
    const QByteArray& gif = result.value.bytes;
    // The control block: introducer, label, size, "leave in place", delay.
    const QByteArray controls[] = {QByteArray("\x21\xF9\x04\x04\x08\x00", 6),
                                   QByteArray("\x21\xF9\x04\x04\x04\x00", 6),
                                   QByteArray("\x21\xF9\x04\x04\x03\x00", 6)};
    EXPECT_EQ(gif.count(QByteArray("\x21\xF9\x04", 3)), 4);
    qsizetype at = 0;
    for (const QByteArray& control : {controls[0], controls[1], controls[2], controls[1]}) {
        at = gif.indexOf(control, at);
        ASSERT_GE(at, 0);
        ++at;
    }
}

// A watcher sees the frames counted and stops the export before the next
// frame: nothing is produced.
TEST(ArtExport, AWatcherCountsFramesAndStopsTheExport)
{
    for (const ArtFormat output : {ArtFormat::Gif, ArtFormat::Sheet}) {
        SCOPED_TRACE(static_cast<int>(output));
        ArtProgress progress;
        ArtRequest r = Request(Fixture("table_order.png"), output);
        r.progress = &progress;
        ASSERT_TRUE(ExportArt(r).ok());
        EXPECT_EQ(progress.total, 3);
        progress.cancelled = true;
        const IoResult<ArtBytes> stopped = ExportArt(r);
        EXPECT_EQ(stopped.error, QLatin1String(kArtExportStopped));
        EXPECT_TRUE(stopped.value.bytes.isEmpty());
    }
}

} // namespace
} // namespace palfade
