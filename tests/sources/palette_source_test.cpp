#include "sources/palette_file.h"
#include "sources/palette_source.h"
#include "sources/source_reading.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QString>

#include <vector>

namespace palfade {
namespace {

using test::Entries;
using test::Fixture;
using test::Pal;
using test::PalettesFromText;
using Words = std::vector<HwColor>;

TextSourceOptions Opts(bool skipComments, const QString& after, int skipWords)
{
    TextSourceOptions options;
    options.skipComments = skipComments;
    options.after = after;
    options.skipWords = skipWords;
    return options;
}

// What the comments filter of --skip-comments leaves of a whole text.
QString StripComments(QStringView text)
{
    QString out;
    CommentFilter filter(kSkippedComments);
    filter.Filter(text, out);
    filter.Flush(out);
    return out;
}

// The text a stage is given, gathered.
class Gathered : public TextStage {
public:
    void Feed(QStringView piece) override { text += piece; }
    IoStatus Finish() override { return IoStatus::Success(); }
    QString text;
};

// Where the text continues after the first place where name stands as a
// whole identifier; nothing when it stands nowhere.
std::optional<qsizetype> PositionAfterName(QStringView text, QStringView name)
{
    Gathered rest;
    NameStart start(name.toString(), QStringLiteral("t"), rest);
    start.Feed(text);
    if (!start.Finish().ok())
        return std::nullopt;
    return text.size() - rest.text.size();
}

TEST(StripComments, RemovesEachKindAndKeepsLines)
{
    const struct {
        const char16_t* text;
        const char16_t* expected;
    } rows[] = {
        {u"dc.w $0001 ; Palette Set $00", u"dc.w $0001 "},
        {u"0x0001, // 0x0002\n0x0003", u"0x0001, \n0x0003"},
        {u"$0001/*$0002*/$0003", u"$0001 $0003"},
        {u"$0001 /* a\n$0002\r\n */ $0003", u"$0001 \n\r\n  $0003"},
        {u"* $0001 star line\n\t * $0002\n$0003 * $0004", u"\n\n$0003 * $0004"},
        {u"/* open\n* inside\n*/\n* after", u"\n\n \n"},
        {u"$0001 /* never closed\n$0002", u"$0001 \n"},
        {u"$0001 ;* 3 palettes\r$0002", u"$0001 \r$0002"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(StripComments(QString::fromUtf16(row.text)), QString::fromUtf16(row.expected))
            << QString::fromUtf16(row.text).toStdString();
}

TEST(PositionAfterName, OnlyWholeIdentifiers)
{
    const struct {
        const char16_t* text;
        const char16_t* name;
        qsizetype expected; // -1: not found
    } rows[] = {
        {u"clut: $0001", u"clut", 4},
        {u"clut_size clut2 myclut clut[] ", u"clut", 27},
        {u"CLUT clut", u"clut", 9},
        {u"x clut", u"clut", 6},
        {u"clutter", u"clut", -1},
        {u"pal1 pal", u"pal", 8},
        {u"", u"pal", -1},
    };
    for (const auto& row : rows) {
        const std::optional<qsizetype> at =
            PositionAfterName(QString::fromUtf16(row.text), QString::fromUtf16(row.name));
        EXPECT_EQ(at.value_or(-1), row.expected) << QString::fromUtf16(row.text).toStdString();
    }
}

TEST(PalettesFromText, WithoutOptionsTheFirstPaletteIsTheImports)
{
    const char* texts[] = {
        "PAL: dc.w $0000,$7FFF, 0x0888 ; #$0FFF 12",
        "$0001 $0002 $0003 $0004 $0005 $0006 $0007 $0008 $0009 $000A $000B $000C $000D $000E $000F $0010 $0011",
        "const int fade_colors[] =\r\n{\r\n\t0x7fff, 0x8000,  // step 1\r\n};\r\n",
        "\xEF\xBB\xBF$12345\n$G1 x$0001_$0002\r$7FFFh",
    };
    for (const char* text : texts) {
        // The window's import: the bytes read until one palette is complete.
        QByteArray bytes(text);
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        const IoResult<SourcePalettes> imported =
            ReadSource(SourceOrigin::Device(buffer, QStringLiteral("t"), QString()), test::TextRequest({}, 1));
        ASSERT_TRUE(imported.ok()) << text;
        const IoResult<std::vector<SourcePalette>> palettes =
            PalettesFromText(DecodeTextBytes(QByteArrayView(text)), {}, QStringLiteral("t"));
        ASSERT_TRUE(palettes.ok()) << text;
        EXPECT_EQ(palettes.value.front(), PaletteOfWords(imported.value.palettes.front())) << text;
    }
}

TEST(PalettesFromText, OptionsInOrderThenGroupsOfSixteen)
{
    QString text = QStringLiteral("; $FFFF\nlabel: $0AAA ; $FFFF\n");
    for (int i = 1; i <= 20; ++i)
        text += QStringLiteral("$%1\n").arg(i, 4, 16, QLatin1Char('0'));
    Words first, second;
    for (HwColor w = 1; w <= 16; ++w)
        first.push_back(w);
    for (HwColor w = 17; w <= 20; ++w)
        second.push_back(w);
    Words shifted{0x0AAA};
    shifted.insert(shifted.end(), first.begin(), first.end() - 1);

    const struct {
        TextSourceOptions options;
        std::vector<SourcePalette> expected;
    } rows[] = {
        {Opts(true, QStringLiteral("label"), 1), {Pal(first), Pal(second)}},
        {Opts(true, QString(), 1), {Pal(first), Pal(second)}},
        {Opts(true, QString(), 0), {Pal(shifted), Pal({16, 17, 18, 19, 20})}},
        {Opts(false, QStringLiteral("label"), 0), {Pal({0x0AAA, 0xFFFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}),
                                               Pal({15, 16, 17, 18, 19, 20})}},
        {Opts(false, QStringLiteral("label"), 18), {Pal({17, 18, 19, 20})}},
    };
    for (const auto& row : rows) {
        const IoResult<std::vector<SourcePalette>> got = PalettesFromText(text, row.options, QStringLiteral("t"));
        ASSERT_TRUE(got.ok()) << got.error.toStdString();
        EXPECT_EQ(got.value, row.expected) << row.options.skipWords;
    }
}

// The fixtures read as words after their comments and names, and as the
// tables they define; checkers.pal holds kSky, then kGrey.
TEST(TextSource, FixturesInEachStyle)
{
    const Words kSky{0x8000, 0x7FFF, 0x0F00, 0x00F0, 0x000F, 0x0FF0, 0x0F0F, 0x00FF,
                     0x0888, 0x0444, 0x0CCC, 0x4321, 0x1234, 0x5A5A, 0xA5A5, 0x7000};
    const Words kGround{0x8000, 0x0111, 0x0222, 0x0333, 0x0444, 0x0555, 0x0666, 0x0777,
                        0x0888, 0x0999, 0x0AAA, 0x0BBB, 0x0CCC, 0x0DDD, 0x0EEE, 0x0FFF};
    const Words kLogo{0x8000, 0x7F00, 0x70F0, 0x700F, 0x1000, 0x2000, 0x3000, 0x4000,
                      0x5000, 0x6000, 0x7000, 0x0001}; // four entries stay black
    const Words kGrey{0x8000, 0x0FFF, 0x0EEE, 0x0DDD, 0x0CCC, 0x0BBB, 0x0AAA, 0x0999,
                      0x0888, 0x0777, 0x0666, 0x0555, 0x0444, 0x0333, 0x0222, 0x0111};
    const Words kRed{0x8000, 0x0F00, 0x0E00, 0x0D00, 0x0C00, 0x0B00, 0x0A00, 0x0900,
                     0x0800, 0x0700, 0x0600, 0x0500, 0x0400, 0x0300, 0x0200, 0x0100};
    const Words kGreen{0x8000, 0x00F0, 0x00E0, 0x00D0, 0x00C0, 0x00B0, 0x00A0, 0x0090,
                       0x0080, 0x0070, 0x0060, 0x0050, 0x0040, 0x0030, 0x0020, 0x7FFF};
    const Words kStage0{0x8000, 0x7FFF, 0x6EEE, 0x5DDD, 0x4CCC, 0x3BBB, 0x2AAA, 0x1999,
                        0x0888, 0x0777, 0x0666, 0x0555, 0x0444, 0x0333, 0x0222, 0x0111};
    const Words kStage1{0x8000, 0x0F0F, 0x0E0E, 0x0D0D, 0x0C0C, 0x0B0B, 0x0A0A, 0x0909,
                        0x0808, 0x0707, 0x0606, 0x0505, 0x0404, 0x0303, 0x0202, 0x0101};
    const Words kTitle{0x8000, 0x7FFF, 0x0F00, 0x00F0, 0x000F, 0x0FF0, 0x0F0F, 0x00FF,
                       0x0444, 0x0CCC, 0x4321, 0x1234, 0x5A5A, 0xA5A5, 0x7000, 0x0001};
    auto table = [](const char* name, bool countWord = false, int size = kPaletteSize, int first = 0,
                    const char* defines = nullptr) {
        TextSourceOptions options;
        options.table = QString::fromLatin1(name);
        options.countWord = countWord;
        options.paletteSize = size;
        options.firstEntry = first;
        if (defines)
            options.defines << Fixture(defines);
        return options;
    };
    const struct {
        const char* file;
        TextSourceOptions options;
        std::vector<SourcePalette> expected;
    } rows[] = {
        {"title_palettes.s", Opts(true, QString(), 0), {Pal(kSky), Pal(kGround), Pal(kLogo)}},
        {"title_palettes.s", Opts(true, QStringLiteral("TitlePalettes"), 0), {Pal(kSky), Pal(kGround), Pal(kLogo)}},
        {"datlib_palettes.s", Opts(true, QStringLiteral("title_Palettes"), 1), {Pal(kGrey), Pal(kRed), Pal(kGreen)}},
        {"stage_palettes.c", Opts(true, QStringLiteral("clut"), 0), {Pal(kStage0), Pal(kStage1)}},
        {"datlib_two_tables.s", table("a_Palettes", true), {Pal(kGrey), Pal(kRed)}},
        {"datlib_two_tables.s", table("b_Palettes", true), {Pal(kGreen)}},
        // Without the count word it is the first word of the table.
        {"datlib_two_tables.s", table("b_Palettes"),
         {Pal({0x0001, 0x8000, 0x00F0, 0x00E0, 0x00D0, 0x00C0, 0x00B0, 0x00A0, 0x0090, 0x0080, 0x0070, 0x0060, 0x0050,
               0x0040, 0x0030, 0x0020}),
          Pal({0x7FFF})}},
        // xdef and lea name the labels before they are defined; equ, EQU
        // and = name the colours; "dc.l" ends the table.
        {"motorola_names.s", table("TitlePal"), {Pal(kTitle)}},
        {"motorola_names.s", table("LogoPal", false, 4, 1), {Pal({0x7FFF, 0x0F00, 0x00F0, 0x000F}, 1)}},
        {"motorola_names.s", table("Checkers"), {Pal(kSky), Pal(kGrey)}},
        {"gnu_as_names.s", table("stage_pal"), {Pal({0x8000, 0x7FFF, 0x0F00, 0x00F0})}},
        // "setpal(clut, 2)" and the extern are uses; comments are no items.
        {"named_colours.c", table("clut", false, 4, 0, "named_colours.h"),
         {Pal({0x8000, 0x7FFF, 0x0369, 0x0976}), Pal({0x8000, 0x0490, 0x0742, 0x0FFF})}},
    };
    for (const auto& row : rows) {
        const IoResult<SourcePalettes> got =
            ReadSource(SourceOrigin::File(Fixture(row.file)), test::TextRequest(row.options));
        ASSERT_TRUE(got.ok()) << row.file << ": " << got.error.toStdString();
        EXPECT_EQ(Entries(got.value.palettes), row.expected) << row.file << " " << row.options.table.toStdString();
        const QString holder = row.options.table.isEmpty() ? QString() : QStringLiteral(": ") + row.options.table;
        EXPECT_EQ(got.value.holder, Fixture(row.file) + holder);
    }
    // Without the name the addresses above the array come first.
    const IoResult<SourcePalettes> addresses =
        ReadSource(SourceOrigin::File(Fixture("stage_palettes.c")), test::TextRequest(Opts(true, QString(), 0)));
    EXPECT_EQ(addresses.value.palettes.front()[0], 0x0000);
}

TEST(PalettesFromText, ErrorsNameTheSource)
{
    const QString name = QStringLiteral("pal.s");
    const struct {
        const char* text;
        TextSourceOptions options;
        const char* error;
    } rows[] = {
        {"clutter: $0001", Opts(false, QStringLiteral("clut"), 0), "the name \"clut\" is not found in pal.s"},
        {"; clut\n$0001", Opts(true, QStringLiteral("clut"), 0), "the name \"clut\" is not found in pal.s"},
        {"dc.w 1, 2", {}, "no colour word (\"$7FFF\" or \"0x7FFF\") found in pal.s"},
        {"$0001 clut: 2", Opts(false, QStringLiteral("clut"), 0),
         "no colour word (\"$7FFF\" or \"0x7FFF\") found in pal.s after \"clut\""},
        {"$0003 $0001", Opts(false, QString(), 2), "pal.s holds 2 colour words, none after the 2 skipped"},
    };
    for (const auto& row : rows) {
        const IoResult<std::vector<SourcePalette>> got = PalettesFromText(QString::fromUtf8(row.text), row.options, name);
        EXPECT_EQ(got.error.toStdString(), row.error) << row.text;
    }
}

TEST(PickPalette, IndexWithinTheSource)
{
    const std::vector<PaletteWords> three{{1}, {2}, {3}};
    EXPECT_EQ(PickPalette(three, 2, QStringLiteral("x.s")).value, PaletteWords{3});
    EXPECT_EQ(PickPalette(three, 3, QStringLiteral("x.s")).error, QStringLiteral("x.s holds 3 palettes"));
    EXPECT_EQ(PickPalette(three, -1, QStringLiteral("x.s")).error, QStringLiteral("x.s holds 3 palettes"));
    EXPECT_EQ(PickPalette({{1}}, 1, QStringLiteral("y.ngpal")).error, QStringLiteral("y.ngpal holds 1 palette"));
    EXPECT_EQ(PaletteCountMismatch(QStringLiteral("a.s"), 3, QStringLiteral("b.s"), 2),
              QStringLiteral("a.s holds 3 palettes but b.s holds 2 palettes: a whole-screen fade needs one bottom "
                             "palette per top palette"));
}

TEST(PalettesFromFileBytes, ThirtyTwoBytesEach)
{
    QByteArray bytes;
    for (int i = 0; i < 40; ++i)
        bytes.append(static_cast<char>(i));
    const std::vector<PaletteWords> two = PalettesFromFileBytes(bytes);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0], PaletteFromBytes(bytes.first(32)));
    EXPECT_EQ(two[1], (PaletteWords{0x2021, 0x2223, 0x2425, 0x2627})); // the rest zero bytes
    EXPECT_EQ(PalettesFromFileBytes(bytes.first(32)).size(), 1u);
    EXPECT_EQ(PalettesFromFileBytes({}), std::vector<PaletteWords>{PaletteWords{}});
}

TEST(ReadSource, FromDeviceAndMissingFile)
{
    QByteArray bytes = "$0001 $0002";
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const IoResult<SourcePalettes> read =
        ReadSource(SourceOrigin::Device(buffer, QStringLiteral("standard input"), QString()), test::TextRequest({}, 1));
    EXPECT_EQ(Entries(read.value.palettes), std::vector{Pal({1, 2})});
    EXPECT_EQ(read.value.holder, QStringLiteral("standard input"));
    EXPECT_FALSE(ReadSource(SourceOrigin::File(Fixture("no_such_file.s")), test::TextRequest({}, 1)).ok());
    EXPECT_FALSE(ReadPaletteFile(Fixture("")).ok()); // a directory
}

} // namespace
} // namespace palfade
