#include "sources/source_kind.h"

#include <span>

namespace palfade {

namespace {

bool EndsWithOneOf(const QString& lowerPath, std::span<const char* const> extensions)
{
    for (const char* e : extensions)
        if (lowerPath.endsWith(QLatin1Char('.') + QLatin1String(e)))
            return true;
    return false;
}

// The first line of the bytes (ended by CR or LF), after a UTF-8 byte-order
// mark, without its trailing blanks.
QByteArrayView FirstLine(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    qsizetype end = 0;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    QByteArrayView line = bytes.first(end);
    while (!line.isEmpty() && (line.back() == ' ' || line.back() == '\t'))
        line.chop(1);
    return line;
}

} // namespace

SourceKind SourceKindOf(const QString& path)
{
    const QString lower = path.toLower();
    if (EndsWithOneOf(lower, kPaletteFileExtensions))
        return SourceKind::PaletteFile;
    if (EndsWithOneOf(lower, kPictureExtensions) || EndsWithOneOf(lower, kPictureAlsoExtensions))
        return SourceKind::Picture;
    if (EndsWithOneOf(lower, kGimpPaletteExtensions))
        return SourceKind::GimpPalette;
    if (EndsWithOneOf(lower, kAdobeColorTableExtensions))
        return SourceKind::AdobeColorTable;
    if (EndsWithOneOf(lower, kHexListExtensions))
        return SourceKind::HexList;
    return SourceKind::Text;
}

SourceKind SourceKindOf(const QString& path, QByteArrayView start)
{
    const SourceKind named = SourceKindOf(path);
    if (named != SourceKind::Text)
        return named;
    const QByteArrayView line = FirstLine(start);
    if (line == kGimpPaletteSignature)
        return SourceKind::GimpPalette;
    if (line == kJascPaletteSignature)
        return SourceKind::JascPalette;
    return SourceKind::Text;
}

} // namespace palfade
