#include "exports/export_formats.h"
#include "io/file_access.h"
#include "sources/palette_file.h"
#include "support/file_bytes.h"
#include "support/file_size_limit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace palfade {
namespace {

QByteArray Repeat(const char* pair, int times)
{
    QByteArray b;
    for (int i = 0; i < times; ++i)
        b.append(pair, 2);
    return b;
}

TEST(PaletteFile, BytesToEntries)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        PaletteEntry first;
        PaletteEntry last;
    };
    QByteArray thirtyOne = Repeat("\x7F\xFF", 16).left(31);
    const Row rows[] = {
        {"white", Repeat("\x7F\xFF", 16), {31, 31, 31, 0}, {31, 31, 31, 0}},
        {"white dark", Repeat("\xFF\xFF", 16), {31, 31, 31, 1}, {31, 31, 31, 1}},
        {"forty bytes", Repeat("\x0F\x00", 16) + Repeat("\xFF\xFF", 4), {30, 0, 0, 0}, {30, 0, 0, 0}},
        {"31 bytes", thirtyOne, {31, 31, 31, 0}, DecodeHwColor(0x7F00)},
        {"empty", QByteArray(), {0, 0, 0, 0}, {0, 0, 0, 0}},
        {"one byte", QByteArray("\x80", 1), {0, 0, 0, 1}, {0, 0, 0, 0}},
    };
    for (const Row& row : rows) {
        const SourcePalette p = PaletteOfWords(PaletteFromBytes(row.bytes));
        EXPECT_EQ(p[0], row.first) << row.name;
        EXPECT_EQ(p[15], row.last) << row.name;
    }
    EXPECT_EQ(PaletteOfWords(PaletteFromBytes(QByteArray("\x4F\x00", 2)))[0], (PaletteEntry{31, 0, 0, 0}));
}

TEST(PaletteFile, WriteThenReadGivesTheSameEntries)
{
    SourcePalette p;
    for (int i = 0; i < 16; ++i)
        p[static_cast<std::size_t>(i)] = PaletteEntry{31 - i, i * 2, i, (i / 3) % 2};
    PaletteWords words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = EncodeHwColor(p[i]);
    const QByteArray bytes = SourcePaletteExport(words, 1, kBigEndianWords);
    ASSERT_EQ(bytes.size(), 32);
    EXPECT_EQ(PaletteOfWords(PaletteFromBytes(bytes)), p);
    EXPECT_EQ(bytes.left(2), QByteArray("\x4F\x00", 2)); // red 31 alone, most significant byte first
}

TEST(PaletteFile, ReaderRules)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString forty = dir.filePath(QStringLiteral("forty.ngpal"));
    test::WriteRaw(forty, Repeat("\x7F\xFF", 20));
    const IoResult<PaletteFileSet> read = ReadPaletteFile(forty, 1);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value.size, 40);
    EXPECT_EQ(PaletteOfWords(read.value.palettes.front())[15], (PaletteEntry{31, 31, 31, 0}));

    for (const QString& bad : {dir.path(), dir.filePath(QStringLiteral("missing.ngpal"))}) {
        const IoResult<PaletteFileSet> r = ReadPaletteFile(bad, 1);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.error.contains(bad)) << r.error.toStdString();
    }

    EXPECT_EQ(ExistingFileSize(forty), std::optional<qint64>(40));
    EXPECT_EQ(ExistingFileSize(dir.path()), std::nullopt);
    EXPECT_EQ(ExistingFileSize(dir.filePath(QStringLiteral("missing"))), std::nullopt);
    EXPECT_EQ(ExistingFileSize(QString()), std::nullopt);
}

TEST(AtomicWrite, ReplacesCompletelyAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("out.s"));
    test::WriteRaw(path, QByteArray(1000, 'x'));
    ASSERT_TRUE(WriteFileAtomically(path, "short").ok());
    EXPECT_EQ(test::ReadRaw(path), "short");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.s")});
}

TEST(AtomicWrite, FailuresNameThePathAndTheReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plain = dir.filePath(QStringLiteral("plain"));
    test::WriteRaw(plain, "old");
    const QString underFile = plain + QStringLiteral("/out.s");
    const IoStatus notDir = WriteFileAtomically(underFile, "new");
    EXPECT_FALSE(notDir.ok());
    EXPECT_TRUE(notDir.error.contains(underFile)) << notDir.error.toStdString();

    const IoStatus isDir = WriteFileAtomically(dir.path(), "new");
    EXPECT_FALSE(isDir.ok());
    EXPECT_TRUE(isDir.error.contains(QStringLiteral("directory")));
    EXPECT_EQ(test::ReadRaw(plain), "old");
}

TEST(AtomicWrite, DeviceThatRefusesDataIsAnError)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full here";
    const IoStatus status = WriteFileAtomically(QStringLiteral("/dev/full"), QByteArray(100, 'x'));
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.error.contains(QStringLiteral("/dev/full"))) << status.error.toStdString();
}

// A file size limit makes the write itself fail part way, whoever runs the
// test (permissions do not stop root). A small file fails only when the
// buffered bytes are flushed, a large one already while they are written.
class AtomicWriteOverLimit : public ::testing::TestWithParam<int> {};

TEST_P(AtomicWriteOverLimit, LeavesTheOldFileIntact)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("fade.bin"));
    const QByteArray old = "old content";
    test::WriteRaw(path, old);

    IoStatus status;
    {
        const FileSizeLimit limit(8);
        ASSERT_TRUE(limit.set());
        status = WriteFileAtomically(path, QByteArray(GetParam(), 'n'));
    }

    EXPECT_FALSE(status.ok());
    // The system's reason, also when the limit cuts a write short part way.
    EXPECT_EQ(status.error,
              QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
    EXPECT_EQ(test::ReadRaw(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("fade.bin")});
}

INSTANTIATE_TEST_SUITE_P(AtomicWrite, AtomicWriteOverLimit, ::testing::Values(32, 303, 100000));

TEST(AtomicWrite, RefuseSpecialFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString plain = dir.filePath(QStringLiteral("plain"));
    test::WriteRaw(plain, "old");
    const struct {
        QString path;
        bool refused;
    } rows[] = {
        {pipe, true},
        {QStringLiteral("/dev/null"), true},
        {plain, false},
        {dir.filePath(QStringLiteral("missing")), false},
        {dir.path(), false}, // the write itself names the directory
    };
    for (const auto& row : rows) {
        const IoStatus status = RefuseSpecialFile(row.path);
        EXPECT_EQ(!status.ok(), row.refused) << row.path.toStdString();
        if (row.refused) {
            EXPECT_EQ(status.error, QStringLiteral("cannot write %1: Not a regular file").arg(row.path));
        }
    }
}

TEST(AtomicWrite, ReadOnlyFolder)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: folder permissions do not stop writes";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("fade.s"));
    test::WriteRaw(path, "old");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const IoStatus status = WriteFileAtomically(path, "new");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.error.contains(path));
    EXPECT_EQ(test::ReadRaw(path), "old");
}

} // namespace
} // namespace palfade
