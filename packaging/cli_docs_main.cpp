// palfade-cli-docs man SECTIONS OUT | bash OUT: writes palfade-cli's manual
// page (SECTIONS: roff sections to append) or bash completion at build time.

#include "cli_docs.h"

#include <QFile>

int main(int argc, char** argv)
{
    const QString kind = argc > 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    QFile sections(kind == QLatin1String("man") && argc == 4 ? QString::fromLocal8Bit(argv[2]) : QString());
    QFile out(QString::fromLocal8Bit(argv[argc - 1]));
    if ((kind == QLatin1String("man") ? !sections.open(QIODevice::ReadOnly) : kind != QLatin1String("bash")) ||
        !out.open(QIODevice::WriteOnly))
        return 2;
    const QString text = kind == QLatin1String("man") ? palfade::cli::ManPage(QString::fromUtf8(sections.readAll()))
                                                      : palfade::cli::BashCompletion();
    return out.write(text.toUtf8()) < 0 ? 1 : 0;
}
