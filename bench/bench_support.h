#pragma once
// Runs the registered benchmarks and prints, after the table, the ratio of
// each named benchmark's time to a reference benchmark (the plain fill of the
// same buffer: the memory-bandwidth floor).

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

} // namespace palfade::bench
