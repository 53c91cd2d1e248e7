#pragma once
// Text from a file or the command line quoted in a message: its control
// characters escaped, so that the message stays one line a terminal shows as
// it is, and a long text cut short.

#include <QString>
#include <QStringView>

namespace palfade {

inline constexpr qsizetype kEchoedLength = 80;

// The first maxLength characters of text, each control character (C0, DEL
// and C1) written as "\xHH", and "..." when some were left out.
QString Echoed(QStringView text, qsizetype maxLength = kEchoedLength);
// The same between double quotes.
QString EchoedInQuotes(QStringView text);

} // namespace palfade
