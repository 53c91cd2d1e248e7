#include "sources/source.h"

#include "io/file_access.h"
#include "sources/exchange_source.h"
#include "sources/palette_file.h"
#include "sources/palette_source.h"
#include "sources/picture_import.h"

#include <QFileInfo>

namespace palfade {

SourceOrigin SourceOrigin::File(const QString& path)
{
    SourceOrigin origin;
    origin.path = path;
    origin.name = path;
    origin.folder = QFileInfo(path).absolutePath();
    return origin;
}

SourceOrigin SourceOrigin::Device(QIODevice& device, const QString& name, const QString& folder)
{
    SourceOrigin origin;
    origin.from = From::Device;
    origin.device = &device;
    origin.name = name;
    origin.folder = folder;
    return origin;
}

SourceOrigin SourceOrigin::Memory(const QString& text, const QString& name, const QString& folder)
{
    SourceOrigin origin;
    origin.from = From::Memory;
    origin.text = text;
    origin.name = name;
    origin.folder = folder;
    return origin;
}

// A pipe is not read twice: only a regular file's first line is read.
SourceKind SourceKindOfFile(const QString& path)
{
    const SourceKind named = SourceKindOf(path);
    if (named != SourceKind::Text || !QFileInfo(path).isFile())
        return named;
    const IoResult<QByteArray> start = ReadFileStart(path, kSignatureBytes);
    return start.ok() ? SourceKindOf(path, start.value) : named;
}

IoResult<SourcePalettes> ReadSource(const SourceOrigin& origin, const SourceRequest& request)
{
    const bool file = origin.from == SourceOrigin::From::File;
    const SourceKind kind = request.kind.value_or(file ? SourceKindOfFile(origin.path) : SourceKind::Text);
    if (!file && kind != SourceKind::Text) {
        IoResult<SourcePalettes> refused;
        refused.error =
            QStringLiteral("%1 is read as text; --read-as needs a file to read another kind").arg(origin.name);
        return refused;
    }
    switch (kind) {
    case SourceKind::GimpPalette:
    case SourceKind::JascPalette:
    case SourceKind::AdobeColorTable:
    case SourceKind::HexList:
        return ReadExchangeSource(origin.path, kind, request);
    case SourceKind::PaletteFile:
        return ReadPaletteFileSource(origin.path, request);
    case SourceKind::Picture:
        return ReadPictureSource(origin.path, request);
    case SourceKind::Text:
        break;
    }
    return ReadTextSource(origin, request);
}

QString PaletteCountText(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 palette") : QStringLiteral("%1 palettes").arg(count);
}

IoResult<PaletteWords> PickPalette(const std::vector<PaletteWords>& palettes, int index, const QString& name)
{
    IoResult<PaletteWords> result;
    if (index < 0 || static_cast<std::size_t>(index) >= palettes.size()) {
        const auto count = static_cast<qsizetype>(palettes.size());
        result.error = QStringLiteral("%1 holds %2").arg(name, PaletteCountText(count));
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
        .arg(topName, PaletteCountText(topCount), bottomName, PaletteCountText(bottomCount));
}

} // namespace palfade
