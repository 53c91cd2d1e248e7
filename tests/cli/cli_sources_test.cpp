#include "cli/cli.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace palfade::cli {
namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

CliRun Cli(const QStringList& args)
{
    QByteArray none;
    QBuffer in(&none);
    in.open(QIODevice::ReadOnly);
    CliRun run;
    QBuffer out(&run.out);
    QBuffer err(&run.err);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    run.status = RunCli(args, in, out, err);
    return run;
}

// "DATA/" stands for the test data folder, "DIR/" for `dir`.
QStringList Args(const char* line, const QString& dir)
{
    QStringList args = QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString& a : args) {
        a.replace(QLatin1String("DATA/"), QStringLiteral(PALFADE_TEST_DATA "/"));
        a.replace(QLatin1String("DIR/"), dir + QLatin1Char('/'));
    }
    return args;
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Each row writes a 32-byte palette file to standard output; its words as hex.
TEST(CliSources, TablesCountsShortPalettesAndReadingRules)
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
        {"DIR/tiles.png --picture-order table --picture-words ngdevkit", "f000 4f00 0000", nullptr},
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

TEST(CliSources, BadSourcesFailWithTheirLineAndWriteNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Write(dir.filePath(QStringLiteral("undefined.s")), "pal:\n\tdc.w $8000, GREEN\n");
    Write(dir.filePath(QStringLiteral("used.s")), "\txdef pal\n\tlea pal,a0\n");
    Write(dir.filePath(QStringLiteral("twice.s")), "pal: dc.w 1\n\trts\npal: dc.w 2\n");
    Write(dir.filePath(QStringLiteral("expression.c")), "const u16 pal[] = {\n\t0x8000,\n\t0x0100 | 0x0010,\n};\n");
    Write(dir.filePath(QStringLiteral("count.s")), "pal:\tdc.w\t3\n\tdc.w\t$8000,$7FFF\n");
    Write(dir.filePath(QStringLiteral("open.s")), "\tdc.w $0001\n/* the rest\n\tdc.w $0002\n");
    const struct {
        const char* args;
        const char* reason; // %1: the folder
    } rows[] = {
        {"--top DIR/undefined.s --table pal", "%1/undefined.s, line 2: GREEN is not defined"},
        {"--top DIR/used.s --table pal", "pal is not defined in %1/used.s (used on line 1)"},
        {"--top DIR/twice.s --table pal", "pal is defined twice in %1/twice.s, on lines 1 and 3"},
        {"--top DIR/expression.c --table pal",
         "%1/expression.c, line 3: \"0x0100 | 0x0010\" is not a number or a name defined as one"},
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

} // namespace
} // namespace palfade::cli
