#pragma once
// Every file format palfade reads or writes, described once: the name and
// patterns its requesters list, the extension a save appends, palfade-cli's
// name for it and the further extensions that imply it, the export it
// writes or the kind of source it opens as, and what it can take. The
// window's requesters, the final save path and palfade-cli all read these.

#include "exports/export_writer.h"
#include "sources/source_kind.h"

#include <QString>

#include <optional>
#include <span>

namespace palfade {

// The encoder of a picture export (picture_export.h).
enum class PictureFormat { Png, Bmp };
// What palfade-cli art writes: an animation, or a sheet of every step.
enum class ArtFormat { Gif, Sheet };
// The palettes the artists' tools read, written as the colours the preview
// shows (exchange_export.h).
enum class ExchangeFormat { Gimp, Jasc, AdobeColorTable, HexList };

using Extensions = std::span<const char* const>;

// A format writes through one or more of its exports (png is both the
// preview's picture and art's sheet), or opens as a kind of source. A
// further kind of export is a further field here.
struct FileFormat {
    const char* name;              // as the requester lists it, before its patterns
    Extensions extensions;         // listed as "*.ext" patterns; a save appends the first
    Extensions alsoAccepted = {};  // further extensions palfade-cli takes for this format
    const char* cliName = nullptr; // palfade-cli's --format word
    const ExportSyntax* wordExport = nullptr;        // colour words: fade tables and palettes
    std::optional<PictureFormat> pictureExport = {}; // the preview as a picture
    std::optional<ArtFormat> artExport = {};         // the fade played on a picture
    std::optional<ExchangeFormat> exchangeExport = {}; // colours, not words: palettes for the artists' tools
    std::optional<SourceKind> source = {};           // what opening a file of it reads

    // What the format can take, from its export.
    // A named table, or a GIMP palette's name.
    bool TakesLabel() const
    {
        return (wordExport && wordExport->TakesLabel()) || exchangeExport == ExchangeFormat::Gimp;
    }
    bool TakesAsmLabel() const { return wordExport && wordExport->TakesAsmLabel(); } // an assembler's label
    bool TakesCType() const { return wordExport && wordExport->TakesCType(); }
    bool IsPicture() const { return pictureExport || artExport; }
    bool IsAnimation() const { return artExport == ArtFormat::Gif; }
    bool IsSheet() const { return artExport == ArtFormat::Sheet; }
};

// A capability of a format, as a row of palfade-cli names what an option
// applies to: &FileFormat::TakesLabel.
using FormatCapability = bool (FileFormat::*)() const;

// A requester's formats in the order it lists them.
struct FileRequester {
    std::span<const FileFormat* const> formats;
    int preselected = 0;
    int fallback = 0; // the format an index the requester does not offer stands for

    const FileFormat& Chosen(int filterIndex) const;
};

extern const FileRequester kFadeTableSave;
extern const FileRequester kSourcePaletteSave;
extern const FileRequester kPictureSave;
extern const FileRequester kPaletteFileOpen;
extern const FileRequester kTextOpen;
extern const FileRequester kPictureOpen;
// "Import from source..": the toolchains' sources, palette files and
// pictures; the artists' palettes; then "All files (*)".
extern const FileRequester kPaletteSourceOpen;
// A file written exactly at the path given (palfade-cli's -o).
extern const FileRequester kAnyFileSave;

// palfade-cli's --format words per command: the save requester's formats and
// the toolchain forms the window does not offer (chosen by name only).
using FormatList = std::span<const FileFormat* const>;
extern const FormatList kFadeTableCliFormats;
extern const FormatList kSourcePaletteCliFormats;
extern const FormatList kArtCliFormats;
// The exchange palettes, each read as its kind of source and written as its
// exchange export: what a requester listing them offers.
extern const FormatList kExchangeFormats;
// Every format palfade-cli writes, once each, in the order its help lists
// the extensions that imply them.
extern const FormatList kCliFormats;

// The pattern a requester lists for an extension: "*.s", "*.*" for "*",
// and "*" for the empty extension, which stands for every name.
QString ExtensionPattern(const char* extension);

// The path ends in "." and one of the format's extensions or, with
// `alsoAccepted`, one it accepts besides; letter case does not count.
bool HasExtensionOf(const QString& path, const FileFormat& format, bool alsoAccepted);

} // namespace palfade
