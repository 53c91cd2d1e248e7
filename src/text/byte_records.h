#pragma once
// Fixed-size values packed into a QByteArray one after another: the compact
// records the name table and the table reader keep while a source is read,
// a few bytes an entry where a QString each would cost far more.

#include <QByteArray>

#include <cstring>

namespace palfade {

inline void PutBytes(QByteArray& bytes, const void* data, qsizetype size)
{
    bytes.append(static_cast<const char*>(data), size);
}

// Reads the value at `at` and moves `at` past it; the caller knows the
// record is whole there.
template <typename T>
T GetBytes(const QByteArray& bytes, qsizetype& at)
{
    T value;
    std::memcpy(&value, bytes.constData() + at, sizeof value);
    at += static_cast<qsizetype>(sizeof value);
    return value;
}

} // namespace palfade
