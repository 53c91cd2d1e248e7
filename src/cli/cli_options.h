#pragma once
// The command line of palfade-cli, parsed into what to read and write.
// Parsing only: nothing here touches a file.

#include "core/app_state.h"
#include "io/file_formats.h"

#include <QString>
#include <QStringList>

namespace palfade::cli {

enum class Command { Fade, Preview, Palette };

inline constexpr int kDefaultStep = 1;
inline constexpr int kMaxStep = 256;
inline constexpr const char* kStdio = "-";

struct Options {
    Command command = Command::Fade;
    QString top = QStringLiteral("black");    // SRC of "Palette 1 (Top)"
    QString bottom = QStringLiteral("black"); // SRC of "Palette 2 (Bottom)"
    QString source;                           // the palette command's SRC
    int paletteCount = kDefaultPaletteCount;
    int colorCount = kMaxColors;
    bool simpleFade = false;
    bool useDarkBit = false;
    bool hardwareColors = false;
    int zoom = 1;
    bool showGrid = false;
    DisplayRgb gridColor = kDefaultGridColor;
    bool greyscale = false;
    int step = kDefaultStep;
    const FileFormat* format = nullptr; // one of the command's formats
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
