#pragma once
// Where each source palette came from, as palfade-cli names a source, so the
// window can show the command that writes what it wrote. The window keeps
// one beside each palette; the core knows nothing of files.

#include "core/app_state.h"
#include "exports/file_formats.h"
#include "sources/source.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace palfade {

struct PaletteOrigin {
    // palfade-cli's SRC: "black", "white", "word:XXXX", or the file's path.
    QString source = QStringLiteral("black");
    bool file = false;
    // A file: exactly how it was read, and which of its palettes.
    SourceKind kind = SourceKind::Text;
    TextSourceOptions text;
    PictureOrder pictureOrder = PictureOrder::Appearance;
    PictureWords pictureWords = PictureWords::Levels;
    bool hardwareLevels = false; // a picture's colours mapped through the hardware level set
    std::optional<int> index;
    // What it gave. A palette whose words differ has been changed since
    // (edited, greyscaled, imported over), and only its own words say what
    // it is now.
    PaletteWords words{};

    // A palette palfade-cli names: "black", "white" or "word:XXXX".
    static PaletteOrigin Named(const QString& source, const SourcePalette& palette);
    static PaletteOrigin File(const QString& path, const SourceRequest& request, std::optional<int> index,
                              const PaletteWords& words);
};

// [0] Palette 1 (Top), [1] Palette 2 (Bottom).
using PaletteOrigins = std::array<PaletteOrigin, 2>;

// "word:7C00": the source of "Set to colour.." with `word`.
QString WordSourceName(HwColor word);

// What "Export for a toolchain.." writes: the format (one of
// kFadeTableCliFormats), its label and C type, and the file, written
// exactly at `path` as palfade-cli's -o writes it.
struct ToolchainChoice {
    const FileFormat* format = nullptr;
    QString label;
    QString cType = QStringLiteral("int");
    QString path;
};

// The palfade-cli command that writes the same bytes from the same files:
// its arguments after the program's name; what must be done before it runs
// (a changed palette saved as .ngpal first), one line each; and why nothing
// can be written yet, empty when the choice can be.
struct ToolchainCommand {
    QStringList arguments;
    QStringList notes;
    QString refusal;
};

ToolchainCommand ToolchainCommandFor(const AppState& state, const PaletteOrigins& origins,
                                     const ToolchainChoice& choice);

// "palfade-cli" and the arguments as a POSIX shell reads them back, a long
// command over lines ended by backslashes.
QString CommandLineText(const QStringList& arguments);

} // namespace palfade
