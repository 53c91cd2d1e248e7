#include "sources/table_reader.h"

#include "io/file_access.h"
#include "sources/word_reader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <utility>

namespace palfade {

namespace {

// A line of a source longer than this is no assembler or C a toolchain
// reads; holding it would let one line take any amount of memory.
constexpr qsizetype kMaxLineLength = 1024 * 1024;

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

enum class Directive { None, Words, Include };

// The data directive a statement opens with, and its operands.
Directive DirectiveOf(QStringView statement, QStringView* operands = nullptr)
{
    const QStringView s = statement.trimmed();
    qsizetype end = 0;
    while (end < s.size() && !IsBlank(s[end]))
        ++end;
    const QString word = s.first(end).toString().toLower();
    if (operands)
        *operands = s.sliced(end).trimmed();
    static const char* const kWords[] = {"dc.w", ".dc.w", "dw", ".word", ".short", ".hword", ".2byte"};
    static const char* const kIncludes[] = {"incbin", ".incbin", "binclude", "insert"};
    for (const char* w : kWords)
        if (word == QLatin1String(w))
            return Directive::Words;
    for (const char* w : kIncludes)
        if (word == QLatin1String(w))
            return Directive::Include;
    return Directive::None;
}

// Splits at commas outside double quotes.
std::vector<QStringView> Operands(QStringView text)
{
    std::vector<QStringView> parts;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == u'"')
            quoted = !quoted;
        if (i == text.size() || (!quoted && text[i] == u',')) {
            parts.push_back(text.sliced(start, i - start).trimmed());
            start = i + 1;
        }
    }
    return parts;
}

// C's comments outside double quotes, as the preprocessor takes them out.
constexpr CommentRules kCCode{u"", CommentRules::StarLines::Never, true};
// And the assembler's after them: ";" or "|" to the line's end, and a line
// with "*" in its first column.
constexpr CommentRules kAsmStatement{u";|", CommentRules::StarLines::FirstColumn, true};

bool StandsAlone(QStringView text, qsizetype at, qsizetype length)
{
    return (at == 0 || !IsNameCharacter(text[at - 1])) &&
           (at + length == text.size() || !IsNameCharacter(text[at + length]));
}

bool IsIdentifier(QStringView text)
{
    static const QRegularExpression kName(QStringLiteral("^[A-Za-z_.][A-Za-z0-9_.]*$"));
    return kName.match(text).hasMatch();
}

QString Located(const QString& file, qint64 line)
{
    return QStringLiteral("line %1 of %2").arg(line).arg(file);
}

} // namespace

std::optional<SourceNumber> ParseSourceNumber(QStringView text)
{
    SourceNumber number;
    int base = 10;
    if (text.startsWith(u'$')) {
        text = text.sliced(1);
        base = 16;
    } else if (text.startsWith(u"0x") || text.startsWith(u"0X")) {
        text = text.sliced(2);
        base = 16;
    }
    if (text.isEmpty() || text.size() > 12)
        return std::nullopt;
    for (const QChar c : text) {
        const int digit = c.isDigit() && c.unicode() < 0x80 ? c.unicode() - u'0'
                          : base == 16 && c.toLower() >= u'a' && c.toLower() <= u'f' ? c.toLower().unicode() - u'a' + 10
                                                                                      : -1;
        if (digit < 0)
            return std::nullopt;
        number.value = number.value * base + digit;
    }
    number.hexDigits = base == 16 ? static_cast<int>(text.size()) : 0;
    return number;
}

void CollectDefinition(QStringView code, const QString& file, qint64 line, NameDefinitions& names)
{
    static const QRegularExpression kDefine(QStringLiteral("^\\s*#\\s*define\\s+([A-Za-z_]\\w*)(?:\\s+(.*))?$"));
    static const QRegularExpression kDotted(
        QStringLiteral("^\\s*\\.(?:equ|set)\\s+([A-Za-z_.][\\w.]*)\\s*,\\s*(.*)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kEqu(QStringLiteral("^\\s*([A-Za-z_.][\\w.]*):?\\s*(?:=|\\s(?:equ|\\.equ|set)\\s)\\s*(.*)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch match = kDefine.match(code);
    if (!match.hasMatch())
        match = kDotted.match(code);
    if (!match.hasMatch()) {
        match = kEqu.match(code);
        if (match.hasMatch() && match.capturedView(2).startsWith(u'='))
            return; // "N == V" compares
    }
    if (!match.hasMatch())
        return;
    const QString name = match.captured(1);
    const QString value = match.captured(2).trimmed();
    auto [it, added] = names.try_emplace(name, NameDefinition{value, file, line, {}, 0});
    if (!added && it->second.value != value && it->second.otherLine == 0) {
        it->second.otherFile = file;
        it->second.otherLine = line;
    }
}

TableReader::TableReader(QString name, QString file, QString folder, QStringList defines, WordSink sink)
    : name_(std::move(name)), file_(std::move(file)), folder_(std::move(folder)), defines_(std::move(defines)),
      sink_(std::move(sink)), lines_([this](QStringView raw, qint64 number) { Line(raw, number); }, kMaxLineLength),
      code_(kCCode), statement_(kAsmStatement)
{
}

void TableReader::Feed(QStringView piece)
{
    lines_.Feed(piece);
}

void TableReader::Line(QStringView raw, qint64 number)
{
    number_ = number;
    QString code;
    code_.Line(raw, code);
    QString statement;
    statement_.Line(raw, statement);
    if (block_ == Block::C) {
        CInitializer(code);
        return;
    }
    if (block_ == Block::Asm) {
        if (QStringView(statement).trimmed().isEmpty())
            return;
        if (DirectiveOf(statement) != Directive::None) {
            DataLine(statement);
            return;
        }
        block_ = Block::After;
    }
    CollectDefinition(statement, file_, number_, names_);
    Definition(statement, code);
}

void TableReader::Defined()
{
    if (definedOn_ == 0)
        definedOn_ = number_;
    else if (secondDefinition_ == 0)
        secondDefinition_ = number_;
}

void TableReader::Definition(QStringView statement, QStringView code)
{
    const qsizetype n = name_.size();
    const bool first = definedOn_ == 0;
    if (cdef_ != CDef::None) {
        if (ContinueCDefinition(code, 0))
            return;
    }
    // "NAME:" or "NAME::" after optional blanks.
    const QStringView lead = statement.trimmed();
    if (lead.startsWith(name_) && lead.sliced(n).startsWith(u':')) {
        Defined();
        if (!first)
            return;
        QStringView rest = lead.sliced(n + 1);
        if (rest.startsWith(u':'))
            rest = rest.sliced(1);
        block_ = Block::Asm;
        if (!rest.trimmed().isEmpty() && DirectiveOf(rest) == Directive::None)
            block_ = Block::After;
        else if (!rest.trimmed().isEmpty())
            DataLine(rest);
        return;
    }
    // Motorola: NAME in the first column, then a data directive.
    if (statement.startsWith(name_) && statement.size() > n && IsBlank(statement[n]) &&
        DirectiveOf(statement.sliced(n)) != Directive::None) {
        Defined();
        if (first) {
            block_ = Block::Asm;
            DataLine(statement.sliced(n));
        }
        return;
    }
    // C: NAME [..] = { (possibly over lines); any other place is a use.
    for (qsizetype at = code.indexOf(name_); at >= 0 && n > 0; at = code.indexOf(name_, at + n)) {
        if (!StandsAlone(code, at, n))
            continue;
        cdef_ = CDef::Brackets;
        cdefLine_ = number_;
        if (ContinueCDefinition(code, at + n))
            return;
    }
}

// Follows "NAME" through "[..]", "=" and "{" from `from`; true once the
// definition is decided here (found, and its initializer begun, or not a
// definition and counted as a use). False when the line ended first.
bool TableReader::ContinueCDefinition(QStringView code, qsizetype from)
{
    auto notDefinition = [this] {
        cdef_ = CDef::None;
        if (firstUse_ == 0)
            firstUse_ = cdefLine_;
        return false;
    };
    for (qsizetype i = from; i < code.size(); ++i) {
        const QChar c = code[i];
        switch (cdef_) {
        case CDef::Brackets:
            if (bracketDepth_ > 0) {
                if (c == u'[')
                    ++bracketDepth_;
                else if (c == u']')
                    --bracketDepth_;
                continue;
            }
            if (c == u'[')
                ++bracketDepth_;
            else if (c == u'=')
                cdef_ = CDef::Equals;
            else if (!c.isSpace())
                return notDefinition();
            continue;
        case CDef::Equals:
            if (c == u'{') {
                cdef_ = CDef::None;
                const bool first = definedOn_ == 0;
                const qint64 line = std::exchange(number_, cdefLine_);
                Defined();
                number_ = line;
                if (first) {
                    block_ = Block::C;
                    braceDepth_ = 1;
                    CInitializer(code.sliced(i + 1));
                }
                return true;
            }
            if (!c.isSpace())
                return notDefinition();
            continue;
        case CDef::None:
        case CDef::Brace:
            return false;
        }
    }
    return false;
}

void TableReader::CInitializer(QStringView code)
{
    auto flush = [this] {
        const QString text = item_.trimmed();
        if (!text.isEmpty())
            items_.push_back(Item{text, itemLine_, false});
        item_.resize(0);
    };
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'{' || c == u'}' || c == u',') {
            flush();
            braceDepth_ += c == u'{' ? 1 : c == u'}' ? -1 : 0;
            if (braceDepth_ == 0) {
                block_ = Block::After;
                return;
            }
            continue;
        }
        if (item_.isEmpty() && c.isSpace())
            continue;
        if (item_.isEmpty())
            itemLine_ = number_;
        item_ += c;
    }
    if (!item_.isEmpty())
        item_ += u' ';
}

void TableReader::DataLine(QStringView statement)
{
    QStringView operands;
    const Directive directive = DirectiveOf(statement, &operands);
    if (directive == Directive::Include) {
        items_.push_back(Item{operands.toString(), number_, true});
        return;
    }
    for (const QStringView item : Operands(operands))
        items_.push_back(Item{item.toString(), number_, false});
}

QString TableReader::Where(qint64 line) const
{
    return QStringLiteral("%1, line %2").arg(file_).arg(line);
}

IoResult<HwColor> TableReader::Resolve(const Item& item, const NameDefinitions& further) const
{
    IoResult<HwColor> result;
    QString text = item.text;
    QString via;
    for (int depth = 0; depth < 16; ++depth) {
        if (const std::optional<SourceNumber> number = ParseSourceNumber(text)) {
            if (number->value > 0xFFFF || number->hexDigits > 4) {
                result.error = QStringLiteral("%1: %2 is not a 16-bit colour word%3").arg(Where(item.line), text, via);
                return result;
            }
            result.value = static_cast<HwColor>(number->value);
            return result;
        }
        if (text.isEmpty()) {
            result.error = QStringLiteral("%1: an empty item").arg(Where(item.line));
            return result;
        }
        if (!IsIdentifier(text)) {
            result.error = QStringLiteral("%1: \"%2\" is not a number or a name defined as one%3")
                               .arg(Where(item.line), text, via);
            return result;
        }
        const NameDefinition* definition = nullptr;
        if (const auto own = names_.find(text); own != names_.end())
            definition = &own->second;
        else if (const auto other = further.find(text); other != further.end())
            definition = &other->second;
        if (definition == nullptr) {
            result.error = QStringLiteral("%1: %2 is not defined (no #define, equ, = or .equ/.set gives it a value)")
                               .arg(Where(item.line), text);
            return result;
        }
        if (definition->otherLine != 0) {
            result.error = QStringLiteral("%1: %2 is defined twice, on %3 and on %4")
                               .arg(Where(item.line), text, Located(definition->file, definition->line),
                                    Located(definition->otherFile, definition->otherLine));
            return result;
        }
        via = QStringLiteral(" (%1 is defined on %2 as \"%3\")")
                  .arg(text, Located(definition->file, definition->line), definition->value);
        if (!ParseSourceNumber(definition->value) && !IsIdentifier(definition->value)) {
            result.error = QStringLiteral("%1: %2 is defined on %3 as \"%4\", not as a number")
                               .arg(Where(item.line), text, Located(definition->file, definition->line),
                                    definition->value);
            return result;
        }
        text = definition->value;
    }
    result.error = QStringLiteral("%1: %2 names itself over and over").arg(Where(item.line), item.text);
    return result;
}

IoStatus TableReader::Include(const Item& item) const
{
    const std::vector<QStringView> operands = Operands(item.text);
    QStringView quoted = operands.empty() ? QStringView() : operands.front();
    if (quoted.size() < 2 || !quoted.startsWith(u'"') || !quoted.endsWith(u'"') || operands.size() > 3)
        return IoStatus::Failure(
            QStringLiteral("%1: the binary include \"%2\" is not \"FILE\" with an optional start and length")
                .arg(Where(item.line), item.text));
    qint64 numbers[2] = {0, -1};
    for (std::size_t k = 1; k < operands.size(); ++k) {
        const std::optional<SourceNumber> number = ParseSourceNumber(operands[k]);
        if (!number)
            return IoStatus::Failure(QStringLiteral("%1: \"%2\" is not a number").arg(Where(item.line), operands[k]));
        numbers[k - 1] = number->value;
    }
    const QString relative = quoted.sliced(1, quoted.size() - 2).toString();
    const QString path = QDir(folder_).filePath(relative);
    const IoResult<QByteArray> read = ReadWholeSource(path);
    if (!read.ok())
        return IoStatus::Failure(QStringLiteral("%1: %2").arg(Where(item.line), read.error));
    QByteArrayView bytes(read.value);
    if (numbers[0] > bytes.size() || (numbers[1] >= 0 && numbers[0] + numbers[1] > bytes.size()))
        return IoStatus::Failure(QStringLiteral("%1: %2 holds only %3 bytes").arg(Where(item.line), relative).arg(bytes.size()));
    bytes = bytes.sliced(numbers[0], numbers[1] >= 0 ? numbers[1] : bytes.size() - numbers[0]);
    if (bytes.size() % 2 != 0)
        return IoStatus::Failure(QStringLiteral("%1: %2 gives %3 bytes, not whole 16-bit words")
                                     .arg(Where(item.line), relative)
                                     .arg(bytes.size()));
    for (qsizetype i = 0; i < bytes.size(); i += 2)
        sink_(static_cast<HwColor>((static_cast<unsigned char>(bytes[i]) << 8) |
                                   static_cast<unsigned char>(bytes[i + 1])));
    return IoStatus::Success();
}

IoStatus TableReader::Finish()
{
    NameDefinitions further;
    for (const QString& file : defines_)
        if (const IoStatus read = ReadDefinitions(file, further); !read.ok())
            return read;
    lines_.Finish();
    if (Failed())
        return IoStatus::Failure(QStringLiteral("%1: line %2 is longer than %3 characters")
                                     .arg(file_)
                                     .arg(lines_.TooLongLine())
                                     .arg(kMaxLineLength));
    if (const std::optional<qint64> line = code_.UnclosedLine())
        return IoStatus::Failure(UnclosedCommentReason(file_, *line));
    if (cdef_ != CDef::None && firstUse_ == 0)
        firstUse_ = cdefLine_;
    if (definedOn_ == 0)
        return IoStatus::Failure(
            firstUse_ != 0 ? QStringLiteral("%1 is not defined in %2 (used on line %3)").arg(name_, file_).arg(firstUse_)
                           : QStringLiteral("%1 is not defined in %2").arg(name_, file_));
    if (secondDefinition_ != 0)
        return IoStatus::Failure(QStringLiteral("%1 is defined twice in %2, on lines %3 and %4")
                                     .arg(name_, file_)
                                     .arg(definedOn_)
                                     .arg(secondDefinition_));
    if (block_ == Block::C)
        return IoStatus::Failure(QStringLiteral("%1: the initializer of %2 opened on line %3 is never closed")
                                     .arg(file_, name_)
                                     .arg(definedOn_));
    for (const Item& item : items_) {
        if (item.include) {
            if (const IoStatus status = Include(item); !status.ok())
                return status;
            continue;
        }
        const IoResult<HwColor> word = Resolve(item, further);
        if (!word.ok())
            return IoStatus::Failure(word.error);
        sink_(word.value);
    }
    return IoStatus::Success();
}

IoStatus ReadDefinitions(const QString& path, NameDefinitions& names)
{
    const IoResult<QByteArray> bytes = ReadWholeSource(path);
    if (!bytes.ok())
        return IoStatus::Failure(bytes.error);
    CommentFilter statements(kAsmStatement);
    QString statement;
    LineSplitter lines([&](QStringView raw, qint64 number) {
        statement.resize(0);
        statements.Line(raw, statement);
        CollectDefinition(statement, path, number, names);
    });
    lines.Feed(DecodeTextBytes(bytes.value));
    lines.Finish();
    if (const std::optional<qint64> line = statements.UnclosedLine())
        return IoStatus::Failure(UnclosedCommentReason(path, *line));
    return IoStatus::Success();
}

} // namespace palfade
