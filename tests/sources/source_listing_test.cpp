#include "sources/palette_source.h"
#include "sources/source_listing.h"
#include "sources/source_reading.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace palfade {
namespace {

using test::Fixture;

// One offer as a line: the kind's word, name@line, then its words (or
// palettes) and the count word, or "error: " and the reason.
std::string Summary(const SourceOffer& offer)
{
    static const char* const kKinds[] = {"words", "table", "file", "picture"};
    QString text = QLatin1String(kKinds[static_cast<int>(offer.kind)]);
    if (offer.kind == SourceOffer::Kind::Table)
        text += QStringLiteral(" %1@%2").arg(offer.name).arg(offer.line);
    if (offer.kind == SourceOffer::Kind::PictureTable)
        text += offer.pictureWords == PictureWords::Levels ? QStringLiteral(" levels") : QStringLiteral(" ngdevkit");
    if (!offer.Readable())
        return (text + QStringLiteral(" error: ") + offer.error).toStdString();
    if (offer.IsText())
        text += QStringLiteral(" %1 words").arg(offer.words.size());
    else
        text += QStringLiteral(" %1 palettes").arg(offer.palettes.size());
    if (offer.HasCountWord())
        text += QStringLiteral(" count");
    return text.toStdString();
}

// Sixteen words "$0K00, ..." for a table's palette.
std::string Sixteen(int k)
{
    std::string line = "\tdc.w\t";
    for (int i = 0; i < kPaletteSize; ++i)
        line += (i ? ",$" : "$") + std::to_string(k % 10) + "A0" + std::to_string(i % 10);
    return line + "\n";
}

struct ListingRow {
    const char* what;
    std::string text; // a text in memory, named t.s; or empty and `file`
    const char* file;
    std::vector<std::string> offers;
};

// Every table a source defines, found in one pass as TableReader finds one
// table: labels with data directives and C arrays (over lines, forward
// names, Motorola's first column), not code labels or uses; a table palfade
// cannot read is listed with the reason and line. Each offer's words (or
// error) are what ReadSource gives for the request it names.
TEST(SourceListing, OffersEveryTableAsReadSourceReadsIt)
{
    const std::vector<ListingRow> rows = {
        {"DATlib tables, count words, a code label, an undefined name",
         "COUNT equ 2\na_Pal:\n\tdc.w\tCOUNT\n" + Sixteen(1) + Sixteen(2) +
             "start:\n\tmove.w\td0,d1\nb_Pal: dc.w $7FFF\n\tdc.w\tUNDEF ; not defined\n",
         nullptr,
         {"table a_Pal@2 33 words count",
          "table b_Pal@8 error: t.s, line 9: UNDEF is not defined (no #define, equ, = or .equ/.set gives it a value)",
          "words 33 words"}},
        {"C arrays over lines, a use, two dimensions",
         "#define RED 0x0F00\nconst u16 pal[]\n  = { RED, 0x7FFF,\n      0x0001 };\nint x = pal[1];\n"
         "static const unsigned short two[2][2] = {{1, 2}, {3, 4}};\n",
         nullptr,
         {"table pal@2 3 words", "table two@6 4 words", "words 3 words"}},
        {"defined twice; a name defined after its use; Motorola's first column",
         "pal: dc.w LATER\npal: dc.w 1\nLATER = $1234\nmot dc.w $0001,$0002\n", nullptr,
         {"table pal@1 error: pal is defined twice in t.s, on lines 1 and 2", "table mot@4 2 words", "words 3 words"}},
        {"a comment never closed", "tbl: dc.w $0001\n/* open\n", nullptr,
         {"table tbl@1 error: t.s: the /* comment opened on line 2 is never closed", "words 1 words"}},
        {"no word at all", "hello\n", nullptr,
         {"words error: no colour word (\"$7FFF\" or \"0x7FFF\") found in t.s"}},
        {"an indexed picture's table by both rules", "", "table_order.png",
         {"picture levels 2 palettes", "picture ngdevkit 2 palettes"}},
        {"DATlib's file", "", "datlib_two_tables.s",
         {"table a_Palettes@7 33 words count", "table b_Palettes@14 17 words count", "words 50 words"}},
    };
    for (const ListingRow& row : rows) {
        SCOPED_TRACE(row.what);
        const SourceOrigin origin = row.file ? SourceOrigin::File(Fixture(row.file))
                                             : SourceOrigin::Memory(QString::fromStdString(row.text),
                                                                    QStringLiteral("t.s"), QStringLiteral("."));
        const IoResult<SourceListing> listing = ListSource(origin, SourceRequest{});
        ASSERT_TRUE(listing.ok()) << listing.error.toStdString();
        std::vector<std::string> offers;
        for (const SourceOffer& offer : listing.value.offers) {
            offers.push_back(Summary(offer));
            const SourceRequest request = OfferRequest(offer, SourceRequest{});
            const IoResult<SourcePalettes> read = ReadSource(origin, request);
            const IoResult<SourcePalettes> offered = OfferPalettes(listing.value, offer, request);
            EXPECT_EQ(offered.error.toStdString(), read.error.toStdString()) << offers.back();
            EXPECT_EQ(offered.value.palettes, read.value.palettes) << offers.back();
        }
        EXPECT_EQ(offers, row.offers);
    }
}

// A palette file's palettes; a text beyond the size limit and a file that
// cannot be opened are refused whole.
TEST(SourceListing, PaletteFilesAndRefusals)
{
    QTemporaryDir dir;
    const QString palettes = dir.filePath(QStringLiteral("two.ngpal"));
    QFile file(palettes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(64, '\x11'));
    file.close();
    const IoResult<SourceListing> listing = ListSource(SourceOrigin::File(palettes), SourceRequest{});
    ASSERT_EQ(listing.value.offers.size(), 1u);
    EXPECT_EQ(Summary(listing.value.offers.front()), "file 2 palettes");

    SourceRequest small;
    small.maxBytes = 4;
    EXPECT_EQ(ListSource(SourceOrigin::File(Fixture("datlib_two_tables.s")), small).error,
              TooLargeReason(Fixture("datlib_two_tables.s"), 4));
    EXPECT_FALSE(ListSource(SourceOrigin::File(dir.filePath(QStringLiteral("none.s"))), SourceRequest{}).ok());
}

} // namespace
} // namespace palfade
