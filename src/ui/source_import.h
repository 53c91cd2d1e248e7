#pragma once
// "Import from source..": what a file offers (its tables, a palette file's
// palettes, a picture's colour-table palettes) listed in the source picker,
// and the one palette picked loaded exactly as palfade-cli reads it with the
// same options.

#include "dialogs/source_picker.h"
#include "sources/source_listing.h"
#include "ui/host.h"

#include <optional>

namespace palfade {

// The picker's rows and preview for a listing; `base` holds the level
// tables a picture's colours go through.
SourcePickerModel PickerModel(const SourceListing& listing, const SourceRequest& base);

// The request that reads the pick as palfade-cli reads it: the offer's
// table or picture rule, and for text its count word, palette size and
// first entry; palette `pick.index` and no more (the count word's
// palettes all).
SourceRequest PickRequest(const SourceOffer& offer, const SourcePick& pick, SourceRequest base);

// Asks for a regular file (a pipe or device is refused, as the other
// imports refuse it), lists it and asks for a palette; "Ok" replaces
// palette `which` with it. A file that cannot be listed, or a pick that
// cannot be read, is shown in a box titled "Error" and changes nothing.
// The origin of the palette read, if one was.
std::optional<PaletteOrigin> ImportPaletteFromSource(AppState& state, Host& host, int which);

} // namespace palfade
