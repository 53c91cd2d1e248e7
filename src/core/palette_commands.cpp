#include "palette_commands.h"

#include "hex_word.h"

#include <cmath>
#include <utility>

namespace palfade {

void SetPaletteBlack(AppState& state, int which)
{
    if (SourcePalette* p = PaletteByNumber(state, which))
        p->fill(PaletteEntry{});
}

void SetPaletteWhite(AppState& state, int which)
{
    SetPaletteWord(state, which, EncodeHwColor(PaletteEntry{kMaxLevel, kMaxLevel, kMaxLevel, 0}));
}

SourcePalette WordPalette(HwColor word)
{
    SourcePalette palette;
    palette.fill(DecodeHwColor(word));
    palette[0] = PaletteEntry{};
    return palette;
}

void SetPaletteWord(AppState& state, int which, HwColor word)
{
    if (SourcePalette* p = PaletteByNumber(state, which))
        *p = WordPalette(word);
}

bool IsWordSource(std::string_view src)
{
    return src.starts_with(kWordSourcePrefix);
}

std::optional<SourcePalette> WordSourcePalette(std::string_view src)
{
    if (!IsWordSource(src))
        return std::nullopt;
    const std::optional<HwColor> word = ParseHexDigits(src.substr(kWordSourcePrefix.size()));
    if (!word)
        return std::nullopt;
    return WordPalette(*word);
}

void SwapPalettes(AppState& state)
{
    std::swap(state.palettes[0], state.palettes[1]);
}

PaletteEntry GreyscaleEntry(const PaletteEntry& e)
{
    // Each product and partial sum is a double, added red, green, blue in
    // that order; exact halves go to the even neighbour (nearbyint in the
    // default rounding mode). The weights sum to 0.9999, so 31 stays 31.
    const double redTerm = 0.2989 * e.red;
    const double greenTerm = 0.587 * e.green;
    const double blueTerm = 0.114 * e.blue;
    const double y = (redTerm + greenTerm) + blueTerm;
    const auto g = static_cast<std::int32_t>(std::nearbyint(y));
    return PaletteEntry{g, g, g, 0};
}

void GreyscalePalette(AppState& state, int which)
{
    if (SourcePalette* p = PaletteByNumber(state, which))
        for (PaletteEntry& e : *p)
            e = GreyscaleEntry(e);
}

void NewFade(AppState& state)
{
    state.paletteCount = kDefaultPaletteCount;
    state.fadeTable.Reset(state.paletteCount);
    SetPaletteBlack(state, 1);
    SetPaletteBlack(state, 2);
}

void ToggleGrid(AppState& state)
{
    state.view.showGrid = !state.view.showGrid;
}

void ToggleHardwareColors(AppState& state)
{
    state.view.hardwareColors = !state.view.hardwareColors;
    LoadLevelTables(state);
}

void ToggleDarkBit(AppState& state)
{
    state.view.useDarkBit = !state.view.useDarkBit;
    LoadLevelTables(state);
}

void ToggleSimpleFade(AppState& state)
{
    state.view.simpleFade = !state.view.simpleFade;
}

} // namespace palfade
