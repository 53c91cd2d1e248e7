#include "text/table_reader.h"

#include "io/echo.h"
#include "io/file_access.h"
#include "text/byte_records.h"
#include "text/word_reader.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <utility>

namespace palfade {

namespace {

// Of a C item longer than this only the start is kept: no number or name
// is that long.
constexpr qsizetype kMaxItemLength = 4096;
// Names that give their value to other names, at most this many in a row.
constexpr int kMaxNameDepth = 64;

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

using ItemKind = TableReader::ItemKind;

enum class Directive { None, Words, Include, Fill };

struct DirectiveRow {
    const char* word;
    Directive directive;
    NumberSyntax syntax;
    ItemKind kind;
};

// The data directives a table is made of, with the syntax of their numbers.
constexpr DirectiveRow kDirectives[] = {
    {"dc.w", Directive::Words, NumberSyntax::Motorola, ItemKind::Word},
    {".dc.w", Directive::Words, NumberSyntax::Motorola, ItemKind::Word},
    {"dw", Directive::Words, NumberSyntax::Motorola, ItemKind::Word},
    {".word", Directive::Words, NumberSyntax::GnuAs, ItemKind::Word},
    {".short", Directive::Words, NumberSyntax::GnuAs, ItemKind::Word},
    {".hword", Directive::Words, NumberSyntax::GnuAs, ItemKind::Word},
    {".2byte", Directive::Words, NumberSyntax::GnuAs, ItemKind::Word},
    {"dcb.w", Directive::Fill, NumberSyntax::Motorola, ItemKind::Dcb},
    {".dcb.w", Directive::Fill, NumberSyntax::Motorola, ItemKind::Dcb},
    {"ds.w", Directive::Fill, NumberSyntax::Motorola, ItemKind::Ds},
    {".ds.w", Directive::Fill, NumberSyntax::Motorola, ItemKind::Ds},
    {".fill", Directive::Fill, NumberSyntax::GnuAs, ItemKind::Fill},
    {"incbin", Directive::Include, NumberSyntax::Motorola, ItemKind::Include},
    {".incbin", Directive::Include, NumberSyntax::GnuAs, ItemKind::Include},
    {"binclude", Directive::Include, NumberSyntax::Motorola, ItemKind::Include},
    {"insert", Directive::Include, NumberSyntax::Motorola, ItemKind::Include},
};

// The data directive a statement opens with, and its operands.
const DirectiveRow* DirectiveOf(QStringView statement, QStringView* operands = nullptr)
{
    const QStringView s = statement.trimmed();
    qsizetype end = 0;
    while (end < s.size() && !IsBlank(s[end]))
        ++end;
    if (operands)
        *operands = s.sliced(end).trimmed();
    for (const DirectiveRow& row : kDirectives)
        if (s.first(end).compare(QLatin1String(row.word), Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}

const char* DirectiveName(ItemKind kind)
{
    for (const DirectiveRow& row : kDirectives)
        if (row.kind == kind)
            return row.word;
    return "";
}

// Splits at commas outside quotes and brackets.
std::vector<QStringView> Operands(QStringView text)
{
    std::vector<QStringView> parts;
    QChar quote;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const QChar c = i < text.size() ? text[i] : QChar();
        if (!quote.isNull() && i < text.size()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'"' || c == u'\'')
            quote = c;
        depth += c == u'(' ? 1 : c == u')' && depth > 0 ? -1 : 0;
        if (i == text.size() || (depth == 0 && c == u',')) {
            parts.push_back(text.sliced(start, i - start).trimmed());
            start = i + 1;
        }
    }
    return parts;
}

bool StandsAlone(QStringView text, qsizetype at, qsizetype length)
{
    return (at == 0 || !IsNameCharacter(text[at - 1])) &&
           (at + length == text.size() || !IsNameCharacter(text[at + length]));
}

} // namespace

// A name resolved down to a number, or why it is none, or (before the text
// has ended) that it waits for the names.
struct TableReader::Resolution {
    Outcome outcome = Outcome::Done;
    SourceNumber number;
    QString text; // the number as written
    QString via;  // " (NAME is defined on line N of FILE as "VALUE")"
    QString error;
};

TableReader::TableReader(QString name, QString file, QString folder, QStringList defines, WordSink sink, Enough enough)
    : name_(std::move(name)), file_(std::move(file)), folder_(std::move(folder)), defines_(std::move(defines)),
      sink_(std::move(sink)), enough_(std::move(enough)),
      lines_([this](QStringView raw, qint64 number) { Line(raw, number); }, kMaxSourceLineLength), code_(kCSourceCode),
      statement_(kAsmStatements), names_(file_)
{
}

void TableReader::Feed(QStringView piece)
{
    if (!Done())
        lines_.Feed(piece);
}

void TableReader::Line(QStringView raw, qint64 number)
{
    if (Done())
        return;
    QString code;
    code_.Line(raw, code);
    QString statement;
    statement_.Line(raw, statement);
    if (Statement(code, statement, number))
        CollectDefinition(statement, number, names_);
}

void TableReader::ListedLine(QStringView code, QStringView statement, qint64 number)
{
    if (!Done())
        Statement(code, statement, number);
}

void TableReader::ListedEnd(const NameTable& names, std::optional<qint64> unclosedComment)
{
    listedNames_ = &names;
    listedUnclosed_ = unclosedComment;
}

// A line's two views; false when the line belongs to the block, where no
// name is defined.
bool TableReader::Statement(QStringView code, QStringView statement, qint64 number)
{
    number_ = number;
    if (block_ == Block::C) {
        CInitializer(code);
        return false;
    }
    if (block_ == Block::Asm) {
        if (statement.trimmed().isEmpty())
            return false;
        if (DirectiveOf(statement)) {
            DataLine(statement);
            return false;
        }
        block_ = Block::After;
        endedBy_ = Ending{number_, Echoed(statement.toString().simplified())};
    }
    Definition(statement, code);
    return true;
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
        if (!rest.trimmed().isEmpty() && !DirectiveOf(rest))
            block_ = Block::After;
        else if (!rest.trimmed().isEmpty())
            DataLine(rest);
        return;
    }
    // Motorola: NAME in the first column, then a data directive.
    if (statement.startsWith(name_) && statement.size() > n && IsBlank(statement[n]) &&
        DirectiveOf(statement.sliced(n))) {
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
            Take(Item{ItemKind::Word, NumberSyntax::C, itemLine_, text, std::nullopt});
        item_.resize(0);
    };
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (parenDepth_ == 0 && (c == u'{' || c == u'}' || c == u',')) {
            flush();
            braceDepth_ += c == u'{' ? 1 : c == u'}' ? -1 : 0;
            if (braceDepth_ == 0) {
                block_ = Block::After;
                return;
            }
            continue;
        }
        parenDepth_ += c == u'(' ? 1 : c == u')' && parenDepth_ > 0 ? -1 : 0;
        if (item_.isEmpty() && c.isSpace())
            continue;
        if (item_.isEmpty())
            itemLine_ = number_;
        if (item_.size() < kMaxItemLength)
            item_ += c;
    }
    if (!item_.isEmpty() && item_.size() < kMaxItemLength)
        item_ += u' ';
}

void TableReader::DataLine(QStringView statement)
{
    QStringView operands;
    const DirectiveRow* directive = DirectiveOf(statement, &operands);
    if (directive->directive != Directive::Words) {
        Take(Item{directive->kind, directive->syntax, number_, operands.toString(), std::nullopt});
        return;
    }
    for (const QStringView item : Operands(operands))
        Take(Item{ItemKind::Word, directive->syntax, number_, item.toString(), std::nullopt});
}

QString TableReader::Where(qint64 line) const
{
    return QStringLiteral("%1, line %2").arg(file_).arg(line);
}

// An item is used at once while none waits; an item that names a value
// waits, and those after it too, so that the words keep their order.
void TableReader::Take(Item item)
{
    tookItems_ = true;
    if (Done() || heldEnough_)
        return;
    if (held_.isEmpty() && Use(item, false) != Outcome::NeedsNames)
        return;
    Hold(std::move(item));
}

void TableReader::Hold(Item item)
{
    if (item.kind == ItemKind::Word && !item.word) {
        if (const std::optional<SourceNumber> number = ParseSourceNumber(item.text, item.syntax);
            number && number->value <= 0xFFFF && number->hexDigits <= 4)
            item.word = static_cast<HwColor>(number->value);
    }
    const bool newLine = item.line != heldLine_;
    // Words read already go into a run of words of their line: 2 bytes each.
    if (item.word && !newLine && wordRun_ >= 0) {
        qsizetype at = wordRun_;
        const auto count = GetBytes<quint16>(held_, at);
        if (count < 0xFFFF) {
            const auto more = static_cast<quint16>(count + 1);
            std::memcpy(held_.data() + wordRun_, &more, 2);
            PutBytes(held_, &*item.word, 2);
            ++heldWords_;
            heldEnough_ = heldCountable_ && enough_ && enough_(heldWords_);
            return;
        }
    }
    const auto tag = static_cast<quint8>(static_cast<int>(item.kind) | static_cast<int>(item.syntax) << 3 |
                                         (newLine ? 0x20 : 0) | (item.word ? 0x40 : 0));
    PutBytes(held_, &tag, 1);
    if (newLine)
        PutBytes(held_, &item.line, sizeof item.line);
    heldLine_ = item.line;
    wordRun_ = -1;
    if (item.word) {
        wordRun_ = held_.size();
        const quint16 one = 1;
        PutBytes(held_, &one, 2);
        PutBytes(held_, &*item.word, 2);
    } else {
        const QByteArray text = item.text.toUtf8();
        const auto length = static_cast<quint32>(text.size());
        PutBytes(held_, &length, 4);
        held_.append(text);
    }
    if (item.kind == ItemKind::Word)
        ++heldWords_;
    else
        heldCountable_ = false;
    heldEnough_ = heldCountable_ && enough_ && enough_(heldWords_);
}

void TableReader::Emit(HwColor word)
{
    sink_(word);
    if (enough_ && enough_(0))
        stopped_ = true;
}

TableReader::Outcome TableReader::Fail(QString error)
{
    if (error_.isEmpty())
        error_ = std::move(error);
    return Outcome::Failed;
}

std::optional<NameTable::Definition> TableReader::Find(QStringView name) const
{
    if (std::optional<NameTable::Definition> own = (listedNames_ ? *listedNames_ : names_).Find(name))
        return own;
    for (std::size_t k = 0; k < further_.size(); ++k) {
        std::optional<NameTable::Definition> found = further_[k].Find(name);
        if (!found)
            continue;
        // A later file that gives the name another value.
        for (std::size_t j = k + 1; j < further_.size() && found->otherLine == 0; ++j)
            if (const std::optional<NameTable::Definition> later = further_[j].Find(name);
                later && later->value != found->value) {
                found->otherLine = later->line;
                found->otherFile = later->file;
            }
        return found;
    }
    return std::nullopt;
}

TableReader::Resolution TableReader::Resolve(QStringView item, NumberSyntax syntax, qint64 line, bool namesKnown) const
{
    Resolution r;
    QString text = item.toString();
    QStringList names;
    auto failed = [&r](QString error) {
        r.outcome = Outcome::Failed;
        r.error = std::move(error);
        return r;
    };
    for (;;) {
        if (const std::optional<SourceNumber> number = ParseSourceNumber(text, syntax)) {
            r.number = *number;
            r.text = text;
            return r;
        }
        if (text.isEmpty())
            return failed(QStringLiteral("%1: an empty item").arg(Where(line)));
        if (!IsSourceName(text))
            return failed(QStringLiteral("%1: %2%3").arg(Where(line), NotANumber(text, syntax), r.via));
        if (!namesKnown) {
            r.outcome = Outcome::NeedsNames;
            return r;
        }
        if (names.contains(text))
            return failed(QStringLiteral("%1: %2 names itself over and over").arg(Where(line), Echoed(item)));
        if (names.size() == kMaxNameDepth)
            return failed(QStringLiteral("%1: %2 is defined through more than %3 names")
                              .arg(Where(line), Echoed(item))
                              .arg(kMaxNameDepth));
        names << text;
        std::optional<NameTable::Definition> definition = Find(text);
        if (!definition)
            return failed(QStringLiteral("%1: %2 is not defined (no #define, equ, = or .equ/.set gives it a value)")
                              .arg(Where(line), Echoed(text)));
        const auto located = [](const QString& file, qint64 at) {
            return QStringLiteral("line %1 of %2").arg(at).arg(file);
        };
        if (definition->otherLine != 0)
            return failed(QStringLiteral("%1: %2 is defined twice, on %3 and on %4")
                              .arg(Where(line), Echoed(text), located(definition->file, definition->line),
                                   located(definition->otherFile, definition->otherLine)));
        const QString value = definition->value;
        r.via = QStringLiteral(" (%1 is defined on %2 as %3)")
                    .arg(Echoed(text), located(definition->file, definition->line), EchoedInQuotes(value));
        if (!ParseSourceNumber(value, syntax) && !IsSourceName(value)) {
            const QString why = IsExpression(value) ? QStringLiteral("an expression, which palfade does not work out")
                                                    : QStringLiteral("not as a number");
            return failed(QStringLiteral("%1: %2 is defined on %3 as %4, %5")
                              .arg(Where(line), Echoed(text), located(definition->file, definition->line),
                                   EchoedInQuotes(value), why));
        }
        text = value;
    }
}

bool TableReader::Budget(qint64 bytes, qint64 line, const QString& what)
{
    if (bytes <= kMaxSourceSize - includedBytes_) {
        includedBytes_ += bytes;
        return true;
    }
    Fail(QStringLiteral("%1: %2 brings the binary includes and fills of %3 to more than %4 MiB")
             .arg(Where(line), what, Echoed(name_))
             .arg(kMaxSourceSize >> 20));
    return false;
}

TableReader::Outcome TableReader::Use(const Item& item, bool namesKnown)
{
    if (item.kind == ItemKind::Include)
        return Include(item);
    if (item.kind != ItemKind::Word)
        return UseFill(item, namesKnown);
    if (item.word) {
        Emit(*item.word);
        return Outcome::Done;
    }
    const Resolution r = Resolve(item.text, item.syntax, item.line, namesKnown);
    if (r.outcome == Outcome::Failed)
        return Fail(r.error);
    if (r.outcome == Outcome::NeedsNames)
        return r.outcome;
    if (r.number.value > 0xFFFF || r.number.hexDigits > 4)
        return Fail(
            QStringLiteral("%1: %2 is not a 16-bit colour word%3").arg(Where(item.line), Echoed(r.text), r.via));
    Emit(static_cast<HwColor>(r.number.value));
    return Outcome::Done;
}

// dcb.w N[,V] and ds.w N: N words V (0); .fill N,2[,V] likewise.
TableReader::Outcome TableReader::UseFill(const Item& item, bool namesKnown)
{
    const std::vector<QStringView> operands = Operands(item.text);
    const QString statement =
        QStringLiteral("\"%1 %2\"").arg(QLatin1String(DirectiveName(item.kind)), Echoed(item.text));
    const std::size_t most = item.kind == ItemKind::Ds ? 1 : item.kind == ItemKind::Dcb ? 2 : 3;
    if (operands.size() > most || operands.front().isEmpty()) {
        static const char* const kForms[] = {"", "", "dcb.w N or dcb.w N,V", "ds.w N", ".fill N,2,V"};
        return Fail(QStringLiteral("%1: %2 is not %3")
                        .arg(Where(item.line), statement, QLatin1String(kForms[static_cast<int>(item.kind)])));
    }
    if (item.kind == ItemKind::Fill) {
        const Resolution size = Resolve(operands.size() > 1 ? operands[1] : u"1", item.syntax, item.line, namesKnown);
        if (size.outcome != Outcome::Done)
            return size.outcome == Outcome::Failed ? Fail(size.error) : size.outcome;
        if (size.number.value != 2)
            return Fail(QStringLiteral("%1: %2 fills %3-byte units, not 16-bit words")
                            .arg(Where(item.line), statement)
                            .arg(size.number.value));
    }
    const Resolution count = Resolve(operands.front(), item.syntax, item.line, namesKnown);
    if (count.outcome != Outcome::Done)
        return count.outcome == Outcome::Failed ? Fail(count.error) : count.outcome;
    const std::size_t valueAt = item.kind == ItemKind::Fill ? 2 : 1;
    Resolution value;
    if (operands.size() > valueAt) {
        value = Resolve(operands[valueAt], item.syntax, item.line, namesKnown);
        if (value.outcome != Outcome::Done)
            return value.outcome == Outcome::Failed ? Fail(value.error) : value.outcome;
        // .fill writes the value's low bytes, dcb.w the word.
        if (item.kind == ItemKind::Fill)
            value.number.value &= 0xFFFF;
        else if (value.number.value > 0xFFFF || value.number.hexDigits > 4)
            return Fail(QStringLiteral("%1: %2 is not a 16-bit colour word%3")
                            .arg(Where(item.line), Echoed(value.text), value.via));
    }
    if (!Budget(2 * count.number.value, item.line, statement))
        return Outcome::Failed;
    for (qint64 k = 0; k < count.number.value && !stopped_; ++k)
        Emit(static_cast<HwColor>(value.number.value));
    return Outcome::Done;
}

// A binary include's words, most significant byte first, read in pieces
// from its start for its length, or to the file's end.
TableReader::Outcome TableReader::Include(const Item& item)
{
    const std::vector<QStringView> operands = Operands(item.text);
    const QStringView quoted = operands.front();
    if (quoted.size() < 2 || !quoted.startsWith(u'"') || !quoted.endsWith(u'"') || operands.size() > 3)
        return Fail(QStringLiteral("%1: the binary include %2 is not \"FILE\" with an optional start and length")
                        .arg(Where(item.line), EchoedInQuotes(item.text)));
    qint64 numbers[2] = {0, -1};
    for (std::size_t k = 1; k < operands.size(); ++k) {
        const std::optional<SourceNumber> number = ParseSourceNumber(operands[k], item.syntax);
        if (!number)
            return Fail(QStringLiteral("%1: %2").arg(Where(item.line), NotANumber(operands[k], item.syntax)));
        numbers[k - 1] = number->value;
    }
    const QString relative = quoted.sliced(1, quoted.size() - 2).toString();
    QFile file(QDir(folder_).filePath(relative));
    if (const IoStatus opened = OpenForReading(file); !opened.ok())
        return Fail(QStringLiteral("%1: %2").arg(Where(item.line), opened.error));
    const QString named = Echoed(relative);
    if (file.isSequential())
        return Fail(QStringLiteral("%1: %2 is not a regular file").arg(Where(item.line), named));
    const qint64 size = file.size();
    const auto [start, length] = numbers;
    if (start > size || (length >= 0 && start + length > size))
        return Fail(QStringLiteral("%1: %2 holds only %3 bytes").arg(Where(item.line), named).arg(size));
    const qint64 bytes = length >= 0 ? length : size - start;
    if (bytes % 2 != 0)
        return Fail(
            QStringLiteral("%1: %2 gives %3 bytes, not whole 16-bit words").arg(Where(item.line), named).arg(bytes));
    if (!Budget(bytes, item.line, named))
        return Outcome::Failed;
    if (!file.seek(start))
        return Fail(QStringLiteral("%1: cannot read %2: %3").arg(Where(item.line), named, file.errorString()));
    QByteArray piece;
    for (qint64 left = bytes; left > 0 && !stopped_;) {
        piece = file.read(std::min<qint64>(left, 64 * 1024));
        if (piece.isEmpty())
            return Fail(QStringLiteral("%1: cannot read %2: %3").arg(Where(item.line), named, file.errorString()));
        if (piece.size() % 2 != 0 && piece.size() < left)
            piece += file.read(1);
        left -= piece.size();
        for (qsizetype i = 0; i + 1 < piece.size() && !stopped_; i += 2)
            Emit(static_cast<HwColor>((static_cast<unsigned char>(piece[i]) << 8) |
                                      static_cast<unsigned char>(piece[i + 1])));
    }
    return Outcome::Done;
}

IoStatus TableReader::Finish()
{
    further_.clear();
    for (const QString& file : defines_) {
        further_.emplace_back(file);
        if (const IoStatus read = ReadDefinitions(file, further_.back()); !read.ok())
            return read;
    }
    if (!Done())
        lines_.Finish();
    if (lines_.TooLongLine() != 0)
        return IoStatus::Failure(TooLongLineReason(file_, lines_.TooLongLine()));
    if (!error_.isEmpty())
        return IoStatus::Failure(error_);
    // Once every word needed is handed on, the text after them is not read.
    if (!stopped_) {
        if (const std::optional<qint64> line = listedNames_ ? listedUnclosed_ : code_.UnclosedLine())
            return IoStatus::Failure(UnclosedCommentReason(file_, *line));
        if (cdef_ != CDef::None && firstUse_ == 0)
            firstUse_ = cdefLine_;
        if (definedOn_ == 0)
            return IoStatus::Failure(firstUse_ != 0
                                         ? QStringLiteral("%1 is not defined in %2 (used on line %3)")
                                               .arg(Echoed(name_), file_)
                                               .arg(firstUse_)
                                         : QStringLiteral("%1 is not defined in %2").arg(Echoed(name_), file_));
        if (block_ == Block::C)
            return IoStatus::Failure(QStringLiteral("%1: the initializer of %2 opened on line %3 is never closed")
                                         .arg(file_, Echoed(name_))
                                         .arg(definedOn_));
    }
    if (secondDefinition_ != 0)
        return IoStatus::Failure(QStringLiteral("%1 is defined twice in %2, on lines %3 and %4")
                                     .arg(Echoed(name_), file_)
                                     .arg(definedOn_)
                                     .arg(secondDefinition_));
    if (!listedNames_)
        names_.Seal();
    for (NameTable& table : further_)
        table.Seal();
    // The items that waited for the names, in order.
    qint64 line = 0;
    for (qsizetype at = 0; at < held_.size() && !stopped_;) {
        const auto tag = GetBytes<quint8>(held_, at);
        if (tag & 0x20)
            line = GetBytes<qint64>(held_, at);
        Item item{static_cast<ItemKind>(tag & 7), static_cast<NumberSyntax>((tag >> 3) & 3), line, {}, std::nullopt};
        if (tag & 0x40) {
            for (auto count = GetBytes<quint16>(held_, at); count > 0 && !stopped_; --count)
                Emit(GetBytes<HwColor>(held_, at));
            continue;
        }
        const auto length = GetBytes<quint32>(held_, at);
        item.text = QString::fromUtf8(QByteArrayView(held_).sliced(at, length));
        at += length;
        if (Use(item, true) == Outcome::Failed)
            return IoStatus::Failure(error_);
    }
    return IoStatus::Success();
}

} // namespace palfade
