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

} // namespace palfade
