#include "cli/standard_streams.h"

#include <QFile>

#include <csignal>
#include <unistd.h>

namespace palfade::cli {

// On the descriptors themselves: QFile writes with write(2), and nothing waits
// in a C library buffer. A reader that goes away (`palfade-cli ... | head`)
// would end the process by SIGPIPE without a word; ignored, the write fails
// with EPIPE and the run ends as any failed write does, with exit status 1 and
// "Broken pipe".
bool OpenStandardStreams(QFile& in, QFile& out, QFile& err)
{
    std::signal(SIGPIPE, SIG_IGN);
    return in.open(STDIN_FILENO, QIODevice::ReadOnly) &&
           out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
}

} // namespace palfade::cli
