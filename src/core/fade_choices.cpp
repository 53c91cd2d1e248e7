#include "fade_choices.h"

namespace palfade {
namespace {

// An entry number 0-15 of one or two decimal digits.
std::optional<int> ParseEntry(std::string_view text)
{
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value >= kPaletteSize)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<KeepMask> ParseKeepList(std::string_view list)
{
    KeepMask mask = 0;
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        const std::size_t dash = item.find('-');
        const std::optional<int> first = ParseEntry(item.substr(0, dash));
        const std::optional<int> last = dash == std::string_view::npos ? first : ParseEntry(item.substr(dash + 1));
        if (!first || !last || *last < *first)
            return std::nullopt;
        for (int j = *first; j <= *last; ++j)
            mask = static_cast<KeepMask>(mask | (1u << j));
        if (comma == std::string_view::npos)
            return mask;
        list.remove_prefix(comma + 1);
    }
}

std::string KeepListText(KeepMask keep)
{
    std::string text;
    for (int j = 0; j < kPaletteSize; ++j) {
        if (((keep >> j) & 1) == 0)
            continue;
        int last = j;
        while (last + 1 < kPaletteSize && ((keep >> (last + 1)) & 1) != 0)
            ++last;
        if (!text.empty())
            text += ',';
        text += std::to_string(j);
        if (last - j >= 2) {
            text += '-';
            text += std::to_string(last);
        } else {
            last = j;
        }
        j = last;
    }
    return text;
}

std::string_view FadeCurveText(FadeCurve curve)
{
    for (const FadeCurveName& named : kFadeCurveNames)
        if (named.value == curve)
            return named.name;
    return kFadeCurveNames.front().name;
}

} // namespace palfade
