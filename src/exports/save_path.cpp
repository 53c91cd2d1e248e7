#include "exports/save_path.h"

namespace palfade {

QString FinalSavePath(const QString& typedPath, const FileFormat& chosen)
{
    const QString wanted = QLatin1String(chosen.extensions.front());
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
