#include "io/file_access.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace palfade {

namespace {

QString Reason(const QString& what, const QString& path, const QString& why)
{
    return QStringLiteral("%1 %2: %3").arg(what, path, why);
}

IoStatus WriteDirectly(const QString& path, const DeviceWrite& write)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return IoStatus::Failure(Reason(QStringLiteral("cannot create"), path, file.errorString()));
    if (!write(file))
        return IoStatus::Failure(Reason(QStringLiteral("cannot write"), path, file.errorString()));
    return IoStatus::Success();
}

// QSaveFile creates its temporary file beside the target. When the folder
// is there and the target writable or missing, that temporary file is what
// could not be created, and the system's reason concerns it.
QString CreateFailure(const QFileInfo& target, const QSaveFile& file)
{
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir() || (target.exists() && !target.isWritable()))
        return file.errorString();
    return QStringLiteral("cannot create a temporary file in %1: %2").arg(folder, file.errorString());
}

// A symbolic link that leads nowhere: round in a loop, or into a folder that
// is not there. QSaveFile would replace a looping link with a file, and blame
// the folder of its temporary file for the other; what is wrong is what the
// system says when the link is opened. A link to a missing file in a folder
// that is there is written through, creating the file, as a shell does.
std::optional<QString> LinkLeadingNowhere(const QString& path)
{
    const QFileInfo link(path);
    if (!link.isSymLink() || link.exists())
        return std::nullopt;
    constexpr int kMostLinksFollowed = 40; // as Linux follows them
    QString target = path;
    int hops = 0;
    for (; hops <= kMostLinksFollowed && QFileInfo(target).isSymLink(); ++hops)
        target = QFileInfo(target).symLinkTarget();
    if (hops <= kMostLinksFollowed && QFileInfo(QFileInfo(target).absolutePath()).isDir())
        return std::nullopt;
    QFile probe(path);
    probe.open(QIODevice::ReadOnly);
    return probe.errorString();
}

} // namespace

bool WriteAll(QIODevice& device, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 written = device.write(bytes.data() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += static_cast<qsizetype>(written);
    }
    return true;
}

IoStatus RefuseSpecialFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        return IoStatus::Failure(Reason(QStringLiteral("cannot write"), path, QStringLiteral("Not a regular file")));
    return IoStatus::Success();
}

QString CannotOpenReason(const QString& path, const QString& why)
{
    return Reason(QStringLiteral("cannot open"), path, why);
}

// The system's reason (a loop of links is "Too many levels of symbolic
// links"), and for a link whose target is missing, that target.
IoStatus OpenForReading(QFile& file)
{
    const QString path = file.fileName();
    const QFileInfo info(path);
    if (info.isDir())
        return IoStatus::Failure(CannotOpenReason(path, QStringLiteral("Is a directory")));
    if (!file.open(QIODevice::ReadOnly)) {
        QString why = file.errorString();
        if (why.isEmpty())
            why = QStringLiteral("No such file or directory");
        const QFileInfo target(info.symLinkTarget());
        if (info.isSymLink() && !target.exists() && !target.isSymLink())
            why += QStringLiteral(" (it links to %1, which is missing)").arg(target.filePath());
        return IoStatus::Failure(CannotOpenReason(path, why));
    }
    return IoStatus::Success();
}

std::optional<qint64> ExistingFileSize(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return std::nullopt;
    return info.size();
}

IoResult<QByteArray> ReadFileStart(const QString& path, qint64 maxBytes, qint64* totalSize)
{
    IoResult<QByteArray> result;
    if (totalSize != nullptr)
        *totalSize = -1;
    QFile file(path);
    if (const IoStatus opened = OpenForReading(file); !opened.ok()) {
        result.error = opened.error;
        return result;
    }
    if (totalSize != nullptr && !file.isSequential())
        *totalSize = file.size();
    // In pieces: QIODevice::read(maxBytes) takes maxBytes of memory first,
    // however short the file.
    constexpr qint64 kPiece = 64 * 1024;
    while (result.value.size() < maxBytes) {
        const qsizetype at = result.value.size();
        const qint64 want = std::min(maxBytes - at, kPiece);
        result.value.resize(at + want);
        const qint64 got = file.read(result.value.data() + at, want);
        result.value.resize(at + std::max<qint64>(got, 0));
        if (got <= 0)
            break;
    }
    if (file.error() != QFileDevice::NoError) {
        result.error = Reason(QStringLiteral("cannot read"), path, file.errorString());
        result.value.clear();
    }
    return result;
}

IoStatus WriteFileAtomically(const QString& path, QByteArrayView bytes)
{
    return WriteFileAtomically(path, [bytes](QIODevice& device) { return WriteAll(device, bytes); });
}

IoStatus WriteFileAtomically(const QString& path, const DeviceWrite& write)
{
    if (path.isEmpty())
        return IoStatus::Failure(QStringLiteral("cannot create a file without a name"));
    const QFileInfo info(path);
    if (info.isDir())
        return IoStatus::Failure(Reason(QStringLiteral("cannot create"), path, QStringLiteral("Is a directory")));
    if (info.exists() && !info.isFile())
        return WriteDirectly(path, write);
    if (const std::optional<QString> why = LinkLeadingNowhere(path))
        return IoStatus::Failure(Reason(QStringLiteral("cannot create"), path, *why));

    QSaveFile file(path);
    // Never fall back to truncating the target in place: that is exactly
    // the half-written file the temporary is there to prevent.
    file.setDirectWriteFallback(false);
    // Unbuffered: QSaveFile::commit() ignores an error that only shows when a
    // buffer is flushed and renames a short temporary over the target, and a
    // flush that fails part way loses the reason. `write` checks every write.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return IoStatus::Failure(Reason(QStringLiteral("cannot create"), path, CreateFailure(info, file)));
    if (!write(file)) {
        const QString why = file.errorString();
        file.cancelWriting();
        return IoStatus::Failure(Reason(QStringLiteral("cannot write"), path, why));
    }
    if (!file.commit())
        return IoStatus::Failure(Reason(QStringLiteral("cannot write"), path, file.errorString()));
    return IoStatus::Success();
}

} // namespace palfade
