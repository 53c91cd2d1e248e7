#include "cli/standard_streams.h"

#include <QFile>

#include <unistd.h>

namespace palfade::cli {

// On the descriptors themselves: QFile writes with write(2), and nothing waits
// in a C library buffer.
bool OpenStandardStreams(QFile& in, QFile& out, QFile& err)
{
    return in.open(STDIN_FILENO, QIODevice::ReadOnly) &&
           out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
}

} // namespace palfade::cli
