#pragma once
// The picture kind: the palettes of a picture, by appearance or from its
// colour table.

#include "io/io_result.h"
#include "sources/source.h"

#include <QString>

namespace palfade {

// The kind's reader, each palette over the request's base. Appearance: one
// palette, the first 16 different colours in reading order into entries 0
// on; through the level tables with the slots the scan filled. Table:
// entries 16K to 16K + 15 of the colour table stored in the file
// (StoredColorTable) make palette K. Each colour becomes a word as
// pictureWords says; with ngdevkit's words, the entries of a palette past the
// table's end are black ($8000), as its palette tool pads them. A picture
// without a colour table read in table order is an error.
IoResult<SourcePalettes> ReadPictureSource(const QString& path, const SourceRequest& request);

} // namespace palfade
