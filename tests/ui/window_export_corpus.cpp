// Writes the window's exports for many palettes and settings into a folder,
// every save chosen through the menus as the user chooses it: the fade table
// (assembler, C, binary), both source palettes (assembler, C, palette file)
// and the preview picture (PNG, BMP). Two builds that write the same files
// export the same bytes.
//   window_export_corpus OUTDIR

#include "core/app_state.h"
#include "fake_host.h"
#include "ui/command_ids.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

using namespace palfade;

namespace {

// A fixed sequence of words, dark bits included.
struct Words {
    std::uint32_t seed;
    HwColor Next()
    {
        seed = seed * 1103515245u + 12345u;
        return static_cast<HwColor>(seed >> 16);
    }
};

SourcePalette PaletteNumber(int n)
{
    SourcePalette p{};
    Words words{static_cast<std::uint32_t>(n) * 7919u + 1u};
    switch (n % 4) {
    case 0: // black
        break;
    case 1: // white
        for (std::size_t j = 1; j < p.size(); ++j)
            p[j] = PaletteEntry{31, 31, 31, 0};
        break;
    default:
        for (PaletteEntry& e : p)
            e = DecodeHwColor(words.Next());
    }
    return p;
}

struct Settings {
    int top, bottom, palettes, colors, zoom;
    bool simple, dark, hardware, grid;
    DisplayRgb gridColor;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: window_export_corpus OUTDIR\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());

    const int paletteCounts[] = {3, 4, 16, 17, 33, 100, 256};
    const int colorCounts[] = {1, 8, 16, 5};
    int written = 0;
    for (int i = 0; i < 96; ++i) {
        const Settings s{i % 7,
                         (i * 5 + 2) % 9,
                         paletteCounts[i % 7],
                         colorCounts[(i / 7) % 4],
                         1 + (i / 3) % 4,
                         (i & 1) != 0,
                         (i & 2) != 0,
                         (i & 4) != 0,
                         (i & 8) != 0,
                         MakeDisplayRgb((i * 37) & 0xFF, (i * 91) & 0xFF, (i * 53) & 0xFF)};
        AppState state;
        FakeHost host;
        MainWindow window(state, host);
        state.palettes[0] = PaletteNumber(s.top);
        state.palettes[1] = PaletteNumber(s.bottom);
        state.paletteCount = s.palettes;
        state.colorCount = s.colors;
        state.view = ViewSettings{s.zoom, s.grid, s.gridColor, s.hardware, s.dark, s.simple};
        LoadLevelTables(state);
        window.RefreshView();

        const QString stem = out.filePath(QStringLiteral("c%1_").arg(i, 2, 10, QLatin1Char('0')));
        auto save = [&](int id, const char* name, int filter) {
            host.saveAnswers.push_back(FileChoice{stem + QLatin1String(name), filter});
            window.DispatchCommand(id);
            ++written;
        };
        for (int filter = 0; filter < 3; ++filter) {
            save(kCmdSaveFadeTable, "fade", filter);
            save(kCmdSavePalette1, "top", filter);
            save(kCmdSavePalette2, "bottom", filter);
        }
        save(kCmdSaveImage, "preview", 0);
        save(kCmdSaveImage, "preview", 1);
    }
    QTextStream(stdout) << written << " files in " << out.path() << "\n";
    return 0;
}
