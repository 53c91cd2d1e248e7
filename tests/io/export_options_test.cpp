#include "io/export_formats.h"

#include <gtest/gtest.h>

#include <QString>

#include <vector>

namespace palfade {
namespace {

FadeTable TableOfWords(const std::vector<std::vector<HwColor>>& steps)
{
    FadeTable table;
    table.Reset(static_cast<int>(steps.size()));
    for (std::size_t s = 0; s < steps.size(); ++s)
        for (std::size_t j = 0; j < steps[s].size(); ++j) {
            const PaletteEntry e = DecodeHwColor(steps[s][j]);
            table.at(static_cast<int>(j), static_cast<int>(s)) = FadeCell{e.red, e.green, e.blue, e.dark, 0};
        }
    return table;
}

ExportOptions Options(AsmSyntax syntax, const char* label = "", const char* cType = "int")
{
    return ExportOptions{syntax, QString::fromLatin1(label), QString::fromLatin1(cType)};
}

TEST(ExportOptions, FadeTableInEverySyntax)
{
    const FadeTable table = TableOfWords({{0x0000, 0x7FFF}, {0x8ABC, 0x0001}});
    const struct {
        FadeFormat format;
        ExportOptions options;
        QByteArray expected;
    } rows[] = {
        {FadeFormat::Assembler, Options(AsmSyntax::Gnu), "\t.word\t0x0000,0x7FFF\r\n\t.word\t0x8ABC,0x0001\r\n"},
        {FadeFormat::Assembler, Options(AsmSyntax::Motorola, "title_fade"),
         "\txdef\ttitle_fade\r\n\teven\r\ntitle_fade:\r\n\tdc.w\t$0000,$7FFF\r\n\tdc.w\t$8ABC,$0001\r\n"},
        {FadeFormat::Assembler, Options(AsmSyntax::Gnu, "_fade2"),
         "\t.globl\t_fade2\r\n\t.balign\t2\r\n_fade2:\r\n\t.word\t0x0000,0x7FFF\r\n\t.word\t0x8ABC,0x0001\r\n"},
        {FadeFormat::C, Options(AsmSyntax::Gnu, "title_fade", "unsigned short"),
         "const unsigned short title_fade[] =\r\n{\r\n\t0x0000, 0x7FFF,  // step 1\r\n"
         "\t0x8ABC, 0x0001,  // step 2\r\n};\r\n"},
        {FadeFormat::C, Options(AsmSyntax::Motorola, "", "u16"),
         "const u16 fade_colors[] =\r\n{\r\n\t0x0000, 0x7FFF,  // step 1\r\n\t0x8ABC, 0x0001,  // step 2\r\n};\r\n"},
        {FadeFormat::Binary, Options(AsmSyntax::Gnu, "unused", "u16"),
         QByteArray("\x00\x00\x7F\xFF\x8A\xBC\x00\x01", 8)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FadeTableExport(table, 2, 2, row.format, row.options), row.expected) << row.expected.constData();
}

TEST(ExportOptions, SourcePaletteInEverySyntax)
{
    PaletteWords words{};
    words[0] = 0x8000;
    words[15] = 0x7FFF;
    const QByteArray gasWords = "0x8000" + QByteArray(",0x0000").repeated(14) + ",0x7FFF\r\n";
    const QByteArray cWords = "\t0x8000, " + QByteArray("0x0000, ").repeated(14) + "0x7FFF,  // step 16\r\n";
    EXPECT_EQ(SourcePaletteExport(words, 16, PaletteFormat::Assembler, Options(AsmSyntax::Gnu, "pal")),
              "\t.globl\tpal\r\n\t.balign\t2\r\npal:\r\n\t.word\t" + gasWords);
    EXPECT_EQ(SourcePaletteExport(words, 16, PaletteFormat::C, Options(AsmSyntax::Motorola, "pal", "uint16_t")),
              "const uint16_t pal[] =\r\n{\r\n" + cWords + "};\r\n");
    EXPECT_EQ(SourcePaletteExport(words, 16, PaletteFormat::PaletteFile, Options(AsmSyntax::Gnu, "pal")),
              SourcePaletteExport(words, 16, PaletteFormat::PaletteFile));
}

TEST(ScreenFadeExport, FrameMajor)
{
    // Two palettes, three steps, two colours: step s of palette k holds k s0 / k s1 ...
    const ScreenFadeWords screen{3, 2, 2, {0x0001, 0x0002, 0x0101, 0x0102, 0x0011, 0x0012,
                                           0x0111, 0x0112, 0x0021, 0x0022, 0x0121, 0x0122}};
    const ScreenFadeWords oneColour{3, 2, 1, {0x0001, 0x0101, 0x0011, 0x0111, 0x0021, 0x0121}};
    EXPECT_EQ(ScreenFadeExport(screen, FadeFormat::Assembler),
              "\tdc.w\t$0001,$0002\r\n\tdc.w\t$0101,$0102\r\n"
              "\tdc.w\t$0011,$0012\r\n\tdc.w\t$0111,$0112\r\n"
              "\tdc.w\t$0021,$0022\r\n\tdc.w\t$0121,$0122\r\n");
    EXPECT_EQ(ScreenFadeExport(oneColour, FadeFormat::Assembler, Options(AsmSyntax::Gnu, "fades")),
              "\t.globl\tfades\r\n\t.balign\t2\r\nfades:\r\n"
              "\t.word\t0x0001\r\n\t.word\t0x0101\r\n\t.word\t0x0011\r\n"
              "\t.word\t0x0111\r\n\t.word\t0x0021\r\n\t.word\t0x0121\r\n");
    ScreenFadeWords twoSteps = screen;
    twoSteps.steps = 2;
    EXPECT_EQ(ScreenFadeExport(twoSteps, FadeFormat::C, Options(AsmSyntax::Motorola, "fades", "u16")),
              "const u16 fades[] =\r\n{\r\n"
              "\t0x0001, 0x0002,  // step 1 palette 0\r\n\t0x0101, 0x0102,  // step 1 palette 1\r\n"
              "\t0x0011, 0x0012,  // step 2 palette 0\r\n\t0x0111, 0x0112,  // step 2 palette 1\r\n};\r\n");
    EXPECT_EQ(ScreenFadeExport(oneColour, FadeFormat::Binary),
              QByteArray("\x00\x01\x01\x01\x00\x11\x01\x11\x00\x21\x01\x21", 12));
    // One palette is the single fade.
    const ScreenFadeWords single{3, 1, 2, {0x0101, 0x0102, 0x0111, 0x0112, 0x0121, 0x0122}};
    const FadeTable table = TableOfWords({{0x0101, 0x0102}, {0x0111, 0x0112}, {0x0121, 0x0122}});
    for (FadeFormat format : {FadeFormat::Assembler, FadeFormat::Binary})
        EXPECT_EQ(ScreenFadeExport(single, format), FadeTableExport(table, 3, 2, format));
}

TEST(PaletteSetExport, OneLineOrFileEach)
{
    PaletteWords a{}, b{};
    a.fill(0x0FFF);
    b.fill(0x8000);
    const QByteArray aWords = QByteArray("0x0FFF, ").repeated(16);
    const QByteArray bWords = QByteArray("0x8000, ").repeated(16);
    EXPECT_EQ(PaletteSetExport({a, b}, PaletteFormat::C),
              "const int fade_colors[] =\r\n{\r\n\t" + aWords + " // palette 0\r\n\t" + bWords +
                  " // palette 1\r\n};\r\n");
    EXPECT_EQ(PaletteSetExport({a, b}, PaletteFormat::Assembler),
              SourcePaletteExport(a, 1, PaletteFormat::Assembler) + SourcePaletteExport(b, 1, PaletteFormat::Assembler));
    EXPECT_EQ(PaletteSetExport({a, b}, PaletteFormat::PaletteFile),
              SourcePaletteExport(a, 1, PaletteFormat::PaletteFile) +
                  SourcePaletteExport(b, 1, PaletteFormat::PaletteFile));
}

TEST(ExportOptions, NamesAndTypes)
{
    const struct {
        const char* text;
        bool identifier;
        bool type;
    } rows[] = {
        {"fade_colors", true, true}, {"_x9", true, true},  {"u16", true, true},
        {"unsigned short", false, true}, {"unsigned  short", false, false}, {" u16", false, false},
        {"u16 ", false, false}, {"9lives", false, false}, {"a-b", false, false},
        {"", false, false},  {"s\xC3\xA9t", false, false}, {"unsigned\tshort", false, false},
    };
    for (const auto& row : rows) {
        const QString text = QString::fromUtf8(row.text);
        EXPECT_EQ(IsCIdentifier(text), row.identifier) << row.text;
        EXPECT_EQ(IsCType(text), row.type) << row.text;
    }
}

} // namespace
} // namespace palfade
