// Recolouring one 320 x 224 frame of art (the Neo Geo's screen) by a fade
// step, indexed and true colour, and matching a true-colour picture to the
// top palette, which the window does again after every palette change.

#include "render/art_recolour.h"

#include <benchmark/benchmark.h>

namespace palfade {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 224;

FadeTable Fade()
{
    SourcePalette top{};
    for (int i = 0; i < kPaletteSize; ++i)
        top[static_cast<std::size_t>(i)] = {2 * i, 31 - i, i, 0};
    FadeTable table;
    ComputeFade(FadeInputs{top, SourcePalette{}, 32}, table);
    return table;
}

// Every index of a 64-entry table, in short runs as tiles draw them.
ArtPicture IndexedArt()
{
    ArtPicture art;
    art.width = kWidth;
    art.height = kHeight;
    for (int n = 0; n < 64; ++n)
        art.table.push_back(0xFF000000u | static_cast<std::uint32_t>(n * 0x030201));
    art.indices.resize(static_cast<std::size_t>(kWidth) * kHeight);
    for (std::size_t p = 0; p < art.indices.size(); ++p)
        art.indices[p] = static_cast<std::uint8_t>((p / 3 + p / kWidth) % 64);
    return art;
}

ArtPicture TrueColourArt(const FadeTable& fade, const LevelTable& levels)
{
    ArtPicture art;
    art.width = kWidth;
    art.height = kHeight;
    art.colours.resize(static_cast<std::size_t>(kWidth) * kHeight);
    for (std::size_t p = 0; p < art.colours.size(); ++p) {
        const int i = static_cast<int>((p / 3 + p / kWidth) % 20);
        art.colours[p] = i < kPaletteSize ? DisplayToPixel(DisplayColor(levels, fade.at(i, 0))) & 0xFFFFFFu
                                          : static_cast<std::uint32_t>(i * 0x0B0A09);
    }
    return art;
}

void BM_RecolourIndexed(benchmark::State& st)
{
    const FadeTable fade = Fade();
    const ArtPicture art = IndexedArt();
    const ArtMap map = MapArt(art, LinearLevelSet(), SourcePalette{});
    PixelBuffer out;
    int step = 0;
    for (auto _ : st) {
        ArtColours colours = OwnArtColours(art);
        PutFadeStep(fade, step, 1, LinearLevelSet(), colours);
        RecolourArt(art, map, colours, out);
        benchmark::DoNotOptimize(out.pixels.data());
        step = (step + 1) % fade.steps();
    }
}
BENCHMARK(BM_RecolourIndexed)->Unit(benchmark::kMicrosecond);

void BM_RecolourTrueColour(benchmark::State& st)
{
    const FadeTable fade = Fade();
    const ArtPicture art = TrueColourArt(fade, LinearLevelSet());
    SourcePalette top{};
    for (int i = 0; i < kPaletteSize; ++i)
        top[static_cast<std::size_t>(i)] = fade.at(i, 0);
    const ArtMap map = MapArt(art, LinearLevelSet(), top);
    PixelBuffer out;
    int step = 0;
    for (auto _ : st) {
        ArtColours colours = OwnArtColours(art);
        PutFadeStep(fade, step, 0, LinearLevelSet(), colours);
        RecolourArt(art, map, colours, out);
        benchmark::DoNotOptimize(out.pixels.data());
        step = (step + 1) % fade.steps();
    }
}
BENCHMARK(BM_RecolourTrueColour)->Unit(benchmark::kMicrosecond);

void BM_MapTrueColour(benchmark::State& st)
{
    const FadeTable fade = Fade();
    const ArtPicture art = TrueColourArt(fade, LinearLevelSet());
    SourcePalette top{};
    for (int i = 0; i < kPaletteSize; ++i)
        top[static_cast<std::size_t>(i)] = fade.at(i, 0);
    for (auto _ : st) {
        const ArtMap map = MapArt(art, LinearLevelSet(), top);
        benchmark::DoNotOptimize(map.entries.data());
    }
}
BENCHMARK(BM_MapTrueColour)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace palfade

BENCHMARK_MAIN();
