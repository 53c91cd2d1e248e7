#pragma once
// The table a source defines under a name (palfade-cli's --table): an
// assembler label's data directives or a C array's initializer, its items
// numbers or names that #define, equ, = or .equ/.set give a value. Read line
// by line as the text arrives; nothing is guessed: whatever is not a number
// or a defined name is an error naming the file and the line.

#include "core/hw_color.h"
#include "io/io_result.h"
#include "sources/word_reader.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <map>
#include <optional>
#include <vector>

namespace palfade {

// A number as sources write one: "$7FFF", "0x7FFF" or decimal. hexDigits is
// 0 for a decimal number.
struct SourceNumber {
    qint64 value = 0;
    int hexDigits = 0;
};
std::optional<SourceNumber> ParseSourceNumber(QStringView text);

// A name given a value in some file.
struct NameDefinition {
    QString value; // as written
    QString file;
    qint64 line = 0;
    QString otherFile; // a second definition with another value
    qint64 otherLine = 0;
};
using NameDefinitions = std::map<QString, NameDefinition>;

// One line's definition of a name as a value: "#define N V", "N equ V"
// ("EQU"), "N = V", ".equ N, V", ".set N, V"; `code` is the line without
// comments. Adds it to `names`, noting a second definition with another value.
void CollectDefinition(QStringView code, const QString& file, qint64 line, NameDefinitions& names);

// Reads a source's lines in pieces of text and keeps the block that `name`
// defines (one definition; only used is an error) and every name defined
// as a value. At the text's end the block's items, resolved with the
// source's names and then those of the `defines` files, go to the sink.
class TableReader : public TextStage {
public:
    // `file` names the source in messages; `folder` is where the files its
    // binary includes name are.
    TableReader(QString name, QString file, QString folder, QStringList defines, WordSink sink);

    void Feed(QStringView piece) override;
    // A line beyond the length limit has made the reading fail already.
    bool Failed() const { return lines_.TooLongLine() != 0; }
    IoStatus Finish() override;

private:
    struct Item {
        QString text;
        qint64 line = 0;
        bool include = false; // a binary include: text is its operands
    };
    enum class Block { Before, Asm, C, After };

    void Line(QStringView raw, qint64 number);
    void DataLine(QStringView statement);
    void Definition(QStringView statement, QStringView code);
    void CInitializer(QStringView code);
    void Defined();
    bool ContinueCDefinition(QStringView code, qsizetype from);
    IoResult<HwColor> Resolve(const Item& item, const NameDefinitions& further) const;
    QString Where(qint64 line) const;
    IoStatus Include(const Item& item) const;

    QString name_;
    QString file_;
    QString folder_;
    QStringList defines_;
    WordSink sink_;
    LineSplitter lines_;
    // The C view of a line (its "/* */" and "//" comments out) and the
    // assembler's (its ";" and "|" comments and "*" lines out too).
    CommentFilter code_;
    CommentFilter statement_;
    qint64 number_ = 0;

    Block block_ = Block::Before;
    qint64 definedOn_ = 0;
    qint64 secondDefinition_ = 0;
    qint64 firstUse_ = 0;
    // A C definition "NAME [..] = {" not complete at a line's end.
    enum class CDef { None, Brackets, Equals, Brace } cdef_ = CDef::None;
    int bracketDepth_ = 0;
    int braceDepth_ = 0;
    qint64 cdefLine_ = 0;
    QString item_;
    qint64 itemLine_ = 0;
    std::vector<Item> items_;
    NameDefinitions names_;
};

// The definitions of names as values in a file (--defines FILE), its lines
// ended as the table's are.
IoStatus ReadDefinitions(const QString& path, NameDefinitions& names);

} // namespace palfade
