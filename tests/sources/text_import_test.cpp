#include "core/app_state.h"
#include "exports/export_formats.h"
#include "sources/palette_source.h"

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

// The import of a text: its first 16 colour words into entries 0 on, over
// the palette; a read that fails leaves it as it was.
SourceRequest ImportRequest(const SourcePalette& over)
{
    SourceRequest request;
    request.kind = SourceKind::Text;
    request.text.bareMarks = BareMarks::Zero;
    request.needed = 1;
    request.base = WordsOfPalette(over);
    return request;
}

void Over(const IoResult<SourcePalettes>& read, SourcePalette& palette)
{
    if (read.ok())
        palette = PaletteOfWords(read.value.palettes.front());
}

void ParsePaletteText(QStringView text, SourcePalette& palette)
{
    Over(ReadSource(SourceOrigin::Memory(text.toString(), QStringLiteral("t"), QString()), ImportRequest(palette)),
         palette);
}

// The bytes decoded in the given pieces.
void ImportPaletteTextPieces(const std::vector<QByteArrayView>& pieces, SourcePalette& palette)
{
    TextDecoder decoder;
    TextPaletteReader reader(ImportRequest(palette), QStringLiteral("t"), QString());
    for (QByteArrayView piece : pieces)
        reader.Feed(decoder.Feed(piece));
    reader.Feed(decoder.Finish());
    Over(reader.Finish(decoder.Nuls()), palette);
}

void ImportPaletteTextBytes(QByteArrayView bytes, SourcePalette& palette)
{
    ImportPaletteTextPieces({bytes}, palette);
}


TEST(ParsePaletteText, WorkedExample)
{
    SourcePalette palette = Marked();
    ParsePaletteText(u"PAL: dc.w $0000,$7FFF, 0x0888 ; #$0FFF 12", palette);
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
        const QString text = QString::fromUtf16(row.text);
        ParsePaletteText(text, palette);
        for (std::size_t i = 0; i < 16; ++i) {
            if (i < row.words.size())
                EXPECT_EQ(EncodeHwColor(palette[i]), row.words[i]) << text.toStdString();
            else
                EXPECT_EQ(palette[i], kMarker) << text.toStdString();
        }
    }
}

TEST(ParsePaletteText, SixteenEntriesAtMostAndOneCountAcrossLines)
{
    QString twenty;
    for (int i = 0; i < 20; ++i)
        twenty += QStringLiteral("$%1 ").arg(i + 1, 4, 16, QLatin1Char('0'));
    SourcePalette palette = Marked();
    ParsePaletteText(twenty, palette);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(EncodeHwColor(palette[static_cast<std::size_t>(i)]), i + 1);

    palette = Marked();
    ParsePaletteText(u"$0001,$0002\ndc.w $0003", palette);
    EXPECT_EQ(EncodeHwColor(palette[2]), 0x0003);
    EXPECT_EQ(palette[3], kMarker);
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
        ImportPaletteTextBytes(SourcePaletteExport(words, 256, *syntax), palette);
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
    ImportPaletteTextBytes(FadeTableExport(state.fadeTable, 16, 8, kMotorolaWords), palette);
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
            std::vector<QByteArrayView> pieces;
            if (cut < 0) {
                for (qsizetype i = 0; i < row.bytes.size(); ++i)
                    pieces.push_back(QByteArrayView(row.bytes).sliced(i, 1));
            } else {
                pieces = {QByteArrayView(row.bytes).first(cut), QByteArrayView(row.bytes).sliced(cut)};
            }
            ImportPaletteTextPieces(pieces, palette);
            for (std::size_t i = 0; i < 16; ++i)
                EXPECT_EQ(palette[i], i < row.words.size() ? DecodeHwColor(row.words[i]) : kMarker)
                    << row.name << " cut " << cut;
        }
    }
}

TEST(TextImport, ReadsFromADevice)
{
    QByteArray data = "$0001 $0002\n";
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    SourcePalette palette = Marked();
    const IoResult<SourcePalettes> read =
        ReadSource(SourceOrigin::Device(buffer, QStringLiteral("buffer"), QString()), ImportRequest(palette));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value.palettes.front()[1], 0x0002);
    EXPECT_EQ(PaletteOfWords(read.value.palettes.front())[2], kMarker);

    const QString missing = QStringLiteral("/nonexistent/palette.txt");
    EXPECT_FALSE(ReadSource(SourceOrigin::File(missing), ImportRequest(palette)).ok());
    EXPECT_FALSE(ReadSource(SourceOrigin::File(QStringLiteral("/tmp")), ImportRequest(palette)).ok());
}

} // namespace
} // namespace palfade
