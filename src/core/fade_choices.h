#pragma once
// The written forms of the fade choices a command line makes: the curve
// names and lists of entries to keep.

#include "fade_engine.h"

#include <array>
#include <optional>
#include <string_view>

namespace palfade {

struct FadeCurveName {
    FadeCurve curve;
    std::string_view name;
};

inline constexpr std::array<FadeCurveName, 4> kFadeCurveNames{{
    {FadeCurve::Linear, "linear"},
    {FadeCurve::EaseIn, "ease-in"},
    {FadeCurve::EaseOut, "ease-out"},
    {FadeCurve::EaseInOut, "ease-in-out"},
}};

std::optional<FadeCurve> FadeCurveByName(std::string_view name);

// "0" or "0,13-15": entries 0-15 and ascending ranges of them, separated by
// commas, decimal ASCII digits and nothing else. Anything else is none.
std::optional<KeepMask> ParseKeepList(std::string_view list);

} // namespace palfade
