// Atomic writes through a named temporary file. On Linux QSaveFile writes an
// unnamed temporary file (O_TMPFILE) wherever the filesystem allows and links
// it in at the end; Windows, macOS and filesystems without unnamed temporary
// files get a named one beside the target, which must go again whenever a
// write fails. On Linux these tests write into a small FAT image, which has
// no unnamed temporary files, mounted through the kernel (as root, on a loop
// device) or through fusefat; they are skipped, with the reason, where
// neither mount works.

#include "io/file_access.h"
#include "support/file_bytes.h"
#include "support/file_size_limit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <ostream>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace palfade {
namespace {

// A folder whose filesystem has no unnamed temporary files.
class NamedTemporaryFolder {
public:
    explicit NamedTemporaryFolder(qint64 imageBytes);
    ~NamedTemporaryFolder();
    NamedTemporaryFolder(const NamedTemporaryFolder&) = delete;
    NamedTemporaryFolder& operator=(const NamedTemporaryFolder&) = delete;

    // Empty when the folder could not be had; reason() says why.
    QString path() const { return path_; }
    QString reason() const { return reason_; }

private:
    QTemporaryDir work_;
    QString path_;
    QString reason_;
    QString unmount_;
};

#ifdef Q_OS_LINUX
QString Program(const QString& name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin"}) : found;
}

// Runs the program; empty on success, else what went wrong. Some mount
// helpers exit 0 when they fail: `mounted` then tells, and their last line on
// standard error is the reason.
QString Run(const QString& program, const QStringList& args, const std::function<bool()>& mounted = {})
{
    const QString path = Program(program);
    if (path.isEmpty())
        return program + QStringLiteral(": not installed");
    QProcess process;
    process.start(path, args);
    const bool finished = process.waitForFinished(30000);
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 && (!mounted || mounted()))
        return {};
    return program + QStringLiteral(": ") + (said.isEmpty() ? process.errorString() : said.section('\n', -1));
}

NamedTemporaryFolder::NamedTemporaryFolder(qint64 imageBytes)
{
    if (!work_.isValid()) {
        reason_ = QStringLiteral("no temporary folder");
        return;
    }
    const QString image = work_.filePath(QStringLiteral("fat.img"));
    const QString mountPoint = work_.filePath(QStringLiteral("mnt"));
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(imageBytes) || !QDir().mkpath(mountPoint)) {
        reason_ = QStringLiteral("cannot make the image in ") + work_.path();
        return;
    }
    file.close();
    if (const QString failed = Run(QStringLiteral("mkfs.vfat"), {image}); !failed.isEmpty()) {
        reason_ = failed;
        return;
    }
    const auto mounted = [&] { return QStorageInfo(mountPoint).rootPath() == QDir(mountPoint).absolutePath(); };
    QStringList reasons;
    if (geteuid() != 0) {
        reasons << QStringLiteral("mount: not root");
    } else if (const QString failed =
                   Run(QStringLiteral("mount"), {"-t", "vfat", "-o", "loop", image, mountPoint}, mounted);
               failed.isEmpty()) {
        unmount_ = QStringLiteral("umount");
    } else {
        reasons << failed;
    }
    if (unmount_.isEmpty()) {
        if (const QString failed = Run(QStringLiteral("fusefat"), {"-o", "rw+", image, mountPoint}, mounted);
            failed.isEmpty())
            unmount_ = geteuid() == 0 ? QStringLiteral("umount") : QStringLiteral("fusermount");
        else
            reasons << failed;
    }
    if (unmount_.isEmpty()) {
        reason_ = QStringLiteral("cannot mount a FAT image (%1)").arg(reasons.join(QStringLiteral("; ")));
        return;
    }
    path_ = mountPoint;
}

NamedTemporaryFolder::~NamedTemporaryFolder()
{
    if (unmount_.isEmpty())
        return;
    const QStringList args = unmount_ == QStringLiteral("fusermount") ? QStringList{"-u", path_} : QStringList{path_};
    // A FUSE file system may still be busy with the last file for a moment.
    for (int attempt = 0; attempt < 50 && !Run(unmount_, args).isEmpty(); ++attempt)
        QThread::msleep(100);
}
#else
// Everywhere else every temporary file of QSaveFile is a named one.
NamedTemporaryFolder::NamedTemporaryFolder(qint64)
{
    if (work_.isValid())
        path_ = work_.path();
    else
        reason_ = QStringLiteral("no temporary folder");
}

NamedTemporaryFolder::~NamedTemporaryFolder() = default;
#endif

QStringList FilesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

constexpr qint64 kImageBytes = 1024 * 1024;

TEST(NamedTemporary, ReplacesTheTargetAndGoes)
{
    const NamedTemporaryFolder folder(kImageBytes);
    if (folder.path().isEmpty())
        GTEST_SKIP() << folder.reason().toStdString();
    const QString path = folder.path() + QStringLiteral("/fade.s");
    test::WriteRaw(path, QByteArray(5000, 'o'));

    QStringList whileWriting;
    const IoStatus status = WriteFileAtomically(path, [&](QIODevice& device) {
        whileWriting = FilesIn(folder.path());
        return WriteAll(device, "\tdc.w\t$7FFF\r\n");
    });

    ASSERT_TRUE(status.ok()) << status.error.toStdString();
    // The temporary file has a name beside the target while it is written.
    ASSERT_EQ(whileWriting.size(), 2) << whileWriting.join(' ').toStdString();
    EXPECT_TRUE(whileWriting.contains(QStringLiteral("fade.s")));
    EXPECT_EQ(test::ReadRaw(path), "\tdc.w\t$7FFF\r\n");
    EXPECT_EQ(FilesIn(folder.path()), QStringList{QStringLiteral("fade.s")});
}

// However the write stops part way, the old file stays as it was and the
// named temporary file goes.
struct FailedWrite {
    const char* name;
    qint64 bytes;         // what the export tries to write
    bool exportFails;     // the export gives up after the first piece
    bool sizeLimit;       // writes past 8 bytes fail (EFBIG)
    int error;            // the system's reason (errno) the message ends in; 0: any
};

void PrintTo(const FailedWrite& row, std::ostream* out)
{
    *out << row.name;
}

class NamedTemporaryFailure : public ::testing::TestWithParam<FailedWrite> {};

TEST_P(NamedTemporaryFailure, LeavesTheOldFileAndNoTemporary)
{
    const FailedWrite& row = GetParam();
    const NamedTemporaryFolder folder(kImageBytes);
    if (folder.path().isEmpty())
        GTEST_SKIP() << folder.reason().toStdString();
    const QString path = folder.path() + QStringLiteral("/fade.bin");
    const QByteArray old = "old content";
    test::WriteRaw(path, old);

    std::optional<FileSizeLimit> limit;
    if (row.sizeLimit) {
        limit.emplace(8);
        if (!limit->set())
            GTEST_SKIP() << "no file size limit here";
    }
    QStringList whileWriting;
    const IoStatus status = WriteFileAtomically(path, [&](QIODevice& device) {
        whileWriting = FilesIn(folder.path());
        const QByteArray piece(64 * 1024, 'n');
        for (qint64 done = 0; done < row.bytes; done += piece.size()) {
            if (!WriteAll(device, piece) || row.exportFails)
                return false;
        }
        return true;
    });
    limit.reset();

    EXPECT_FALSE(status.ok());
    EXPECT_TRUE(status.error.startsWith(QStringLiteral("cannot write ") + path)) << status.error.toStdString();
    if (row.error != 0) {
        EXPECT_TRUE(status.error.endsWith(QString::fromLocal8Bit(std::strerror(row.error))))
            << status.error.toStdString();
    }
    EXPECT_EQ(whileWriting.size(), 2) << whileWriting.join(' ').toStdString();
    EXPECT_EQ(test::ReadRaw(path), old);
    EXPECT_EQ(FilesIn(folder.path()), QStringList{QStringLiteral("fade.bin")});
}

INSTANTIATE_TEST_SUITE_P(
    NamedTemporary, NamedTemporaryFailure,
    ::testing::Values(FailedWrite{"ExportGivesUp", 1024 * 1024, true, false, 0},
                      // The reason is the filesystem's: ENOSPC from the kernel, EPERM from fusefat.
                      FailedWrite{"DiskFull", 4 * 1024 * 1024, false, false, 0},
                      FailedWrite{"FileSizeLimit", 1024 * 1024, false, true, EFBIG}),
    [](const ::testing::TestParamInfo<FailedWrite>& info) { return std::string(info.param.name); });

} // namespace
} // namespace palfade
