#include "core/fade_choices.h"

#include <gtest/gtest.h>

namespace palfade {
namespace {

TEST(FadeChoicesTest, KeepListsNameEntriesAndAscendingRanges)
{
    const struct {
        const char* list;
        std::optional<KeepMask> mask;
    } rows[] = {
        {"0", 0x0001},     {"0,13-15", 0xE001}, {"15", 0x8000}, {"0-15", 0xFFFF}, {"3-3,3", 0x0008},
        {"07", 0x0080},    {"", {}},            {"16", {}},     {"15-13", {}},    {"1,,2", {}},
        {"1,", {}},        {"-3", {}},          {"3-", {}},     {"1-2-3", {}},    {" 1", {}},
        {"1 ", {}},        {"+1", {}},          {"a", {}},      {"100", {}},      {"0x1", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseKeepList(row.list), row.mask) << '"' << row.list << '"';
}

TEST(FadeChoicesTest, CurveNames)
{
    for (const FadeCurveName& entry : kFadeCurveNames)
        EXPECT_EQ(FadeCurveByName(entry.name), entry.curve);
    EXPECT_EQ(FadeCurveByName("ease-inout"), std::nullopt);
    EXPECT_EQ(FadeCurveByName("Linear"), std::nullopt);
}

} // namespace
} // namespace palfade
