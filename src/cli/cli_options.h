#pragma once
// The command line of palfade-cli, parsed into what to read and write.
// Parsing only: nothing here touches a file.

#include "core/app_state.h"
#include "core/fade_engine.h"
#include "exports/art_export.h"
#include "exports/file_formats.h"
#include "sources/palette_source.h"
#include "sources/source.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace palfade::cli {

struct CommandRow;

inline constexpr int kDefaultStep = 1;
inline constexpr int kMaxStep = 256;
inline constexpr const char* kStdio = "-";

struct Options {
    const CommandRow* command = nullptr; // the command's row, which produces its output
    QString top = QStringLiteral("black");    // SRC of "Palette 1 (Top)"
    QString bottom = QStringLiteral("black"); // SRC of "Palette 2 (Bottom)"
    QString source;                           // the palette command's SRC
    int paletteCount = kDefaultPaletteCount;
    int colorCount = kMaxColors;
    bool simpleFade = false;
    bool useDarkBit = false;
    bool hardwareColors = false;
    // The fade's shape beyond the window: entries that do not fade, the way
    // back to the top palette, an eased ramp; and the table's cost on stderr.
    KeepMask keep = 0;
    bool thereAndBack = false;
    FadeCurve curve = FadeCurve::Linear;
    bool stats = false;
    int zoom = 1;
    bool showGrid = false;
    DisplayRgb gridColor = kDefaultGridColor;
    bool greyscale = false;
    int step = kDefaultStep;
    // Which palette of a SRC holding several: --top-index, --bottom-index and
    // the palette command's --index. Unset reads a SRC exactly as the window
    // does (the first palette; a longer palette file with a warning).
    std::optional<int> topIndex;
    std::optional<int> bottomIndex;
    std::optional<int> sourceIndex;
    bool allPalettes = false;
    TextSourceOptions text;        // for every text SRC
    PictureOrder pictureOrder = PictureOrder::Appearance;
    PictureWords pictureWords = PictureWords::Levels;
    std::optional<SourceKind> readAs; // every SRC file read as this kind; unset: by its name
    std::optional<QString> formatName;  // --format as given
    const FileFormat* format = nullptr; // one of the command's formats
    ExportOptions exportOptions;   // for the format's word export
    // art: the picture, the palette of it the one fade recolours, the
    // animation's timing and the sheet's columns (0: the smaller of P and 8).
    QString art;
    int artPalette = 0;
    int framesPerStep = 1;
    int holdStart = 0;
    int holdEnd = 0;
    int columns = 0;
    QString output;
};

struct ParseResult {
    enum class Action { Run, Help, Version, UsageError } action = Action::Run;
    Options options;
    QString error; // the one-line reason of a usage error
};

ParseResult ParseArguments(const QStringList& args);

QString HelpText();

} // namespace palfade::cli
