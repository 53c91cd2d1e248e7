#include "table_stats.h"

#include <algorithm>

namespace palfade {
namespace {

std::string Counted(std::int64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

TableStats MeasureTable(const ScreenFadeWords& frames)
{
    TableMeter meter(frames.palettes, frames.colors);
    const auto frame = static_cast<std::size_t>(frames.palettes) * static_cast<std::size_t>(frames.colors);
    for (int s = 0; s < frames.steps; ++s)
        meter.Frame(std::span<const HwColor>(frames.words).subspan(static_cast<std::size_t>(s) * frame, frame));
    return meter.Stats();
}

TableMeter::TableMeter(int palettes, int colors)
{
    stats_.palettes = palettes;
    stats_.colors = colors;
}

void TableMeter::Frame(std::span<const HwColor> words)
{
    if (stats_.steps > 0 && std::equal(words.begin(), words.end(), previous_.begin(), previous_.end()))
        ++stats_.repeats;
    previous_.assign(words.begin(), words.end());
    ++stats_.steps;
    stats_.words += static_cast<std::int64_t>(words.size());
    stats_.bytes = 2 * stats_.words;
}

std::string StatsLine(const TableStats& stats)
{
    return Counted(stats.steps, "step", "steps") + " x " + Counted(stats.palettes, "palette", "palettes") + " x " +
           Counted(stats.colors, "colour", "colours") + " = " + Counted(stats.words, "word", "words") + " (" +
           Counted(stats.bytes, "byte", "bytes") + "); " +
           Counted(stats.repeats, "step repeats", "steps repeat") + " the one before";
}

} // namespace palfade
