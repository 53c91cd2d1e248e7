#include "io/save_path.h"

namespace palfade {

FadeFormat FadeFormatForFilter(int filterIndex)
{
    switch (filterIndex) {
    case 1:
        return FadeFormat::C;
    case 2:
        return FadeFormat::Binary;
    default:
        return FadeFormat::Assembler;
    }
}

PaletteFormat PaletteFormatForFilter(int filterIndex)
{
    switch (filterIndex) {
    case 1:
        return PaletteFormat::C;
    case 2:
        return PaletteFormat::PaletteFile;
    default:
        return PaletteFormat::Assembler;
    }
}

PictureFormat PictureFormatForFilter(int filterIndex)
{
    return filterIndex == 0 ? PictureFormat::Png : PictureFormat::Bmp;
}

QString FilterExtension(SaveRequester requester, int filterIndex)
{
    switch (requester) {
    case SaveRequester::FadeTable:
        switch (FadeFormatForFilter(filterIndex)) {
        case FadeFormat::Assembler:
            return QStringLiteral("s");
        case FadeFormat::C:
            return QStringLiteral("c");
        case FadeFormat::Binary:
            return QStringLiteral("bin");
        }
        break;
    case SaveRequester::SourcePalette:
        switch (PaletteFormatForFilter(filterIndex)) {
        case PaletteFormat::Assembler:
            return QStringLiteral("s");
        case PaletteFormat::C:
            return QStringLiteral("c");
        case PaletteFormat::PaletteFile:
            return QStringLiteral("ngpal");
        }
        break;
    case SaveRequester::Picture:
        return PictureFormatForFilter(filterIndex) == PictureFormat::Png ? QStringLiteral("png")
                                                                          : QStringLiteral("bmp");
    }
    return {};
}

QString FinalSavePath(const QString& typedPath, SaveRequester requester, int filterIndex)
{
    const QString wanted = FilterExtension(requester, filterIndex);
    const qsizetype nameStart = typedPath.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = typedPath.lastIndexOf(QLatin1Char('.'));
    if (dot >= nameStart) {
        const QString extension = typedPath.mid(dot + 1);
        if (extension.toUpper() == wanted.toUpper())
            return typedPath;
    }
    return typedPath + QLatin1Char('.') + wanted;
}

} // namespace palfade
