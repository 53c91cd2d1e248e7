#pragma once
// palfade-cli's manual page and bash completion, made from its option table
// as its --help is.

#include <QString>
#include <QStringList>

namespace palfade::cli {

// The manual page in roff, `moreSections` (roff) at its end.
QString ManPage(const QString& moreSections);
QString BashCompletion();
QStringList OptionNames(); // every name of every option, as typed: "--top", "-o", "--output"

} // namespace palfade::cli
