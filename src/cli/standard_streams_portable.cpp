#include "cli/standard_streams.h"

#include <QFile>

#include <cstdio>

namespace palfade::cli {

// On the C library's streams, which every system has. Standard output loses
// its C buffer (standard error never has one), so each write reaches the
// system at once and one that fails reports it.
bool OpenStandardStreams(QFile& in, QFile& out, QFile& err)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return in.open(stdin, QIODevice::ReadOnly) &&
           out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
}

} // namespace palfade::cli
