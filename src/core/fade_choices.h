#pragma once
// The written forms of the fade choices a command line makes: the curve
// names and lists of entries to keep.

#include "fade_engine.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace palfade {

struct FadeCurveName {
    std::string_view name;
    FadeCurve value;
};

inline constexpr std::array<FadeCurveName, 4> kFadeCurveNames{{
    {"linear", FadeCurve::Linear},
    {"ease-in", FadeCurve::EaseIn},
    {"ease-out", FadeCurve::EaseOut},
    {"ease-in-out", FadeCurve::EaseInOut},
}};

// "0" or "0,13-15": entries 0-15 and ascending ranges of them, separated by
// commas, decimal ASCII digits and nothing else. Anything else is none.
std::optional<KeepMask> ParseKeepList(std::string_view list);
// The shortest such list of a mask, runs of three or more as ranges
// ("0,13-15"); empty for none. ParseKeepList reads it back.
std::string KeepListText(KeepMask keep);
// The curve's written name: "linear", "ease-in", ...
std::string_view FadeCurveText(FadeCurve curve);

} // namespace palfade
