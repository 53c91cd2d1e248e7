#include "pictures/picture_colors.h"
#include "sources/exchange_source.h"
#include "sources/source_reading.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace palfade {
namespace {

using Colors = std::vector<std::uint32_t>;

IoResult<ExchangeColors> ColorsOf(SourceKind kind, QByteArray bytes, const char* name,
                                  std::size_t keep = kEveryColor)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadExchangeColors(kind, buffer, QString::fromLatin1(name), keep);
}

// A file as a tool writes it, and what it reads as: its colours and
// warnings, or the error.
struct Row {
    QByteArray bytes;
    Colors colors;
    const char* error = "";
    const char* warning = "";
};

void ExpectRows(SourceKind kind, const char* name, const std::vector<Row>& rows)
{
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes.left(60).toStdString());
        const IoResult<ExchangeColors> read = ColorsOf(kind, row.bytes, name);
        EXPECT_EQ(read.error.toStdString(), row.error);
        if (!read.ok())
            continue;
        EXPECT_EQ(read.value.colors, row.colors);
        EXPECT_EQ(read.value.count, static_cast<qint64>(row.colors.size()));
        EXPECT_EQ(read.value.warnings.join(u'\n').toStdString(), row.warning);
    }
}

TEST(ExchangeColors, GimpPalettes)
{
    ExpectRows(SourceKind::GimpPalette, "pal.gpl",
               {
                   // As GIMP writes it.
                   {"GIMP Palette\nName: Title\nColumns: 16\n#\n  0   0   0\tBlack\n255 255 255\tWhite\n"
                    " 17  34  51\tUntitled\n",
                    {0x000000, 0xFFFFFF, 0x112233}},
                   {"GIMP Palette\r\nName: x\r\n# a comment\r\n\r\n1 2 3\r\n   # indented\r\n4\t5  6 dark red\r\n",
                    {0x010203, 0x040506}},
                   // Without Name: (the old form), CR line ends, no last line end.
                   {"GIMP Palette\r255 0 0\r0 255 0", {0xFF0000, 0x00FF00}},
                   {"\xEF\xBB\xBFGIMP Palette\nColumns: 4\nName: y\n9 9 9\n", {0x090909}},
                   {"Name: x\n0 0 0\n", {}, "pal.gpl, line 1: 'Name: x' is not 'GIMP Palette', the first line of a GIMP palette"},
                   {"", {}, "pal.gpl is empty: a GIMP palette starts with the line 'GIMP Palette'"},
                   {"GIMP Palette\n0 0 0\n256 0 0\n", {}, "pal.gpl, line 3: 256 is beyond 255, the largest value of a channel"},
                   {"GIMP Palette\n0 0\n", {},
                    "pal.gpl, line 2: '0 0' is not a colour line: R G B (each 0 to 255), then an optional name"},
                   {"GIMP Palette\n-1 0 0\n", {},
                    "pal.gpl, line 2: '-1 0 0' is not a colour line: R G B (each 0 to 255), then an optional name"},
                   {"GIMP Palette\n1 1 1\nName: late\n", {},
                    "pal.gpl, line 3: 'Name: late' is not a colour line: R G B (each 0 to 255), then an optional name"},
                   {"GIMP Palette\nName: e\nColumns: 0\n#\n", {}, "pal.gpl holds no colour"},
               });
}

TEST(ExchangeColors, JascPalettes)
{
    ExpectRows(SourceKind::JascPalette, "pal.pal",
               {
                   // As Paint Shop Pro writes it.
                   {"JASC-PAL\r\n0100\r\n4\r\n0 0 0\r\n255 255 255\r\n128 0 64\r\n1 2 3\r\n",
                    {0x000000, 0xFFFFFF, 0x800040, 0x010203}},
                   // LF line ends and an alpha value, as some tools add.
                   {"JASC-PAL\n0100\n2\n10 20 30 255\n40 50 60 0\n", {0x0A141E, 0x28323C}},
                   {"JASC-PAL\r\n0100\r\n1\r\n5 5 5\r\n\r\n", {0x050505}},
                   {"JASC-PAL\r\n0100\r\n2\r\n1 1 1\r\n2 2 2\r\n3 3 3\r\n",
                    {0x010101, 0x020202},
                    "",
                    "pal.pal, line 6: the lines from here on follow the 2 colours line 3 counts and are not read"},
                   {"JASC-PAL\r\n0100\r\n3\r\n1 1 1\r\n2 2 2\r\n", {}, "pal.pal, line 3 counts 3 colours, but 2 follow"},
                   {"JASC-PAL\r\n", {}, "pal.pal, line 2: the file ends before the version line, '0100'"},
                   {"JASC-PAL\r\n0100", {}, "pal.pal, line 3: the file ends before the line giving the number of colours"},
                   {"JASC-PAL\r\n0200\r\n1\r\n0 0 0\r\n", {},
                    "pal.pal, line 2: '0200' is not '0100', the version line of a JASC palette"},
                   {"JASC-PAL\r\n0100\r\nsixteen\r\n", {}, "pal.pal, line 3: 'sixteen' is not the number of colours"},
                   {"JASC-PAL\r\n0100\r\n1\r\n0 300 0\r\n", {},
                    "pal.pal, line 4: 300 is beyond 255, the largest value of a channel"},
                   {"JASC-PAL\r\n0100\r\n1\r\n0 0 0 0 0\r\n", {},
                    "pal.pal, line 4: '0 0 0 0 0' is not a colour line: R G B, each 0 to 255"},
                   {"GIMP Palette\n0 0 0\n", {},
                    "pal.pal, line 1: 'GIMP Palette' is not 'JASC-PAL', the first line of a JASC palette"},
                   {"JASC-PAL\r\n0100\r\n0\r\n", {}, "pal.pal holds no colour"},
               });
}

TEST(ExchangeColors, HexLists)
{
    ExpectRows(SourceKind::HexList, "pal.hex",
               {
                   // As palette sites offer them.
                   {"000000\n1d2b53\n7e2553\nffffff\n", {0x000000, 0x1D2B53, 0x7E2553, 0xFFFFFF}},
                   {"#FF0000\r\n\r\n  #00ff00  \r\n0000FF", {0xFF0000, 0x00FF00, 0x0000FF}},
                   {"12345\n", {}, "pal.hex, line 1: '12345' is not a colour RRGGBB (six hex digits, '#' before them allowed)"},
                   {"000000\nff00zz\n", {},
                    "pal.hex, line 2: 'ff00zz' is not a colour RRGGBB (six hex digits, '#' before them allowed)"},
                   {"ff0000ff\n", {},
                    "pal.hex, line 1: 'ff0000ff' is not a colour RRGGBB (six hex digits, '#' before them allowed)"},
                   {"\n\n", {}, "pal.hex holds no colour"},
                   {QByteArray(5000, 'a'), {}, "pal.hex: line 1 is longer than 4096 characters"},
               });
}

// 256 colours as Photoshop stores them, and its count trailer.
QByteArray AdobeTable(std::initializer_list<int> trailer = {})
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(static_cast<char>(i)).append(static_cast<char>(255 - i)).append(static_cast<char>(i ^ 0x55));
    for (const int byte : trailer)
        bytes.append(static_cast<char>(byte));
    return bytes;
}

Colors AdobeColors(int count)
{
    Colors colors;
    for (int i = 0; i < count; ++i)
        colors.push_back(static_cast<std::uint32_t>((i << 16) | ((255 - i) << 8) | (i ^ 0x55)));
    return colors;
}

TEST(ExchangeColors, AdobeColorTables)
{
    ExpectRows(SourceKind::AdobeColorTable, "pal.act",
               {
                   {AdobeTable(), AdobeColors(256)},
                   // 772 bytes: only the counted colours; the transparent index is not needed.
                   {AdobeTable({0x00, 0x03, 0xFF, 0xFF}), AdobeColors(3)},
                   {AdobeTable({0x01, 0x00, 0x00, 0x00}), AdobeColors(256)},
                   {AdobeTable({0x00, 0x00, 0xFF, 0xFF}), {},
                    "pal.act counts 0 colours (bytes 769 and 770): an Adobe colour table holds 1 to 256"},
                   {AdobeTable({0x01, 0x01, 0xFF, 0xFF}), {},
                    "pal.act counts 257 colours (bytes 769 and 770): an Adobe colour table holds 1 to 256"},
                   {AdobeTable().left(700), {},
                    "pal.act is 700 bytes: an Adobe colour table is 768 bytes, or 772 with its colour count"},
                   {AdobeTable({0, 3, 0, 0, 0}), {},
                    "pal.act is 773 bytes: an Adobe colour table is 768 bytes, or 772 with its colour count"},
                   {QByteArray(), {}, "pal.act is 0 bytes: an Adobe colour table is 768 bytes, or 772 with its colour count"},
               });
}

TEST(ExchangeColors, KeepsOnlyTheColoursNeededButReadsTheWholeFile)
{
    const IoResult<ExchangeColors> kept = ColorsOf(SourceKind::HexList, "010101\n020202\n030303\n", "p.hex", 2);
    EXPECT_EQ(kept.value.colors, (Colors{0x010101, 0x020202}));
    EXPECT_EQ(kept.value.count, 3);
    EXPECT_EQ(ColorsOf(SourceKind::HexList, "010101\n020202\nnope\n", "p.hex", 1).error.toStdString(),
              "p.hex, line 3: 'nope' is not a colour RRGGBB (six hex digits, '#' before them allowed)");
}

TEST(SourceKindOf, SignaturesWhereTheFormatHasOneExtensionsWhereItHasNone)
{
    const struct {
        const char* path;
        QByteArray start;
        SourceKind kind;
    } rows[] = {
        {"a.gpl", "", SourceKind::GimpPalette},
        {"a.GPL", "not GIMP", SourceKind::GimpPalette}, // then refused for its first line
        {"a.act", "", SourceKind::AdobeColorTable},
        {"a.hex", "GIMP Palette\n", SourceKind::HexList},
        {"a.pal", "JASC-PAL\r\n0100\r\n", SourceKind::JascPalette},
        {"a.pal", "JASC-PAL\n", SourceKind::JascPalette},
        {"a.pal", QByteArray::fromHex("80007fff0f0000f0"), SourceKind::Text},
        {"a.pal", "JASC-PALETTE\r\n", SourceKind::Text},
        {"colours.txt", "GIMP Palette  \rName: x", SourceKind::GimpPalette},
        {"colours", "\xEF\xBB\xBFJASC-PAL\r\n", SourceKind::JascPalette},
        {"title.s", "\tdc.w $7FFF\n", SourceKind::Text},
        {"a.ngpal", "JASC-PAL\r\n", SourceKind::PaletteFile},
        {"a.png", "GIMP Palette\n", SourceKind::Picture},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SourceKindOf(QString::fromLatin1(row.path), row.start), row.kind) << row.path;
}

class ExchangeSource : public ::testing::Test {
protected:
    QString Write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(ExchangeSource, JascAndBinaryPalFilesAreToldApartByTheFirstLine)
{
    const QString jasc = Write("title.pal", "JASC-PAL\r\n0100\r\n2\r\n255 255 255\r\n0 0 0\r\n");
    const IoResult<SourcePalettes> read = ReadSource(SourceOrigin::File(jasc), SourceRequest{});
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(test::Entries(read.value.palettes), std::vector<SourcePalette>{test::Pal({0x7FFF, 0x8000})});
    EXPECT_EQ(read.value.holder, jasc);

    // Any other .pal is read as before: text, or words with --read-as ngpal.
    const QString binary = test::Fixture("checkers.pal");
    EXPECT_FALSE(ReadSource(SourceOrigin::File(binary), SourceRequest{}).ok());
    SourceRequest asPaletteFile;
    asPaletteFile.kind = SourceKind::PaletteFile;
    const IoResult<SourcePalettes> words = ReadSource(SourceOrigin::File(binary), asPaletteFile);
    ASSERT_TRUE(words.ok());
    EXPECT_EQ(words.value.palettes.front()[1], 0x7FFF);
    // A forced kind wins over the first line.
    EXPECT_EQ(ReadSource(SourceOrigin::File(jasc), asPaletteFile).value.palettes.front()[0], 0x4A41); // "JA"
}

TEST_F(ExchangeSource, PalettesArePickedAsFromAnySource)
{
    QByteArray twenty;
    for (int i = 0; i < 20; ++i)
        twenty += i % 2 == 0 ? "ffffff\n" : "000000\n";
    const QString path = Write("lospec.hex", twenty);
    const IoResult<SourcePalettes> all = ReadSource(SourceOrigin::File(path), SourceRequest{});
    ASSERT_TRUE(all.ok());
    ASSERT_EQ(all.value.palettes.size(), 2u);
    EXPECT_EQ(all.value.palettes[1], WordsOfPalette(test::Pal({0x7FFF, 0x8000, 0x7FFF, 0x8000})));

    // Four colours a palette from entry 1; the first palette only.
    SourceRequest request;
    request.text.paletteSize = 4;
    request.text.firstEntry = 1;
    request.needed = 1;
    const IoResult<SourcePalettes> first = ReadSource(SourceOrigin::File(path), request);
    ASSERT_EQ(first.value.palettes.size(), 1u);
    EXPECT_EQ(first.value.palettes[0], WordsOfPalette(test::Pal({0x7FFF, 0x8000, 0x7FFF, 0x8000}, 1)));
}

// Each colour becomes a word as a picture's colour table does: through the
// chosen level set, or by ngdevkit's rule.
TEST_F(ExchangeSource, ColoursBecomeWordsAsAPictureTableDoesUnlessAWordShowsThemExactly)
{
    const Colors colors{0x000000, 0x150800, 0x16FFFF, 0x808080, 0xFC0400};
    QByteArray hex;
    for (const std::uint32_t c : colors)
        hex += QByteArray::number(c, 16).rightJustified(6, '0') + '\n';
    const QString path = Write("c.gpl", "GIMP Palette\n0 0 0\n21 8 0\n22 255 255\n128 128 128\n252 4 0\n");
    const QString hexPath = Write("c.hex", hex);
    for (const PictureWords rule : {PictureWords::Levels, PictureWords::Ngdevkit}) {
        for (const LevelTable* levels : {&LinearLevelSet(), &HardwareLevelSet()}) {
            SourceRequest request;
            request.pictureWords = rule;
            request.levels = *levels;
            ImportSlots keys{};
            ScanColorTable(colors, 0, levels->inverse, keys);
            SourcePalette expected{};
            ApplyPictureSlots(keys, expected);
            for (std::size_t i = 0; i < colors.size(); ++i)
                if (rule == PictureWords::Ngdevkit)
                    expected[i] = NgdevkitEntry(colors[i]);
                else if (const std::optional<PaletteEntry> exact = ExactColourEntry(colors[i], *levels))
                    expected[i] = *exact;
            for (const QString& file : {path, hexPath})
                EXPECT_EQ(ReadSource(SourceOrigin::File(file), request).value.palettes,
                          std::vector<PaletteWords>{WordsOfPalette(expected)});
        }
    }
    // The hardware shows 21, 8, 0 as the dark word E100 only. Read one
    // channel at a time, green and blue map to normal indices (levels 0 and
    // 1 look alike with and without the dark bit), so the picture rule loses
    // the dark bit and gives 6100, which shows brighter.
    SourceRequest hardware;
    hardware.levels = HardwareLevelSet();
    EXPECT_EQ(ReadSource(SourceOrigin::File(hexPath), hardware).value.palettes.at(0)[1], 0xE100);
    EXPECT_EQ(EncodeHwColor(EntryFromIndices(hardware.levels.inverse[0x15], hardware.levels.inverse[0x08],
                                             hardware.levels.inverse[0x00], true)),
              0x6100);
}

TEST_F(ExchangeSource, ErrorsNameTheFileAndTheLine)
{
    const QString path = Write("bad.gpl", "GIMP Palette\r\nName: bad\r\n0 0 0\r\n0 0 x\r\n");
    EXPECT_EQ(ReadSource(SourceOrigin::File(path), SourceRequest{}).error,
              path + QStringLiteral(", line 4: '0 0 x' is not a colour line: R G B (each 0 to 255), then an optional "
                                    "name"));
    EXPECT_FALSE(ReadSource(SourceOrigin::File(dir_.filePath(QStringLiteral("missing.act"))), SourceRequest{}).ok());
}

} // namespace
} // namespace palfade
