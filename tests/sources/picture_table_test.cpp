#include "sources/picture_import.h"
#include "support/picture_bytes.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace palfade {
namespace {

using Words = std::vector<HwColor>;

QString Fixture(const char* name)
{
    return QStringLiteral(PALFADE_TEST_DATA "/") + QLatin1String(name);
}

// Every palette of a picture read as SRC is, over black.
IoResult<std::vector<SourcePalette>> PicturePalettes(const QString& path, const LevelTable& levels, PictureOrder order,
                                                     PictureWords words = PictureWords::Levels)
{
    SourceRequest request;
    request.kind = SourceKind::Picture;
    request.levels = levels;
    request.pictureOrder = order;
    request.pictureWords = words;
    const IoResult<SourcePalettes> read = ReadSource(SourceOrigin::File(path), request);
    IoResult<std::vector<SourcePalette>> result;
    for (const PaletteWords& palette : read.value.palettes)
        result.value.push_back(PaletteOfWords(palette));
    result.error = read.error;
    return result;
}

Words WordsOf(const SourcePalette& palette)
{
    Words words;
    for (const PaletteEntry& e : palette)
        words.push_back(EncodeHwColor(e));
    return words;
}

// With the linear set: blue 100F, red 4F00, white 7FFF, green 20F0, black
// 8000, grey 128 8888, yellow 6FF0, cyan 30FF, magenta 5F0F; 0000 is an entry
// no colour reached.
const Words kFirstSixteen{0x100F, 0x4F00, 0x7FFF, 0x20F0, 0x8000, 0x8888, 0x6FF0, 0x6FF0,
                          0x6FF0, 0x6FF0, 0x6FF0, 0x6FF0, 0x6FF0, 0x6FF0, 0x6FF0, 0x6FF0};

TEST(PicturePalettes, TableOrderOfIndexedPictures)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // An 8-bit BMP whose pixels use its table backwards.
    QImage indexed(3, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(128, 128, 128), qRgb(0, 0, 255)});
    for (int x = 0; x < 3; ++x)
        indexed.setPixel(x, 0, static_cast<uint>(2 - x));
    const QString bmp = dir.filePath(QStringLiteral("indexed.bmp"));
    ASSERT_TRUE(indexed.save(bmp));
    const QString mono = dir.filePath(QStringLiteral("mono.bmp"));
    QFile monoFile(mono);
    ASSERT_TRUE(monoFile.open(QIODevice::WriteOnly));
    monoFile.write(test::Bmp(1, {0x000000, 0xFFFFFF}));
    monoFile.close();

    const struct {
        QString path;
        PictureOrder order;
        std::vector<Words> expected;
    } rows[] = {
        {Fixture("table_order.png"), PictureOrder::Table,
         {kFirstSixteen, {0x30FF, 0x5F0F, 0x8888, 0x7FFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}},
        {Fixture("table_order.png"), PictureOrder::Appearance,
         {{0x20F0, 0x4F00, 0x7FFF, 0x100F, 0x5F0F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}},
        {Fixture("table_order_4bit.png"), PictureOrder::Table,
         {{0x100F, 0x4F00, 0x7FFF, 0x20F0, 0x8000, 0x8888, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}},
        // A GIF's table holds a power of two entries: the black ones filling
        // it are colours of the file.
        {Fixture("table_order.gif"), PictureOrder::Table,
         {kFirstSixteen, {0x30FF, 0x5F0F, 0x8888, 0x7FFF, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000,
                          0x8000, 0x8000, 0x8000, 0x8000, 0x8000}}},
        {bmp, PictureOrder::Table, {{0x4F00, 0x8888, 0x100F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}},
        {bmp, PictureOrder::Appearance, {{0x100F, 0x8888, 0x4F00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}},
        {mono, PictureOrder::Table, {{0x8000, 0x7FFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}},
    };
    for (const auto& row : rows) {
        const IoResult<std::vector<SourcePalette>> got = PicturePalettes(row.path, LinearLevelSet(), row.order);
        ASSERT_TRUE(got.ok()) << got.error.toStdString();
        std::vector<Words> words;
        for (const SourcePalette& palette : got.value)
            words.push_back(WordsOf(palette));
        EXPECT_EQ(words, row.expected) << row.path.toStdString() << " order " << static_cast<int>(row.order);
    }
}

TEST(PicturePalettes, NgdevkitWords)
{
    // Each channel >> 2 to six bits; dark only when all three are even; the
    // level is the six bits >> 1. Grey 128 and black keep their words, near
    // black (8,8,8) turns dark where the level tables read it lighter. The
    // entries past the table's 6 are black, $8000, as ngdevkit's tool pads them.
    const std::vector<QRgb> table{qRgb(255, 0, 0), qRgb(8, 8, 8),     qRgb(100, 50, 200),
                                  qRgb(4, 4, 6),   qRgb(128, 128, 128), qRgb(0, 0, 0)};
    Words expected(16, 0x8000);
    std::copy_n(Words{0x4F00, 0xF000, 0x163C, 0x0000, 0x8888}.begin(), 5, expected.begin());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage indexed(6, 1, QImage::Format_Indexed8);
    indexed.setColorTable(QList<QRgb>(table.begin(), table.end()));
    for (int x = 0; x < 6; ++x)
        indexed.setPixel(x, 0, static_cast<uint>(5 - x));
    const QString png = dir.filePath(QStringLiteral("ngdevkit.png"));
    ASSERT_TRUE(indexed.save(png));

    const IoResult<std::vector<SourcePalette>> byTable =
        PicturePalettes(png, LinearLevelSet(), PictureOrder::Table, PictureWords::Ngdevkit);
    ASSERT_TRUE(byTable.ok()) << byTable.error.toStdString();
    ASSERT_EQ(byTable.value.size(), 1u);
    EXPECT_EQ(WordsOf(byTable.value.front()), expected);
    EXPECT_NE(WordsOf(PicturePalettes(png, LinearLevelSet(), PictureOrder::Table).value.front()), expected);

    // In order of appearance: the pixels use the table backwards.
    const IoResult<std::vector<SourcePalette>> byPixels =
        PicturePalettes(png, LinearLevelSet(), PictureOrder::Appearance, PictureWords::Ngdevkit);
    ASSERT_TRUE(byPixels.ok()) << byPixels.error.toStdString();
    EXPECT_EQ(WordsOf(byPixels.value.front()),
              (Words{0x8000, 0x8888, 0x0000, 0x163C, 0xF000, 0x4F00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(PicturePalettes, TableOrderNeedsAColourTable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage trueColour(2, 1, QImage::Format_RGB32);
    trueColour.fill(Qt::red);
    const QString png = dir.filePath(QStringLiteral("true.png"));
    ASSERT_TRUE(trueColour.save(png));
    const QString broken = dir.filePath(QStringLiteral("broken.png"));
    QFile f(broken);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x89PNG\r\n\x1a\nnot really");
    f.close();
    // Qt's reader gives a 1-bit greyscale PNG a black and white table.
    const QString grey = dir.filePath(QStringLiteral("grey.png"));
    QFile greyFile(grey);
    ASSERT_TRUE(greyFile.open(QIODevice::WriteOnly));
    greyFile.write(test::Png(1, 0, std::nullopt));
    greyFile.close();

    const struct {
        QString path;
        QString error;
    } rows[] = {
        {png, png + QStringLiteral(" has no colour table: its pixels are colours, not table indices")},
        {grey, grey + QStringLiteral(" has no colour table: its pixels are colours, not table indices")},
        {broken, QStringLiteral("cannot decode picture ") + broken},
        {dir.filePath(QStringLiteral("none.gif")), QStringLiteral("cannot open ") + dir.filePath(QStringLiteral("none.gif"))},
    };
    for (const auto& row : rows) {
        const IoResult<std::vector<SourcePalette>> got = PicturePalettes(row.path, LinearLevelSet(), PictureOrder::Table);
        EXPECT_TRUE(got.error.startsWith(row.error)) << got.error.toStdString();
    }
}

} // namespace
} // namespace palfade
