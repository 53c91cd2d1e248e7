#pragma once
// palfade-cli's standard input, output and error as Qt devices. Output and
// error are unbuffered: a write that fails (a full disk behind standard
// output) fails at once with the system's reason, not in an unchecked flush
// at exit. One implementation a platform: standard_streams_posix.cpp on the
// POSIX descriptors, standard_streams_portable.cpp on the C streams.

class QFile;

namespace palfade::cli {

// False when one of the three cannot be opened.
bool OpenStandardStreams(QFile& in, QFile& out, QFile& err);

} // namespace palfade::cli
