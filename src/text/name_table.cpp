#include "text/name_table.h"

#include "io/file_access.h"
#include "text/byte_records.h"
#include "text/word_reader.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace palfade {

// A record: the line (4 bytes), the lengths of the name (1 byte) and of the
// value (2 bytes), then both as UTF-8. Names beyond 255 bytes are no names
// a source uses; values beyond 65535 bytes no numbers, and are cut.
void NameTable::Add(QStringView name, QStringView value, qint64 line)
{
    const QByteArray n = name.toUtf8();
    QByteArray v = value.toUtf8();
    // Offsets are 32 bits: a table that large (from a source of gigabytes)
    // keeps no more names.
    if (n.isEmpty() || n.size() > 255 || records_.size() > 0xF0000000)
        return;
    if (v.size() > 65535)
        v = v.first(64) + "...";
    const auto lineNumber = static_cast<quint32>(std::min<qint64>(line, 0xFFFFFFFF));
    const auto nameLength = static_cast<quint8>(n.size());
    const auto valueLength = static_cast<quint16>(v.size());
    PutBytes(records_, &lineNumber, 4);
    PutBytes(records_, &nameLength, 1);
    PutBytes(records_, &valueLength, 2);
    records_.append(n).append(v);
    ++count_;
}

QByteArrayView NameTable::NameAt(quint32 at) const
{
    return QByteArrayView(records_).sliced(at + 7, static_cast<unsigned char>(records_[at + 4]));
}

QByteArrayView NameTable::ValueAt(quint32 at) const
{
    qsizetype pos = at + 5;
    const auto valueLength = GetBytes<quint16>(records_, pos);
    return QByteArrayView(records_).sliced(pos + static_cast<unsigned char>(records_[at + 4]), valueLength);
}

qsizetype NameTable::RecordSize(qsizetype at) const
{
    at += 5;
    const auto valueLength = GetBytes<quint16>(records_, at);
    return 7 + static_cast<unsigned char>(records_[at - 3]) + valueLength;
}

NameTable::Definition NameTable::DefinitionAt(quint32 at) const
{
    qsizetype pos = at;
    Definition definition;
    definition.line = GetBytes<quint32>(records_, pos);
    const auto nameLength = GetBytes<quint8>(records_, pos);
    const auto valueLength = GetBytes<quint16>(records_, pos);
    definition.value = QString::fromUtf8(QByteArrayView(records_).sliced(pos + nameLength, valueLength));
    definition.file = file_;
    return definition;
}

void NameTable::Reserve(qsizetype bytes)
{
    records_.reserve(bytes);
}

void NameTable::Seal()
{
    // Offsets break ties between equal names: the first definition sorts first.
    index_.clear();
    index_.reserve(count_);
    for (qsizetype at = 0; at < records_.size(); at += RecordSize(at))
        index_.push_back(static_cast<quint32>(at));
    std::sort(index_.begin(), index_.end(), [this](quint32 a, quint32 b) {
        const QByteArrayView x = NameAt(a), y = NameAt(b);
        return x < y || (x == y && a < b);
    });
    others_.clear();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < index_.size(); ++i) {
        const quint32 first = index_[i];
        for (; i + 1 < index_.size() && NameAt(index_[i + 1]) == NameAt(first); ++i)
            if ((others_.empty() || others_.back().first != first) && ValueAt(index_[i + 1]) != ValueAt(first))
                others_.emplace_back(first, index_[i + 1]);
        index_[kept++] = first;
    }
    index_.resize(kept);
    std::sort(others_.begin(), others_.end());
}

std::optional<NameTable::Definition> NameTable::Find(QStringView name) const
{
    const QByteArray key = name.toUtf8();
    const auto it = std::lower_bound(index_.begin(), index_.end(), key, [this](quint32 at, const QByteArray& k) {
        return NameAt(at) < QByteArrayView(k);
    });
    if (it == index_.end() || NameAt(*it) != QByteArrayView(key))
        return std::nullopt;
    Definition definition = DefinitionAt(*it);
    const auto other = std::lower_bound(others_.begin(), others_.end(), std::pair<quint32, quint32>(*it, 0));
    if (other != others_.end() && other->first == *it) {
        definition.otherLine = DefinitionAt(other->second).line;
        definition.otherFile = file_;
    }
    return definition;
}

void CollectDefinition(QStringView code, qint64 line, NameTable& names)
{
    static const QRegularExpression kDefine(QStringLiteral("^\\s*#\\s*define\\s+([A-Za-z_]\\w*)(?:\\s+(.*))?$"));
    static const QRegularExpression kDotted(QStringLiteral("^\\s*\\.(?:equ|set)\\s+([A-Za-z_.][\\w.]*)\\s*,\\s*(.*)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kEqu(
        QStringLiteral("^\\s*([A-Za-z_.][\\w.]*):?\\s*(?:=|\\s(?:equ|\\.equ|set)\\s)\\s*(.*)$"),
        QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch match = kDefine.match(code);
    if (!match.hasMatch())
        match = kDotted.match(code);
    if (!match.hasMatch()) {
        match = kEqu.match(code);
        if (match.hasMatch() && match.capturedView(2).startsWith(u'='))
            return; // "N == V" compares
    }
    if (match.hasMatch())
        names.Add(match.capturedView(1), match.capturedView(2).trimmed(), line);
}

IoStatus ReadDefinitions(const QString& path, NameTable& names)
{
    QFile file(path);
    if (const IoStatus opened = OpenForReading(file); !opened.ok())
        return opened;
    // Room for the definitions of a file of short lines, so that the block
    // is not copied as it grows; pages no definition reaches are never used.
    if (!file.isSequential())
        names.Reserve(2 * std::min<qint64>(file.size(), kMaxSourceSize));
    CommentFilter statements(kAsmStatements);
    QString statement;
    LineSplitter lines(
        [&](QStringView raw, qint64 number) {
            statement.resize(0);
            statements.Line(raw, statement);
            CollectDefinition(statement, number, names);
        },
        kMaxSourceLineLength);
    TextDecoder decoder;
    const IoStatus read = ReadInPieces(
        file, path, kMaxSourceSize, [&](QByteArrayView bytes) { lines.Feed(decoder.Feed(bytes)); },
        [&lines] { return lines.TooLongLine() != 0; });
    if (!read.ok())
        return read;
    lines.Feed(decoder.Finish());
    lines.Finish();
    if (lines.TooLongLine() != 0)
        return IoStatus::Failure(TooLongLineReason(path, lines.TooLongLine()));
    if (const std::optional<qint64> line = statements.UnclosedLine())
        return IoStatus::Failure(UnclosedCommentReason(path, *line));
    return IoStatus::Success();
}

} // namespace palfade
