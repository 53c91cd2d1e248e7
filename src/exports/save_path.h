#pragma once
// The chosen filter, never the typed extension, decides a save's format; the
// filter's extension is appended when the file name lacks it.

#include "exports/file_formats.h"

#include <QString>

namespace palfade {

// The extension is the text after the last dot of the file name (a dot in a
// folder name does not count), compared in upper case; when it differs or is
// missing, the chosen format's lower-case extension is appended to the whole
// path.
QString FinalSavePath(const QString& typedPath, const FileFormat& chosen);

} // namespace palfade
