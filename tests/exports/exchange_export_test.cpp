#include "exports/exchange_export.h"
#include "exports/export_formats.h"
#include "sources/exchange_source.h"
#include "sources/picture_import.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <map>
#include <vector>

namespace palfade {
namespace {

QByteArray Exchange(ExchangeFormat format, const LevelTable& levels, const ExchangeHead& head,
                    const std::function<bool(LineWriter&)>& write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(StreamedExchange(format, levels, head, write)(buffer));
    return bytes;
}

// White, red level 16 with the dark bit and red level 1: in the linear set
// (2 * 32 - 1) * 255 / 62 = 128 and 2 * 1 * 255 / 62 = 8, halves up.
QByteArray Step3(ExchangeFormat format, const LevelTable& levels = LinearLevelSet())
{
    const HwColor words[] = {0x7FFF, 0x8800, 0x4000};
    return Exchange(format, levels, {QStringLiteral("title"), 3, 3}, [&](LineWriter& writer) {
        writer.Head();
        writer.Line(words, {{"step", 3}});
        return writer.Tail();
    });
}

TEST(ExchangeWriter, EachFormatAsItsToolsWriteIt)
{
    EXPECT_EQ(Step3(ExchangeFormat::Gimp), "GIMP Palette\nName: title\nColumns: 3\n#\n255 255 255\tstep 3 colour 0\n"
                                           "128   0   0\tstep 3 colour 1\n  8   0   0\tstep 3 colour 2\n");
    EXPECT_EQ(Step3(ExchangeFormat::Jasc), "JASC-PAL\r\n0100\r\n3\r\n255 255 255\r\n128 0 0\r\n8 0 0\r\n");
    EXPECT_EQ(Step3(ExchangeFormat::HexList), "ffffff\n800000\n080000\n");
    QByteArray act = QByteArray::fromHex("ffffff800000080000");
    act += QByteArray(768 - 9, '\0') + QByteArray::fromHex("0003ffff");
    EXPECT_EQ(Step3(ExchangeFormat::AdobeColorTable), act);
    // The hardware shows level 16 at 136 dark and 138 normal, level 1 at 8.
    EXPECT_EQ(Step3(ExchangeFormat::HexList, HardwareLevelSet()), "ffffff\n880000\n080000\n");
}

TEST(ExchangeWriter, ColoursAreNamedByTheirLineAndPlace)
{
    const PaletteWords words{};
    const QByteArray screen = Exchange(ExchangeFormat::Gimp, LinearLevelSet(), {QStringLiteral("s"), 2, 4},
                                       [&](LineWriter& writer) {
                                           writer.Head();
                                           writer.Line(std::span(words).first(2), {{"step", 1}, {"palette", 0}});
                                           writer.Line(std::span(words).first(2), {{"step", 1}, {"palette", 1}});
                                           return writer.Tail();
                                       });
    EXPECT_TRUE(screen.endsWith("step 1 palette 0 colour 1\n  0   0   0\tstep 1 palette 1 colour 0\n"
                                "  0   0   0\tstep 1 palette 1 colour 1\n"));
    const QByteArray palette = Exchange(ExchangeFormat::Gimp, LinearLevelSet(), {QStringLiteral("p\nq"), 16, 16},
                                        [&](LineWriter& writer) { return WritePaletteColors(writer, words); });
    EXPECT_TRUE(palette.startsWith("GIMP Palette\nName: p q\nColumns: 16\n#\n  0   0   0\tcolour 0\n"));
    EXPECT_TRUE(palette.endsWith("\tcolour 15\n"));
}

TEST(ExchangeWriter, AnAdobeColorTableHoldsAtMost256Colours)
{
    EXPECT_EQ(ExchangeCountRefusal(ExchangeFormat::AdobeColorTable, 256), std::nullopt);
    EXPECT_EQ(ExchangeCountRefusal(ExchangeFormat::AdobeColorTable, 272),
              QStringLiteral("an Adobe colour table holds at most 256 colours, not 272"));
    EXPECT_EQ(ExchangeCountRefusal(ExchangeFormat::HexList, 65536), std::nullopt);
    const std::vector<PaletteWords> sixteen(16, PaletteWords{});
    const QByteArray full = Exchange(ExchangeFormat::AdobeColorTable, LinearLevelSet(), {{}, 16, 256},
                                     [&](LineWriter& writer) { return WritePaletteSet(writer, sixteen); });
    EXPECT_EQ(full.size(), 772);
    EXPECT_TRUE(full.endsWith(QByteArray::fromHex("0100ffff")));
}

// Levels whose dark and normal versions the hardware shows alike.
bool HardwareTie(int level) { return level == 0 || level == 1 || level == 2 || level == 4 || level == 5 || level == 6; }

// The word a word's colour reads back as: itself, unless another word shows
// the same colour. Black without the dark bit reads as black with it; in the
// hardware set a dark word whose three levels are tied reads as its normal
// version, as a picture's colour does.
HwColor ReadBack(HwColor word, bool hardware)
{
    if (word == 0x0000)
        return 0x8000;
    const PaletteEntry e = DecodeHwColor(word);
    const bool tied = HardwareTie(e.red) && HardwareTie(e.green) && HardwareTie(e.blue);
    return hardware && e.dark == 1 && tied && word != 0x8000 ? static_cast<HwColor>(word & 0x7FFF) : word;
}

// The words whose display colour another word shows too.
TEST(ExchangeRoundTrip, WordsThatShareAColour)
{
    for (const bool hardware : {false, true}) {
        const LevelTable& levels = hardware ? HardwareLevelSet() : LinearLevelSet();
        std::map<DisplayRgb, std::vector<HwColor>> shown;
        for (int w = 0; w <= 0xFFFF; ++w)
            shown[DisplayColor(levels, DecodeHwColor(static_cast<HwColor>(w)))].push_back(static_cast<HwColor>(w));
        std::size_t shared = 0;
        for (const auto& [color, words] : shown) {
            if (words.size() == 1)
                continue;
            // Only a word and its dark version: black, and in the hardware
            // set every word whose three levels are tied.
            ASSERT_EQ(words.size(), 2u);
            EXPECT_EQ(words[1], words[0] | 0x8000);
            const PaletteEntry e = DecodeHwColor(words[0]);
            EXPECT_TRUE(hardware ? HardwareTie(e.red) && HardwareTie(e.green) && HardwareTie(e.blue) : words[0] == 0);
            ++shared;
        }
        EXPECT_EQ(shared, hardware ? 6u * 6u * 6u : 1u);
    }
}

// Every word written as its colour and read back with the same level set.
TEST(ExchangeRoundTrip, EveryWordInEveryFormatAndLevelSet)
{
    std::vector<PaletteWords> all(0x10000 / kPaletteSize);
    for (int w = 0; w <= 0xFFFF; ++w)
        all[static_cast<std::size_t>(w / kPaletteSize)][static_cast<std::size_t>(w % kPaletteSize)] =
            static_cast<HwColor>(w);
    const std::pair<ExchangeFormat, SourceKind> formats[] = {{ExchangeFormat::Gimp, SourceKind::GimpPalette},
                                                             {ExchangeFormat::Jasc, SourceKind::JascPalette},
                                                             {ExchangeFormat::HexList, SourceKind::HexList},
                                                             {ExchangeFormat::AdobeColorTable, SourceKind::AdobeColorTable}};
    for (const bool hardware : {false, true}) {
        SourceRequest request;
        request.levels = hardware ? HardwareLevelSet() : LinearLevelSet();
        for (const auto& [format, kind] : formats) {
            SCOPED_TRACE(static_cast<int>(format));
            // An Adobe colour table holds 16 palettes.
            const std::size_t perFile = format == ExchangeFormat::AdobeColorTable ? 16 : all.size();
            std::vector<PaletteWords> read;
            for (std::size_t first = 0; first < all.size(); first += perFile) {
                const std::span<const PaletteWords> part = std::span(all).subspan(first, perFile);
                QByteArray bytes = Exchange(format, request.levels,
                                            {QStringLiteral("all"), kPaletteSize, static_cast<qsizetype>(perFile) * 16},
                                            [&](LineWriter& writer) { return WritePaletteSet(writer, part); });
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::ReadOnly);
                const IoResult<ExchangeColors> colors = ReadExchangeColors(kind, buffer, QStringLiteral("all"));
                ASSERT_TRUE(colors.ok()) << colors.error.toStdString();
                for (const PaletteWords& words :
                     PalettesOfColors(colors.value.colors, request, kPaletteSize, 0, ColourMatch::Exact))
                    read.push_back(words);
            }
            ASSERT_EQ(read.size(), all.size());
            std::size_t differ = 0;
            for (int w = 0; w <= 0xFFFF; ++w) {
                const HwColor back = read[static_cast<std::size_t>(w / kPaletteSize)][static_cast<std::size_t>(w % kPaletteSize)];
                ASSERT_EQ(back, ReadBack(static_cast<HwColor>(w), hardware)) << std::hex << w;
                differ += back != w;
            }
            // Black alone in the linear set; in the hardware set the 215
            // further dark words that share their colour.
            EXPECT_EQ(differ, hardware ? 1u + 215u : 1u);
        }
    }
}

} // namespace
} // namespace palfade
