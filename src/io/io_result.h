#pragma once
// Results of the file layer: either a value or a reason (what failed, which
// path, why) that the window shows or palfade-cli prints.

#include <QString>

#include <utility>

namespace palfade {

struct IoStatus {
    QString error; // empty on success

    bool ok() const { return error.isEmpty(); }
    static IoStatus Success() { return {}; }
    // A failure always carries a non-empty reason.
    static IoStatus Failure(QString reason)
    {
        return IoStatus{reason.isEmpty() ? QStringLiteral("unknown error") : std::move(reason)};
    }
};

template <typename T>
struct IoResult {
    T value{};
    QString error; // empty on success; value is meaningless otherwise

    bool ok() const { return error.isEmpty(); }
};

} // namespace palfade
