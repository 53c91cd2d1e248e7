#pragma once
// A file's whole bytes written or read back, for tests that set up sources
// and look at what palfade wrote.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace palfade::test {

inline void WriteRaw(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
}

// "<unreadable>" where the file cannot be opened, so a comparison says so.
inline QByteArray ReadRaw(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace palfade::test
