#include "text/source_number.h"

#include "io/echo.h"

#include <QRegularExpression>

#include <algorithm>
#include <utility>

namespace palfade {

namespace {

// Numbers are held at this once they are larger: no count or word is.
constexpr qint64 kNumberCap = qint64(1) << 40;

int DigitValue(QChar c)
{
    const char16_t u = c.toLower().unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return 99;
}

// The mark of a base a number opens with in `syntax`, and the base.
std::pair<qsizetype, int> BaseMark(QStringView text, NumberSyntax syntax)
{
    const bool motorola = syntax == NumberSyntax::Motorola;
    if (text.startsWith(u'$'))
        return {1, 16};
    if (text.startsWith(u"0x", Qt::CaseInsensitive))
        return {2, 16};
    if (motorola && text.startsWith(u'%'))
        return {1, 2};
    if (motorola && text.startsWith(u'@'))
        return {1, 8};
    if (!motorola && text.startsWith(u"0b", Qt::CaseInsensitive))
        return {2, 2};
    if (!motorola && text.size() > 1 && text[0] == u'0')
        return {1, 8};
    return {0, 10};
}

QString SyntaxName(NumberSyntax syntax)
{
    return syntax == NumberSyntax::C ? QStringLiteral("C") : QStringLiteral("GNU as");
}

} // namespace

std::optional<SourceNumber> ParseSourceNumber(QStringView text, NumberSyntax syntax)
{
    if (syntax == NumberSyntax::C && !text.isEmpty() && text[0].isDigit())
        for (int k = 0; k < 3 && text.size() > 1 && QStringView(u"uUlL").contains(text.back()); ++k)
            text.chop(1);
    const auto [mark, base] = BaseMark(text, syntax);
    text = text.sliced(mark);
    if (text.isEmpty())
        return std::nullopt;
    SourceNumber number;
    for (const QChar c : text) {
        const int digit = DigitValue(c);
        if (digit >= base)
            return std::nullopt;
        number.value = std::min(number.value * base + digit, kNumberCap);
    }
    number.hexDigits = base == 16 ? static_cast<int>(std::min<qsizetype>(text.size(), 99)) : 0;
    return number;
}

bool IsSourceName(QStringView text)
{
    static const QRegularExpression kName(QStringLiteral("^[A-Za-z_.][A-Za-z0-9_.]*$"));
    return kName.match(text).hasMatch();
}

bool IsExpression(QStringView text)
{
    bool operand = false;
    bool operatorAfter = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t')
            continue;
        if (QStringView(u"+-*/%&|^<>!~=").contains(c)) {
            operatorAfter = operand;
            continue;
        }
        if (operatorAfter)
            return true;
        operand = true;
    }
    return false;
}

// Why text is no number and no name: an expression, a mark with no digit
// after it, a digit beyond an octal number's.
QString NotANumber(QStringView text, NumberSyntax syntax)
{
    if (IsExpression(text))
        return QStringLiteral("%1 is an expression, which palfade does not work out").arg(EchoedInQuotes(text));
    const auto [mark, base] = BaseMark(text, syntax);
    if (mark > 0 && (mark == text.size() || DigitValue(text[mark]) >= base) && base != 8)
        return QStringLiteral("%1 has no digit after its \"%2\"")
            .arg(EchoedInQuotes(text), text.first(mark).toString());
    if (base == 8 && mark == 1 && std::all_of(text.begin(), text.end(), [](QChar c) { return DigitValue(c) < 10; }))
        return QStringLiteral("%1 is no number: a leading 0 makes it octal in %2")
            .arg(EchoedInQuotes(text), SyntaxName(syntax));
    return QStringLiteral("%1 is not a number or a name defined as one").arg(EchoedInQuotes(text));
}

} // namespace palfade
