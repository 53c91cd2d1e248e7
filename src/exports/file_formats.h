#pragma once
// Every file format palfade reads or writes, described once: the name and
// patterns its requesters list, the extension a save appends, palfade-cli's
// name for it and the further extensions that imply it, and the export or
// import it selects. The window's requesters, the final save path and
// palfade-cli all read these.

#include "exports/export_formats.h"
#include "sources/source_kind.h"

#include <QString>

#include <optional>
#include <span>

namespace palfade {

enum class PictureFormat { Png, Bmp };
// What palfade-cli art writes: an animation, or a sheet of every step.
enum class ArtFormat { Gif, Sheet };

using Extensions = std::span<const char* const>;

struct FileFormat {
    const char* name;              // as the requester lists it, before its patterns
    Extensions extensions;         // listed as "*.ext" patterns; a save appends the first
    Extensions alsoAccepted = {};  // further extensions palfade-cli takes for this format
    const char* cliName = nullptr; // palfade-cli's --format word
    std::optional<FadeFormat> fadeExport = {};
    std::optional<PaletteFormat> paletteExport = {};
    std::optional<PictureFormat> pictureExport = {};
    std::optional<ArtFormat> artExport = {};
    std::optional<SourceKind> source = {};
    AsmSyntax asmSyntax = AsmSyntax::Motorola; // the dialect of the assembler forms
};

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

// palfade-cli's --format words per command: the save requester's formats and
// the toolchain forms the window does not offer (chosen by name only).
using FormatList = std::span<const FileFormat* const>;
extern const FormatList kFadeTableCliFormats;
extern const FormatList kSourcePaletteCliFormats;
extern const FormatList kArtCliFormats;

// The path ends in "." and one of the format's extensions or, with
// `alsoAccepted`, one it accepts besides; letter case does not count.
bool HasExtensionOf(const QString& path, const FileFormat& format, bool alsoAccepted);

// The syntax of an export format's words: its fade or palette form in its
// assembler dialect.
const ExportSyntax& ExportSyntaxOf(const FileFormat& format);

} // namespace palfade
