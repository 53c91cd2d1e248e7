#include "fade_engine.h"

#include <cmath>

namespace palfade {
namespace {

// The three colour fields of a cell, as an array of channel pointers.
constexpr std::int32_t FadeCell::*kChannels[3] = {&FadeCell::red, &FadeCell::green, &FadeCell::blue};
constexpr std::int32_t PaletteEntry::*kEntryChannels[3] = {&PaletteEntry::red, &PaletteEntry::green,
                                                          &PaletteEntry::blue};

void SetCell(FadeCell& cell, const PaletteEntry& e)
{
    cell.red = e.red;
    cell.green = e.green;
    cell.blue = e.blue;
    cell.dark = e.dark;
}

void SeedIndices(FadeCell& cell, const PaletteEntry& e)
{
    for (int k = 0; k < 3; ++k)
        cell.*kChannels[k] = IntensityIndex(e.*kEntryChannels[k], e.dark);
    cell.dark = e.dark;
}

// The running value is single precision and each step subtracts from it,
// rounding back to single precision: the stored fade tables depend on the
// error accumulating exactly this way (first - s * step gives other values
// near halves). Halves round up; the value is never negative.
// The 16 colours are independent chains; stepping them side by side keeps
// the processor busy instead of waiting on one chain's latency.
void Interpolate(FadeTable& t, int last)
{
    for (auto channel : kChannels) {
        float v[kPaletteSize];
        double step[kPaletteSize];
        for (int j = 0; j < kPaletteSize; ++j) {
            const int first = t.at(j, 0).*channel;
            const int end = t.at(j, last).*channel;
            step[j] = static_cast<double>(first - end) / static_cast<double>(last);
            v[j] = static_cast<float>(first);
        }
        for (int s = 1; s < last; ++s) {
            for (int j = 0; j < kPaletteSize; ++j) {
                v[j] = static_cast<float>(static_cast<double>(v[j]) - step[j]);
                // v + 0.5 is above -1, where truncation equals floor.
                t.at(j, s).*channel = static_cast<std::int32_t>(static_cast<double>(v[j]) + 0.5);
            }
        }
    }
}

double CurveAt(FadeCurve curve, double t)
{
    switch (curve) {
    case FadeCurve::EaseIn:
        return t * t;
    case FadeCurve::EaseOut:
        return 1.0 - (1.0 - t) * (1.0 - t);
    case FadeCurve::EaseInOut:
        return 3.0 * t * t - 2.0 * t * t * t;
    case FadeCurve::Linear:
        break;
    }
    return t;
}

// The eased ramps compute every step from the two ends in double precision,
// with no running value: they have no stored tables to match.
void InterpolateEased(FadeTable& t, int last, FadeCurve curve)
{
    for (int s = 1; s < last; ++s) {
        const double f = CurveAt(curve, static_cast<double>(s) / static_cast<double>(last));
        for (int j = 0; j < kPaletteSize; ++j)
            for (auto channel : kChannels) {
                const int first = t.at(j, 0).*channel;
                const int end = t.at(j, last).*channel;
                t.at(j, s).*channel = static_cast<std::int32_t>(std::floor(first + (end - first) * f + 0.5));
            }
    }
}

// One intensity step (half a level) per palette towards the last palette;
// a channel that has arrived stays there.
void HalfStepWalk(FadeTable& t, int last)
{
    for (auto channel : kChannels) {
        int m[kPaletteSize];
        int target[kPaletteSize];
        for (int j = 0; j < kPaletteSize; ++j) {
            m[j] = t.at(j, 0).*channel;
            target[j] = t.at(j, last).*channel;
        }
        for (int s = 1; s < last; ++s) {
            for (int j = 0; j < kPaletteSize; ++j) {
                if (m[j] > target[j])
                    --m[j];
                if (m[j] < target[j])
                    ++m[j];
                t.at(j, s).*channel = m[j];
            }
        }
    }
}

void ApplyDarkBitDecision(FadeTable& t, int last, bool darkAllowed)
{
    for (int s = 1; s < last; ++s) {
        for (int j = 0; j < kPaletteSize; ++j) {
            FadeCell& c = t.at(j, s);
            const PaletteEntry e = EntryFromIndices(c.red, c.green, c.blue, darkAllowed);
            SetCell(c, e);
        }
    }
}

// One level per palette on plain levels; the dark bit of palette 1 is carried
// through every computed palette.
void LevelWalk(FadeTable& t, int last, const FadeInputs& in)
{
    for (int j = 0; j < kPaletteSize; ++j) {
        SetCell(t.at(j, 0), in.top[static_cast<std::size_t>(j)]);
        SetCell(t.at(j, last), in.bottom[static_cast<std::size_t>(j)]);
    }
    for (int s = 1; s < last; ++s) {
        for (int j = 0; j < kPaletteSize; ++j) {
            const FadeCell& prev = t.at(j, s - 1);
            const FadeCell& target = t.at(j, last);
            FadeCell& cell = t.at(j, s);
            for (auto channel : kChannels) {
                int m = prev.*channel;
                if (m > target.*channel)
                    --m;
                if (m < target.*channel)
                    ++m;
                cell.*channel = m;
            }
            cell.dark = prev.dark;
        }
    }
}

} // namespace

void FadeTable::Reset(int steps)
{
    steps_ = steps;
    cells_.assign(static_cast<std::size_t>(kPaletteSize) * static_cast<std::size_t>(steps), FadeCell{});
}

void ComputeFade(const FadeInputs& in, FadeTable& table)
{
    const int count = in.paletteCount;
    const int last = count - 1;
    table.Reset(count);

    for (int j = 0; j < kPaletteSize; ++j) {
        SeedIndices(table.at(j, 0), in.top[static_cast<std::size_t>(j)]);
        SeedIndices(table.at(j, last), in.bottom[static_cast<std::size_t>(j)]);
    }

    if (!in.simpleFade) {
        if (in.curve == FadeCurve::Linear)
            Interpolate(table, last);
        else
            InterpolateEased(table, last, in.curve);
        ApplyDarkBitDecision(table, last, in.useDarkBit);
    } else if (in.useDarkBit) {
        HalfStepWalk(table, last);
        ApplyDarkBitDecision(table, last, true);
    } else {
        LevelWalk(table, last, in);
    }

    for (int j = 0; j < kPaletteSize; ++j) {
        SetCell(table.at(j, 0), in.top[static_cast<std::size_t>(j)]);
        SetCell(table.at(j, last), in.bottom[static_cast<std::size_t>(j)]);
    }
    for (int j = 0; j < kPaletteSize; ++j)
        if ((in.keep >> j) & 1)
            for (int s = 1; s < count; ++s)
                SetCell(table.at(j, s), in.top[static_cast<std::size_t>(j)]);
}

std::vector<int> StepOrder(int steps, bool thereAndBack)
{
    std::vector<int> order;
    for (int s = 0; s < steps; ++s)
        order.push_back(s);
    if (thereAndBack)
        for (int s = steps - 2; s >= 0; --s)
            order.push_back(s);
    return order;
}

void ReorderSteps(FadeTable& table, const std::vector<int>& order)
{
    const FadeTable source = table;
    table.Reset(static_cast<int>(order.size()));
    for (int j = 0; j < kPaletteSize; ++j)
        for (std::size_t s = 0; s < order.size(); ++s)
            table.at(j, static_cast<int>(s)) = source.at(j, order[s]);
}

} // namespace palfade
