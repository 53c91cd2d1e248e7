#include "dialogs/dialog_text.h"

#include "core/hex_word.h"

#include <QStringList>

namespace palfade {

QString LevelText(int level)
{
    return QStringLiteral("$%1").arg(level, 2, 16, QLatin1Char('0')).toUpper();
}

QString WordText(HwColor word)
{
    const std::array<char, 4> digits = HexWordDigits(word);
    return QLatin1Char('$') + QLatin1StringView(digits.data(), static_cast<qsizetype>(digits.size()));
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
    const QStringView digits = text.startsWith(QLatin1Char('$')) ? QStringView(text).sliced(1) : QStringView(text);
    return ParseHexWord(std::u16string_view(digits.utf16(), static_cast<std::size_t>(digits.size())));
}

} // namespace palfade
