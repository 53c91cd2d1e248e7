#include "core/app_state.h"
#include "exports/export_formats.h"
#include "sources/text_import.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QString>

namespace palfade {
namespace {

constexpr PaletteEntry kMarker{5, 6, 7, 1};

SourcePalette Marked()
{
    SourcePalette p;
    p.fill(kMarker);
    return p;
}

void ImportPaletteTextBytes(QByteArrayView bytes, SourcePalette& palette, int& counter)
{
    PaletteTextReader reader(palette, counter);
    reader.Feed(bytes);
    reader.Finish();
}


TEST(ParsePaletteText, WorkedExample)
{
    SourcePalette palette = Marked();
    int counter = 0;
    ParsePaletteText(u"PAL: dc.w $0000,$7FFF, 0x0888 ; #$0FFF 12", palette, counter);
    EXPECT_EQ(counter, 3);
    EXPECT_EQ(palette[0], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(palette[1], (PaletteEntry{31, 31, 31, 0}));
    EXPECT_EQ(palette[2], (PaletteEntry{16, 16, 16, 0}));
    for (std::size_t i = 3; i < 16; ++i)
        EXPECT_EQ(palette[i], kMarker);
}

TEST(ParsePaletteText, TokenRules)
{
    struct Row {
        const char16_t* text;
        std::vector<HwColor> words; // the entries set, from entry 0
    };
    const Row rows[] = {
        {u"$G1", {0x0000}},
        {u"$", {0x0000}},
        {u"0x", {0x0000}},
        {u"$12345", {0x2345}},
        {u"$7FFFh", {0x7FFF}},
        {u"0x7fff 0X0abc $abcd", {0x7FFF, 0x0ABC, 0xABCD}},
        {u"#$0FFF =$0FFF", {}},
        {u"12 0101 %0101 $-1", {0x0000}}, // "-" ends "$": an empty word
        {u"[$0123] \"$0456\"", {}},       // brackets and quotes are part of tokens
        {u"$0123\u00A7$0456", {0x0123, 0x0456}},
        {u"x$0001_$0002.$0003:$0004+$0005", {0x0002, 0x0003, 0x0004, 0x0005}}, // "x$0001" is one token
        {u"(a)\\{b}|c*!&<>$0009", {0x0009}},
        {u"0x0x12", {0x0000}}, // "$0X12": the X ends the digits
    };
    for (const Row& row : rows) {
        SourcePalette palette = Marked();
        int counter = 0;
        const QString text = QString::fromUtf16(row.text);
        ParsePaletteText(text, palette, counter);
        ASSERT_EQ(counter, static_cast<int>(row.words.size())) << text.toStdString();
        for (std::size_t i = 0; i < 16; ++i) {
            if (i < row.words.size())
                EXPECT_EQ(EncodeHwColor(palette[i]), row.words[i]) << text.toStdString();
            else
                EXPECT_EQ(palette[i], kMarker) << text.toStdString();
        }
    }
}

TEST(ParsePaletteText, SixteenEntriesAtMostAndCounterAcrossCalls)
{
    QString twenty;
    for (int i = 0; i < 20; ++i)
        twenty += QStringLiteral("$%1 ").arg(i + 1, 4, 16, QLatin1Char('0'));
    SourcePalette palette = Marked();
    int counter = 0;
    ParsePaletteText(twenty, palette, counter);
    EXPECT_EQ(counter, 16);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(EncodeHwColor(palette[static_cast<std::size_t>(i)]), i + 1);

    palette = Marked();
    counter = 0;
    ParsePaletteText(u"$0001,$0002", palette, counter);
    ParsePaletteText(u"dc.w $0003", palette, counter);
    EXPECT_EQ(counter, 3);
    EXPECT_EQ(EncodeHwColor(palette[2]), 0x0003);
    EXPECT_EQ(palette[3], kMarker);

    counter = 16;
    ParsePaletteText(u"$7FFF", palette, counter);
    EXPECT_EQ(counter, 16);
}

SourcePalette Sample()
{
    SourcePalette p;
    for (int i = 0; i < 16; ++i)
        p[static_cast<std::size_t>(i)] = PaletteEntry{i * 2, 31 - i, i, i % 2};
    return p;
}

TEST(TextImport, ExportsReadBackIntoThePalette)
{
    const SourcePalette original = Sample();
    PaletteWords words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = EncodeHwColor(original[i]);
    for (const ExportSyntax* syntax : {&kMotorolaWords, &kCWords}) {
        SourcePalette palette = Marked();
        int counter = 0;
        ImportPaletteTextBytes(SourcePaletteExport(words, 256, *syntax), palette, counter);
        EXPECT_EQ(counter, 16);
        EXPECT_EQ(palette, original);
    }
}

TEST(TextImport, FadeExportWithEightColoursFillsFromTwoLines)
{
    AppState state;
    state.palettes[0] = Sample();
    state.palettes[1] = Sample();
    ComputeFade(state);
    SourcePalette palette = Marked();
    int counter = 0;
    ImportPaletteTextBytes(FadeTableExport(state.fadeTable, 16, 8, kMotorolaWords), palette, counter);
    EXPECT_EQ(counter, 16);
    for (int i = 0; i < 16; ++i) {
        const FadeCell& c = state.fadeTable.at(i % 8, i / 8);
        EXPECT_EQ(palette[static_cast<std::size_t>(i)], (PaletteEntry{c.red, c.green, c.blue, c.dark})) << i;
    }
}

TEST(TextImport, EncodingsAndLineEnds)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        std::vector<HwColor> words;
    };
    const QString text = QStringLiteral("dc.w $0123,$4567\r\n0x89ab\r$CDEF\n");
    auto utf16 = [&](bool bigEndian) {
        QByteArray b = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
        for (QChar c : text) {
            const char hi = static_cast<char>(c.unicode() >> 8), lo = static_cast<char>(c.unicode() & 0xFF);
            b.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
        }
        return b;
    };
    const std::vector<HwColor> all = {0x0123, 0x4567, 0x89AB, 0xCDEF};
    const Row rows[] = {
        {"utf-8", text.toUtf8(), all},
        {"utf-8 with mark", QByteArray("\xEF\xBB\xBF") + text.toUtf8(), all},
        {"utf-16 le", utf16(false), all},
        {"utf-16 be", utf16(true), all},
        {"mark first word", QByteArray("\xEF\xBB\xBF$0001"), {0x0001}},
        {"invalid utf-8", QByteArray("\xC3 $0001 \xFF\xFE $0002 \xE2\x82"), {0x0001, 0x0002}},
        {"mark only", QByteArray("\xFF\xFE"), {}},
        {"empty", QByteArray(), {}},
        {"short", QByteArray("$1"), {0x0001}},
        // A lone leading surrogate, then a pair, inside a word.
        {"utf-16 surrogates", QByteArray("\xFF\xFE$\0" "1\0\0\xD8\0\xD8\0\xDC \0$\0" "2\0", 18), {0x0001, 0x0002}},
        // A broken sequence right before a separator must not eat it,
        // wherever the text is cut into pieces.
        {"broken before space", QByteArray("dc.w $0000,$7FF\xBA\xCD 0x08\"88 ; #$0FFF 12\r\n"), {0x0000, 0x07FF, 0x0008}},
    };
    for (const Row& row : rows) {
        // Whole, one byte at a time, and cut in two anywhere: the same result.
        for (qsizetype cut = -1; cut <= row.bytes.size(); ++cut) {
            SourcePalette palette = Marked();
            int counter = 0;
            PaletteTextReader reader(palette, counter);
            if (cut < 0) {
                for (char c : row.bytes)
                    reader.Feed(QByteArrayView(&c, 1));
            } else {
                reader.Feed(QByteArrayView(row.bytes).first(cut));
                reader.Feed(QByteArrayView(row.bytes).sliced(cut));
            }
            reader.Finish();
            ASSERT_EQ(counter, static_cast<int>(row.words.size())) << row.name << " cut " << cut;
            for (std::size_t i = 0; i < row.words.size(); ++i)
                EXPECT_EQ(EncodeHwColor(palette[i]), row.words[i]) << row.name << " cut " << cut;
        }
    }
}

TEST(TextImport, ReadsFromADevice)
{
    QByteArray data = "$0001 $0002\n";
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    SourcePalette palette = Marked();
    int counter = 0;
    EXPECT_TRUE(ImportPaletteTextFrom(buffer, QStringLiteral("buffer"), palette, counter).ok());
    EXPECT_EQ(counter, 2);

    EXPECT_FALSE(ImportPaletteTextFile(QStringLiteral("/nonexistent/palette.txt"), palette, counter).ok());
    EXPECT_FALSE(ImportPaletteTextFile(QStringLiteral("/tmp"), palette, counter).ok());
}

} // namespace
} // namespace palfade
