#include "sources/palette_source.h"
#include "sources/table_reader.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <vector>

namespace palfade {
namespace {

using Words = std::vector<HwColor>;

// A palette with `words` from entry `first` on; the other entries black.
SourcePalette Pal(const Words& words, std::size_t first = 0)
{
    SourcePalette palette{};
    for (std::size_t i = 0; i < words.size(); ++i)
        palette[first + i] = DecodeHwColor(words[i]);
    return palette;
}

QString Fixture(const char* name)
{
    return QStringLiteral(PALFADE_TEST_DATA "/") + QLatin1String(name);
}

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

TEST(Table, FixturesInEachStyle)
{
    const Words grey{0x8000, 0x0FFF, 0x0EEE, 0x0DDD, 0x0CCC, 0x0BBB, 0x0AAA, 0x0999,
                     0x0888, 0x0777, 0x0666, 0x0555, 0x0444, 0x0333, 0x0222, 0x0111};
    const Words red{0x8000, 0x0F00, 0x0E00, 0x0D00, 0x0C00, 0x0B00, 0x0A00, 0x0900,
                    0x0800, 0x0700, 0x0600, 0x0500, 0x0400, 0x0300, 0x0200, 0x0100};
    const Words green{0x8000, 0x00F0, 0x00E0, 0x00D0, 0x00C0, 0x00B0, 0x00A0, 0x0090,
                      0x0080, 0x0070, 0x0060, 0x0050, 0x0040, 0x0030, 0x0020, 0x7FFF};
    const Words title{0x8000, 0x7FFF, 0x0F00, 0x00F0, 0x000F, 0x0FF0, 0x0F0F, 0x00FF,
                      0x0444, 0x0CCC, 0x4321, 0x1234, 0x5A5A, 0xA5A5, 0x7000, 0x0001};
    const Words checkers{0x8000, 0x7FFF, 0x0F00, 0x00F0, 0x000F, 0x0FF0, 0x0F0F, 0x00FF,
                         0x0888, 0x0444, 0x0CCC, 0x4321, 0x1234, 0x5A5A, 0xA5A5, 0x7000};
    const struct {
        const char* file;
        Table table;
        std::vector<SourcePalette> expected;
    } rows[] = {
        {"datlib_two_tables.s", {"a_Palettes", true}, {Pal(grey), Pal(red)}},
        {"datlib_two_tables.s", {"b_Palettes", true}, {Pal(green)}},
        // Without the count word it is the first word of the table.
        {"datlib_two_tables.s", {"b_Palettes"}, {Pal({0x0001, 0x8000, 0x00F0, 0x00E0, 0x00D0, 0x00C0, 0x00B0, 0x00A0,
                                                      0x0090, 0x0080, 0x0070, 0x0060, 0x0050, 0x0040, 0x0030, 0x0020}),
                                                 Pal({0x7FFF})}},
        // xdef and lea name the labels before they are defined; equ, EQU
        // and = name the colours; "dc.l" ends the table.
        {"motorola_names.s", {"TitlePal"}, {Pal(title)}},
        {"motorola_names.s", {"LogoPal", false, 4, 1}, {Pal({0x7FFF, 0x0F00, 0x00F0, 0x000F}, 1)}},
        {"motorola_names.s", {"Checkers"}, {Pal(checkers), Pal(grey)}},
        {"gnu_as_names.s", {"stage_pal"}, {Pal({0x8000, 0x7FFF, 0x0F00, 0x00F0})}},
        // "setpal(clut, 2)" and the extern are uses; comments are no items.
        {"named_colours.c", {"clut", false, 4, 0, "named_colours.h"},
         {Pal({0x8000, 0x7FFF, 0x0369, 0x0976}), Pal({0x8000, 0x0490, 0x0742, 0x0FFF})}},
    };
    for (const auto& row : rows) {
        const IoResult<TextPalettes> got = ReadTextPalettesFile(Fixture(row.file), Options(row.table), kEveryPalette);
        ASSERT_TRUE(got.ok()) << row.table.name << ": " << got.error.toStdString();
        EXPECT_EQ(got.value.palettes, row.expected) << row.file << " " << row.table.name;
        EXPECT_EQ(got.value.holder, Fixture(row.file) + QStringLiteral(": ") + QLatin1String(row.table.name));
    }
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

    TextPaletteReader reader(options, TextOrigin{QStringLiteral("t.s"), QStringLiteral(".")}, kEveryPalette);
    reader.Text(u"pal: dc.w 1, $8000, $7FFF, $0111, $0222, $0333, $0444, $0555, $0666");
    const IoResult<TextPalettes> read = reader.Finish();
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
        {u"pal:\n\tdc.w $0010+1", {"pal"}, "t.s, line 2: \"$0010+1\" is not a number or a name defined as one"},
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
              QStringLiteral("t.c, line 2: PORT is defined on line 6 of %1 as \"((volatile u16*)0x401FFE)\", not as "
                             "a number")
                  .arg(Fixture("named_colours.h")));
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
        TextPaletteReader reader(Options({"pal"}), TextOrigin{src, QStringLiteral(PALFADE_TEST_DATA)}, kEveryPalette);
        reader.Text(QString::fromUtf16(row.text));
        const IoResult<TextPalettes> got = reader.Finish();
        if (row.error) {
            EXPECT_TRUE(got.error.contains(QLatin1String(row.error))) << got.error.toStdString();
            EXPECT_TRUE(got.error.startsWith(src + QStringLiteral(", line 1: "))) << got.error.toStdString();
            continue;
        }
        ASSERT_TRUE(got.ok()) << got.error.toStdString();
        EXPECT_EQ(got.value.palettes.front(), Pal(row.words));
    }
}

TEST(Table, LinesBeyondTheLimitAreRefused)
{
    TextPaletteReader reader(Options({"pal"}), TextOrigin{QStringLiteral("big.s"), QStringLiteral(".")},
                             kEveryPalette);
    const QString piece(64 * 1024, u'A');
    for (int i = 0; i < 20 && !reader.Done(); ++i)
        reader.Text(piece);
    EXPECT_TRUE(reader.Done());
    EXPECT_EQ(reader.Finish().error, QStringLiteral("big.s: line 1 is longer than 1048576 characters"));
}

} // namespace
} // namespace palfade
