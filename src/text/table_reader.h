#pragma once
// The table a source defines under a name (palfade-cli's --table): an
// assembler label's data directives or a C array's initializer, its items
// numbers or names that #define, equ, = or .equ/.set give a value. Read line
// by line as the text arrives, numbers as the directive's toolchain reads
// them; nothing is guessed: an item that is not a number or a defined name
// (an expression among them) is an error naming the file and the line.

#include "core/hw_color.h"
#include "io/io_result.h"
#include "text/name_table.h"
#include "text/source_number.h"
#include "text/word_reader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace palfade {

// Reads a source's lines in pieces of text and hands on the words of the
// block that `name` defines (one definition; only used is an error). Items
// that are numbers go on as they are read; once one names a value, it and
// the items after it wait, compactly, for the text's end, where names are
// resolved with the source's definitions and then those of the `defines`
// files. `enough(n)` says whether n words more than those handed on leave
// nothing to read: then reading stops (Done), or, while items wait, no more
// are kept.
class TableReader : public TextStage {
public:
    using Enough = std::function<bool(std::size_t more)>;
    // `file` names the source in messages; `folder` is where the files its
    // binary includes name are.
    TableReader(QString name, QString file, QString folder, QStringList defines, WordSink sink, Enough enough = {});

    void Feed(QStringView piece) override;
    // A line beyond the length limit or an item that is no number has made
    // the reading fail already.
    bool Failed() const { return lines_.TooLongLine() != 0 || !error_.isEmpty(); }
    // Nothing the text still holds can change the words.
    bool Done() const { return Failed() || stopped_; }
    // Every word needed was handed on before the text's end.
    bool Stopped() const { return stopped_; }
    IoStatus Finish() override;

    // For a listing of every table of a source in one pass (source_listing),
    // which splits and filters each line once (kCSourceCode's view and
    // kAsmStatements') and gathers the source's definitions once: a line's
    // two views; whether the lines that follow still belong to the
    // definition or its block; the line of the definition; whether any
    // item was taken. At the text's end the source's names (sealed) and the
    // line of a "/*" never closed, which Finish then takes instead of its own.
    void ListedLine(QStringView code, QStringView statement, qint64 number);
    bool Open() const { return block_ == Block::Asm || block_ == Block::C || cdef_ != CDef::None; }
    qint64 DefinedOn() const { return definedOn_; }
    bool TookItems() const { return tookItems_; }
    void ListedEnd(const NameTable& names, std::optional<qint64> unclosedComment);

    // The statement that ended the label's data directives, if one did.
    struct Ending {
        qint64 line = 0;
        QString statement; // as echoed in messages
    };
    const std::optional<Ending>& EndedBy() const { return endedBy_; }

    enum class ItemKind : quint8 { Word, Include, Dcb, Ds, Fill };
    struct Item {
        ItemKind kind = ItemKind::Word;
        NumberSyntax syntax = NumberSyntax::Motorola;
        qint64 line = 0;
        QString text;                // as written; a directive's operands
        std::optional<HwColor> word; // a number already read
    };

private:
    enum class Block { Before, Asm, C, After };
    enum class Outcome { Done, NeedsNames, Failed };
    struct Resolution;

    void Line(QStringView raw, qint64 number);
    bool Statement(QStringView code, QStringView statement, qint64 number);
    void DataLine(QStringView statement);
    void Definition(QStringView statement, QStringView code);
    void CInitializer(QStringView code);
    void Defined();
    bool ContinueCDefinition(QStringView code, qsizetype from);
    void Take(Item item);
    void Hold(Item item);
    Outcome Use(const Item& item, bool namesKnown);
    Outcome UseFill(const Item& item, bool namesKnown);
    Outcome Include(const Item& item);
    Resolution Resolve(QStringView text, NumberSyntax syntax, qint64 line, bool namesKnown) const;
    std::optional<NameTable::Definition> Find(QStringView name) const;
    Outcome Fail(QString error);
    bool Budget(qint64 bytes, qint64 line, const QString& what);
    void Emit(HwColor word);
    QString Where(qint64 line) const;

    QString name_;
    QString file_;
    QString folder_;
    QStringList defines_;
    WordSink sink_;
    Enough enough_;
    LineSplitter lines_;
    // The C view of a line (its "/* */" and "//" comments out, and what
    // its literals hold) and the assembler's (its ";" and "|" comments and
    // "*" lines out too).
    CommentFilter code_;
    CommentFilter statement_;
    qint64 number_ = 0;

    Block block_ = Block::Before;
    qint64 definedOn_ = 0;
    qint64 secondDefinition_ = 0;
    qint64 firstUse_ = 0;
    std::optional<Ending> endedBy_;
    // A C definition "NAME [..] = {" not complete at a line's end.
    enum class CDef { None, Brackets, Equals, Brace } cdef_ = CDef::None;
    int bracketDepth_ = 0;
    int braceDepth_ = 0;
    int parenDepth_ = 0;
    qint64 cdefLine_ = 0;
    QString item_;
    qint64 itemLine_ = 0;

    // Items waiting for names: a tag byte (kind, syntax, whether a line
    // follows), the line when it changes, then a run of words read already
    // (their count, then each) or an item's text (its length, then UTF-8).
    QByteArray held_;
    qint64 heldLine_ = 0;
    qsizetype wordRun_ = -1;    // the count of the open run of words
    std::size_t heldWords_ = 0; // the words the held items give
    bool heldCountable_ = true; // ... as long as no include or fill is held
    bool heldEnough_ = false;   // they give every word needed
    bool stopped_ = false;      // every word needed is handed on
    qint64 includedBytes_ = 0;  // of binary includes and fills
    QString error_;
    NameTable names_;
    std::vector<NameTable> further_;
    // Listed: the source's names, and its "/*" never closed.
    bool tookItems_ = false;
    const NameTable* listedNames_ = nullptr;
    std::optional<qint64> listedUnclosed_;
};

} // namespace palfade
