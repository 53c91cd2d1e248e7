#include "cli/cli.h"
#include "cli/cli_options.h"
#include "cli/cli_rows.h"
#include "cli_docs.h"
#include "exports/picture_export.h"
#include "support/file_bytes.h"
#include "support/file_size_limit.h"
#include "support/picture_bytes.h"
#include "support/stderr_capture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace palfade::cli {
namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

CliRun Cli(const QStringList& args, const QByteArray& input = {})
{
    QByteArray inBytes = input;
    QBuffer in(&inBytes);
    in.open(QIODevice::ReadOnly);
    CliRun run;
    QBuffer out(&run.out);
    QBuffer err(&run.err);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    run.status = RunCli(args, in, out, err);
    return run;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

QStringList Args(const QString& line) { return line.split(QLatin1Char(' '), Qt::SkipEmptyParts); }
QStringList Args(const char* line) { return Args(QString::fromUtf8(line)); }

// Arguments with "DATA/" standing for the test data folder and "DIR/" for `dir`.
QStringList Args(const char* line, const QString& dir)
{
    QStringList args = Args(line);
    for (QString& a : args) {
        a.replace(QLatin1String("DATA/"), QStringLiteral(PALFADE_TEST_DATA "/"));
        a.replace(QLatin1String("DIR/"), dir + QLatin1Char('/'));
    }
    return args;
}

TEST(Cli, FadeExportsWhiteToBlack)
{
    struct Row {
        const char* args;
        QByteArray expected;
    };
    const Row rows[] = {
        {"fade --top white --palettes 3 --colors 2 --format asm -o -",
         "\tdc.w\t$0000,$7FFF\r\n\tdc.w\t$0000,$0888\r\n\tdc.w\t$0000,$0000\r\n"},
        {"fade --top white --palettes 3 --colors 2 --format c -o -",
         "const int fade_colors[] =\r\n{\r\n\t0x0000, 0x7FFF,  // step 1\r\n\t0x0000, 0x0888,  // step 2\r\n"
         "\t0x0000, 0x0000,  // step 3\r\n};\r\n"},
        {"fade --top white --palettes 3 --colors 2 --format bin -o -",
         Bytes({0x00, 0x00, 0x7F, 0xFF, 0x00, 0x00, 0x08, 0x88, 0x00, 0x00, 0x00, 0x00})},
        // The dark bit: index 32 is the dark version of level 16; black
        // (indices 1, 1, 1) becomes black with the dark bit.
        {"fade --top white --bottom black --palettes 3 --colors 2 --dark-bit --format asm -o -",
         "\tdc.w\t$0000,$7FFF\r\n\tdc.w\t$8000,$8888\r\n\tdc.w\t$0000,$0000\r\n"},
        // The level walk moves one level per palette: 31 to 30, 0 to 1.
        {"fade --top=white --palettes=3 --colors=2 --simple --format=asm -o -",
         "\tdc.w\t$0000,$7FFF\r\n\tdc.w\t$0000,$0FFF\r\n\tdc.w\t$0000,$0000\r\n"},
        {"fade --bottom white --palettes 3 --colors 2 --simple --format asm -o -",
         "\tdc.w\t$0000,$0000\r\n\tdc.w\t$0000,$7000\r\n\tdc.w\t$0000,$7FFF\r\n"},
    };
    for (const Row& row : rows) {
        const CliRun run = Cli(Args(row.args));
        EXPECT_EQ(run.status, kExitSuccess) << row.args << ": " << run.err.toStdString();
        EXPECT_EQ(run.out, row.expected) << row.args;
        EXPECT_TRUE(run.err.isEmpty()) << row.args;
    }
}

// The fade's shape reaches every export: the way back, word sources, an
// eased curve with a kept entry, and the table's cost on standard error.
TEST(Cli, FadeShapesReachTheExports)
{
    struct Row {
        const char* args;
        QByteArray expected;
        QByteArray err;
    };
    // Two palettes on standard input: colour 0 white in palette 0, $0F00 in palette 1.
    const QByteArray two = "$7FFF" + QByteArray(" $0000").repeated(15) + " $0F00" + QByteArray(" $0000").repeated(15);
    const Row rows[] = {
        {"fade --top white --palettes 3 --colors 2 --there-and-back --stats --format c -o -",
         "const int fade_colors[] =\r\n{\r\n\t0x0000, 0x7FFF,  // step 1\r\n\t0x0000, 0x0888,  // step 2\r\n"
         "\t0x0000, 0x0000,  // step 3\r\n\t0x0000, 0x0888,  // step 4\r\n\t0x0000, 0x7FFF,  // step 5\r\n};\r\n",
         "5 steps x 1 palette x 2 colours = 10 words (20 bytes); 0 steps repeat the one before\n"},
        // Frame-major there and back: palette 1's red 30 passes red 15.
        {"fade --top - --all-palettes --palettes 3 --colors 1 --there-and-back --stats --format c -o -",
         "const int fade_colors[] =\r\n{\r\n\t0x7FFF,  // step 1 palette 0\r\n\t0x0F00,  // step 1 palette 1\r\n"
         "\t0x0888,  // step 2 palette 0\r\n\t0x4700,  // step 2 palette 1\r\n"
         "\t0x0000,  // step 3 palette 0\r\n\t0x0000,  // step 3 palette 1\r\n"
         "\t0x0888,  // step 4 palette 0\r\n\t0x4700,  // step 4 palette 1\r\n"
         "\t0x7FFF,  // step 5 palette 0\r\n\t0x0F00,  // step 5 palette 1\r\n};\r\n",
         "5 steps x 2 palettes x 1 colour = 10 words (20 bytes); 0 steps repeat the one before\n"},
        // White to full red ($4F00), ease-in: green and blue take indices 59,
        // 48, 28 on their way from 63 to 1; colour 2 kept white.
        {"fade --top white --bottom word:4F00 --palettes 5 --colors 3 --curve ease-in --keep 2 --format asm -o -",
         "\tdc.w\t$0000,$7FFF,$7FFF\r\n\tdc.w\t$0000,$7FEE,$7FFF\r\n\tdc.w\t$0000,$4FCC,$7FFF\r\n"
         "\tdc.w\t$0000,$4F77,$7FFF\r\n\tdc.w\t$0000,$4F00,$7FFF\r\n", ""},
        // A word source is one palette (colour 0 black, then blue 30 in
        // "f"): every palette of the screen fades to it.
        {"fade --top - --bottom word:f --all-palettes --palettes 3 --colors 2 --stats --format bin -o -",
         Bytes({0x7F, 0xFF, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00, 0x08, 0x88, 0x10, 0x07, 0x47, 0x00, 0x10, 0x07,
                0x00, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00, 0x0F}),
         "3 steps x 2 palettes x 2 colours = 12 words (24 bytes); 0 steps repeat the one before\n"},
        {"palette word:8421 --format gas -o -", "\t.word\t0x0000" + QByteArray(",0x8421").repeated(15) + "\r\n", ""},
    };
    for (const Row& row : rows) {
        const CliRun run = Cli(Args(row.args), two);
        EXPECT_EQ(run.status, kExitSuccess) << row.args << ": " << run.err.toStdString();
        EXPECT_EQ(run.out, row.expected) << row.args << "\n" << run.out.toStdString();
        EXPECT_EQ(run.err, row.err) << row.args;
    }

    // The preview shows the way back too: 2P - 1 rows, the last as the first.
    const CliRun preview = Cli(Args("preview --top white --palettes 3 --colors 2 --there-and-back --format png -o -"));
    ASSERT_EQ(preview.status, kExitSuccess) << preview.err.toStdString();
    const QImage image = QImage::fromData(preview.out, "PNG");
    ASSERT_EQ(image.size(), QSize(2 * 8, 5 * 8));
    EXPECT_EQ(image.pixel(8, 4 * 8), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(8, 3 * 8), image.pixel(8, 1 * 8));
}

TEST(Cli, ToolchainOptionsReachTheExport)
{
    struct Row {
        const char* args;
        QByteArray expected;
    };
    const Row rows[] = {
        {"fade --top white --palettes 3 --colors 2 --format gas --label title_fade -o -",
         "\t.globl\ttitle_fade\r\n\t.balign\t2\r\ntitle_fade:\r\n\t.word\t0x0000,0x7FFF\r\n"
         "\t.word\t0x0000,0x0888\r\n\t.word\t0x0000,0x0000\r\n"},
        {"fade --top white --palettes 3 --colors 1 --format asm --label TitleFade -o -",
         "\txdef\tTitleFade\r\n\teven\r\nTitleFade:\r\n\tdc.w\t$0000\r\n\tdc.w\t$0000\r\n\tdc.w\t$0000\r\n"},
        {"fade --palettes 3 --colors 1 --format c --c-type u16 --label fade2 -o -",
         "const u16 fade2[] =\r\n{\r\n\t0x0000,  // step 1\r\n\t0x0000,  // step 2\r\n\t0x0000,  // step 3\r\n};\r\n"},
        {"palette white --format gas -o -", "\t.word\t0x0000,0x7FFF,0x7FFF,"},
        {"palette white --format c --c-type uint16_t -o -", "#include <stdint.h>\r\nconst uint16_t fade_colors[] =\r\n"},
        {"fade --all-palettes --format c --c-type int16_t -o -", "#include <stdint.h>\r\nconst int16_t fade_colors[] =\r\n"},
    };
    for (const Row& row : rows) {
        const CliRun run = Cli(Args(row.args));
        EXPECT_EQ(run.status, kExitSuccess) << row.args << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(row.expected)) << row.args << "\n" << run.out.toStdString();
    }
    // A type of two words is one argument.
    const CliRun twoWords = Cli(Args("palette white --format c -o -") << QStringLiteral("--c-type")
                                                                      << QStringLiteral("unsigned short"));
    EXPECT_TRUE(twoWords.out.startsWith("const unsigned short fade_colors[] =")) << twoWords.err.toStdString();
}

// The fixtures, read as a developer would read them, give the palette they
// hold; --all-palettes takes every palette, frame by frame for a fade.
TEST(Cli, PalettesPickedOutOfSources)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A count word, then sixteen $0001 and one $0002.
    test::WriteRaw(dir.filePath(QStringLiteral("two.txt")), "$7FFF" + QByteArray(" $0001").repeated(16) + " $0002");
    test::WriteRaw(dir.filePath(QStringLiteral("two.ngpal")), QByteArray(32, '\0') + Bytes({0x7F, 0xFF}) + QByteArray(30, '\0'));
    struct Row {
        const char* args;
        QByteArray expected;
    };
    const QByteArray twelveZeros = QByteArray(",$0000").repeated(12) + "\r\n";
    const Row rows[] = {
        {"palette DATA/title_palettes.s --skip-comments --after TitlePalettes --index 2 --format asm -o -",
         "\tdc.w\t$8000,$7F00,$70F0,$700F,$1000,$2000,$3000,$4000,$5000,$6000,$7000,$0001,$0000,$0000,$0000,"
         "$0000\r\n"},
        {"palette DATA/datlib_palettes.s --after title_Palettes --skip-words 1 --index 1 --format gas -o -",
         "\t.word\t0x8000,0x0F00,0x0E00,0x0D00,0x0C00,0x0B00,0x0A00,0x0900,0x0800,0x0700,0x0600,0x0500,0x0400,"
         "0x0300,0x0200,0x0100\r\n"},
        {"palette DATA/stage_palettes.c --skip-comments --after clut --index 1 --format asm -o -",
         "\tdc.w\t$8000,$0F0F,$0E0E,$0D0D,$0C0C,$0B0B,$0A0A,$0909,$0808,$0707,$0606,$0505,$0404,$0303,$0202,"
         "$0101\r\n"},
        {"palette DATA/table_order.png --picture-order table --index 1 --format asm -o -",
         "\tdc.w\t$30FF,$5F0F,$8888,$7FFF" + twelveZeros},
        {"palette DIR/two.ngpal --index 1 --format asm -o -", "\tdc.w\t$7FFF,$0000" + QByteArray(",$0000").repeated(14) + "\r\n"},
        // Step 1 of palette 0, then of palette 1.
        {"fade --top DIR/two.txt --skip-words 1 --all-palettes --palettes 3 --colors 1 --format asm -o -",
         "\tdc.w\t$0001\r\n\tdc.w\t$0002\r\n"},
        {"fade --top DIR/two.ngpal --bottom DIR/two.ngpal --all-palettes --palettes 3 --colors 1 --format c -o -",
         "const int fade_colors[] =\r\n{\r\n\t0x0000,  // step 1 palette 0\r\n\t0x7FFF,  // step 1 palette 1\r\n"
         "\t0x0000,  // step 2 palette 0\r\n"},
        {"palette DIR/two.ngpal --all-palettes --greyscale --format ngpal -o -",
         QByteArray(32, '\0') + Bytes({0x7F, 0xFF}) + QByteArray(30, '\0')},
    };
    for (const Row& row : rows) {
        const CliRun run = Cli(Args(row.args, dir.path()));
        EXPECT_EQ(run.status, kExitSuccess) << row.args << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(row.expected)) << row.args << "\n" << run.out.toStdString();
    }
    EXPECT_EQ(Cli(Args("fade --top DIR/two.ngpal --all-palettes --palettes 5 --format bin -o -", dir.path())).out.size(),
              5 * 2 * 16 * 2);

    // Two fades of 3 colours side by side, 4 steps high.
    const CliRun preview =
        Cli(Args("preview --top DIR/two.ngpal --all-palettes --palettes 4 --colors 3 --format png -o -", dir.path()));
    ASSERT_EQ(preview.status, kExitSuccess) << preview.err.toStdString();
    const QImage image = QImage::fromData(preview.out, "PNG");
    EXPECT_EQ(image.size(), QSize(2 * 3 * 8, 4 * 8));
    EXPECT_EQ(image.pixel(24, 0), 0xFFFFFFFFu); // colour 0 of palette 1: white
}

TEST(Cli, FormatFollowsTheOutputExtensionAndThePathIsKept)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Row {
        const char* command;
        const char* name;
        QByteArray start;
    };
    const Row rows[] = {
        {"fade --colors 1 --palettes 3", "a.s", "\tdc.w\t$0000\r\n"},
        {"fade --colors 1 --palettes 3", "a.ASM", "\tdc.w\t$0000\r\n"},
        {"fade --colors 1 --palettes 3", "a.inc", "\tdc.w\t$0000\r\n"},
        {"fade --colors 1 --palettes 3", "a.c", "const int fade_colors[] =\r\n"},
        {"fade --colors 1 --palettes 3", "a.h", "const int fade_colors[] =\r\n"},
        {"fade --colors 1 --palettes 3", "a.bin", Bytes({0, 0, 0, 0, 0, 0})},
        {"palette white", "p.ngpal", Bytes({0, 0, 0x7F, 0xFF})},
        {"palette white", "p.s", "\tdc.w\t$0000,$7FFF,"},
        {"preview --colors 1 --palettes 3", "v.png", "\x89PNG"},
        {"preview --colors 1 --palettes 3", "v.bmp", "BM"},
        {"fade --colors 1 --palettes 3 --format c", "fade.txt", "const int"},
        {"fade --colors 1 --palettes 3 --format gas", "g.s", "\t.word\t0x0000\r\n"},
        {"palette white", "Title Steps.gpl", "GIMP Palette\nName: Title Steps\nColumns: 16\n#\n  0   0   0\tcolour 0\n"},
        {"palette white --label logo", "l.gpl", "GIMP Palette\nName: logo\n"},
        {"palette white", "p.pal", "JASC-PAL\r\n0100\r\n16\r\n0 0 0\r\n255 255 255\r\n"},
        {"palette white", "p.act", Bytes({0, 0, 0, 255, 255, 255})},
        {"fade --palettes 3 --top white --bottom word:7FFF --colors 2", "f.hex", "000000\nffffff\n"},
    };
    for (const Row& row : rows) {
        const QString path = dir.filePath(QString::fromUtf8(row.name));
        const CliRun run = Cli(Args(row.command) << QStringLiteral("-o") << path);
        ASSERT_EQ(run.status, kExitSuccess) << row.name << ": " << run.err.toStdString();
        EXPECT_TRUE(test::ReadRaw(path).startsWith(row.start)) << row.name;
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_EQ(test::ReadRaw(dir.filePath(QStringLiteral("a.bin"))).size(), 6);
    EXPECT_EQ(test::ReadRaw(dir.filePath(QStringLiteral("p.ngpal"))).size(), 32);
    EXPECT_EQ(test::ReadRaw(dir.filePath(QStringLiteral("p.act"))).right(4), Bytes({0x00, 0x10, 0xFF, 0xFF}));
}

TEST(Cli, UsageErrors)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const char* rows[] = {
        "",
        "draw -o -",
        "fade --format asm",
        "fade --bogus -o x.s",
        "fade --palettes 2 -o x.s",
        "fade --palettes 257 -o x.s",
        "fade --palettes 1x -o x.s",
        "fade --colors 0 -o x.s",
        "fade --colors 17 -o x.s",
        "fade -o x.png",
        "fade -o x",
        "fade -o -",
        "fade --format ngpal -o x.s",
        "fade --zoom 2 -o x.s",
        "fade extra -o x.s",
        "fade --top - --bottom - -o x.s",
        "fade --palettes",
        "preview --zoom 5 -o x.png",
        "preview --zoom 0 -o x.png",
        "preview --grid-color 12345 -o x.png",
        "preview --grid-color GG0000 -o x.png",
        "preview --grid=1 -o x.png",
        "preview -o x.s",
        "palette -o x.s",
        "palette a b -o x.s",
        "palette white --palettes 3 -o x.s",
        "palette white --step 0 -o x.s",
        "palette white --format bin -o x.bin",
        "preview --format gas -o x.png",
        "preview --label a -o x.png",
        "fade --label 1abc -o x.s",
        "fade --label a-b -o x.s",
        "fade --label a -o x.bin",
        "palette white --label a -o x.ngpal",
        "fade --c-type u16 -o x.s",
        "fade --c-type u16 --format gas -o x.s",
        "fade --c-type 16u -o x.c",
        "fade --c-type u16; -o x.c",
        "fade --index 1 -o x.s",
        "palette white --top-index 1 -o x.s",
        "fade --top-index -1 -o x.s",
        "fade --bottom-index x -o x.s",
        "fade --skip-words -1 -o x.s",
        "fade --picture-order random -o x.s",
        "fade --all-palettes --top-index 1 -o x.s",
        "preview --all-palettes --bottom-index 0 -o x.png",
        "palette white --all-palettes --index 0 -o x.s",
        "palette white --all-palettes --step 2 -o x.c",
        "fade --all-palettes=1 -o x.s",
        "fade --bottom word:7C0G -o x.s",
        "fade --top word: -o x.s",
        "palette word:12345 -o x.s",
        "fade --keep 16 -o x.s",
        "fade --keep 3-1 -o x.s",
        "palette white --keep 0 -o x.s",
        "fade --curve smooth -o x.s",
        "fade --simple --curve linear -o x.s",
        "palette white --there-and-back -o x.s",
    };
    for (const char* row : rows) {
        QStringList args = Args(row);
        for (QString& a : args)
            if (a.startsWith(QLatin1String("x.")))
                a = dir.filePath(a);
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, kExitUsageError) << row;
        EXPECT_TRUE(run.err.startsWith("palfade-cli: ")) << row;
        EXPECT_TRUE(run.err.contains("--help")) << row;
        EXPECT_EQ(run.err.count('\n'), 1) << row;
        EXPECT_TRUE(run.out.isEmpty()) << row;
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(Cli, RuntimeErrorsLeaveNoFileAndKeepAnOldOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    test::WriteRaw(empty, {});
    const QString words = dir.filePath(QStringLiteral("words.txt"));
    test::WriteRaw(words, "no words here, 7FFF, #$7FFF");
    const QString broken = dir.filePath(QStringLiteral("broken.png"));
    test::WriteRaw(broken, "\x89PNG\r\n\x1a\n");
    const QString notDir = dir.filePath(QStringLiteral("plain"));
    test::WriteRaw(notDir, "x");
    const QString existing = dir.filePath(QStringLiteral("keep.s"));

    struct Row {
        QStringList args;
        const char* reason;
    };
    const Row rows[] = {
        {{QStringLiteral("fade"), QStringLiteral("--top"), dir.filePath(QStringLiteral("missing.txt"))}, "No such file"},
        {{QStringLiteral("fade"), QStringLiteral("--top"), dir.filePath(QStringLiteral("missing.ngpal"))}, "No such file"},
        {{QStringLiteral("fade"), QStringLiteral("--bottom"), dir.path()}, "directory"},
        {{QStringLiteral("fade"), QStringLiteral("--top"), empty}, "no colour word"},
        {{QStringLiteral("fade"), QStringLiteral("--top"), words}, "no colour word"},
        {{QStringLiteral("fade"), QStringLiteral("--top"), broken}, "cannot decode"},
        {{QStringLiteral("fade"), QStringLiteral("--top"), QStringLiteral("-")}, "standard input"},
    };
    for (const Row& row : rows) {
        test::WriteRaw(existing, "old");
        const CliRun run = Cli(QStringList(row.args) << QStringLiteral("-o") << existing);
        EXPECT_EQ(run.status, kExitRuntimeError) << row.reason;
        EXPECT_TRUE(run.err.startsWith("palfade-cli: error: ")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(row.reason)) << run.err.toStdString();
        EXPECT_EQ(test::ReadRaw(existing), "old");
    }

    const QString underFile = notDir + QStringLiteral("/out.s");
    const CliRun run = Cli({QStringLiteral("fade"), QStringLiteral("-o"), underFile});
    EXPECT_EQ(run.status, kExitRuntimeError);
    EXPECT_TRUE(run.err.contains(underFile.toUtf8())) << run.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);
}

// What a build rule gets wrong: the exit status and a one-line reason, and
// no output file.
TEST(Cli, BadPickingLeavesNoFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::WriteRaw(dir.filePath(QStringLiteral("two.ngpal")), QByteArray(64, '\0'));
    PixelBuffer trueColour;
    trueColour.Resize(1, 1);
    trueColour.pixels = {0xFF102030u};
    ASSERT_TRUE(WritePicture(dir.filePath(QStringLiteral("photo.png")), trueColour, PictureFormat::Png).ok());

    struct Row {
        const char* args;
        int status;
        const char* reason;
    };
    const Row rows[] = {
        {"fade --top DATA/title_palettes.s --label 1abc", kExitUsageError, "--label must be a C identifier"},
        {"fade --top DATA/title_palettes.s --skip-comments --top-index 3", kExitRuntimeError,
         "title_palettes.s holds 3 palettes"},
        {"palette DIR/two.ngpal --index 2", kExitRuntimeError, "two.ngpal holds 2 palettes"},
        {"fade --top-index 1", kExitRuntimeError, "black holds 1 palette"},
        {"fade --top DATA/stage_palettes.c --after title_Palettes", kExitRuntimeError,
         "the name \"title_Palettes\" is not found in "},
        {"fade --top DATA/datlib_palettes.s --skip-words 200", kExitRuntimeError, "none after the 200 skipped"},
        {"preview --top DIR/photo.png --picture-order table", kExitRuntimeError, "photo.png has no colour table"},
        {"fade --top DATA/title_palettes.s --skip-comments --all-palettes --bottom DIR/two.ngpal", kExitRuntimeError,
         "title_palettes.s holds 3 palettes but "},
    };
    for (const Row& row : rows) {
        const QStringList args = Args(row.args, dir.path());
        const QString extension = args.first() == QLatin1String("fade")      ? QStringLiteral("bin")
                                  : args.first() == QLatin1String("preview") ? QStringLiteral("png")
                                                                             : QStringLiteral("ngpal");
        const QString out = dir.filePath(QStringLiteral("out.") + extension);
        const CliRun run = Cli(QStringList(args) << QStringLiteral("-o") << out);
        EXPECT_EQ(run.status, row.status) << row.args;
        EXPECT_TRUE(run.err.contains(row.reason)) << row.args << ": " << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n') - run.err.count("palfade-cli: warning: "), 1) << row.args;
        EXPECT_FALSE(QFile::remove(out)) << row.args;
    }
}

// Command lines a fuzzer or a careless build rule makes: each gives its exit
// status and one line of reason, and neither writes the output nor touches
// an old file there. "~" stands for a space inside an argument.
TEST(Cli, HostileCommandLines)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::WriteRaw(dir.filePath(QStringLiteral("many.ngpal")), QByteArray(100000 * 32, '\0'));
    PixelBuffer picture;
    picture.Resize(64, 64);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    const IoResult<QByteArray> png = EncodePicture(picture, PictureFormat::Png);
    ASSERT_TRUE(png.ok());
    test::WriteRaw(dir.filePath(QStringLiteral("cut.png")), png.value.left(png.value.size() / 2));
    const QStringList fixtures = QDir(dir.path()).entryList(QDir::Files);

    const struct {
        const char* args;
        int status;
        const char* reason;
    } rows[] = {
        {"fade --label int --format c", kExitUsageError, "--label 'int' is a C keyword"},
        {"fade --label register --format gas", kExitUsageError, "--label 'register' is a C keyword"},
        {"fade --label d0 --format asm", kExitUsageError, "--label 'd0' is a 68000 register"},
        {"palette white --label SP --format gas", kExitUsageError, "--label 'SP' is a 68000 register"},
        {"fade --c-type void --format c", kExitUsageError, "--c-type 'void' is no type"},
        {"fade --c-type int~int --format c", kExitUsageError, "--c-type 'int int' is no type"},
        {"fade --c-type struct~s --format c", kExitUsageError, "--c-type 'struct s' is no type"},
        {"palette white --c-type typedef --format c", kExitUsageError, "--c-type 'typedef' is no type"},
        {"preview --grid-color \u0660\u0660\u0660\u0660\u0660\u0660", kExitUsageError, "six hex digits"},
        {"preview --grid-color \uFF26\uFF26\uFF10\uFF10\uFF26\uFF26", kExitUsageError, "six hex digits"},
        {"fade --palettes ~5", kExitUsageError, "--palettes must be a number from 3 to 256, not ' 5'"},
        {"fade --palettes +5", kExitUsageError, "--palettes must be a number from 3 to 256"},
        {"fade --palettes \uFF15", kExitUsageError, "--palettes must be a number from 3 to 256"},
        {"fade --skip-words 2147483648", kExitUsageError, "--skip-words must be a number from 0 to 2147483647"},
        {"fade --top-index \u0661", kExitUsageError, "--top-index must be a number from 0 to 2147483647"},
        {"fade -o DIR/other.s", kExitUsageError, "-o is given more than once"},
        {"fade --format asm --format c", kExitUsageError, "--format is given more than once"},
        {"fade --top white --top black", kExitUsageError, "--top is given more than once"},
        {"preview --top DIR/many.ngpal --all-palettes --palettes 256", kExitRuntimeError,
         "the preview is 12800000 x 2048 pixels; palfade draws at most 268435456 pixels"},
        {"fade --top DIR/cut.png", kExitRuntimeError, "cut.png: the file is cut short"},
    };
    for (const auto& row : rows) {
        QStringList args = Args(row.args, dir.path());
        for (QString& a : args)
            a = a.replace(QLatin1Char('~'), QLatin1Char(' '));
        const QString out =
            dir.filePath(args.first() == QLatin1String("preview") ? QStringLiteral("out.png") : QStringLiteral("out.s"));
        args << QStringLiteral("-o") << out;
        for (const bool oldFile : {true, false}) {
            if (oldFile)
                test::WriteRaw(out, "old");
            const CliRun run = Cli(args);
            EXPECT_EQ(run.status, row.status) << row.args;
            EXPECT_TRUE(run.err.contains(row.reason)) << row.args << ": " << run.err.toStdString();
            EXPECT_EQ(run.err.count('\n'), 1) << row.args;
            EXPECT_EQ(test::ReadRaw(out), oldFile ? "old" : "<unreadable>") << row.args;
            QFile::remove(out);
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), fixtures) << row.args;
        }
    }

    // The temporary file is what cannot be created in /proc.
    if (QFileInfo::exists(QStringLiteral("/proc/version"))) {
        const CliRun run = Cli(Args("fade --format asm -o /proc/version"));
        EXPECT_EQ(run.status, kExitRuntimeError);
        EXPECT_TRUE(run.err.startsWith("palfade-cli: error: cannot create /proc/version: cannot create a temporary "
                                       "file in /proc: "))
            << run.err.toStdString();
    }
}

TEST(Cli, StandardOutputThatRefusesDataIsAnError)
{
    // Every answer, --help and --version too, fails when nothing reaches
    // standard output.
    for (const char* args : {"fade --format bin -o -", "--help", "--version"}) {
        QByteArray none;
        QBuffer in(&none);
        in.open(QIODevice::ReadOnly);
        QBuffer out(&none);
        out.open(QIODevice::ReadOnly); // every write fails
        QByteArray errBytes;
        QBuffer err(&errBytes);
        err.open(QIODevice::WriteOnly);
        EXPECT_EQ(RunCli(Args(args), in, out, err), kExitRuntimeError) << args;
        EXPECT_TRUE(errBytes.startsWith("palfade-cli: error: cannot write standard output")) << errBytes.toStdString();
    }

    // Standard output on a file that fills part way: the system's reason.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("stdout")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    QByteArray none;
    QBuffer in(&none);
    in.open(QIODevice::ReadOnly);
    QByteArray errBytes;
    QBuffer err(&errBytes);
    err.open(QIODevice::WriteOnly);
    int status = 0;
    {
        const FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.set());
        status = RunCli(Args("fade --top white --palettes 256 --format asm -o -"), in, file, err);
    }
    EXPECT_EQ(status, kExitRuntimeError);
    EXPECT_EQ(errBytes, "palfade-cli: error: cannot write standard output: " +
                            QByteArray(std::strerror(EFBIG)) + "\n");
}

TEST(Cli, PaletteFromStandardInput)
{
    const CliRun plain = Cli(Args("palette - --format asm -o -"), "dc.w $7FFF,0x4f00\n$0842");
    ASSERT_EQ(plain.status, kExitSuccess) << plain.err.toStdString();
    EXPECT_EQ(plain.out, "\tdc.w\t$7FFF,$4F00,$0842,$0000,$0000,$0000,$0000,$0000,$0000,$0000,$0000,$0000,"
                         "$0000,$0000,$0000,$0000\r\n");

    // Greyscale: red 31 alone gives 9 (0x7444); (16, 8, 4) gives y = 9.7 -> 10 (0x0555).
    const CliRun grey = Cli(Args("palette - --greyscale --step 16 --format c -o -"), "$4F00 $0842");
    ASSERT_EQ(grey.status, kExitSuccess) << grey.err.toStdString();
    EXPECT_EQ(grey.out, "const int fade_colors[] =\r\n{\r\n\t0x7444, 0x0555, 0x0000, 0x0000, 0x0000, 0x0000, "
                        "0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  "
                        "// step 16\r\n};\r\n");
}

TEST(Cli, ShortPaletteFileIsReadWithAWarning)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("short.NGPAL"));
    test::WriteRaw(path, Bytes({0x7F, 0xFF, 0x80}));
    const CliRun run = Cli({QStringLiteral("palette"), path, QStringLiteral("--format"), QStringLiteral("ngpal"),
                         QStringLiteral("-o"), QStringLiteral("-")});
    ASSERT_EQ(run.status, kExitSuccess);
    EXPECT_EQ(run.out, Bytes({0x7F, 0xFF, 0x80, 0x00}) + QByteArray(28, '\0'));
    EXPECT_TRUE(run.err.startsWith("palfade-cli: warning: ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("3 bytes"));
}

TEST(Cli, PictureSourceFollowsTheChosenLevelSet)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PixelBuffer grey;
    grey.Resize(2, 1);
    grey.pixels = {0xFF808080u, 0xFFFFFFFFu};
    const QString path = dir.filePath(QStringLiteral("grey.PNG"));
    ASSERT_TRUE(WritePicture(path, grey, PictureFormat::Png).ok());

    const CliRun linear = Cli({QStringLiteral("palette"), path, QStringLiteral("--format=bin"), QStringLiteral("-o"),
                            QStringLiteral("-")});
    EXPECT_EQ(linear.status, kExitUsageError); // bin is no palette format
    const CliRun linearOk = Cli({QStringLiteral("palette"), path, QStringLiteral("--format=ngpal"), QStringLiteral("-o-")});
    EXPECT_EQ(linearOk.status, kExitUsageError); // "-o-" is no option
    const CliRun lin = Cli({QStringLiteral("palette"), path, QStringLiteral("--format=ngpal"), QStringLiteral("-o"),
                         QStringLiteral("-")});
    ASSERT_EQ(lin.status, kExitSuccess) << lin.err.toStdString();
    EXPECT_EQ(lin.out.left(6), Bytes({0x88, 0x88, 0x7F, 0xFF, 0x00, 0x00})); // (16,16,16,dark), white, black
    const CliRun hw = Cli({QStringLiteral("palette"), path, QStringLiteral("--hardware-colors"), QStringLiteral("--format"),
                        QStringLiteral("ngpal"), QStringLiteral("-o"), QStringLiteral("-")});
    ASSERT_EQ(hw.status, kExitSuccess);
    EXPECT_EQ(hw.out.left(4), Bytes({0x77, 0x77, 0x7F, 0xFF})); // (15, 15, 15, 0)
}

TEST(Cli, PreviewPixels)
{
    const CliRun run = Cli(Args("preview --top white --colors 1 --palettes 3 --zoom 2 --grid --grid-color 00FF00 "
                             "--format png -o -"));
    ASSERT_EQ(run.status, kExitSuccess) << run.err.toStdString();
    const QImage image = QImage::fromData(run.out, "PNG");
    ASSERT_EQ(image.size(), QSize(16, 48));
    // Colour 0 of "white" is black; the grid is two pixels wide at zoom 2.
    EXPECT_EQ(image.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(image.pixel(13, 13), 0xFF000000u);
    EXPECT_EQ(image.pixel(14, 0), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(15, 47), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(0, 14), 0xFF00FF00u);
    EXPECT_EQ(image.pixel(0, 16), 0xFF000000u);
}

TEST(Cli, HelpAndVersion)
{
    const CliRun help = Cli({QStringLiteral("fade"), QStringLiteral("--help")});
    EXPECT_EQ(help.status, kExitSuccess);
    for (const char* option : {"--top", "--bottom", "--palettes", "--colors", "--simple", "--dark-bit",
                               "--hardware-colors", "--zoom", "--grid", "--grid-color", "--greyscale", "--step",
                               "--format", "-o", "--version", "Examples", "--top-index", "--bottom-index",
                               "--index", "--all-palettes", "--skip-comments", "--after", "--skip-words",
                               "--picture-order", "--label", "--c-type", "gas", "Neo Geo build"})
        EXPECT_TRUE(help.out.contains(option)) << option;
    // Option rows as manual page generators read them: two spaces, the
    // option, its value, the text in one column.
    for (const char* row : {"\n  --top SRC           palette 1,", "\n  --grid-color RRGGBB grid colour",
                            "\n  -o, --output OUT    written", "\n  --version           the version\n",
                            "\n  --label NAME        asm, gas, c:", "\n  --picture-order ORDER\n                      picture"})
        EXPECT_TRUE(help.out.contains(row)) << row;
    const CliRun version = Cli({QStringLiteral("--version")});
    EXPECT_EQ(version.status, kExitSuccess);
    EXPECT_EQ(version.out, "palfade-cli " PALFADE_TEST_VERSION "\n");
}

// What the completion script offers for the last of `words`.
QStringList Completions(const QString& script, const QStringList& words)
{
    QProcess bash;
    bash.start(QStringLiteral("bash"), QStringList{QStringLiteral("-c"), QStringLiteral(
        "source \"$1\"; shift; COMP_WORDS=(palfade-cli \"$@\"); COMP_CWORD=$#; _palfade_cli; "
        "printf '%s\\n' \"${COMPREPLY[@]}\""), QStringLiteral("_"), script} + words);
    bash.waitForFinished();
    return QString::fromUtf8(bash.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Every option of the table parses and reaches --help, the manual page and
// the completion of a command that takes it; a new option needs a row here.
TEST(Cli, EveryOptionReachesHelpManualPageAndCompletion)
{
    const std::map<QString, const char*> samples = {
        {"--top", "fade --top white"}, {"--bottom", "fade --bottom x.s"}, {"--palettes", "fade --palettes 3"},
        {"--colors", "preview --colors 16"}, {"--simple", "fade --simple"}, {"--dark-bit", "fade --dark-bit"},
        {"--hardware-colors", "palette x.png --hardware-colors"}, {"--zoom", "preview --zoom 4"},
        {"--grid", "preview --grid"}, {"--grid-color", "preview --grid-color #00ff00"},
        {"--greyscale", "palette x.s --greyscale"}, {"--step", "palette x.s --step 256"},
        {"--top-index", "fade --top-index 0"}, {"--bottom-index", "preview --bottom-index 9"},
        {"--index", "palette x.s --index 2"}, {"--all-palettes", "palette x.s --all-palettes"},
        {"--skip-comments", "fade --skip-comments"}, {"--after", "fade --after clut"},
        {"--skip-words", "fade --skip-words 1"}, {"--picture-order", "preview --picture-order table"},
        {"--table", "fade --table clut"}, {"--defines", "fade --table clut --defines colours.h"},
        {"--count-word", "palette x.s --count-word"}, {"--palette-size", "fade --palette-size 4"},
        {"--first-entry", "fade --first-entry 12 --palette-size 4"}, {"--read-as", "palette x.pal --read-as ngpal"},
        {"--picture-words", "fade --picture-words ngdevkit"},
        {"-o", "fade -o x.c"}, {"--output", "fade --output x.c"}, {"--format", "palette x.s --format ngpal"},
        {"--label", "fade --label a_1"}, {"--c-type", "fade --c-type uint16_t"}, {"--help", "fade --help"},
        {"-h", "preview -h"}, {"--version", "palette --version"}, {"--keep", "fade --keep 0,13-15"},
        {"--there-and-back", "preview --there-and-back"}, {"--curve", "fade --curve ease-in-out"},
        {"--stats", "preview --stats"},
        {"--art", "art --art x.png"},
        {"--art-palette", "art --art x.png --art-palette 15"}, {"--frames-per-step", "art --art x.gif --frames-per-step 60"},
        {"--hold-start", "art --art x --hold-start 600"}, {"--hold-end", "art --art x --hold-end 0"},
        {"--columns", "art --art x --columns 3 -o x.png"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString script = dir.filePath(QStringLiteral("palfade-cli"));
    test::WriteRaw(script, BashCompletion().toUtf8());
    const QString help = HelpText();
    const QString man = ManPage({});
    for (const QString& name : OptionNames()) {
        ASSERT_TRUE(samples.contains(name)) << "no sample for " << name.toStdString();
        QStringList args = Args(samples.at(name));
        if (!args.contains(QLatin1String("-o")) && !args.contains(QLatin1String("--output")))
            args << QStringLiteral("-o")
                 << (args.first() == u"preview" ? QStringLiteral("x.png")
                                                : args.first() == u"art" ? QStringLiteral("x.gif") : QStringLiteral("x.c"));
        if (args.first() == u"art" && !args.contains(QLatin1String("--art")))
            args << QStringLiteral("--art") << QStringLiteral("x.png");
        const ParseResult parsed = ParseArguments(args);
        EXPECT_NE(parsed.action, ParseResult::Action::UsageError) << name.toStdString() << parsed.error.toStdString();
        EXPECT_TRUE(help.contains(QLatin1Char(' ') + name)) << name.toStdString();
        EXPECT_TRUE(man.contains(QStringLiteral("\\fB") + QString(name).replace(QLatin1String("-"), QLatin1String("\\-"))))
            << name.toStdString();
        EXPECT_TRUE(Completions(script, {args.first(), name}).contains(name)) << name.toStdString();
    }
    // Per command: its own options only, the words of a value, files for OUT.
    const std::vector<std::tuple<const char*, const char*, bool>> offers = {
        {"preview --lab", "--label", false}, {"fade --zo", "--zoom", false}, {"palette x --ind", "--index", true},
        {"fade --picture-order t", "table", true}, {"preview --format b", "bmp", true},
        {"palette x --format ''", "ngpal", true}, {"fade --format ''", "ngpal", false},
        {"fade -o DIR/", "DIR/palfade-cli", true}, {"fade --top wh", "white", true}, {"fade --palettes ''", "3", false},
        {"fade --format g", "gpl", true}, {"palette x --format j", "jasc", true}, {"preview --format ''", "hex", false},
        {"art --read-as ''", "act", true},
    };
    for (const auto& [line, word, offered] : offers) {
        QStringList words = Args(line, dir.path()).replaceInStrings(QStringLiteral("''"), QString());
        EXPECT_EQ(Completions(script, words).contains(QString::fromUtf8(word).replace(QLatin1String("DIR"), dir.path())),
                  offered) << line;
    }
}

TEST(Cli, OptionsThatDoNotGoTogether)
{
    const std::pair<const char*, const char*> rows[] = {
        {"fade --label a -o x.bin", "--label names an asm, gas, c or gpl table; bin has no name"},
        {"palette x.s --label a -o x.ngpal", "--label names an asm, gas, c or gpl table; ngpal has no name"},
        {"palette x.s --label a -o x.pal", "--label names an asm, gas, c or gpl table; jasc has no name"},
        {"fade --c-type u16 -o x.gpl", "--c-type is the element type of c, not of gpl"},
        {"fade --c-type u16 --format gas -o x.s", "--c-type is the element type of c, not of gas"},
        {"fade --all-palettes --top-index 1 -o x.s", "--all-palettes takes every palette; --top-index picks one"},
        {"preview --bottom-index 0 --all-palettes -o x.png", "--all-palettes takes every palette; --bottom-index picks one"},
        {"palette x.s --all-palettes --step 2 --index 0 -o x.c", "--all-palettes takes every palette; --index picks one"},
        {"palette x.s --all-palettes --step 2 -o x.c",
         "--step numbers one palette; with --all-palettes each line names its palette"},
        {"fade --all-palettes --top-index 1 --label a -o x.bin", "--label names an asm, gas, c or gpl table; bin has no name"},
        {"preview --curve ease-out --simple -o x.png", "--curve shapes the interpolation; --simple steps one unit per palette"},
        {"palette word:7c0g -o x.s", "SRC takes word:XXXX with one to four hex digits, not 'word:7c0g'"},
        {"fade --table clut --after clut -o x.s",
         "--table reads the table NAME defines, its comments skipped; not with --after or --skip-comments"},
        {"fade --first-entry 13 --palette-size 4 -o x.s", "--first-entry 13 and --palette-size 4 reach past entry 15"},
        {"fade --defines x.h -o x.s", "--defines gives names to the items of a --table; no --table is given"},
        {"art --art x.png --bottom - --top - -o x.gif", "standard input can be read for only one of --top and --bottom"},
    };
    for (const auto& [line, message] : rows)
        EXPECT_EQ(ParseArguments(Args(line)).error.toStdString(), message) << line;
}

// An option kept to formats by what they take is open to a format of every
// command that takes it, and its refusal names those formats.
TEST(Cli, OptionsKeptToFormatsByWhatTheyTake)
{
    for (const OptionRow& option : OptionRows())
        for (const CommandRow& command : CommandRows()) {
            if (!option.formats.applies || !(option.commands & command.bit))
                continue;
            const FormatCapability applies = option.formats.applies;
            const auto takes = std::count_if(command.formats.begin(), command.formats.end(),
                                             [&](const FileFormat* format) { return (format->*applies)(); });
            EXPECT_GT(takes, 0) << option.name << " " << command.name;
        }
    const std::pair<const char*, const char*> rows[] = {
        {"palette x.s --c-type u16 -o x.ngpal", "--c-type is the element type of c, not of ngpal"},
        {"art --art x.png --frames-per-step 2 -o x.png", "--frames-per-step times a gif; a png sheet shows every step once"},
    };
    for (const auto& [line, message] : rows)
        EXPECT_EQ(ParseArguments(Args(line)).error.toStdString(), message) << line;
}

// The art command from arguments to the file: the format chosen, the
// options that reach the output, a warning, and bad input leaving no file.
TEST(Cli, ArtCommand)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage trueColour(2, 1, QImage::Format_RGB32);
    trueColour.setPixel(0, 0, 0xFFFFFFFF);
    trueColour.setPixel(1, 0, 0xFF123456);
    ASSERT_TRUE(trueColour.save(dir.filePath(QStringLiteral("true.png"))));

    // The art's own refusals are the export's rules; here one runtime error
    // shows that a failure leaves no file.
    const struct {
        const char* line; // FADE: the fixture's palette 0 to black in 4 steps, unless the line says otherwise
        int status;
        const char* err;  // in standard error
        const char* out;  // what OUT holds: "GIF" with its frame count, "PNG" with its size, or nothing
    } rows[] = {
        {"-o DIR/a.gif", kExitSuccess, "", "GIF 4"},
        {"--there-and-back --hold-end 9 -o DIR/a.gif", kExitSuccess, "", "GIF 6"},
        {"--all-palettes --palettes 3 -o DIR/a.gif", kExitSuccess, "", "GIF 3"},
        {"-o DIR/a.png", kExitSuccess, "", "PNG 16x2"},
        {"--columns 3 --zoom 2 --format png -o DIR/a.sheet", kExitSuccess, "", "PNG 24x8"},
        {"--art-palette 1 --format gif -o DIR/a.anim", kExitSuccess, "", "GIF 4"},
        {"--art DIR/true.png -o DIR/a.gif", kExitSuccess,
         "palfade-cli: warning: DIR/true.png: 1 pixel matches no colour of Palette 1\n", "GIF 4"},
        {"--art DIR/missing.png -o DIR/a.png", kExitRuntimeError, "No such file", ""},
        {"--columns 2 -o DIR/a.gif", kExitUsageError, "--columns lays out a png sheet; gif is an animation", ""},
        {"--frames-per-step 2 -o DIR/a.png", kExitUsageError, "--frames-per-step times a gif", ""},
        {"--all-palettes --art-palette 1 -o DIR/a.gif", kExitUsageError, "--art-palette picks one", ""},
        {"--frames-per-step 61 -o DIR/a.gif", kExitUsageError, "from 1 to 60", ""},
        {"--colors 4 -o DIR/a.gif", kExitSuccess, "", "GIF 4"},
        {"--art-palette 16 -o DIR/a.gif", kExitUsageError, "--art-palette must be a number from 0 to 15", ""},
        {"-o DIR/a.bmp", kExitUsageError, "give --format gif|png", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        QStringList args = Args("art --top DATA/table_order.png --picture-order table --palettes 4", dir.path());
        const QStringList more = Args(row.line, dir.path());
        if (!more.contains(QLatin1String("--art")))
            args << Args("--art DATA/table_order.png", dir.path());
        for (const QString& a : more)
            if (a == u"--all-palettes")
                args.removeAll(QStringLiteral("--palettes")), args.removeAll(QStringLiteral("4"));
        args << more;
        QFile::remove(args.last());
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, row.status) << run.err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.err).contains(QString::fromUtf8(row.err).replace(QLatin1String("DIR/"), dir.path() + u'/')))
            << run.err.toStdString();
        const QByteArray bytes = test::ReadRaw(args.last());
        const QString expected = QString::fromUtf8(row.out);
        if (expected.isEmpty()) {
            EXPECT_EQ(bytes, "<unreadable>");
        } else if (expected.startsWith(u"GIF")) {
            EXPECT_TRUE(bytes.startsWith("GIF89a"));
            EXPECT_EQ(QStringLiteral("GIF %1").arg(bytes.count(QByteArray("\x21\xF9\x04", 3))), expected);
        } else {
            const QImage sheet = QImage::fromData(bytes, "PNG");
            EXPECT_EQ(QStringLiteral("PNG %1x%2").arg(sheet.width()).arg(sheet.height()), expected);
        }
    }
    // --colors reaches the frames: 16 is the default, 2 keeps entries 2 and 3
    // at their top colour.
    QByteArray gifs[3];
    const char* colours[3] = {nullptr, "16", "2"};
    for (int k = 0; k < 3; ++k) {
        QStringList args = Args("art --top DATA/table_order.png --picture-order table --art DATA/table_order.png "
                                "--palettes 4 -o DIR/c.gif",
                                dir.path());
        if (colours[k])
            args << QStringLiteral("--colors") << QLatin1String(colours[k]);
        ASSERT_EQ(Cli(args).status, kExitSuccess);
        gifs[k] = test::ReadRaw(dir.filePath(QStringLiteral("c.gif")));
    }
    EXPECT_EQ(gifs[1], gifs[0]);
    EXPECT_NE(gifs[2], gifs[0]);
}

// Damaged and hostile pictures, outputs that lead nowhere and '-' where no
// standard input is read: for every command that reads pictures, the exit
// status, one line of reason on palfade-cli's standard error and nothing of a
// library's on the process's own, and no output file. Each reason a decoder
// gives is the pictures' own (tested there); these rows follow each command's
// way to a decoder once.
TEST(Cli, DamagedPicturesAndOutputsThatLeadNowhereFailWithOneLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray bmp = test::Bmp(8, test::Rgbs(16, 0x336699), false, 16); // its 4 bytes of pixels at 118
    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    jpegBuffer.open(QIODevice::WriteOnly);
    QImage stripes(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            stripes.setPixel(x, y, qRgb(x * 16, y * 16, (x ^ y) * 16));
    ASSERT_TRUE(stripes.save(&jpegBuffer, "JPG"));
    const qsizetype scan = jpeg.lastIndexOf("\xFF\xDA");
    const std::pair<const char*, QByteArray> files[] = {
        {"cut.bmp", bmp.left(120)},
        {"offset.bmp", test::Patched(bmp, 10, test::LittleEndian(999, 4))},
        {"index.bmp", test::Patched(bmp, 119, QByteArray(1, char(200)))},
        {"no_end.jpg", jpeg.left(jpeg.size() - 2)},
        {"corrupt.jpg", jpeg.left(scan + 20) + "\xFF\xD9"},
        {"empty.gif", test::EmptyLzwGif()},
        {"huge.png", test::PngHeaderOnly(0x7FFFFFFF, 1)},
        {"no_plte.png", test::Png(8, 3, std::nullopt)},
        {"sixteen.png", test::Png(8, 3, test::Rgbs(16, 0x123456))},
    };
    for (const auto& [name, bytes] : files)
        test::WriteRaw(dir.filePath(QString::fromUtf8(name)), bytes);
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("loop_b")), dir.filePath(QStringLiteral("loop_a"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("loop_a")), dir.filePath(QStringLiteral("loop_b"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere/fade.s")), dir.filePath(QStringLiteral("lost"))));

    const struct {
        const char* line; // OUT is DIR/out unless the line gives -o
        int status;
        const char* err; // the whole of palfade-cli's standard error
    } rows[] = {
        {"palette DIR/cut.bmp --format asm", kExitRuntimeError,
         "error: cannot decode picture DIR/cut.bmp: the file is cut short: 2 of its 4 bytes of pixel data"},
        {"fade --top DIR/offset.bmp --format bin", kExitRuntimeError,
         "error: cannot decode picture DIR/offset.bmp: the file is damaged: its pixel data would start at byte 999, "
         "past its end (122 bytes)"},
        {"art --art DIR/index.bmp --format gif", kExitRuntimeError,
         "error: cannot decode picture DIR/index.bmp: the file is damaged: pixel index 200 is beyond its colour table "
         "of 16 entries"},
        {"preview --top DIR/no_end.jpg --format png", kExitRuntimeError,
         "error: cannot decode picture DIR/no_end.jpg: the file is cut short: it ends before its end marker"},
        {"art --art DIR/corrupt.jpg --format png", kExitRuntimeError,
         "error: cannot decode picture DIR/corrupt.jpg: Corrupt JPEG data: premature end of data segment"},
        {"art --art DIR/empty.gif --format gif", kExitRuntimeError,
         "error: cannot decode GIF DIR/empty.gif: Image is defective, decoding aborted"},
        {"art --art DIR/huge.png --format gif", kExitRuntimeError,
         "error: DIR/huge.png is 2147483647 x 1 pixels; art may be at most 4096 x 4096"},
        {"art --art DIR/no_plte.png --format gif", kExitRuntimeError,
         "error: cannot decode picture DIR/no_plte.png: IDAT: Missing PLTE before IDAT"},
        {"art --art DIR/sixteen.png --art-palette 1 --format gif", kExitRuntimeError,
         "error: DIR/sixteen.png has no art palette 1: its colour table of 16 entries holds palette 0"},
        {"fade --top white -o DIR/loop_a --format asm", kExitRuntimeError,
         "error: cannot create DIR/loop_a: Too many levels of symbolic links"},
        {"fade --top white -o DIR/lost --format asm", kExitRuntimeError,
         "error: cannot create DIR/lost: No such file or directory"},
        {"art --art - --format gif", kExitUsageError,
         "--art reads a file: standard input ('-') is read only for a SRC (./- names a file called -) (try "
         "'palfade-cli --help')"},
        {"fade --top DIR/a.s --table pal --defines - --format asm", kExitUsageError,
         "--defines reads a file: standard input ('-') is read only for a SRC (./- names a file called -) (try "
         "'palfade-cli --help')"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        QStringList args = Args(row.line, dir.path());
        if (!args.contains(QStringLiteral("-o")))
            args << QStringLiteral("-o") << dir.filePath(QStringLiteral("out"));
        CliRun run;
        EXPECT_EQ(test::StderrOf([&] { run = Cli(args); }), "");
        EXPECT_EQ(run.status, row.status);
        const QString err = QString::fromUtf8(row.err).replace(QLatin1String("DIR/"), dir.path() + u'/');
        EXPECT_EQ(QString::fromUtf8(run.err), QStringLiteral("palfade-cli: %1\n").arg(err));
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out"))));
    }
    // The links are still links.
    EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("loop_a"))).symLinkTarget(),
              dir.filePath(QStringLiteral("loop_b")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));
}

// Each row writes a 32-byte palette file to standard output; its words as hex.
TEST(Cli, TablesCountsShortPalettesAndReadingRules)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(8, 8, 8), qRgb(255, 0, 0)});
    indexed.setPixel(0, 0, 1);
    indexed.setPixel(1, 0, 0);
    ASSERT_TRUE(indexed.save(dir.filePath(QStringLiteral("tiles.png"))));

    const struct {
        const char* args;
        const char* words; // the first ones
        const char* warning;
    } rows[] = {
        {"DATA/datlib_two_tables.s --table a_Palettes --count-word --index 1", "8000 0f00 0e00 0d00", nullptr},
        {"DATA/motorola_names.s --table LogoPal --palette-size 4 --first-entry 1", "0000 7fff 0f00 00f0 000f 0000",
         nullptr},
        {"DATA/named_colours.c --table clut --defines DATA/named_colours.h --palette-size 4 --index 1",
         "8000 0490 0742 0fff 0000", nullptr},
        {"DATA/checkers.pal --read-as ngpal --index 1", "8000 0fff 0eee 0ddd", nullptr},
        {"DIR/tiles.png --picture-order table --picture-words ngdevkit", "f000 4f00 8000", nullptr},
        {"DATA/title_palettes.s --skip-comments --index 2", "8000 7f00 70f0 700f",
         "warning: the last palette of"},
    };
    for (const auto& row : rows) {
        const CliRun run = Cli(QStringList{QStringLiteral("palette")} + Args(row.args, dir.path()) +
                               QStringList{QStringLiteral("--format"), QStringLiteral("ngpal"), QStringLiteral("-o"), QStringLiteral("-")});
        ASSERT_EQ(run.status, kExitSuccess) << row.args << ": " << run.err.toStdString();
        ASSERT_EQ(run.out.size(), 32) << row.args;
        QString words = QString::fromLatin1(run.out.toHex());
        for (qsizetype at = 4; at < words.size(); at += 5)
            words.insert(at, QLatin1Char(' '));
        const QString expected = QString::fromLatin1(row.words);
        EXPECT_EQ(words.left(expected.size()), expected) << row.args;
        if (row.warning)
            EXPECT_TRUE(run.err.contains(row.warning)) << run.err.toStdString();
        else
            EXPECT_TRUE(run.err.isEmpty()) << row.args << ": " << run.err.toStdString();
    }
}

TEST(Cli, BadSourcesFailWithTheirLineAndWriteNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::WriteRaw(dir.filePath(QStringLiteral("undefined.s")), "pal:\n\tdc.w $8000, GREEN\n");
    test::WriteRaw(dir.filePath(QStringLiteral("used.s")), "\txdef pal\n\tlea pal,a0\n");
    test::WriteRaw(dir.filePath(QStringLiteral("twice.s")), "pal: dc.w 1\n\trts\npal: dc.w 2\n");
    test::WriteRaw(dir.filePath(QStringLiteral("expression.c")), "const u16 pal[] = {\n\t0x8000,\n\t0x0100 | 0x0010,\n};\n");
    test::WriteRaw(dir.filePath(QStringLiteral("count.s")), "pal:\tdc.w\t3\n\tdc.w\t$8000,$7FFF\n");
    test::WriteRaw(dir.filePath(QStringLiteral("open.s")), "\tdc.w $0001\n/* the rest\n\tdc.w $0002\n");
    const struct {
        const char* args;
        const char* reason; // %1: the folder
    } rows[] = {
        {"--top DIR/undefined.s --table pal", "%1/undefined.s, line 2: GREEN is not defined"},
        {"--top DIR/used.s --table pal", "pal is not defined in %1/used.s (used on line 1)"},
        {"--top DIR/twice.s --table pal", "pal is defined twice in %1/twice.s, on lines 1 and 3"},
        {"--top DIR/expression.c --table pal",
         "%1/expression.c, line 3: \"0x0100 | 0x0010\" is an expression, which palfade does not work out"},
        {"--top DIR/count.s --table pal --count-word --palette-size 1 --all-palettes",
         "%1/count.s: pal: its count word gives 3 palettes (3 words) but 2 words follow"},
        {"--bottom DATA/datlib_two_tables.s --table a_Palettes --count-word --bottom-index 2",
         "datlib_two_tables.s: a_Palettes holds 2 palettes"},
        {"--top DIR/open.s --skip-comments --all-palettes", "%1/open.s: the /* comment opened on line 2 is never closed"},
        {"--top DATA/checkers.pal --read-as text", "; it holds NUL bytes: if it is a palette file, read it with "
                                                  "--read-as ngpal"},
    };
    for (const auto& row : rows) {
        const QString out = dir.filePath(QStringLiteral("out.s"));
        const CliRun run = Cli(QStringList{QStringLiteral("fade")} + Args(row.args, dir.path()) +
                               QStringList{QStringLiteral("--format"), QStringLiteral("asm"), QStringLiteral("-o"), out});
        EXPECT_EQ(run.status, kExitRuntimeError) << row.args;
        EXPECT_TRUE(QString::fromUtf8(run.err).contains(QString::fromUtf8(row.reason).arg(dir.path())))
            << row.args << ": " << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << row.args;
        EXPECT_FALSE(QFile::exists(out)) << row.args;
    }
}

// The exchange palettes: read as any source, written as the colours the
// preview shows.
TEST(Cli, ExchangePalettesAreSources)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::WriteRaw(dir.filePath(QStringLiteral("title.gpl")), "GIMP Palette\nName: title\n#\n255 255 255\tWhite\n0 0 0\n");
    test::WriteRaw(dir.filePath(QStringLiteral("title.pal")), "JASC-PAL\r\n0100\r\n2\r\n255 255 255\r\n0 0 0\r\n");
    test::WriteRaw(dir.filePath(QStringLiteral("title.txt")), "ffffff\n000000\n");
    test::WriteRaw(dir.filePath(QStringLiteral("bad.pal")), "JASC-PAL\r\n0100\r\n3\r\n255 255 255\r\n0 0 0\r\n");
    const QByteArray words = "\tdc.w\t$7FFF,$8000,$0000,";
    for (const char* args : {"palette DIR/title.gpl", "palette DIR/title.pal", "palette DIR/title.txt --read-as hex"}) {
        const CliRun run = Cli(Args(args, dir.path()) << QStringLiteral("--format") << QStringLiteral("asm")
                                                       << QStringLiteral("-o") << QStringLiteral("-"));
        ASSERT_EQ(run.status, kExitSuccess) << args << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(words)) << args;
    }
    const CliRun bad = Cli(Args("fade --top DIR/bad.pal -o DIR/out.s", dir.path()));
    EXPECT_EQ(bad.status, kExitRuntimeError);
    EXPECT_EQ(QString::fromUtf8(bad.err), QStringLiteral("palfade-cli: error: %1/bad.pal, line 3 counts 3 colours, but 2 "
                                                         "follow\n").arg(dir.path()));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.s"))));
    const CliRun piped = Cli(Args("palette - --read-as hex --format asm -o -"), "ffffff\n");
    EXPECT_EQ(piped.status, kExitRuntimeError);
    EXPECT_TRUE(piped.err.contains("standard input is read as text; --read-as needs a file")) << piped.err.toStdString();
}

// Every step's colours in step order, whole-screen frame by frame, exactly
// as the preview shows them.
TEST(Cli, ExchangeExportsShowThePreviewsColours)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString top = dir.filePath(QStringLiteral("two.hex"));
    QByteArray two;
    for (int i = 0; i < 32; ++i)
        two += QByteArray::number(0x100000 * (i % 16) + 0x0C0300 * (i / 16) + 0x11, 16).rightJustified(6, '0') + '\n';
    test::WriteRaw(top, two);
    for (const char* shape : {"--top DIR/two.hex --bottom white --palettes 5 --colors 3 --dark-bit",
                              "--top DIR/two.hex --all-palettes --palettes 4 --colors 5 --hardware-colors --dark-bit",
                              "--top DIR/two.hex --all-palettes --bottom black --palettes 3 --there-and-back"}) {
        const QStringList args = Args(shape, dir.path());
        const CliRun hex = Cli(QStringList{QStringLiteral("fade")} + args + Args("--format hex -o -"));
        const CliRun jasc = Cli(QStringList{QStringLiteral("fade")} + args + Args("--format jasc -o -"));
        const CliRun preview = Cli(QStringList{QStringLiteral("preview")} + args + Args("--format png -o -"));
        ASSERT_EQ(hex.status, kExitSuccess) << shape << hex.err.toStdString();
        const QImage image = QImage::fromData(preview.out, "PNG");
        const QList<QByteArray> colors = hex.out.split('\n');
        const int columns = image.width() / 8;
        ASSERT_EQ(colors.size() - 1, columns * (image.height() / 8)) << shape;
        for (int i = 0; i + 1 < colors.size(); ++i)
            EXPECT_EQ(image.pixel(i % columns * 8, i / columns * 8) & 0xFFFFFF, colors[i].toUInt(nullptr, 16))
                << shape << " colour " << i;
        EXPECT_TRUE(jasc.out.startsWith("JASC-PAL\r\n0100\r\n" + QByteArray::number(colors.size() - 1) + "\r\n"));
        EXPECT_EQ(jasc.out.count("\r\n"), colors.size() - 1 + 3);
    }
    const CliRun gpl = Cli(Args("fade --top DIR/two.hex --all-palettes --palettes 3 --colors 2 --format gpl -o -", dir.path()));
    EXPECT_TRUE(gpl.out.startsWith("GIMP Palette\nName: palfade\nColumns: 2\n#\n"));
    EXPECT_TRUE(gpl.out.contains("\tstep 1 palette 1 colour 1\n  0   0   8\tstep 2 palette 0 colour 0\n"))
        << gpl.out.toStdString();
}

TEST(Cli, AnAdobeColorTableHoldsAtMost256Colours)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("steps.act"));
    EXPECT_EQ(Cli(Args("fade --top white --palettes 16 -o") << out).status, kExitSuccess);
    EXPECT_EQ(test::ReadRaw(out).size(), 772);
    const CliRun over = Cli(Args("fade --top white --palettes 17 -o") << out);
    EXPECT_EQ(over.status, kExitRuntimeError);
    EXPECT_EQ(QString::fromUtf8(over.err),
              QStringLiteral("palfade-cli: error: %1: an Adobe colour table holds at most 256 colours, not 272\n").arg(out));
    EXPECT_EQ(test::ReadRaw(out).size(), 772);
    EXPECT_EQ(Cli(Args("palette white --all-palettes --format act -o -")).status, kExitSuccess);
}

} // namespace
} // namespace palfade::cli
