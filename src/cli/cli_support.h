#pragma once
// What palfade-cli's commands share: the failure that ends a run with its
// reason, the streams, and the lines written to standard error.

#include "cli/cli_options.h"
#include "io/io_result.h"

#include <QIODevice>
#include <QString>

#include <utility>

namespace palfade::cli {

inline constexpr const char* kProgram = "palfade-cli";

// Thrown with the one-line reason of a runtime error (exit status 1).
class Failure {
public:
    explicit Failure(QString reason) : reason_(std::move(reason)) {}
    const QString& reason() const { return reason_; }

private:
    QString reason_;
};

struct Streams {
    QIODevice& in;
    QIODevice& err;
};

void Print(QIODevice& device, const QString& line);
void Warn(const Streams& io, const QString& warning);
// "standard input" for "-", else the SRC as given.
QString SourceName(const QString& src);

template <typename T>
T Checked(IoResult<T> result)
{
    if (!result.ok())
        throw Failure(result.error);
    return std::move(result.value);
}

} // namespace palfade::cli
