#pragma once
// What kind of source a file is, and what says so: palette files, pictures
// and the exchange palettes without a signature (.act, .hex) by their
// extension; GIMP and JASC palettes by their first line; text otherwise.

#include <QByteArrayView>
#include <QString>

namespace palfade {

// The four exchange kinds are the palettes the artists' tools keep: GIMP's
// .gpl, Paint Shop Pro's JASC-PAL, Photoshop's colour table and the hex
// lists palette sites offer.
enum class SourceKind { PaletteFile, Picture, Text, GimpPalette, JascPalette, AdobeColorTable, HexList };

inline constexpr const char* kPaletteFileExtensions[] = {"ngpal"};
// The pictures palfade reads; "jpeg" is taken too, though requesters list
// only the four.
inline constexpr const char* kPictureExtensions[] = {"bmp", "jpg", "png", "gif"};
inline constexpr const char* kPictureAlsoExtensions[] = {"jpeg"};
inline constexpr const char* kGimpPaletteExtensions[] = {"gpl"};
// A save's extension only: a .pal file is JASC-PAL by its first line, any
// other .pal is read as before.
inline constexpr const char* kJascPaletteExtensions[] = {"pal"};
inline constexpr const char* kAdobeColorTableExtensions[] = {"act"};
inline constexpr const char* kHexListExtensions[] = {"hex"};

// The first lines that make a file a GIMP or a JASC palette.
inline constexpr const char* kGimpPaletteSignature = "GIMP Palette";
inline constexpr const char* kJascPaletteSignature = "JASC-PAL";
// Enough of a file's start to hold either signature, a byte-order mark and a line break.
inline constexpr qsizetype kSignatureBytes = 32;

// How a SRC file is read when no kind is forced, by its name alone.
SourceKind SourceKindOf(const QString& path);
// By its name and the first bytes of the file: a file the name leaves as
// text whose first line is a signature is that exchange palette.
SourceKind SourceKindOf(const QString& path, QByteArrayView start);

} // namespace palfade
