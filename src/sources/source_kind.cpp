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

} // namespace

SourceKind SourceKindOf(const QString& path)
{
    const QString lower = path.toLower();
    if (EndsWithOneOf(lower, kPaletteFileExtensions))
        return SourceKind::PaletteFile;
    if (EndsWithOneOf(lower, kPictureExtensions) || EndsWithOneOf(lower, kPictureAlsoExtensions))
        return SourceKind::Picture;
    return SourceKind::Text;
}

} // namespace palfade
