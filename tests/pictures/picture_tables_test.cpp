#include "pictures/picture_tables.h"
#include "support/picture_bytes.h"

#include <gtest/gtest.h>

#include <QBuffer>

namespace palfade {
namespace {

using test::Rgbs;

std::optional<std::vector<std::uint32_t>> Opaque(const std::optional<Rgbs>& rgbs)
{
    if (!rgbs)
        return std::nullopt;
    std::vector<std::uint32_t> table;
    for (std::uint32_t c : *rgbs)
        table.push_back(0xFF000000u | c);
    return table;
}

std::optional<std::vector<std::uint32_t>> TableOf(const QByteArray& bytes, qint64* readTo = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    std::optional<std::vector<std::uint32_t>> table = StoredColorTable(buffer);
    if (readTo != nullptr)
        *readTo = buffer.pos();
    return table;
}

const Rgbs kBlackWhite{0x000000, 0xFFFFFF};
const Rgbs kFour{0x102030, 0x405060, 0x708090, 0xA0B0C0};
const Rgbs kTwoOther{0xFF0000, 0x00FF00};

TEST(StoredColorTable, TablesInFileOrder)
{
    Rgbs sixteen;
    for (std::uint32_t k = 0; k < 16; ++k)
        sixteen.push_back(0x111111u * (15 - k));
    Rgbs full256;
    for (std::uint32_t k = 0; k < 256; ++k)
        full256.push_back(k << 8);
    const struct {
        const char* what;
        QByteArray bytes;
        std::optional<Rgbs> expected;
    } rows[] = {
        // Qt's reader turns the 1-bit table of black then white around.
        {"1-bit BMP", test::Bmp(1, kBlackWhite), kBlackWhite},
        {"1-bit BMP white first", test::Bmp(1, {0xFFFFFF, 0x000000}), Rgbs{0xFFFFFF, 0x000000}},
        {"4-bit BMP", test::Bmp(4, sixteen), sixteen},
        {"4-bit BMP of 4 used colours", test::Bmp(4, kFour, false, 4), kFour},
        {"8-bit BMP", test::Bmp(8, full256), full256},
        {"8-bit BMP, OS/2 header", test::Bmp(8, full256, true), full256},
        {"BMP table cut by its pixels", test::Bmp(8, kFour), kFour},
        {"24-bit BMP", test::Bmp(24, {}), std::nullopt},
        {"indexed PNG", test::Png(8, 3, kFour), kFour},
        {"1-bit indexed PNG", test::Png(1, 3, kBlackWhite), kBlackWhite},
        // Greyscale has no table, whatever Qt's reader makes up for it.
        {"1-bit grey PNG", test::Png(1, 0, std::nullopt), std::nullopt},
        {"4-bit grey PNG", test::Png(4, 0, std::nullopt), std::nullopt},
        {"8-bit grey PNG", test::Png(8, 0, std::nullopt), std::nullopt},
        {"RGB PNG with a suggested PLTE", test::Png(8, 2, kFour), std::nullopt},
        {"GIF local table", test::Gif(kFour, kTwoOther), kTwoOther},
        {"GIF global table", test::Gif(kFour, std::nullopt), kFour},
        {"GIF local table after 2 MiB of comment", test::Gif(kFour, kTwoOther, 2 << 20), kTwoOther},
        {"GIF without tables", test::Gif(std::nullopt, std::nullopt), std::nullopt},
        {"GIF global table cut short", test::Gif(kFour, kTwoOther).first(16), std::nullopt},
        {"GIF ending in its comment", test::Gif(kFour, kTwoOther, 600).first(300), kFour},
        {"JPEG", QByteArray("\xFF\xD8\xFF\xE0", 4), std::nullopt},
        {"nothing", QByteArray(), std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TableOf(row.bytes), Opaque(row.expected)) << row.what;
}

TEST(StoredColorTable, ReadsNoFurtherThanTheTable)
{
    const QByteArray gif = test::Gif(kFour, kTwoOther, 5000);
    qint64 readTo = 0;
    ASSERT_TRUE(TableOf(gif, &readTo).has_value());
    EXPECT_EQ(readTo, gif.size() - 6); // the image data and trailer stay unread
}

} // namespace
} // namespace palfade
