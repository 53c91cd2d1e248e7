#include "core/app_state.h"
#include "exports/exchange_export.h"
#include "exports/export_formats.h"
#include "exports/picture_export.h"
#include "exports/save_path.h"
#include "io/word_bytes.h"
#include "support/screen_fade_oracle.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QList>
#include <QString>

#include <vector>

namespace palfade {
namespace {

// A table whose cells encode to the given words, steps[s][j] for colour j.
FadeTable TableOfWords(const std::vector<std::vector<HwColor>>& steps)
{
    FadeTable table;
    table.Reset(static_cast<int>(steps.size()));
    for (std::size_t s = 0; s < steps.size(); ++s)
        for (std::size_t j = 0; j < steps[s].size(); ++j) {
            const PaletteEntry e = DecodeHwColor(steps[s][j]);
            table.at(static_cast<int>(j), static_cast<int>(s)) = FadeCell{e, 0};
        }
    return table;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

TEST(FadeTableExport, WorkedExampleInAllThreeFormats)
{
    const FadeTable table = TableOfWords({{0x0000, 0x7FFF}, {0x0888, 0x7FFF}, {0xFFFF, 0x0001}});
    EXPECT_EQ(FadeTableExport(table, 3, 2, kMotorolaWords),
              QByteArray("\tdc.w\t$0000,$7FFF\r\n"
                         "\tdc.w\t$0888,$7FFF\r\n"
                         "\tdc.w\t$FFFF,$0001\r\n"));
    EXPECT_EQ(FadeTableExport(table, 3, 2, kCWords),
              QByteArray("const int fade_colors[] =\r\n"
                         "{\r\n"
                         "\t0x0000, 0x7FFF,  // step 1\r\n"
                         "\t0x0888, 0x7FFF,  // step 2\r\n"
                         "\t0xFFFF, 0x0001,  // step 3\r\n"
                         "};\r\n"));
    EXPECT_EQ(FadeTableExport(table, 3, 2, kBigEndianWords),
              Bytes({0x00, 0x00, 0x7F, 0xFF, 0x08, 0x88, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x01}));
}

TEST(FadeTableExport, OneColourPerStep)
{
    const FadeTable table = TableOfWords({{0x8000, 0x1111}, {0x0ABC, 0x2222}, {0x0001, 0x3333}});
    EXPECT_EQ(FadeTableExport(table, 3, 1, kMotorolaWords),
              QByteArray("\tdc.w\t$8000\r\n\tdc.w\t$0ABC\r\n\tdc.w\t$0001\r\n"));
    EXPECT_EQ(FadeTableExport(table, 3, 1, kCWords),
              QByteArray("const int fade_colors[] =\r\n{\r\n"
                         "\t0x8000,  // step 1\r\n\t0x0ABC,  // step 2\r\n\t0x0001,  // step 3\r\n};\r\n"));
    EXPECT_EQ(FadeTableExport(table, 3, 1, kBigEndianWords), Bytes({0x80, 0x00, 0x0A, 0xBC, 0x00, 0x01}));
}

TEST(FadeTableExport, LargestShape)
{
    FadeTable table;
    table.Reset(kMaxPalettes);
    table.at(15, 255) = FadeCell{{31, 31, 31, 1}, 0};

    const QByteArray assembler = FadeTableExport(table, 256, 16, kMotorolaWords);
    const QList<QByteArray> lines = assembler.split('\n');
    ASSERT_EQ(lines.size(), 257); // 256 lines and the empty rest after the last LF
    EXPECT_TRUE(lines.last().isEmpty());
    for (qsizetype i = 0; i < 256; ++i)
        ASSERT_EQ(lines[i].size(), 101 + 1) << "line " << i; // with its CR
    EXPECT_TRUE(lines[255].endsWith("$0000,$FFFF\r"));

    const QByteArray c = FadeTableExport(table, 256, 16, kCWords);
    EXPECT_EQ(c.count("\r\n"), 259);
    EXPECT_TRUE(c.endsWith("0xFFFF,  // step 256\r\n};\r\n"));

    const QByteArray binary = FadeTableExport(table, 256, 16, kBigEndianWords);
    ASSERT_EQ(binary.size(), 8192);
    EXPECT_EQ(binary.right(2), Bytes({0xFF, 0xFF}));
}

TEST(FadeTableExport, CountsBeyondTheTableAreCut)
{
    const FadeTable table = TableOfWords({{0x0001}, {0x0002}, {0x0003}});
    EXPECT_EQ(FadeTableExport(table, 99, 1, kBigEndianWords), Bytes({0, 1, 0, 2, 0, 3}));
}

TEST(SourcePaletteExport, AllWhiteBottomPaletteOfSixteenSteps)
{
    AppState state;
    for (PaletteEntry& e : state.palettes[1])
        e = PaletteEntry{31, 31, 31, 0};
    state.colorCount = 1; // a palette export still writes 16 words
    ComputeFade(state);

    const PaletteWords words = SourcePaletteWords(state, 2);
    const int step = SourcePaletteStepNumber(state, 2);
    EXPECT_EQ(step, 16);

    QByteArray c = "const int fade_colors[] =\r\n{\r\n\t";
    QByteArray assembler = "\tdc.w\t";
    QByteArray file;
    for (int i = 0; i < 16; ++i) {
        c += "0x7FFF, ";
        assembler += i == 0 ? "$7FFF" : ",$7FFF";
        file += Bytes({0x7F, 0xFF});
    }
    c += " // step 16\r\n};\r\n";
    assembler += "\r\n";
    EXPECT_EQ(SourcePaletteExport(words, step, kCWords), c);
    EXPECT_EQ(SourcePaletteExport(words, step, kMotorolaWords), assembler);
    EXPECT_EQ(assembler.size(), 101 + 2);
    EXPECT_EQ(SourcePaletteExport(words, step, kBigEndianWords), file);

    // Palette 1 (Top) is black, numbered step 1.
    EXPECT_EQ(SourcePaletteStepNumber(state, 1), 1);
    EXPECT_EQ(SourcePaletteWords(state, 1), PaletteWords{});
}

TEST(SourcePaletteExport, TopAndBottomComeFromTheTableEnds)
{
    AppState state;
    state.paletteCount = 3;
    state.palettes[0][4] = PaletteEntry{21, 10, 5, 1};
    state.palettes[1][0] = PaletteEntry{16, 8, 4, 0};
    ComputeFade(state);
    EXPECT_EQ(SourcePaletteWords(state, 1)[4], 0xDA52);
    EXPECT_EQ(SourcePaletteWords(state, 2)[0], 0x0842);
    for (std::size_t j = 0; j < kPaletteSize; ++j) {
        EXPECT_EQ(SourcePaletteWords(state, 1)[j], EncodeHwColor(state.palettes[0][j]));
        EXPECT_EQ(SourcePaletteWords(state, 2)[j], EncodeHwColor(state.palettes[1][j]));
    }
    EXPECT_TRUE(SourcePaletteExport(SourcePaletteWords(state, 2), SourcePaletteStepNumber(state, 2),
                                    kCWords)
                    .contains("  // step 3\r\n"));
}

struct SavePathRow {
    const FileRequester& requester;
    int filter;
    const char* typed;
    const char* expected;
};

TEST(FinalSavePath, AppendsTheFiltersExtensionWhenTheNameLacksIt)
{
    const SavePathRow rows[] = {
        {kFadeTableSave, 0, "fade", "fade.s"},
        {kFadeTableSave, 0, "FADE.S", "FADE.S"},
        {kFadeTableSave, 0, "fade.txt", "fade.txt.s"},
        {kFadeTableSave, 1, "fade.bin", "fade.bin.c"},
        {kFadeTableSave, 1, "x.C", "x.C"},
        {kFadeTableSave, 2, "x.Bin", "x.Bin"},
        {kFadeTableSave, 2, "x.binary", "x.binary.bin"},
        {kFadeTableSave, 0, "/tmp/dir.s/fade", "/tmp/dir.s/fade.s"},
        {kFadeTableSave, 0, "/tmp/v1.2/fade", "/tmp/v1.2/fade.s"},
        {kFadeTableSave, 0, "fade.", "fade..s"},
        {kSourcePaletteSave, 2, "pal.NGPAL", "pal.NGPAL"},
        {kSourcePaletteSave, 2, "pal.txt", "pal.txt.ngpal"},
        {kSourcePaletteSave, 0, "pal", "pal.s"},
        {kSourcePaletteSave, 1, "pal.c", "pal.c"},
        {kPictureSave, 0, "fade", "fade.png"},
        {kPictureSave, 0, "FADE.PNG", "FADE.PNG"},
        {kPictureSave, 0, "fade.bmp", "fade.bmp.png"},
        {kPictureSave, 1, "pic.png", "pic.png.bmp"},
        {kPictureSave, 1, "PIC.BMP", "PIC.BMP"},
        {kPictureSave, 5, "pic", "pic.bmp"},
    };
    for (const SavePathRow& row : rows)
        EXPECT_EQ(FinalSavePath(QString::fromUtf8(row.typed), row.requester.Chosen(row.filter)),
                  QString::fromUtf8(row.expected))
            << row.typed << " filter " << row.filter;
}

TEST(FinalSavePath, FilterDecidesTheFormat)
{
    EXPECT_EQ(kFadeTableSave.Chosen(0).wordExport, &kMotorolaWords);
    EXPECT_EQ(kFadeTableSave.Chosen(1).wordExport, &kCWords);
    EXPECT_EQ(kFadeTableSave.Chosen(2).wordExport, &kBigEndianWords);
    EXPECT_EQ(kFadeTableSave.Chosen(7).wordExport, &kMotorolaWords);
    EXPECT_EQ(kSourcePaletteSave.Chosen(2).wordExport, &kBigEndianWords);
    EXPECT_EQ(kPictureSave.Chosen(0).pictureExport, PictureFormat::Png);
    EXPECT_EQ(kPictureSave.Chosen(1).pictureExport, PictureFormat::Bmp);
    EXPECT_EQ(kPictureSave.Chosen(-1).pictureExport, PictureFormat::Bmp);
}


// The first bytes of a picture file of the format an extension names.
QByteArray Signature(const char* extension)
{
    return std::string_view(extension) == "png" ? QByteArray("\x89PNG\r\n\x1A\n") : QByteArray("BM");
}

// What a format says it takes is what its export writes, and a picture
// format's encoder writes the file its extension names.
TEST(FileFormat, CapabilitiesAgreeWithTheExport)
{
    const ExportOptions dressed{QStringLiteral("tbl"), QStringLiteral("u16")};
    PixelBuffer pixel;
    pixel.Resize(1, 1);
    for (const FileFormat* format : kCliFormats) {
        SCOPED_TRACE(format->cliName);
        EXPECT_EQ((format->wordExport != nullptr) + format->IsPicture() + format->exchangeExport.has_value(), 1);
        EXPECT_EQ(format->IsAnimation() || format->IsSheet(), format->artExport.has_value());
        if (format->wordExport) {
            const QByteArray words = SourcePaletteExport(PaletteWords{}, 1, *format->wordExport, dressed);
            EXPECT_EQ(words.contains("tbl"), format->TakesLabel());
            EXPECT_EQ(words.contains("\r\ntbl:\r\n"), format->TakesAsmLabel());
            EXPECT_EQ(words.contains("u16"), format->TakesCType());
        }
        if (format->exchangeExport) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            StreamedExchange(*format->exchangeExport, LinearLevelSet(), ExchangeHead{QStringLiteral("tbl"), 16, 16},
                             [](LineWriter& writer) { return WritePaletteColors(writer, PaletteWords{}); })(buffer);
            EXPECT_EQ(bytes.contains("tbl"), format->TakesLabel());
            EXPECT_FALSE(format->TakesCType());
        }
        if (format->pictureExport) {
            const QByteArray picture = EncodePicture(pixel, *format->pictureExport).value;
            EXPECT_TRUE(picture.startsWith(Signature(format->extensions[0])));
        }
    }
}


ExportOptions Options(const char* label = "", const char* cType = "int")
{
    return ExportOptions{QString::fromLatin1(label), QString::fromLatin1(cType)};
}

// An export written through the writer into memory.
QByteArray Written(const ExportSyntax& syntax, const ExportOptions& options, std::function<bool(LineWriter&)> write)
{
    QByteArray out;
    QBuffer sink(&out);
    sink.open(QIODevice::WriteOnly);
    StreamedExport(syntax, options, std::move(write))(sink);
    return out;
}

TEST(ExportOptions, FadeTableInEverySyntax)
{
    const FadeTable table = TableOfWords({{0x0000, 0x7FFF}, {0x8ABC, 0x0001}});
    const struct {
        const ExportSyntax& syntax;
        ExportOptions options;
        QByteArray expected;
    } rows[] = {
        {kGnuWords, Options(), "\t.word\t0x0000,0x7FFF\r\n\t.word\t0x8ABC,0x0001\r\n"},
        {kMotorolaWords, Options("title_fade"),
         "\txdef\ttitle_fade\r\n\teven\r\ntitle_fade:\r\n\tdc.w\t$0000,$7FFF\r\n\tdc.w\t$8ABC,$0001\r\n"},
        {kGnuWords, Options("_fade2"),
         "\t.globl\t_fade2\r\n\t.balign\t2\r\n_fade2:\r\n\t.word\t0x0000,0x7FFF\r\n\t.word\t0x8ABC,0x0001\r\n"},
        {kCWords, Options("title_fade", "unsigned short"),
         "const unsigned short title_fade[] =\r\n{\r\n\t0x0000, 0x7FFF,  // step 1\r\n"
         "\t0x8ABC, 0x0001,  // step 2\r\n};\r\n"},
        {kCWords, Options("", "u16"),
         "const u16 fade_colors[] =\r\n{\r\n\t0x0000, 0x7FFF,  // step 1\r\n\t0x8ABC, 0x0001,  // step 2\r\n};\r\n"},
        {kBigEndianWords, Options("unused", "u16"),
         QByteArray("\x00\x00\x7F\xFF\x8A\xBC\x00\x01", 8)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FadeTableExport(table, 2, 2, row.syntax, row.options), row.expected) << row.expected.constData();
}

TEST(ExportOptions, SourcePaletteInEverySyntax)
{
    PaletteWords words{};
    words[0] = 0x8000;
    words[15] = 0x7FFF;
    const QByteArray gasWords = "0x8000" + QByteArray(",0x0000").repeated(14) + ",0x7FFF\r\n";
    const QByteArray cWords = "\t0x8000, " + QByteArray("0x0000, ").repeated(14) + "0x7FFF,  // step 16\r\n";
    EXPECT_EQ(SourcePaletteExport(words, 16, kGnuWords, Options("pal")),
              "\t.globl\tpal\r\n\t.balign\t2\r\npal:\r\n\t.word\t" + gasWords);
    EXPECT_EQ(SourcePaletteExport(words, 16, kCWords, Options("pal", "uint16_t")),
              "#include <stdint.h>\r\nconst uint16_t pal[] =\r\n{\r\n" + cWords + "};\r\n");
    EXPECT_EQ(SourcePaletteExport(words, 16, kBigEndianWords, Options("pal")),
              SourcePaletteExport(words, 16, kBigEndianWords));
}

// A whole-screen fade of three steps, written as it is computed. Between
// two colours whose levels differ by two the straight interpolation's middle
// step is the level between, so each palette's three steps of words are
// {first, middle, last}.
QByteArray WrittenScreenFade(const std::vector<PaletteWords>& tops, const std::vector<PaletteWords>& bottoms, int colors,
                            const std::vector<int>& order, const ExportSyntax& syntax, const ExportOptions& options = {})
{
    return Written(syntax, options, [&](LineWriter& writer) {
        return WriteScreenFade(writer, ScreenFadeInputs{tops, bottoms, 3, false, false}, colors, order);
    });
}

TEST(WriteScreenFade, FrameMajor)
{
    // Two palettes, three steps, two colours: step s of palette k holds k s0 / k s1 ...
    const std::vector<PaletteWords> tops{{0x0001, 0x0002}, {0x0101, 0x0102}}, bottoms{{0x0021, 0x0022}, {0x0121, 0x0122}};
    const std::vector<int> steps = StepOrder(3, false);
    EXPECT_EQ(WrittenScreenFade(tops, bottoms, 2, steps, kMotorolaWords),
              "\tdc.w\t$0001,$0002\r\n\tdc.w\t$0101,$0102\r\n"
              "\tdc.w\t$0011,$0012\r\n\tdc.w\t$0111,$0112\r\n"
              "\tdc.w\t$0021,$0022\r\n\tdc.w\t$0121,$0122\r\n");
    EXPECT_EQ(WrittenScreenFade(tops, bottoms, 1, steps, kGnuWords, Options("fades")),
              "\t.globl\tfades\r\n\t.balign\t2\r\nfades:\r\n"
              "\t.word\t0x0001\r\n\t.word\t0x0101\r\n\t.word\t0x0011\r\n"
              "\t.word\t0x0111\r\n\t.word\t0x0021\r\n\t.word\t0x0121\r\n");
    EXPECT_EQ(WrittenScreenFade(tops, bottoms, 2, {0, 1}, kCWords, Options("fades", "u16")),
              "const u16 fades[] =\r\n{\r\n"
              "\t0x0001, 0x0002,  // step 1 palette 0\r\n\t0x0101, 0x0102,  // step 1 palette 1\r\n"
              "\t0x0011, 0x0012,  // step 2 palette 0\r\n\t0x0111, 0x0112,  // step 2 palette 1\r\n};\r\n");
    EXPECT_EQ(WrittenScreenFade(tops, bottoms, 1, steps, kBigEndianWords),
              QByteArray("\x00\x01\x01\x01\x00\x11\x01\x11\x00\x21\x01\x21", 12));
    // One palette is the single fade.
    const FadeTable table = TableOfWords({{0x0101, 0x0102}, {0x0111, 0x0112}, {0x0121, 0x0122}});
    for (const ExportSyntax* syntax : {&kMotorolaWords, &kBigEndianWords})
        EXPECT_EQ(WrittenScreenFade({tops[1]}, {bottoms[1]}, 2, steps, *syntax), FadeTableExport(table, 3, 2, *syntax));
}

TEST(WriteScreenFade, StreamedEqualsComputedInMemory)
{
    // 1,000 palettes of 40 steps, the frames written as computed and seen by
    // `written`, against the single fades' words.
    std::vector<PaletteWords> tops(1000);
    for (std::size_t k = 0; k < tops.size(); ++k)
        for (std::size_t j = 0; j < kPaletteSize; ++j)
            tops[k][j] = static_cast<HwColor>((k * 16 + j) * 2654435761u >> 12);
    std::vector<PaletteWords> white(1);
    white[0].fill(0x7FFF);
    const ScreenFadeInputs in{tops, white, 40, false, true};
    for (bool thereAndBack : {false, true}) {
        const std::vector<int> order = StepOrder(40, thereAndBack);
        const ScreenFadeWords inMemory = ScreenFadeOracle(in, 15, order);
        QByteArray expected;
        for (const HwColor word : inMemory.words)
            AppendBigEndianWord(expected, word);
        std::vector<HwColor> seen;
        EXPECT_TRUE(expected == Written(kBigEndianWords, {}, [&](LineWriter& writer) {
            return WriteScreenFade(writer, in, 15, order, [&](std::span<const HwColor> frame) {
                seen.insert(seen.end(), frame.begin(), frame.end());
            });
        })) << "there and back " << thereAndBack;
        EXPECT_EQ(seen, inMemory.words);
    }
}

TEST(PaletteSetExport, OneLineOrFileEach)
{
    PaletteWords a{}, b{};
    a.fill(0x0FFF);
    b.fill(0x8000);
    const QByteArray aWords = QByteArray("0x0FFF, ").repeated(16);
    const QByteArray bWords = QByteArray("0x8000, ").repeated(16);
    EXPECT_EQ(PaletteSetExport({a, b}, kCWords),
              "const int fade_colors[] =\r\n{\r\n\t" + aWords + " // palette 0\r\n\t" + bWords +
                  " // palette 1\r\n};\r\n");
    EXPECT_EQ(PaletteSetExport({a, b}, kMotorolaWords),
              SourcePaletteExport(a, 1, kMotorolaWords) + SourcePaletteExport(b, 1, kMotorolaWords));
    EXPECT_EQ(PaletteSetExport({a, b}, kBigEndianWords),
              SourcePaletteExport(a, 1, kBigEndianWords) +
                  SourcePaletteExport(b, 1, kBigEndianWords));
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

// What a C compiler or the assembler would refuse as the table's name or
// element type.
TEST(ExportOptions, NamesAndTypesTheToolchainsAccept)
{
    const struct {
        const char* text;
        bool keyword;
        bool reg;
        bool elementType;
    } rows[] = {
        {"u16", false, false, true},          {"uint16_t", false, false, true},
        {"unsigned short", false, false, true}, {"short unsigned int", false, false, true},
        {"long int", false, false, true},     {"unsigned long long int", false, false, true},
        {"long double", false, false, true},  {"const volatile u16", false, false, true},
        {"int", true, false, true},           {"_Bool", true, false, true},
        {"void", true, false, false},         {"int int", false, false, false},
        {"struct s", false, false, false},    {"typedef", true, false, false},
        {"long long long", false, false, false}, {"short long", false, false, false},
        {"signed unsigned", false, false, false}, {"u16 int", false, false, false},
        {"u16 u8", false, false, false},      {"const", true, false, false},
        {"static int", false, false, false},  {"unsigned float", false, false, false},
        {"a  b", false, false, false},        {"asm", true, false, false},
        {"if", true, false, false},           {"register", true, false, false},
        {"_Thread_local", true, false, false}, {"d0", false, true, true},
        {"D7", false, true, true},            {"a7", false, true, true},
        {"SP", false, true, true},            {"pc", false, true, true},
        {"sr", false, true, true},            {"ccr", false, true, true},
        {"Usp", false, true, true},           {"d8", false, false, true},
        {"a10", false, false, true},          {"fp", false, false, true},
        {"Int", false, false, true},
    };
    for (const auto& row : rows) {
        const QString text = QString::fromLatin1(row.text);
        EXPECT_EQ(IsCKeyword(text), row.keyword) << row.text;
        EXPECT_EQ(IsM68kRegister(text), row.reg) << row.text;
        EXPECT_EQ(IsCElementType(text), row.elementType) << row.text;
    }
}

} // namespace
} // namespace palfade
