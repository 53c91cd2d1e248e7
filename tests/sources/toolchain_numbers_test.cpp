// Sources read as their toolchains read them: numbers in each syntax,
// expressions refused, fill directives, partial and empty tables, bounded
// includes and definitions, and messages that stay one readable line.

#include "sources/palette_source.h"
#include "text/source_number.h"
#include "sources/source_reading.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>
#include <string>
#include <vector>

namespace palfade {
namespace {

using Words = std::vector<HwColor>;

// The files sources include or take definitions from.
class SourceFolder {
public:
    SourceFolder()
    {
        Write("two.bin", QByteArray("\x7f\xff", 2));
        QFile::link(Path("loop1.bin"), Path("loop2.bin"));
        QFile::link(Path("loop2.bin"), Path("loop1.bin"));
        QFile::link(Path("missing.bin"), Path("dangling.bin"));
        Write("chain21.h", Chain(21));
        Write("chain65.h", Chain(65));
        Write("other.inc", "N21 equ $7FFE\n");
    }
    QString Path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    QString Folder() const { return dir_.path(); }

private:
    // N0 defined as N1, and so on, and the last as $7FFF.
    static QByteArray Chain(int length)
    {
        QByteArray text;
        for (int i = 0; i < length; ++i)
            text += QByteArray("#define N") + QByteArray::number(i) + " N" + QByteArray::number(i + 1) + "\n";
        return text + "#define N" + QByteArray::number(length) + " $7FFF\n";
    }
    void Write(const char* name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QTemporaryDir dir_;
};

struct Row {
    const char* what;
    QByteArray source;
    const char* table = nullptr; // --table NAME
    bool countWord = false;
    int paletteSize = kPaletteSize;
    const char* defines = nullptr; // files of the folder, separated by commas
    Words words = {};              // each palette's words, palette after palette
    std::string message = {}; // the error, or else the one warning
};

TEST(ToolchainReading, ReproducersGiveTheToolchainsWordsOrOneLine)
{
    const SourceFolder folder;
    const QByteArray neoDev = QByteArray::fromHex("0fff00000eee0ddd") + "$o" + QByteArray(214, '\0');
    const QString text = QStringLiteral("pal: dc.w $7FFF\n");
    QByteArray utf16; // little-endian, without its mark
    for (const QChar c : text)
        utf16.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
    const Row rows[] = {
        // Numbers: an item is a word only when it has digits.
        {"bare marks", "$7FFF $G12 $0123 0x $", nullptr, false, 2, nullptr, {0x7FFF, 0x0123}},
        {"binary .pal", neoDev, nullptr, false, 16, nullptr, {},
         "no colour word (\"$7FFF\" or \"0x7FFF\") found in t.s; it holds NUL bytes: if it is a palette file, read it "
         "with --read-as ngpal"},
        {"C octal", "const u16 pal[] = { 0777, 010, 0, 0b11, 0x7fffu, 12UL };", "pal", false, 6, nullptr,
         {0x01FF, 0x0008, 0, 3, 0x7FFF, 12}},
        {"GNU as octal", "pal:\t.word 010, 0B101 | the rest is a comment\n", "pal", false, 2, nullptr, {8, 5}},
        {"Motorola", "pal\tdc.w 0777,%101,@17,$7fff,0x10,010\n", "pal", false, 6, nullptr,
         {777, 5, 15, 0x7FFF, 16, 10}},
        {"bare $", "pal: dc.w $0001,$\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: \"$\" has no digit after its \"$\""},
        {"0x without digits", "pal: .word 0xG1\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: \"0xG1\" has no digit after its \"0x\""},
        {"octal 8", "const u16 pal[] = {\n 08 };", "pal", false, 16, nullptr, {},
         "t.s, line 2: \"08\" is no number: a leading 0 makes it octal in C"},
        {"16 bits", "pal: dc.w %11111111111111111\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: %11111111111111111 is not a 16-bit colour word"},
        // Expressions are refused; "|" after a blank is a comment.
        {"or", "pal: dc.w $7FFF|$8000\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: \"$7FFF|$8000\" is an expression, which palfade does not work out"},
        {"plus", "BASE equ 1\npal:\n dc.w $0001\n dc.w BASE+2\n", "pal", false, 16, nullptr, {},
         "t.s, line 4: \"BASE+2\" is an expression, which palfade does not work out"},
        {"shift", "const u16 pal[] = { 0, (1 << 15) };", "pal", false, 16, nullptr, {},
         "t.s, line 1: \"(1 << 15)\" is an expression, which palfade does not work out"},
        {"defined as one", "TOP = 1<<15\npal: dc.w TOP\n", "pal", false, 16, nullptr, {},
         "t.s, line 2: TOP is defined on line 1 of t.s as \"1<<15\", an expression, which palfade does not work out"},
        // Fill directives.
        {"dcb.w", "pal: dc.w $0111,$0222\n\tdcb.w 14,$7FFF\n", "pal", false, 16, nullptr,
         {0x0111, 0x0222, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF,
          0x7FFF, 0x7FFF, 0x7FFF}},
        {"fills by name", "N equ 2\npal: dcb.w N\n ds.w 1\n .fill 1,2,0x12345\n .fill N,2\n", "pal", false, 6, nullptr,
         {0, 0, 0, 0x2345, 0, 0}},
        {"fill of bytes", "pal: .word 1\n .fill 4\n", "pal", false, 16, nullptr, {},
         "t.s, line 2: \".fill 4\" fills 1-byte units, not 16-bit words"},
        {"ds.w with a value", "pal: ds.w 4,1\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: \"ds.w 4,1\" is not ds.w N"},
        {"fills beyond the limit", "pal: incbin \"two.bin\"\n dcb.w $2000000,0\n", "pal", false, 16, nullptr, {},
         "t.s, line 2: \"dcb.w $2000000,0\" brings the binary includes and fills of pal to more than 64 MiB"},
        // Partial and empty tables.
        {"partial", "pal: dc.w $8000,$7FFF,$0F00\n\tdc.l 0\n", "pal", false, 4, nullptr, {0x8000, 0x7FFF, 0x0F00, 0},
         "t.s: pal: the last palette has only 3 of its 4 words, so entry 3 is black (the table ends on line 2: "
         "\"dc.l 0\")"},
        {"partial C", "const u16 pal[] = { 1, 2, 3, 4, 5 };", "pal", false, 4, nullptr, {1, 2, 3, 4, 5, 0, 0, 0},
         "t.s: pal: the last palette has only 1 of its 4 words, so entries 1-3 are black"},
        {"count word 0", "x_Palettes:\n\tdc.w 0\n", "x_Palettes", true, 16, nullptr, {},
         "t.s: x_Palettes holds no palette: its count word is 0"},
        {"decimal count", "pal_2:\n\tdc.w 2 ; number of palettes\n\tdc.w $0001,$0002,$0003,$0004,$0005\n", nullptr,
         true, 2, nullptr, {1, 2, 3, 4},
         "t.s: the words after the 2 palettes its count word gives are not palettes: $0005 ..."},
        {"octal-looking count", ".word 010\n.word $0001\n", nullptr, true, 1, nullptr, {},
         "t.s: the count word 010 is octal in C and GNU as but decimal in Motorola syntax: write it without its "
         "leading 0"},
        // Includes, names and literals.
        {"unclosed quote", "pal: incbin \"two.bin\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: the binary include \"\"two.bin\" is not \"FILE\" with an optional start and length"},
        {"include loop", "pal: incbin \"loop1.bin\"\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: cannot open DIR/loop1.bin: Too many levels of symbolic links"},
        {"dangling include", "pal: incbin \"dangling.bin\"\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: cannot open DIR/dangling.bin: No such file or directory (it links to DIR/missing.bin, which is "
         "missing)"},
        {"21 names deep", "const u16 pal[] = { N0 };", "pal", false, 1, "chain21.h", {0x7FFF}},
        {"65 names deep", "const u16 pal[] = { N0 };", "pal", false, 1, "chain65.h", {},
         "t.s, line 1: N0 is defined through more than 64 names"},
        {"names after the table", "pal: dc.w 1, N, 2\n dcb.w N,3\nN = 1\n", "pal", false, 4, nullptr, {1, 1, 2, 3}},
        {"names defined twice", "B = 1\nA = 1\nB = 2\nA = 2\npal: dc.w B, A\n", "pal", false, 2, nullptr, {},
         "t.s, line 5: B is defined twice, on line 1 of t.s and on line 3 of t.s"},
        {"defined in two files", "pal: dc.w N21\n", "pal", false, 1, "other.inc,chain21.h", {},
         "t.s, line 1: N21 is defined twice, on line 1 of DIR/other.inc and on line 22 of DIR/chain21.h"},
        {"cycle", "#define A B\n#define B A\nconst u16 pal[] = { A };", "pal", false, 1, nullptr, {},
         "t.s, line 3: A names itself over and over"},
        {"UTF-16 without mark", utf16, "pal", false, 16, nullptr, {},
         "pal is not defined in t.s; it holds a NUL in every other byte, as UTF-16 text without its byte-order mark "
         "does: save it as UTF-8 (a palette file is read with --read-as ngpal)"},
        {"escaped quote", "s = \"a \\\" /* b\"; c = '\"';\nconst u16 pal[] = { 0x7FFF };\nputs(\"pal = {\");\n", "pal",
         false, 1, nullptr, {0x7FFF}},
        {"control characters", QByteArray("pal: dc.w F\x1bOO") + '\0' + "X\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: \"F\\x1bOO\\x00X\" is not a number or a name defined as one"},
        {"long name", "pal: dc.w " + QByteArray(100000, 'A') + "\n", "pal", false, 16, nullptr, {},
         "t.s, line 1: " + std::string(80, 'A') +
             "... is not defined (no #define, equ, = or .equ/.set gives it a value)"},
    };
    for (const Row& row : rows) {
        TextSourceOptions options;
        if (row.table)
            options.table = QLatin1String(row.table);
        options.countWord = row.countWord;
        options.paletteSize = row.paletteSize;
        for (const QString& file : QString::fromLatin1(row.defines).split(u',', Qt::SkipEmptyParts))
            options.defines << folder.Path(file.toLatin1().constData());
        QByteArray bytes = row.source;
        QBuffer device(&bytes);
        ASSERT_TRUE(device.open(QIODevice::ReadOnly));
        const SourceOrigin origin = SourceOrigin::Device(device, QStringLiteral("t.s"), folder.Folder());
        const IoResult<SourcePalettes> read = ReadSource(origin, test::TextRequest(options));
        Words words;
        for (const PaletteWords& palette : read.value.palettes)
            words.insert(words.end(), palette.begin(), palette.begin() + row.paletteSize);
        QString message = read.ok() ? read.value.warnings.join(u'\n') : read.error;
        message.replace(folder.Folder(), QStringLiteral("DIR"));
        EXPECT_EQ(message.toStdString(), row.message) << row.what;
        if (read.ok()) {
            EXPECT_EQ(words, row.words) << row.what;
        }
    }
}

TEST(ParseSourceNumber, EachSyntaxItsMarks)
{
    using S = NumberSyntax;
    const struct {
        const char16_t* text;
        NumberSyntax syntax;
        std::optional<qint64> value;
    } rows[] = {
        {u"010", S::Motorola, 10}, {u"010", S::GnuAs, 8},      {u"010", S::C, 8},        {u"0", S::C, 0},
        {u"%101", S::Motorola, 5}, {u"%101", S::GnuAs, {}},    {u"@17", S::Motorola, 15}, {u"@18", S::Motorola, {}},
        {u"0b101", S::GnuAs, 5},   {u"0b101", S::Motorola, {}}, {u"0B2", S::C, {}},       {u"08", S::C, {}},
        {u"$7fff", S::C, 0x7FFF},  {u"0X10", S::Motorola, 16}, {u"0x", S::GnuAs, {}},    {u"$", S::Motorola, {}},
        {u"12uL", S::C, 12},       {u"12u", S::GnuAs, {}},     {u"0x7FFFu", S::C, 0x7FFF}, {u"1e5", S::C, {}},
    };
    for (const auto& row : rows) {
        const std::optional<SourceNumber> number = ParseSourceNumber(QStringView(row.text), row.syntax);
        EXPECT_EQ(number ? std::optional<qint64>(number->value) : std::nullopt, row.value)
            << QString::fromUtf16(row.text).toStdString() << " " << static_cast<int>(row.syntax);
    }
}

// A table is read until the palettes needed are complete: what follows is
// not looked at, nor kept while an item before waits for a name.
TEST(ToolchainReading, TablesStopOnceThePalettesNeededAreRead)
{
    const QString words = QStringLiteral("2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\n dc.w FOO+1\n");
    const struct {
        QString text;
        std::size_t needed;
        bool doneEarly; // before the text's end
        QString error;
    } rows[] = {
        {QStringLiteral("pal: dc.w 1,") + words + QStringLiteral("/* open"), 1, true, {}},
        {QStringLiteral("pal: dc.w 1,") + words, kEveryPalette, true,
         QStringLiteral("t.s, line 2: \"FOO+1\" is an expression, which palfade does not work out")},
        {QStringLiteral("pal: dc.w N,") + words + QStringLiteral("N equ 1\n"), 1, false, {}},
        {QStringLiteral("pal: dc.w N,") + words, 1, false,
         QStringLiteral("t.s, line 1: N is not defined (no #define, equ, = or .equ/.set gives it a value)")},
    };
    for (const auto& row : rows) {
        TextSourceOptions options;
        options.table = QStringLiteral("pal");
        TextPaletteReader reader(test::TextRequest(options, row.needed), QStringLiteral("t.s"), QStringLiteral("."));
        reader.Feed(row.text);
        EXPECT_EQ(reader.Done(), row.doneEarly) << row.text.toStdString();
        const IoResult<SourcePalettes> read = reader.Finish();
        EXPECT_EQ(read.error, row.error) << row.text.toStdString();
        if (read.ok()) {
            const PaletteWords first{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
            EXPECT_EQ(read.value.palettes, std::vector<PaletteWords>{first});
        }
    }
}

// The window reads a "$" or "0x" without digits as the word 0000, as it
// always has; palfade-cli reads no word there.
TEST(ToolchainReading, BareMarksByRequest)
{
    const QString text = QStringLiteral("$ 0x $G1 $-1 $12345 $7FFFh 0x0x12");
    for (const auto& [marks, words] : {std::pair{BareMarks::Zero, Words{0, 0, 0, 0, 0x2345, 0x7FFF, 0}},
                                       std::pair{BareMarks::NoWord, Words{0x2345, 0x7FFF, 0}}}) {
        TextSourceOptions options;
        options.bareMarks = marks;
        options.paletteSize = 1;
        const IoResult<SourcePalettes> read =
            ReadSource(SourceOrigin::Memory(text, QStringLiteral("t"), QString()), test::TextRequest(options));
        Words got;
        for (const PaletteWords& palette : read.value.palettes)
            got.push_back(palette[0]);
        EXPECT_EQ(got, words);
    }
}

} // namespace
} // namespace palfade
