#include "io/palette_source.h"

#include "io/file_access.h"
#include "io/palette_file.h"
#include "io/text_import.h"

#include <algorithm>

namespace palfade {

namespace {

bool IsLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool IsNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

QString Palettes(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 palette") : QStringLiteral("%1 palettes").arg(count);
}

IoResult<QString> TooLarge(const QString& name)
{
    IoResult<QString> result;
    result.error = QStringLiteral("cannot read %1: larger than %2 MiB").arg(name).arg(kMaxTextSourceSize >> 20);
    return result;
}

} // namespace

QString StripComments(QStringView text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    bool inBlock = false;
    bool lineStart = true;
    auto endOfLine = [&](qsizetype i) {
        while (i < n && !IsLineEnd(text[i]))
            ++i;
        return i;
    };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        const QChar next = i + 1 < n ? text[i + 1] : QChar();
        if (IsLineEnd(c)) {
            out += c;
            lineStart = true;
            ++i;
            continue;
        }
        if (inBlock) {
            if (c == u'*' && next == u'/') {
                inBlock = false;
                lineStart = false;
                out += u' ';
                i += 2;
            } else {
                ++i;
            }
            continue;
        }
        if (lineStart) {
            lineStart = false;
            qsizetype first = i;
            while (first < n && IsBlank(text[first]))
                ++first;
            if (first < n && text[first] == u'*') {
                i = endOfLine(first);
                continue;
            }
        }
        if (c == u';' || (c == u'/' && next == u'/')) {
            i = endOfLine(i);
        } else if (c == u'/' && next == u'*') {
            inBlock = true;
            i += 2;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::optional<qsizetype> PositionAfterName(QStringView text, QStringView name)
{
    if (name.isEmpty())
        return std::nullopt;
    for (qsizetype at = text.indexOf(name); at >= 0; at = text.indexOf(name, at + 1)) {
        const qsizetype end = at + name.size();
        const bool startsAlone = at == 0 || !IsNameCharacter(text[at - 1]);
        const bool endsAlone = end == text.size() || !IsNameCharacter(text[end]);
        if (startsAlone && endsAlone)
            return end;
    }
    return std::nullopt;
}

IoResult<std::vector<SourcePalette>> PalettesFromText(QStringView text, const TextSourceOptions& options,
                                                      const QString& name)
{
    IoResult<std::vector<SourcePalette>> result;
    QString stripped;
    if (options.skipComments) {
        stripped = StripComments(text);
        text = stripped;
    }
    QString where = name;
    if (!options.after.isEmpty()) {
        const std::optional<qsizetype> start = PositionAfterName(text, options.after);
        if (!start) {
            result.error = QStringLiteral("the name \"%1\" is not found in %2").arg(options.after, name);
            return result;
        }
        text = text.sliced(*start);
        where = QStringLiteral("%1 after \"%2\"").arg(name, options.after);
    }

    const std::vector<HwColor> words = ColourWordsOf(text);
    const std::size_t skipped = std::min(static_cast<std::size_t>(std::max(options.skipWords, 0)), words.size());
    if (words.empty()) {
        result.error = QStringLiteral("no colour word (\"$7FFF\" or \"0x7FFF\") found in %1").arg(where);
        return result;
    }
    if (skipped == words.size()) {
        result.error = QStringLiteral("%1 holds %2 colour words, none after the %3 skipped")
                           .arg(where)
                           .arg(words.size())
                           .arg(options.skipWords);
        return result;
    }

    const std::size_t count = words.size() - skipped;
    std::vector<SourcePalette>& palettes = result.value;
    palettes.resize((count + kPaletteSize - 1) / kPaletteSize); // black entries
    for (std::size_t i = 0; i < count; ++i)
        palettes[i / kPaletteSize][i % kPaletteSize] = DecodeHwColor(words[skipped + i]);
    return result;
}

std::vector<SourcePalette> PalettesFromFileBytes(QByteArrayView bytes)
{
    const qsizetype count = std::max<qsizetype>(1, (bytes.size() + kPaletteFileSize - 1) / kPaletteFileSize);
    std::vector<SourcePalette> palettes;
    palettes.reserve(static_cast<std::size_t>(count));
    for (qsizetype k = 0; k < count; ++k) {
        const qsizetype start = std::min(k * kPaletteFileSize, bytes.size());
        palettes.push_back(PaletteFromBytes(bytes.sliced(start, std::min(kPaletteFileSize, bytes.size() - start))));
    }
    return palettes;
}

IoResult<SourcePalette> PickPalette(const std::vector<SourcePalette>& palettes, int index, const QString& name)
{
    IoResult<SourcePalette> result;
    if (index < 0 || static_cast<std::size_t>(index) >= palettes.size()) {
        result.error = QStringLiteral("%1 holds %2").arg(name, Palettes(static_cast<qsizetype>(palettes.size())));
        return result;
    }
    result.value = palettes[static_cast<std::size_t>(index)];
    return result;
}

QString PaletteCountMismatch(const QString& topName, qsizetype topCount, const QString& bottomName,
                             qsizetype bottomCount)
{
    return QStringLiteral("%1 holds %2 but %3 holds %4: a whole-screen fade needs one bottom palette per top "
                          "palette")
        .arg(topName, Palettes(topCount), bottomName, Palettes(bottomCount));
}

IoResult<QString> ReadTextSource(const QString& path)
{
    const IoResult<QByteArray> bytes = ReadFileStart(path, kMaxTextSourceSize + 1);
    IoResult<QString> result;
    if (!bytes.ok()) {
        result.error = bytes.error;
        return result;
    }
    if (bytes.value.size() > kMaxTextSourceSize)
        return TooLarge(path);
    result.value = DecodeTextBytes(bytes.value);
    return result;
}

IoResult<QString> ReadTextSourceFrom(QIODevice& device, const QString& name)
{
    IoResult<QString> result;
    QByteArray bytes;
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 n = device.read(chunk.data(), chunk.size());
        if (n < 0) {
            result.error = QStringLiteral("cannot read %1: %2").arg(name, device.errorString());
            return result;
        }
        if (n == 0) {
            if (device.isSequential() && device.waitForReadyRead(-1))
                continue;
            break;
        }
        if (bytes.size() + n > kMaxTextSourceSize)
            return TooLarge(name);
        bytes.append(chunk.constData(), n);
    }
    result.value = DecodeTextBytes(bytes);
    return result;
}

IoResult<std::vector<SourcePalette>> ReadPaletteFileSet(const QString& path)
{
    IoResult<std::vector<SourcePalette>> result;
    const IoResult<QByteArray> bytes = ReadFileStart(path, kMaxTextSourceSize + 1);
    if (!bytes.ok()) {
        result.error = bytes.error;
        return result;
    }
    if (bytes.value.size() > kMaxTextSourceSize) {
        result.error = TooLarge(path).error;
        return result;
    }
    result.value = PalettesFromFileBytes(bytes.value);
    return result;
}

} // namespace palfade
