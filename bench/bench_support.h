#pragma once
// Runs the registered benchmarks and prints, after the table, the ratio of
// each named benchmark's time to a reference benchmark (the plain fill of the
// same buffer: the memory-bandwidth floor).

#include "core/app_state.h"
#include "core/hw_color.h"

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

namespace palfade::bench {

struct Ratio {
    std::string name;      // benchmark whose time is measured
    std::string reference; // benchmark it is compared with
    double target;         // the ratio it should stay within
};

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);

// Sixteen assorted colours; different seeds give different palettes.
SourcePalette SampleColours(int seed);

// The largest fade and preview: 256 palettes of 16 sample colours, zoom 4,
// grid shown.
AppState LargestPreviewState();

// The memory-bandwidth floor: a plain fill of a buffer the size of the
// largest preview (16 colours x 256 palettes x zoom 4 = 512 x 8192).
void BM_Fill(benchmark::State& st);

} // namespace palfade::bench
