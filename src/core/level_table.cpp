#include "level_table.h"

namespace palfade {
namespace {

// Display level of each level on the real hardware: dark version, normal version.
constexpr std::array<std::array<std::int16_t, 2>, 32> kHardwareLevels{{
    {0, 0},     {8, 8},     {14, 14},   {21, 22},   {30, 30},   {38, 38},   {44, 44},
    {51, 52},   {64, 65},   {71, 73},   {77, 79},   {85, 86},   {94, 95},   {101, 103},
    {107, 109}, {115, 117}, {136, 138}, {144, 146}, {150, 152}, {158, 160}, {166, 169},
    {174, 176}, {180, 182}, {188, 190}, {200, 203}, {208, 211}, {214, 217}, {221, 225},
    {230, 233}, {238, 241}, {244, 247}, {251, 255},
}};

// Largest index whose forward value is not above v: a level between two table
// values maps to the lower one.
void BuildInverse(LevelTable& t)
{
    for (int v = 0; v < 256; ++v) {
        std::int16_t best = 0;
        for (int i = 0; i < kIntensityCount; ++i)
            if (t.forward[static_cast<std::size_t>(i)] <= v)
                best = static_cast<std::int16_t>(i);
        t.inverse[static_cast<std::size_t>(v)] = best;
    }
}

LevelTable MakeLinearSet()
{
    LevelTable t;
    t.forward[0] = 0;
    // (i - 1) * 255 / 62, an exact half rounded up.
    for (int i = 1; i < kIntensityCount; ++i)
        t.forward[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>((2 * (i - 1) * 255 + 62) / 124);
    BuildInverse(t);
    return t;
}

LevelTable MakeHardwareSet()
{
    LevelTable t;
    for (int level = 0; level <= kMaxLevel; ++level) {
        t.forward[static_cast<std::size_t>(2 * level)] = kHardwareLevels[static_cast<std::size_t>(level)][0];
        t.forward[static_cast<std::size_t>(2 * level + 1)] = kHardwareLevels[static_cast<std::size_t>(level)][1];
    }
    BuildInverse(t);
    return t;
}

} // namespace

const LevelTable& LinearLevelSet()
{
    static const LevelTable set = MakeLinearSet();
    return set;
}

const LevelTable& HardwareLevelSet()
{
    static const LevelTable set = MakeHardwareSet();
    return set;
}

void LoadLevelTables(LevelTable& working, bool hardwareColors)
{
    working = hardwareColors ? HardwareLevelSet() : LinearLevelSet();
}

} // namespace palfade
