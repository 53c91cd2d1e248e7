#include "fade_engine.h"

#include <algorithm>
#include <cmath>

namespace palfade {
namespace {

// A palette's channels side by side, a colour channel at a time: entry j's
// red, green and blue at j, 16 + j and 32 + j.
constexpr int kChannelCount = 3 * kPaletteSize;

// Intensity indices run 0-63, so a pair of them is a 64 x 64 table index.
constexpr int kIndexCount = 2 * (kMaxLevel + 1);
constexpr int kIndexPairs = kIndexCount * kIndexCount;

void SetCell(FadeCell& cell, const PaletteEntry& e)
{
    cell.red = e.red;
    cell.green = e.green;
    cell.blue = e.blue;
    cell.dark = e.dark;
}

// The running value is single precision and each step subtracts from it,
// rounding back to single precision: the stored fade tables depend on the
// error accumulating exactly this way (first - s * step gives other values
// near halves). Halves round up; the value is never negative.
double RunningStep(std::int32_t first, std::int32_t end, int last)
{
    return static_cast<double>(first - end) / static_cast<double>(last);
}

float NextRunningValue(float value, double step)
{
    return static_cast<float>(static_cast<double>(value) - step);
}

// v + 0.5 is above -1, where truncation equals floor.
std::int32_t RunningIndex(float value)
{
    return static_cast<std::int32_t>(static_cast<double>(value) + 0.5);
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

// One step towards `to` per palette, staying there once arrived: where a walk
// from `from` is after `steps` of them.
std::int32_t Walked(std::int32_t from, std::int32_t to, int steps)
{
    return from < to ? std::min(to, from + steps) : std::max(to, from - steps);
}

bool Interpolates(const FadeShape& shape)
{
    // With two palettes or fewer no step lies between the ends.
    return !shape.simpleFade && shape.curve == FadeCurve::Linear && shape.paletteCount > 2;
}

// What the computed steps read of a fade's two palettes: each channel's
// intensity index at either end, and the top's dark bits.
struct FadeEnds {
    FadeEnds(const SourcePalette& top, const SourcePalette& bottom)
    {
        for (std::size_t j = 0; j < kPaletteSize; ++j)
            Set(static_cast<int>(j), top[j], bottom[j]);
    }
    FadeEnds(const PaletteWords& top, const PaletteWords& bottom)
    {
        for (std::size_t j = 0; j < kPaletteSize; ++j)
            Set(static_cast<int>(j), DecodeHwColor(top[j]), DecodeHwColor(bottom[j]));
    }

    std::int32_t first[kChannelCount];
    std::int32_t last[kChannelCount];
    std::int32_t topDark[kPaletteSize];

private:
    void Set(int j, const PaletteEntry& a, const PaletteEntry& b)
    {
        first[j] = IntensityIndex(a.red, a.dark);
        first[kPaletteSize + j] = IntensityIndex(a.green, a.dark);
        first[2 * kPaletteSize + j] = IntensityIndex(a.blue, a.dark);
        last[j] = IntensityIndex(b.red, b.dark);
        last[kPaletteSize + j] = IntensityIndex(b.green, b.dark);
        last[2 * kPaletteSize + j] = IntensityIndex(b.blue, b.dark);
        topDark[j] = a.dark;
    }
};

// The entries of step `step`, strictly between the ends, each handed to
// put(j, entry). The straight interpolation's indices of the step are
// `interpolated`, from running values the caller keeps.
template <class Put>
void ComputedStep(const FadeShape& shape, int step, const FadeEnds& ends, const std::int32_t* interpolated,
                  const Put& put)
{
    if (shape.simpleFade && !shape.useDarkBit) {
        // One level per palette on plain levels (an index's level is half
        // of it, rounded down); the dark bit of palette 1 is carried through
        // every computed palette.
        std::int32_t level[kChannelCount];
        for (int i = 0; i < kChannelCount; ++i)
            level[i] = Walked(ends.first[i] >> 1, ends.last[i] >> 1, step);
        for (int j = 0; j < kPaletteSize; ++j)
            put(j, PaletteEntry{level[j], level[kPaletteSize + j], level[2 * kPaletteSize + j], ends.topDark[j]});
        return;
    }
    // The interpolation, straight or eased, or one intensity step (half a
    // level) per palette; then the dark-bit decision.
    std::int32_t computed[kChannelCount];
    const std::int32_t* index = interpolated;
    if (shape.simpleFade) {
        for (int i = 0; i < kChannelCount; ++i)
            computed[i] = Walked(ends.first[i], ends.last[i], step);
        index = computed;
    } else if (shape.curve != FadeCurve::Linear) {
        // From the two ends in double precision: no stored tables to match.
        const double f = CurveAt(shape.curve, static_cast<double>(step) / static_cast<double>(shape.paletteCount - 1));
        for (int i = 0; i < kChannelCount; ++i)
            computed[i] =
                static_cast<std::int32_t>(std::floor(ends.first[i] + (ends.last[i] - ends.first[i]) * f + 0.5));
        index = computed;
    }
    for (int j = 0; j < kPaletteSize; ++j)
        put(j, EntryFromIndices(index[j], index[kPaletteSize + j], index[2 * kPaletteSize + j], shape.useDarkBit));
}

// Step `step` of the fade from top to bottom, as entries or as words: the
// top first, the bottom last, computed between (`compute` fills them in),
// and a kept entry the top's in every step.
template <class Palette, class Compute>
void StepOf(const FadeShape& shape, int step, const Palette& top, const Palette& bottom, Palette& out,
            const Compute& compute)
{
    if (step == shape.paletteCount - 1)
        out = bottom;
    else if (step == 0)
        out = top;
    else
        compute(out);
    if (step > 0)
        for (std::size_t j = 0; j < kPaletteSize; ++j)
            if ((shape.keep >> j) & 1)
                out[j] = top[j];
}

} // namespace

void FadeTable::Reset(int steps)
{
    steps_ = steps;
    cells_.assign(static_cast<std::size_t>(kPaletteSize) * static_cast<std::size_t>(steps), FadeCell{});
}

FadeShape ShapeOf(const FadeInputs& in)
{
    return FadeShape{in.paletteCount, in.simpleFade, in.useDarkBit, in.curve, in.keep};
}

void ComputeFade(const FadeInputs& in, FadeTable& table)
{
    const FadeShape shape = ShapeOf(in);
    const int last = in.paletteCount - 1;
    const FadeEnds ends(in.top, in.bottom);
    table.Reset(in.paletteCount);

    // One running value per channel. The 48 channels are independent
    // chains; stepping them side by side keeps the processor busy instead
    // of waiting on one chain's latency.
    float value[kChannelCount] = {};
    double step[kChannelCount] = {};
    std::int32_t reached[kChannelCount] = {};
    const bool runs = Interpolates(shape);
    if (runs)
        for (int i = 0; i < kChannelCount; ++i) {
            step[i] = RunningStep(ends.first[i], ends.last[i], last);
            value[i] = static_cast<float>(ends.first[i]);
        }

    SourcePalette entries;
    for (int s = 0; s < in.paletteCount; ++s) {
        StepOf(shape, s, in.top, in.bottom, entries, [&](SourcePalette& out) {
            if (runs)
                for (int i = 0; i < kChannelCount; ++i) {
                    value[i] = NextRunningValue(value[i], step[i]);
                    reached[i] = RunningIndex(value[i]);
                }
            ComputedStep(shape, s, ends, reached, [&out](int j, const PaletteEntry& e) { out[static_cast<std::size_t>(j)] = e; });
        });
        for (int j = 0; j < kPaletteSize; ++j)
            SetCell(table.at(j, s), entries[static_cast<std::size_t>(j)]);
    }
}

FadeSteps::FadeSteps(const FadeShape& shape) : shape_(shape)
{
    if (!Interpolates(shape))
        return;
    const int last = shape.paletteCount - 1;
    std::vector<float> value(kIndexPairs);
    std::vector<double> step(kIndexPairs);
    for (int a = 0; a < kIndexCount; ++a)
        for (int b = 0; b < kIndexCount; ++b) {
            step[static_cast<std::size_t>(a * kIndexCount + b)] = RunningStep(a, b, last);
            value[static_cast<std::size_t>(a * kIndexCount + b)] = static_cast<float>(a);
        }
    interpolated_.resize(static_cast<std::size_t>(last) * kIndexPairs);
    for (int s = 1; s < last; ++s) {
        std::uint8_t* row = interpolated_.data() + static_cast<std::size_t>(s) * kIndexPairs;
        for (std::size_t i = 0; i < kIndexPairs; ++i) {
            value[i] = NextRunningValue(value[i], step[i]);
            row[i] = static_cast<std::uint8_t>(RunningIndex(value[i]));
        }
    }
}

PaletteWords FadeSteps::Words(int step, const PaletteWords& top, const PaletteWords& bottom) const
{
    PaletteWords words;
    StepOf(shape_, step, top, bottom, words, [&](PaletteWords& out) {
        const FadeEnds ends(top, bottom);
        std::int32_t interpolated[kChannelCount];
        if (!interpolated_.empty()) {
            const std::uint8_t* row = interpolated_.data() + static_cast<std::size_t>(step) * kIndexPairs;
            for (int i = 0; i < kChannelCount; ++i)
                interpolated[i] = row[ends.first[i] * kIndexCount + ends.last[i]];
        }
        ComputedStep(shape_, step, ends, interpolated,
                     [&out](int j, const PaletteEntry& e) { out[static_cast<std::size_t>(j)] = EncodeHwColor(e); });
    });
    return words;
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
