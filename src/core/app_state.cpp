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
    ComputeFade(FadeInputs{state.palettes[0], state.palettes[1], state.paletteCount, state.view.simpleFade,
                           state.view.useDarkBit, state.shape.curve, state.shape.keep},
                state.fadeTable);
    if (state.shape.thereAndBack)
        ReorderSteps(state.fadeTable, StepOrder(state.paletteCount, true));
}

PaletteWords SourcePaletteWords(const AppState& state, int which)
{
    const SourcePalette* palette = PaletteByNumber(state, which);
    return palette != nullptr ? WordsOfPalette(*palette) : PaletteWords{};
}

int SourcePaletteStepNumber(const AppState& state, int which)
{
    return which == 2 ? state.paletteCount : 1;
}

} // namespace palfade
