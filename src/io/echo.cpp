#include "io/echo.h"

#include <algorithm>

namespace palfade {

QString Echoed(QStringView text, qsizetype maxLength)
{
    qsizetype length = std::min(text.size(), maxLength);
    if (length > 0 && length < text.size() && text[length - 1].isHighSurrogate())
        --length; // never half a character
    QString out;
    out.reserve(length + 3);
    for (const QChar c : text.first(length)) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    if (length < text.size())
        out += QStringLiteral("...");
    return out;
}

QString EchoedInQuotes(QStringView text)
{
    return QLatin1Char('"') + Echoed(text) + QLatin1Char('"');
}

} // namespace palfade
