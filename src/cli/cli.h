#pragma once
// palfade-cli as a function: the same fade, preview and palette exports as
// the window, driven by arguments, with the standard streams passed in.

#include <QIODevice>
#include <QStringList>

namespace palfade::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRuntimeError = 1;
inline constexpr int kExitUsageError = 2;

// args exclude the program name. `in` is read only for a SRC of "-".
int RunCli(const QStringList& args, QIODevice& in, QIODevice& out, QIODevice& err);

} // namespace palfade::cli
