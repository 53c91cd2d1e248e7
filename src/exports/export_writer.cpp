#include "exports/export_writer.h"

#include "core/hex_word.h"
#include "io/file_access.h"
#include "io/word_bytes.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace palfade {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr const char* kCArrayName = "fade_colors";
constexpr const char* kCDefaultType = "int";
constexpr std::string_view kStdintInclude = "#include <stdint.h>";
// Enough to keep the writes few and the memory small.
constexpr qsizetype kPieceSize = 64 * 1024;
constexpr qsizetype kNumberDigits = 20;

char* Put(char* at, std::string_view text)
{
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

bool IsIdentifierStart(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'_';
}

bool IsIdentifierPart(QChar c)
{
    return IsIdentifierStart(c) || (c.unicode() >= u'0' && c.unicode() <= u'9');
}

} // namespace

bool IsCIdentifier(QStringView name)
{
    if (name.isEmpty() || !IsIdentifierStart(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(), IsIdentifierPart);
}

bool IsCType(QStringView type)
{
    if (type.isEmpty())
        return false;
    for (QStringView word : type.split(u' '))
        if (!IsCIdentifier(word))
            return false;
    return true;
}

bool IsCKeyword(QStringView word)
{
    static constexpr std::string_view kKeywords[] = {
        "asm",      "auto",       "break",     "case",     "char",     "const",          "continue",
        "default",  "do",         "double",    "else",     "enum",     "extern",         "float",
        "for",      "goto",       "if",        "inline",   "int",      "long",           "register",
        "restrict", "return",     "short",     "signed",   "sizeof",   "static",         "struct",
        "switch",   "typedef",    "union",     "unsigned", "void",     "volatile",       "while",
        "_Alignas", "_Alignof",   "_Atomic",   "_Bool",    "_Complex", "_Generic",       "_Imaginary",
        "_Noreturn", "_Static_assert", "_Thread_local"};
    return std::any_of(std::begin(kKeywords), std::end(kKeywords),
                       [&](std::string_view k) { return word == QLatin1StringView(k.data(), k.size()); });
}

bool IsM68kRegister(QStringView name)
{
    const QString lower = name.toString().toLower();
    if (lower.size() == 2 && (lower[0] == u'd' || lower[0] == u'a') && lower[1] >= u'0' && lower[1] <= u'7')
        return true;
    for (const char* named : {"sp", "pc", "sr", "ccr", "usp"})
        if (lower == QLatin1String(named))
            return true;
    return false;
}

bool IsCElementType(QStringView type)
{
    // C's type words in the combinations it allows, each sorted by word.
    static const QStringList kSpecifierSets = [] {
        QStringList sets;
        for (const char* set :
             {"char", "signed char", "unsigned char", "short", "signed short", "short int", "signed short int",
              "unsigned short", "unsigned short int", "int", "signed", "signed int", "unsigned", "unsigned int",
              "long", "signed long", "long int", "signed long int", "unsigned long", "unsigned long int",
              "long long", "signed long long", "long long int", "signed long long int", "unsigned long long",
              "unsigned long long int", "float", "double", "long double", "_Bool"}) {
            QStringList words = QString::fromLatin1(set).split(u' ');
            words.sort();
            sets << words.join(u' ');
        }
        return sets;
    }();
    static constexpr std::string_view kSpecifiers[] = {"char",   "short",    "int",   "long",  "signed",
                                                       "unsigned", "float", "double", "_Bool"};
    if (!IsCType(type))
        return false;
    QStringList specifiers;
    int names = 0;
    for (QStringView word : type.split(u' ')) {
        if (word == u"const" || word == u"volatile")
            continue;
        if (std::any_of(std::begin(kSpecifiers), std::end(kSpecifiers),
                        [&](std::string_view k) { return word == QLatin1StringView(k.data(), k.size()); }))
            specifiers << word.toString();
        else if (IsCKeyword(word))
            return false;
        else
            ++names;
    }
    // A type name stands alone; C's words must make one of its types.
    if (names > 0)
        return names == 1 && specifiers.isEmpty();
    specifiers.sort();
    return kSpecifierSets.contains(specifiers.join(u' '));
}

bool IsStdintType(QStringView type)
{
    if (type.startsWith(u'u'))
        type = type.mid(1);
    for (const char* kind : {"intptr_t", "intmax_t"})
        if (type == QLatin1String(kind))
            return true;
    for (const char* family : {"int", "int_least", "int_fast"})
        for (const char* bits : {"8", "16", "32", "64"})
            if (type == QLatin1String(family) + QLatin1String(bits) + QLatin1String("_t"))
                return true;
    return false;
}

LineWriter::LineWriter(QIODevice& sink) : sink_(sink) { held_.reserve(kPieceSize + 1024); }

void LineWriter::Append(std::string_view text) { held_.append(text.data(), static_cast<qsizetype>(text.size())); }

void LineWriter::FlushIfFull()
{
    if (held_.size() >= kPieceSize)
        Flush();
}

// After a refused write the rest is dropped: the device keeps the reason.
void LineWriter::Flush()
{
    if (!failed_ && !held_.isEmpty())
        failed_ = !WriteAll(sink_, held_);
    held_.resize(0);
}

ExportWriter::ExportWriter(QIODevice& sink, const ExportSyntax& syntax, const ExportOptions& options)
    : LineWriter(sink), syntax_(syntax), options_(options)
{
}

void ExportWriter::EndLine() { Append(kLineEnd); }

void ExportWriter::Head()
{
    const QByteArray label = options_.label.toLatin1();
    if (syntax_.cArray) {
        if (IsStdintType(options_.cType)) {
            Append(kStdintInclude);
            EndLine();
        }
        const QByteArray type = options_.cType.isEmpty() ? QByteArray(kCDefaultType) : options_.cType.toLatin1();
        held_.append("const ").append(type).append(' ').append(label.isEmpty() ? QByteArray(kCArrayName) : label);
        Append("[] =");
        EndLine();
        Append("{");
        EndLine();
    } else if (!syntax_.exportDirective.empty() && !label.isEmpty()) {
        // Exported and word-aligned, so the table can be linked from another
        // unit and read as words on the 68000.
        Append(syntax_.exportDirective);
        held_.append(label);
        EndLine();
        Append(syntax_.alignDirective);
        EndLine();
        held_.append(label).append(':');
        EndLine();
    }
    FlushIfFull();
}

void ExportWriter::Line(std::span<const HwColor> words, std::initializer_list<CommentPart> comment)
{
    if (syntax_.bytes) {
        // In place, as the text lines are: one resize per line.
        const qsizetype start = held_.size();
        held_.resize(start + 2 * static_cast<qsizetype>(words.size()));
        char* at = held_.data() + start;
        for (const HwColor word : words)
            at = PutBigEndianWord(at, word);
        FlushIfFull();
        return;
    }
    const bool commented = comment.size() > 0 && !syntax_.commentStart.empty();
    const std::size_t wordSize = syntax_.wordPrefix.size() + 4 + syntax_.wordEnd.size() + syntax_.wordSeparator.size();
    std::size_t longest = syntax_.lineStart.size() + words.size() * wordSize + kLineEnd.size();
    if (commented) {
        longest += syntax_.commentStart.size();
        for (const CommentPart& part : comment)
            longest += std::strlen(part.name) + 1 + kNumberDigits + 1;
    }
    // The line is written in place: one resize, then cut to what it took.
    const qsizetype start = held_.size();
    held_.resize(start + static_cast<qsizetype>(longest));
    char* const begin = held_.data() + start;
    char* at = Put(begin, syntax_.lineStart);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            at = Put(at, syntax_.wordSeparator);
        at = Put(at, syntax_.wordPrefix);
        for (const char digit : HexWordDigits(words[i]))
            *at++ = digit;
        at = Put(at, syntax_.wordEnd);
    }
    if (commented) {
        at = Put(at, syntax_.commentStart);
        for (const CommentPart& part : comment) {
            if (&part != comment.begin())
                *at++ = ' ';
            at = Put(at, part.name);
            *at++ = ' ';
            at = std::to_chars(at, at + kNumberDigits, part.number).ptr;
        }
    }
    at = Put(at, kLineEnd);
    held_.resize(start + (at - begin));
    FlushIfFull();
}

bool ExportWriter::Tail()
{
    if (syntax_.cArray) {
        Append("};");
        EndLine();
    }
    Flush();
    return !Failed();
}

} // namespace palfade
