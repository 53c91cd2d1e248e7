#pragma once
// The one application record: both source palettes, the counts, the view
// settings, the computed fade and the working level tables.

#include "fade_engine.h"
#include "hw_color.h"
#include "import_slots.h"
#include "level_table.h"

#include <array>
#include <cstdint>

namespace palfade {

inline constexpr int kDefaultPaletteCount = 16;
inline constexpr int kMinColors = 1;
inline constexpr int kMaxColors = 16;
inline constexpr int kMinZoom = 1;
inline constexpr int kMaxZoom = 4;
inline constexpr DisplayRgb kDefaultGridColor = MakeDisplayRgb(255, 0, 255); // magenta
inline constexpr DisplayRgb kDefaultAreaColor = MakeDisplayRgb(128, 128, 128);

struct ViewSettings {
    int zoom = 1; // brought back into 1-4 by every refresh
    bool showGrid = false;
    DisplayRgb gridColor = kDefaultGridColor;
    bool hardwareColors = false;
    bool useDarkBit = false;
    bool simpleFade = false;

    bool operator==(const ViewSettings&) const = default;
};

// The fade's shape beyond the settings above ("Fade shape.."); the defaults
// give the fade of those settings alone, byte for byte.
struct ShapeSettings {
    FadeCurve curve = FadeCurve::Linear; // the simple fade ignores it
    KeepMask keep = 0;                   // entries that keep Palette 1's word
    bool thereAndBack = false;           // back to Palette 1: the table holds 2P - 1 steps

    bool IsDefault() const { return *this == ShapeSettings{}; }
    bool operator==(const ShapeSettings&) const = default;
};

struct AppState {
    AppState(); // the start-up defaults, with the linear level set loaded

    int paletteCount = kDefaultPaletteCount; // 3-256
    int colorCount = kMaxColors;             // 1-16
    ViewSettings view;
    ShapeSettings shape;
    DisplayRgb areaColor = kDefaultAreaColor;
    bool quitRequested = false;
    std::array<SourcePalette, 2> palettes{}; // [0] Palette 1 (Top), [1] Palette 2 (Bottom)
    FadeTable fadeTable;
    LevelTable levels;
    ImportSlots importSlots{};
};

// Palette number 1 or 2 to its palette; any other number names none.
SourcePalette* PaletteByNumber(AppState& state, int which);
const SourcePalette* PaletteByNumber(const AppState& state, int which);

// Loads the level set that view.hardwareColors chooses.
void LoadLevelTables(AppState& state);

// Runs the fade computation on the state's palettes, count, settings and
// shape. Everything that draws or writes the table takes its steps from
// fadeTable.steps(): paletteCount, or 2 * paletteCount - 1 there and back.
void ComputeFade(AppState& state);

// Words of "Palette 1 (Top)" (which = 1) or "Palette 2 (Bottom)" (which = 2).
// With the default shape they equal the fade table's first and last steps;
// kept entries and the way back make the table's ends differ from the
// palettes, so they are read from the palettes themselves.
PaletteWords SourcePaletteWords(const AppState& state, int which);

// The step number the C form of a source palette carries: 1 for Palette 1
// (Top), the palette count for Palette 2 (Bottom).
int SourcePaletteStepNumber(const AppState& state, int which);

} // namespace palfade
