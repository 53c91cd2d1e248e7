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
    TableStats stats;
    stats.steps = frames.steps;
    stats.palettes = frames.palettes;
    stats.colors = frames.colors;
    stats.words = static_cast<std::int64_t>(frames.steps) * frames.palettes * frames.colors;
    stats.bytes = 2 * stats.words;
    const auto frame = static_cast<std::ptrdiff_t>(frames.palettes) * frames.colors;
    for (int s = 1; s < frames.steps; ++s) {
        const auto at = frames.words.begin() + s * frame;
        if (std::equal(at, at + frame, at - frame))
            ++stats.repeats;
    }
    return stats;
}

std::string StatsLine(const TableStats& stats)
{
    return Counted(stats.steps, "step", "steps") + " x " + Counted(stats.palettes, "palette", "palettes") + " x " +
           Counted(stats.colors, "colour", "colours") + " = " + Counted(stats.words, "word", "words") + " (" +
           Counted(stats.bytes, "byte", "bytes") + "); " +
           Counted(stats.repeats, "step repeats", "steps repeat") + " the one before";
}

} // namespace palfade
