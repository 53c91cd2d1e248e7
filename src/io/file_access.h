#pragma once
// The on-disk layer every command uses: existence tests, bounded reads and
// atomic writes that leave an existing target untouched when they fail.

#include "io/io_result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>

namespace palfade {

// Size of the regular file at path (after following links); nothing for a
// missing path, a directory or a special file. This is the "a file exists
// there" test of the save confirmation and of dropped palette files.
std::optional<qint64> ExistingFileSize(const QString& path);

// "cannot open PATH: why", the message of every file that cannot be read.
QString CannotOpenReason(const QString& path, const QString& why);

// Opens the file (named already) for reading; a missing file, a directory or
// a refusal gives the reason.
IoStatus OpenForReading(QFile& file);

// Reads at most maxBytes from the start of the file. A directory or a file
// that cannot be opened is an error; `totalSize` receives the file's size when
// known (-1 for a stream of unknown length).
IoResult<QByteArray> ReadFileStart(const QString& path, qint64 maxBytes, qint64* totalSize = nullptr);

// Writes bytes to path through a temporary file beside it that replaces the
// target only once everything is written. On failure the error names the path
// and the reason, and an existing target is byte for byte what it was. A
// special file such as a terminal or /dev/full is written directly, since it
// cannot be replaced. A symbolic link is written through; one that loops or
// leads into a missing folder fails with the system's reason ("Too many levels
// of symbolic links", "No such file or directory").
IoStatus WriteFileAtomically(const QString& path, QByteArrayView bytes);

// The same for bytes made while they are written: `write` puts them into the
// device it is given and returns false once a write fails, whose reason the
// device keeps. The target is replaced only when `write` returns true.
using DeviceWrite = std::function<bool(QIODevice&)>;
IoStatus WriteFileAtomically(const QString& path, const DeviceWrite& write);

// Writes all of bytes to an unbuffered device. A write that runs out of room
// part way returns a short count and no reason; writing the rest then fails
// at once with the system's reason ("No space left on device"), which the
// device keeps.
bool WriteAll(QIODevice& device, QByteArrayView bytes);

// A failure for a path that exists but is neither a regular file nor a
// directory: a pipe or a device would hold an interactive save until some
// other program reads it. Success for anything else, a missing path included.
IoStatus RefuseSpecialFile(const QString& path);

} // namespace palfade
