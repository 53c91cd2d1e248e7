#include "core/fade_choices.h"

#include <gtest/gtest.h>

namespace palfade {
namespace {

std::optional<FadeCurve> FadeCurveByName(std::string_view name)
{
    for (const FadeCurveName& entry : kFadeCurveNames)
        if (entry.name == name)
            return entry.value;
    return std::nullopt;
}

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

// The window shows a mask, and writes it on palfade-cli's command line.
TEST(FadeChoicesTest, KeepListTextIsTheShortestListParseKeepListReadsBack)
{
    EXPECT_EQ(KeepListText(0x0000), "");
    EXPECT_EQ(KeepListText(0x0001), "0");
    EXPECT_EQ(KeepListText(0x0003), "0,1");
    EXPECT_EQ(KeepListText(0xE001), "0,13-15");
    EXPECT_EQ(KeepListText(0xFFFF), "0-15");
    for (unsigned mask = 1; mask <= 0xFFFF; ++mask)
        ASSERT_EQ(ParseKeepList(KeepListText(static_cast<KeepMask>(mask))), mask) << mask;
}

TEST(FadeChoicesTest, CurveNames)
{
    EXPECT_EQ(FadeCurveByName("linear"), FadeCurve::Linear);
    EXPECT_EQ(FadeCurveByName("ease-in"), FadeCurve::EaseIn);
    EXPECT_EQ(FadeCurveByName("ease-out"), FadeCurve::EaseOut);
    EXPECT_EQ(FadeCurveByName("ease-in-out"), FadeCurve::EaseInOut);
    EXPECT_EQ(FadeCurveByName("ease-inout"), std::nullopt);
    EXPECT_EQ(FadeCurveByName("Linear"), std::nullopt);
    for (const FadeCurveName& entry : kFadeCurveNames)
        EXPECT_EQ(FadeCurveText(entry.value), entry.name);
}

} // namespace
} // namespace palfade
