#pragma once
// Numbers as the toolchains write them in sources. Everywhere "$7FFF" and
// "0x7FFF" are hex and a number without a mark is decimal; Motorola syntax
// (dc.w, vasm) has "%0101" binary and "@17" octal; GNU as (.word) and C have
// "0b0101" binary and a leading "0" octal, and C the suffixes u and l. An
// item with no digits is no number, and an operator between two items is an
// expression, which palfade never works out.

#include <QString>
#include <QStringView>

#include <optional>

namespace palfade {

enum class NumberSyntax { Motorola, GnuAs, C };

// A number as `syntax` writes one. hexDigits is 0 for any other base.
struct SourceNumber {
    qint64 value = 0; // held at 2^40 once it is larger
    int hexDigits = 0;
};
std::optional<SourceNumber> ParseSourceNumber(QStringView text, NumberSyntax syntax);

// A name a definition may give a value: letters, digits, "_" and ".", not
// opening with a digit.
bool IsSourceName(QStringView text);

// An operator between two operands: "$7FFF|$8000", "BASE+2", "1<<15".
bool IsExpression(QStringView text);

// Why text, which is no number and no name, is none: "\"$7FFF|$8000\" is an
// expression...", "\"$\" has no digit after its \"$\"", a digit beyond an
// octal number's, or that it is not a number or a name defined as one.
QString NotANumber(QStringView text, NumberSyntax syntax);

} // namespace palfade
