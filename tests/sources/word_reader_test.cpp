#include "sources/source_reading.h"
#include "text/word_reader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QString>

#include <vector>

namespace palfade {
namespace {

using Words = std::vector<HwColor>;

Words ScanInPieces(const QString& text, qsizetype piece)
{
    Words words;
    ColourWordScanner scanner([&words](HwColor w) { words.push_back(w); });
    for (qsizetype at = 0; at < text.size(); at += piece)
        scanner.Feed(QStringView(text).sliced(at, std::min(piece, text.size() - at)));
    scanner.Finish();
    return words;
}

TEST(ColourWordScanner, LongWordsReadAsWhole)
{
    const struct {
        QString text;
        Words words;
    } rows[] = {
        {QStringLiteral("$") + QString(3000, u'0') + QStringLiteral("12ab"), {0x12AB}},
        {QStringLiteral("0x") + QString(3000, u'f') + QStringLiteral("G") + QString(500, u'1'), {0xFFFF}},
        {QStringLiteral("$12") + QString(1000, QChar(0xFB00)) + QStringLiteral(" $7"), {0xFFFF, 0x0007}}, // "ff" ligatures
        {QStringLiteral("$1") + QString(1000, QChar(0xFB01)), {0x001F}}, // "fi": the I ends the digits
        {QString(5000, u'A') + QStringLiteral("$1 ") + QString(5000, QChar(0)) + QStringLiteral(",0x2"), {0x0002}},
        {QStringLiteral("$9") + QString(999, u'9') + QString(QChar(0xD83D)) + QString(QChar(0xDE00)), {0x9999}},
    };
    for (const auto& row : rows)
        for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(300), row.text.size()})
            EXPECT_EQ(ScanInPieces(row.text, piece), row.words) << row.text.left(8).toStdString() << " " << piece;
}

TEST(TextDecoder, LongRunsWithoutABoundaryDecodeAsWhole)
{
    // No ASCII byte: the decoder must still hand text on.
    QByteArray bytes;
    for (int i = 0; i < 40000; ++i)
        bytes += "\xC3\xA9\xFF";
    bytes += "\xE2\x82";
    TextDecoder decoder;
    QString text;
    for (qsizetype at = 0; at < bytes.size(); at += 4096) {
        text += decoder.Feed(QByteArrayView(bytes).sliced(at, std::min<qsizetype>(4096, bytes.size() - at)));
        if (at > 100000) {
            EXPECT_FALSE(text.isEmpty()); // nothing waits for a boundary that never comes
        }
    }
    text += decoder.Finish();
    const QString whole = DecodeTextBytes(bytes);
    EXPECT_EQ(text.size(), whole.size());
    qsizetype i = 0;
    while (i < text.size() && i < whole.size() && text[i] == whole[i])
        ++i;
    EXPECT_EQ(i, whole.size()) << text.mid(i - 3, 8).toStdString();
    EXPECT_EQ(text, whole);
    EXPECT_FALSE(decoder.SawNul());
}

TEST(CommentFilter, UnclosedBlockNamesItsLine)
{
    const struct {
        const char16_t* text;
        qint64 line; // 0: closed
    } rows[] = {
        {u"$0001 /* a */ $0002", 0},
        {u"$0001\r\n$0002\r\n/* open\n$0003", 3},
        {u"a\rb\n/*\n*/ c /* d", 4},
        {u"; /* in a line comment\n// /* too\n", 0},
    };
    for (const auto& row : rows) {
        CommentFilter filter(kSkippedComments);
        QString out;
        filter.Filter(QString::fromUtf16(row.text), out);
        filter.Flush(out);
        EXPECT_EQ(filter.UnclosedLine().value_or(0), row.line) << QString::fromUtf16(row.text).toStdString();
    }
}

// The assembler's "|" comments only after a blank; C's literals are quoted
// with their escapes and what they hold is dropped.
TEST(CommentFilter, BarsAndLiterals)
{
    const struct {
        const CommentRules* rules;
        const char16_t* line;
        const char16_t* kept;
    } rows[] = {
        {&kAsmStatements, u"\tdc.w $7FFF|$8000", u"\tdc.w $7FFF|$8000"},
        {&kAsmStatements, u"\tdc.w $7FFF |$8000", u"\tdc.w $7FFF "},
        {&kAsmStatements, u"| a comment", u""},
        {&kAsmStatements, u"\tincbin \"a;b|c\" ; why", u"\tincbin \"a;b|c\" "},
        {&kAsmStatements, u"\tdc.b \"\\\" |\" | x", u"\tdc.b \"\\\" |\" "},
        {&kCSourceCode, u"s = \"a \\\" /* b\"; x /* c */ y", u"s = \"\"; x   y"},
        {&kCSourceCode, u"c = '\"'; d = '\\''; e // it's", u"c = ''; d = ''; e "},
        {&kCSourceCode, u"/* it's */ pal", u"  pal"},
    };
    for (const auto& row : rows) {
        CommentFilter filter(*row.rules);
        QString out;
        filter.Line(QString::fromUtf16(row.line), out);
        EXPECT_EQ(out, QString::fromUtf16(row.kept)) << QString::fromUtf16(row.line).toStdString();
    }
}

// NUL bytes in every other byte of the first bytes look like UTF-16 text
// without its byte-order mark.
TEST(TextDecoder, NulBytes)
{
    const struct {
        QByteArray bytes;
        NulBytes nuls;
    } rows[] = {
        {"$7FFF", NulBytes::None},
        {QByteArray("$\0" "7\0F\0F\0", 8), NulBytes::EveryOther},
        {QByteArray("\0$\0" "7\0F\0F", 8), NulBytes::EveryOther},
        {QByteArray("\xFF\xFE$\0" "7\0F\0F\0", 10), NulBytes::Some}, // decoded as UTF-16
        {QByteArray("\x0F\xFF\0\0\x0E\xEE\0\0", 8), NulBytes::Some},
    };
    for (const auto& row : rows) {
        TextDecoder decoder;
        decoder.Feed(row.bytes);
        decoder.Finish();
        EXPECT_EQ(decoder.Nuls(), row.nuls) << row.bytes.toHex().toStdString();
    }
}

using test::Pal;

TEST(TextPaletteReader, GroupingAndWarnings)
{
    QString fortyNine;
    for (int i = 1; i <= 49; ++i)
        fortyNine += QStringLiteral("$%1 ").arg(i, 4, 16, QLatin1Char('0'));
    auto options = [](int size, int first, bool count, bool comments = false) {
        TextSourceOptions o;
        o.paletteSize = size;
        o.firstEntry = first;
        o.countWord = count;
        o.skipComments = comments;
        return o;
    };
    const struct {
        QString text;
        TextSourceOptions options;
        std::size_t needed;
        std::vector<SourcePalette> palettes;
        QStringList warnings;
        QString error;
    } rows[] = {
        {QStringLiteral("$0001 $0002 $0003 $0004 $0005"), options(2, 3, false), kEveryPalette,
         {Pal({1, 2}, 3), Pal({3, 4}, 3), Pal({5}, 3)},
         {QStringLiteral("the last palette of t.s has 1 word; is --table or --skip-words needed?")}, {}},
        {fortyNine, options(16, 0, false), 2, {Pal({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}),
                                                Pal({17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32})},
         {}, {}},
        {QStringLiteral("$0002 $000A $000B $000C $000D $0003"), options(2, 0, true), kEveryPalette,
         {Pal({0xA, 0xB}), Pal({0xC, 0xD})},
         {QStringLiteral("t.s: the words after the 2 palettes its count word gives are not palettes: $0003 ...")}, {}},
        {QStringLiteral("$0002 $000A $000B"), options(2, 0, true), 1, {}, {},
         QStringLiteral("t.s: its count word gives 2 palettes (4 words) but 2 words follow")},
        {QStringLiteral("$0001 /* $0002\n\n $0003"), options(16, 0, false, true), kEveryPalette, {}, {},
         QStringLiteral("t.s: the /* comment opened on line 1 is never closed")},
        // Once the words needed are read, what follows is not looked at.
        {QStringLiteral("$0001 /* $0002"), options(1, 0, false, true), 1, {Pal({1})}, {}, {}},
        {QString::fromLatin1("\0\0\0x", 4), options(16, 0, false), 1, {}, {},
         QStringLiteral("no colour word (\"$7FFF\" or \"0x7FFF\") found in t.s; it holds NUL bytes: if it is a "
                        "palette file, read it with --read-as ngpal")},
    };
    for (const auto& row : rows) {
        QByteArray bytes = row.text.toUtf8();
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        const IoResult<SourcePalettes> got = ReadSource(SourceOrigin::Device(buffer, QStringLiteral("t.s"), QStringLiteral(".")),
                                                        test::TextRequest(row.options, row.needed));
        EXPECT_EQ(got.error, row.error) << row.text.left(20).toStdString();
        if (!got.ok())
            continue;
        EXPECT_EQ(test::Entries(got.value.palettes), row.palettes) << row.text.left(20).toStdString();
        EXPECT_EQ(got.value.warnings.join(u'\n').toStdString(), row.warnings.join(u'\n').toStdString());
    }
}

} // namespace
} // namespace palfade
