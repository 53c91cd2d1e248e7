#include "sources/palette_source.h"
#include "sources/source_reading.h"
#include "text/table_reader.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace palfade {
namespace {

using test::Entries;
using test::Fixture;
using test::Pal;
using test::PalettesFromText;
using Words = std::vector<HwColor>;

struct Table {
    const char* name;
    bool countWord = false;
    int paletteSize = kPaletteSize;
    int firstEntry = 0;
    const char* defines = nullptr;
};

TextSourceOptions Options(const Table& t)
{
    TextSourceOptions options;
    options.table = QString::fromLatin1(t.name);
    options.countWord = t.countWord;
    options.paletteSize = t.paletteSize;
    options.firstEntry = t.firstEntry;
    if (t.defines)
        options.defines << Fixture(t.defines);
    return options;
}

TEST(Table, CountWordNamesTheWordsAfterItsPalettes)
{
    TextSourceOptions options;
    options.table = QStringLiteral("pal");
    options.countWord = true;
    options.paletteSize = 2;
    const IoResult<std::vector<SourcePalette>> one =
        PalettesFromText(u"pal: dc.w 1, $8000, $7FFF, $0111, $0222, $0333, $0444, $0555, $0666",
                         options, QStringLiteral("t.s"));
    ASSERT_TRUE(one.ok()) << one.error.toStdString();
    EXPECT_EQ(one.value, std::vector{Pal({0x8000, 0x7FFF})});

    TextPaletteReader reader(test::TextRequest(options), QStringLiteral("t.s"), QStringLiteral("."));
    reader.Feed(u"pal: dc.w 1, $8000, $7FFF, $0111, $0222, $0333, $0444, $0555, $0666");
    const IoResult<SourcePalettes> read = reader.Finish();
    EXPECT_EQ(read.value.warnings.join(u'\n').toStdString(),
              "t.s: pal: the words after the 1 palette its count word gives are not palettes: $0111 $0222 $0333 "
              "$0444 ...");
}

TEST(Table, BadSourcesNameTheItemFileAndLine)
{
    const struct {
        const char16_t* text;
        Table table;
        const char* error;
    } rows[] = {
        {u"pal: dc.w $8000, FOO", {"pal"},
         "t.s, line 1: FOO is not defined (no #define, equ, = or .equ/.set gives it a value)"},
        {u"\txdef pal\n\n\tlea pal,a0", {"pal"}, "pal is not defined in t.s (used on line 1)"},
        {u"setpal(pal, 2);", {"pal"}, "pal is not defined in t.s (used on line 1)"},
        {u"other: dc.w 1", {"pal"}, "pal is not defined in t.s"},
        {u"pal: dc.w 1\n\trts\npal: dc.w 2", {"pal"}, "pal is defined twice in t.s, on lines 1 and 3"},
        {u"pal:\n\tdc.w $0010+1", {"pal"}, "t.s, line 2: \"$0010+1\" is an expression, which palfade does not work out"},
        {u"pal: dc.w $12345", {"pal"}, "t.s, line 1: $12345 is not a 16-bit colour word"},
        {u"pal: dc.w 65536", {"pal"}, "t.s, line 1: 65536 is not a 16-bit colour word"},
        {u"A = B\nB = A\npal: dc.w A", {"pal"}, "t.s, line 3: A names itself over and over"},
        {u"C EQU 1\nC EQU 2\npal: dc.w C", {"pal"},
         "t.s, line 3: C is defined twice, on line 1 of t.s and on line 2 of t.s"},
        {u"pal: dc.w 3, $8000, $7FFF", {"pal", true, 1},
         "t.s: pal: its count word gives 3 palettes (3 words) but 2 words follow"},
        {u"pal: dc.w 1 /* open\n", {"pal"}, "t.s: the /* comment opened on line 1 is never closed"},
        {u"const u16 pal[] = {\n 1, 2,\n", {"pal"}, "t.s: the initializer of pal opened on line 1 is never closed"},
        {u"pal: move.w d0,d1", {"pal"}, "t.s: pal holds no word"},
        {u"pal: incbin checkers.pal", {"pal"},
         "t.s, line 1: the binary include \"checkers.pal\" is not \"FILE\" with an optional start and length"},
    };
    for (const auto& row : rows) {
        const IoResult<std::vector<SourcePalette>> got =
            PalettesFromText(QString::fromUtf16(row.text), Options(row.table), QStringLiteral("t.s"));
        EXPECT_EQ(got.error.toStdString(), row.error) << QString::fromUtf16(row.text).toStdString();
    }

    // A name defined as no number is an error only where an item uses it.
    TextSourceOptions options = Options({"clut", false, 4, 0, "named_colours.h"});
    EXPECT_TRUE(PalettesFromText(u"const u16 clut[] = { BLACK };", options, QStringLiteral("t.c")).ok());
    EXPECT_EQ(PalettesFromText(u"const u16 clut[] = {\n BLACK, PORT };", options, QStringLiteral("t.c")).error,
              QStringLiteral("t.c, line 2: PORT is defined on line 6 of %1 as \"((volatile u16*)0x401FFE)\", an "
                             "expression, which palfade does not work out")
                  .arg(Fixture("named_colours.h")));
}

// A --defines file ends its lines with CR, LF or CR LF as a source does.
TEST(Table, DefinesFilesInEveryLineEnd)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString defines = dir.filePath(QStringLiteral("colours.h"));
    for (const char* end : {"\r", "\n", "\r\n"}) {
        QFile file(defines);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("#define BLACK 0x8000 /* two") + end + "lines */" + end + "WHITE equ $7FFF" + end +
                   "TWICE = 1" + end + "TWICE = 2" + end);
        file.close();
        TextSourceOptions options = Options({"pal"});
        options.defines << defines;
        const IoResult<std::vector<SourcePalette>> words =
            PalettesFromText(u"pal: dc.w BLACK, WHITE", options, QStringLiteral("t.s"));
        ASSERT_TRUE(words.ok()) << words.error.toStdString();
        EXPECT_EQ(words.value, std::vector{Pal({0x8000, 0x7FFF})});
        EXPECT_EQ(PalettesFromText(u"pal: dc.w TWICE", options, QStringLiteral("t.s")).error,
                  QStringLiteral("t.s, line 1: TWICE is defined twice, on line 4 of %1 and on line 5 of %1")
                      .arg(defines));
    }
}

TEST(Table, BinaryIncludesReadBigEndianWords)
{
    const QString src = Fixture("include.s");
    const struct {
        const char16_t* text;
        Words words; // of the first palette
        const char* error;
    } rows[] = {
        {u"pal: .incbin \"checkers.pal\", 2, 4", {0x7FFF, 0x0F00}, nullptr},
        {u"pal: binclude \"checkers.pal\",62", {0x0111}, nullptr},
        {u"pal: insert \"checkers.pal\", 1, 3", {}, "checkers.pal gives 3 bytes, not whole 16-bit words"},
        {u"pal: incbin \"checkers.pal\", 70", {}, "checkers.pal holds only 64 bytes"},
        {u"pal: incbin \"missing.pal\"", {}, "cannot open"},
    };
    for (const auto& row : rows) {
        TextPaletteReader reader(test::TextRequest(Options({"pal"})), src, QStringLiteral(PALFADE_TEST_DATA));
        reader.Feed(QString::fromUtf16(row.text));
        const IoResult<SourcePalettes> got = reader.Finish();
        if (row.error) {
            EXPECT_TRUE(got.error.contains(QLatin1String(row.error))) << got.error.toStdString();
            EXPECT_TRUE(got.error.startsWith(src + QStringLiteral(", line 1: "))) << got.error.toStdString();
            continue;
        }
        ASSERT_TRUE(got.ok()) << got.error.toStdString();
        EXPECT_EQ(Entries(got.value.palettes).front(), Pal(row.words));
    }
}

TEST(Table, LinesBeyondTheLimitAreRefused)
{
    TextPaletteReader reader(test::TextRequest(Options({"pal"})), QStringLiteral("big.s"), QStringLiteral("."));
    const QString piece(64 * 1024, u'A');
    for (int i = 0; i < 20 && !reader.Done(); ++i)
        reader.Feed(piece);
    EXPECT_TRUE(reader.Done());
    EXPECT_EQ(reader.Finish().error, QStringLiteral("big.s: line 1 is longer than 1048576 characters"));
}

} // namespace
} // namespace palfade
