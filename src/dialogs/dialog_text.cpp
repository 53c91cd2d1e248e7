#include "dialogs/dialog_text.h"

#include <QStringList>

namespace palfade {

QString LevelText(int level)
{
    return QStringLiteral("$%1").arg(level, 2, 16, QLatin1Char('0')).toUpper();
}

QString WordText(HwColor word)
{
    return QStringLiteral("$%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
}

QString BinaryText(HwColor word)
{
    QString text;
    for (int bit = 15; bit >= 0; --bit) {
        text += ((word >> bit) & 1) ? QLatin1Char('1') : QLatin1Char('0');
        if (bit % 4 == 0 && bit != 0)
            text += QLatin1Char(' ');
    }
    return text;
}

QString SwatchLabel(int index)
{
    return QStringLiteral("$%1").arg(index & 0xF, 1, 16).toUpper();
}

QString AssemblerText(const std::array<HwColor, kPaletteSize>& words)
{
    constexpr int kPerLine = kPaletteSize / 2;
    QString text;
    for (int line = 0; line < 2; ++line) {
        QStringList parts;
        for (int i = 0; i < kPerLine; ++i)
            parts << WordText(words[static_cast<std::size_t>(line * kPerLine + i)]);
        if (line > 0)
            text += QStringLiteral("\r\n");
        text += QStringLiteral("dc.w\t") + parts.join(QLatin1Char(','));
    }
    return text;
}

HwColor ParseHexField(const QString& text)
{
    QString full = text;
    if (!full.startsWith(QLatin1Char('$')))
        full.prepend(QLatin1Char('$'));
    // Keeping only the low 16 bits while accumulating gives the last four
    // digits and cannot overflow however many digits are typed.
    unsigned value = 0;
    for (qsizetype i = 1; i < full.size(); ++i) {
        const char16_t c = full.at(i).unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        if (digit < 0)
            break;
        value = ((value << 4) | static_cast<unsigned>(digit)) & 0xFFFFu;
    }
    return static_cast<HwColor>(value);
}

} // namespace palfade
