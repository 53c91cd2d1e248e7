#pragma once
// The names sources give values: "#define N V", "N equ V", "N = V",
// ".equ N, V", ".set N, V", kept compactly as a source or a --defines file
// is read, and looked up once it has been read.

#include "io/io_result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

namespace palfade {

// The names a file defines as values, kept compactly (a name and its value
// as UTF-8 and the line, in one block), looked up once the file is read.
class NameTable {
public:
    explicit NameTable(QString file = {}) : file_(std::move(file)) {}

    void Add(QStringView name, QStringView value, qint64 line);
    void Reserve(qsizetype bytes);
    // After the last Add: each name's first definition is the one found,
    // with the first later one that gives it another value.
    void Seal();

    struct Definition {
        QString value; // as written
        QString file;
        qint64 line = 0;
        QString otherFile;    // a later definition with another value
        qint64 otherLine = 0; // 0: none
    };
    std::optional<Definition> Find(QStringView name) const;

private:
    QByteArrayView NameAt(quint32 at) const;
    QByteArrayView ValueAt(quint32 at) const;
    qsizetype RecordSize(qsizetype at) const;
    Definition DefinitionAt(quint32 at) const;

    QString file_;
    QByteArray records_;
    std::vector<quint32> index_;                      // one record a name, by name
    std::vector<std::pair<quint32, quint32>> others_; // a record, and a later one with another value
    std::size_t count_ = 0;
};

// One line's definition of a name as a value: "#define N V", "N equ V"
// ("EQU"), "N = V", ".equ N, V", ".set N, V"; `code` is the line without
// comments.
void CollectDefinition(QStringView code, qint64 line, NameTable& names);

// The definitions of names as values in a file (--defines FILE), read in
// pieces, its lines ended as the table's are.
IoStatus ReadDefinitions(const QString& path, NameTable& names);

} // namespace palfade
