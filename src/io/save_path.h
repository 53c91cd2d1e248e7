#pragma once
// The chosen filter, never the typed extension, decides a save's format; the
// filter's extension is appended when the file name lacks it.

#include "io/export_formats.h"

#include <QString>

namespace palfade {

enum class SaveRequester { FadeTable, SourcePalette, Picture };
enum class PictureFormat { Png, Bmp };

// Filter positions of the requesters; an index the requester does not offer
// falls back to the first filter (for pictures: anything but 0 is BMP).
FadeFormat FadeFormatForFilter(int filterIndex);
PaletteFormat PaletteFormatForFilter(int filterIndex);
PictureFormat PictureFormatForFilter(int filterIndex);

// Lower-case extension without the dot: "s", "c", "bin", "ngpal", "png", "bmp".
QString FilterExtension(SaveRequester requester, int filterIndex);

// The extension is the text after the last dot of the file name (a dot in a
// folder name does not count), compared in upper case; when it differs or is
// missing, the lower-case extension is appended to the whole path.
QString FinalSavePath(const QString& typedPath, SaveRequester requester, int filterIndex);

} // namespace palfade
