#include "core/app_state.h"
#include "core/palette_commands.h"

#include <gtest/gtest.h>

#include <optional>

namespace palfade {
namespace {

SourcePalette Ramp(int offset)
{
    SourcePalette p{};
    for (int j = 0; j < 16; ++j)
        p[static_cast<std::size_t>(j)] = DecodeHwColor(static_cast<HwColor>(0x8421 * j + offset));
    return p;
}

TEST(AppStateTest, StartsFromTheDefaults)
{
    const AppState s;
    EXPECT_EQ(s.paletteCount, 16);
    EXPECT_EQ(s.colorCount, 16);
    EXPECT_EQ(s.view, ViewSettings{});
    EXPECT_EQ(s.view.zoom, 1);
    EXPECT_FALSE(s.view.showGrid || s.view.hardwareColors || s.view.useDarkBit || s.view.simpleFade);
    EXPECT_EQ(s.view.gridColor, 0xFF00FFu);
    EXPECT_EQ(s.areaColor, 0x808080u);
    EXPECT_FALSE(s.quitRequested);
    EXPECT_EQ(s.palettes[0], SourcePalette{});
    EXPECT_EQ(s.palettes[1], SourcePalette{});
    EXPECT_EQ(s.fadeTable.steps(), 16);
    EXPECT_EQ(s.levels.forward, LinearLevelSet().forward);
    EXPECT_EQ(s.levels.inverse, LinearLevelSet().inverse);
}

TEST(PaletteCommandsTest, BlackAndWhiteClearEveryDarkBit)
{
    for (int which : {1, 2}) {
        AppState s;
        s.palettes[static_cast<std::size_t>(which - 1)] = Ramp(0x8000);
        SetPaletteWhite(s, which);
        const SourcePalette& p = s.palettes[static_cast<std::size_t>(which - 1)];
        EXPECT_EQ(p[0], (PaletteEntry{0, 0, 0, 0}));
        for (int j = 1; j < 16; ++j)
            EXPECT_EQ(p[static_cast<std::size_t>(j)], (PaletteEntry{31, 31, 31, 0}));
        SetPaletteBlack(s, which);
        EXPECT_EQ(p, SourcePalette{});
        EXPECT_EQ(s.palettes[static_cast<std::size_t>(2 - which)], SourcePalette{}); // the other one untouched
    }
}

TEST(PaletteCommandsTest, WordSourcesTakeOneToFourAsciiHexDigits)
{
    const struct {
        const char* src;
        std::optional<HwColor> word;
    } rows[] = {
        {"word:7C00", 0x7C00}, {"word:fFfF", 0xFFFF}, {"word:8", 0x0008}, {"word:0", 0x0000},
        {"word:", {}}, {"word:12345", {}}, {"word:7C0G", {}}, {"word:$7C00", {}}, {"word:0x1", {}},
        {"word: 7C0", {}}, {"word:7C0 ", {}}, {"word:\xEF\xBC\x97", {}} /* a full-width 7 */, {"Word:7C00", {}},
        {"7C00", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.src);
        const std::optional<SourcePalette> palette = WordSourcePalette(row.src);
        ASSERT_EQ(palette.has_value(), row.word.has_value());
        if (!palette)
            continue;
        EXPECT_EQ((*palette)[0], PaletteEntry{});
        for (int j = 1; j < 16; ++j)
            EXPECT_EQ(EncodeHwColor((*palette)[static_cast<std::size_t>(j)]), *row.word);
    }
}

TEST(PaletteCommandsTest, OtherPaletteNumbersChangeNothing)
{
    AppState s;
    s.palettes = {Ramp(0x8000), Ramp(3)};
    const auto before = s.palettes;
    for (int which : {0, 3, -1, 256}) {
        SetPaletteBlack(s, which);
        SetPaletteWhite(s, which);
        GreyscalePalette(s, which);
        EXPECT_EQ(PaletteByNumber(s, which), nullptr);
    }
    EXPECT_EQ(s.palettes, before);
}

TEST(PaletteCommandsTest, SwapExchangesDarkBitsAndTwiceRestores)
{
    AppState s;
    const SourcePalette a = Ramp(0x8000), b = Ramp(0x0123);
    s.palettes = {a, b};
    SwapPalettes(s);
    EXPECT_EQ(s.palettes[0], b);
    EXPECT_EQ(s.palettes[1], a);
    SwapPalettes(s);
    EXPECT_EQ(s.palettes[0], a);
    EXPECT_EQ(s.palettes[1], b);
}

TEST(PaletteCommandsTest, GreyscaleConvertsOnlyTheChosenPalette)
{
    AppState s;
    s.palettes = {Ramp(0x8000), Ramp(0x8000)};
    GreyscalePalette(s, 2);
    EXPECT_EQ(s.palettes[0], Ramp(0x8000));
    for (const PaletteEntry& e : s.palettes[1]) {
        EXPECT_EQ(e.red, e.green);
        EXPECT_EQ(e.green, e.blue);
        EXPECT_EQ(e.dark, 0);
    }
}

TEST(PaletteCommandsTest, NewResetsOnlyPalettesAndPaletteCount)
{
    AppState s;
    s.palettes = {Ramp(1), Ramp(2)};
    s.paletteCount = 200;
    s.colorCount = 5;
    s.view.zoom = 3;
    s.view.gridColor = 0x123456;
    ToggleGrid(s);
    ToggleHardwareColors(s);
    ToggleDarkBit(s);
    ToggleSimpleFade(s);
    const ViewSettings view = s.view;
    NewFade(s);
    EXPECT_EQ(s.paletteCount, 16);
    EXPECT_EQ(s.fadeTable.steps(), 16);
    EXPECT_EQ(s.palettes[0], SourcePalette{});
    EXPECT_EQ(s.palettes[1], SourcePalette{});
    EXPECT_EQ(s.colorCount, 5);
    EXPECT_EQ(s.view, view);
}

TEST(PaletteCommandsTest, TogglesFlipAndReloadTheLevelSet)
{
    AppState s;
    ToggleHardwareColors(s);
    EXPECT_TRUE(s.view.hardwareColors);
    EXPECT_EQ(s.levels.forward, HardwareLevelSet().forward);
    ToggleDarkBit(s); // the set depends on hardwareColors alone
    EXPECT_TRUE(s.view.useDarkBit);
    EXPECT_EQ(s.levels.inverse, HardwareLevelSet().inverse);
    ToggleHardwareColors(s);
    ToggleDarkBit(s);
    EXPECT_EQ(s.levels.forward, LinearLevelSet().forward);
    EXPECT_EQ(s.view, ViewSettings{});
}

TEST(AppStateTest, ComputeFadeReadsTheStateSettings)
{
    AppState s;
    SetPaletteWhite(s, 1);
    s.paletteCount = 3;
    s.view.useDarkBit = true;
    ComputeFade(s);
    ASSERT_EQ(s.fadeTable.steps(), 3);
    const FadeCell& mid = s.fadeTable.at(1, 1);
    EXPECT_EQ((PaletteEntry{mid.red, mid.green, mid.blue, mid.dark}), (PaletteEntry{16, 16, 16, 1}));
}

} // namespace
} // namespace palfade
