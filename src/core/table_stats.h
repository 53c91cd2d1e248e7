#pragma once
// What a fade table costs a game: its size in ROM and the steps that upload
// nothing new.

#include "screen_fade.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace palfade {

struct TableStats {
    int steps = 0;
    int palettes = 0;
    int colors = 0;
    std::int64_t words = 0;
    std::int64_t bytes = 0;
    // Steps whose frame, every palette's words together, equals the frame
    // before: a game uploads a whole frame, so a step repeats only when no
    // palette of it changes.
    int repeats = 0;
};

TableStats MeasureTable(const ScreenFadeWords& frames);

// The same frame by frame, as an export written while it is computed
// passes them: only the frame before is held.
class TableMeter {
public:
    TableMeter(int palettes, int colors);
    void Frame(std::span<const HwColor> words);
    const TableStats& Stats() const { return stats_; }

private:
    TableStats stats_;
    std::vector<HwColor> previous_;
};

// "32 steps x 3 palettes x 16 colours = 1536 words (3072 bytes); 5 steps
// repeat the one before"
std::string StatsLine(const TableStats& stats);

} // namespace palfade
