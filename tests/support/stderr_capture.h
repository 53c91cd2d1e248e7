#pragma once
// What the process itself writes to its standard error while a function
// runs: a library's own lines reach the user there, past any stream palfade
// holds.

#include <QTemporaryFile>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace palfade::test {

template <typename Run>
std::string StderrOf(Run run)
{
    QTemporaryFile capture;
    if (!capture.open())
        return "<no capture>";
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(capture.handle(), STDERR_FILENO);
    run();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    capture.seek(0);
    return capture.readAll().toStdString();
}

} // namespace palfade::test
