#include "app_state.h"

namespace palfade {

AppState::AppState()
{
    importSlots.fill(0);
    fadeTable.Reset(paletteCount);
    LoadLevelTables(*this);
}

SourcePalette* PaletteByNumber(AppState& state, int which)
{
    if (which == 1 || which == 2)
        return &state.palettes[static_cast<std::size_t>(which - 1)];
    return nullptr;
}

const SourcePalette* PaletteByNumber(const AppState& state, int which)
{
    return PaletteByNumber(const_cast<AppState&>(state), which);
}

void LoadLevelTables(AppState& state)
{
    LoadLevelTables(state.levels, state.view.hardwareColors);
}

void ComputeFade(AppState& state)
{
    ComputeFade(FadeInputs{state.palettes[0], state.palettes[1], state.paletteCount,
                           state.view.simpleFade, state.view.useDarkBit},
                state.fadeTable);
}

PaletteWords SourcePaletteWords(const AppState& state, int which)
{
    PaletteWords words{};
    const FadeTable& table = state.fadeTable;
    if (table.steps() <= 0 || (which != 1 && which != 2))
        return words;
    const int step = which == 1 ? 0 : table.steps() - 1;
    for (int j = 0; j < kPaletteSize; ++j)
        words[static_cast<std::size_t>(j)] = EncodeHwColor(table.at(j, step));
    return words;
}

int SourcePaletteStepNumber(const AppState& state, int which)
{
    return which == 2 ? state.paletteCount : 1;
}

} // namespace palfade
