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
    static const char* const kKinds[] = {"words", "table", "file", "picture", "exchange"};
    QString text = QLatin1String(kKinds[static_cast<int>(offer.kind)]);
    if (offer.kind == SourceOffer::Kind::Table)
        text += QStringLiteral(" %1@%2").arg(offer.name).arg(offer.line);
    if (offer.kind == SourceOffer::Kind::PictureTable)
        text += offer.pictureWords == PictureWords::Levels ? QStringLiteral(" levels") : QStringLiteral(" ngdevkit");
    if (!offer.Readable())
        return (text + QStringLiteral(" error: ") + offer.error).toStdString();
    if (offer.cut)
        return (text + QStringLiteral(" cut")).toStdString();
    if (offer.IsText())
        text += QStringLiteral(" %1 words").arg(offer.words.size());
    else
        text += QStringLiteral(" %1 palettes").arg(offer.paletteCount);
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
    std::string text; // a text in memory, named t.s; or with `file`, the bytes of that file
    const char* file; // a fixture when `text` is empty
    std::vector<std::string> offers;
    const char* note = "";
};

// The requests a picker makes of an offer: as palfade-cli's defaults, a
// count word, one palette of an index, short palettes from an entry on.
std::vector<SourceRequest> Requests(const SourceOffer& offer)
{
    std::vector<SourceRequest> requests(4, OfferRequest(offer, SourceRequest{}));
    requests[1].text.countWord = true;
    requests[2].needed = 2;
    requests[2].indexed = true;
    requests[3].text.paletteSize = 4;
    requests[3].text.firstEntry = 2;
    return requests;
}

// Every table a source defines, found in one pass as TableReader finds one
// table: labels with data directives and C arrays (over lines, forward
// names, Motorola's first column), not code labels or uses; a table palfade
// cannot read is listed with the reason and line. Each offer's palettes,
// warnings and error, for each request a picker makes, are what ReadSource
// gives for it.
TEST(SourceListing, OffersEveryTableAsReadSourceReadsIt)
{
    std::string labels;
    for (int k = 0; k < 16384; ++k)
        labels.append(1, 'l').append(std::to_string(k)).append(":\n\tnop\n");
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
        {"a code label defined again with data is no table", "start:\n\tnop\nstart: dc.w $0001\n", nullptr,
         {"words 1 words"}},
        {"a comment never closed", "tbl: dc.w $0001\n/* open\n", nullptr,
         {"table tbl@1 error: t.s: the /* comment opened on line 2 is never closed", "words 1 words"}},
        {"no word at all", "hello\n", nullptr,
         {"words error: no colour word (\"$7FFF\" or \"0x7FFF\") found in t.s"}},
        {"numbers as each syntax writes them; bare marks are no words",
         "gas: .word 010, 0b11, 0x7FFF\nmot: dc.w @17,%101,$1F,$\nc[] = { 010, 0x1u };\nbare $ 0x\n", nullptr,
         {"table gas@1 3 words", "table mot@2 error: t.s, line 2: \"$\" has no digit after its \"$\"",
          "table c@3 2 words", "words 3 words"}},
        {"an expression is refused; fills are read exactly",
         "x: dc.w $7FFF|$8000\nf: dcb.w 3,$0123\n\tds.w 2\n\t.fill 2,2,0x7FFF\n\tnop\n", nullptr,
         {"table x@1 error: t.s, line 1: \"$7FFF|$8000\" is an expression, which palfade does not work out",
          "table f@2 7 words", "words 4 words"}},
        {"a short table ended by a statement, words after a count word's palettes",
         "short: dc.w $0001,$0002,$0003\n\tmove.w d0,d1\ncounted: dc.w $0001\n" + Sixteen(3) +
             "\tdc.w $0005,$0006,$0007,$0008,$0009\n",
         nullptr,
         {"table short@1 3 words", "table counted@3 22 words", "words 25 words"}},
        {"a line too long for a table: tables before it are refused, the words read",
         "a: dc.w $0001\n" + std::string(kMaxSourceLineLength + 1, ' ') + "\nb: dc.w $0002\n", nullptr,
         {"table a@1 error: t.s: line 2 is longer than 1048576 characters", "words 2 words"}},
        {"a fill beyond the words a listing holds is read again when picked",
         "big: dcb.w 4194304,$0101\nsmall: dc.w $0202\n", nullptr,
         {"table big@1 cut", "table small@2 cut", "words cut"}},
        {"more labels than a listing follows", labels + "late: dc.w $0001\n", nullptr, {"words 1 words"},
         "Only the tables defined before line 32769 are listed: the source names more than 16384 labels and "
         "arrays."},
        {"an indexed picture's table by both rules", "", "table_order.png",
         {"picture levels 2 palettes", "picture ngdevkit 2 palettes"}},
        {"DATlib's file", "", "datlib_two_tables.s",
         {"table a_Palettes@7 33 words count", "table b_Palettes@14 17 words count", "words 50 words"}},
        {"a hex list", "", "lospec.hex", {"exchange 1 palettes"}},
        {"a GIMP palette of 17 colours", "GIMP Palette\nName: x\n#\n" + std::string(17, ' ') + "\n" +
             [] {
                 std::string lines;
                 for (int k = 0; k < 17; ++k)
                     lines += std::to_string(k * 15) + " 0 0\tred " + std::to_string(k) + "\n";
                 return lines;
             }(),
         "x.gpl", {"exchange 2 palettes"}},
        {"a .pal with JASC-PAL's lines", "JASC-PAL\r\n0100\r\n2\r\n0 0 0\r\n255 255 255\r\n", "x.pal",
         {"exchange 1 palettes"}},
        {"any other .pal is text", "dc.w $0123,$4567\n", "x.pal", {"words 2 words"}},
        {"UTF-16 text without its mark", [] {
             std::string utf16;
             for (const char c : std::string("t: dc.w $0001\n"))
                 utf16 += {c, '\0'};
             return utf16;
         }(), "u.s",
         {"words error: no colour word (\"$7FFF\" or \"0x7FFF\") found in %1; it holds a NUL in every other byte, as "
          "UTF-16 text without its byte-order mark does: save it as UTF-8 (a palette file is read with --read-as "
          "ngpal)"}},
    };
    QTemporaryDir dir;
    for (const ListingRow& row : rows) {
        SCOPED_TRACE(row.what);
        SourceOrigin origin;
        if (row.file && !row.text.empty()) {
            const QString path = dir.filePath(QLatin1String(row.file));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.text.data(), static_cast<qint64>(row.text.size()));
            file.close();
            origin = SourceOrigin::File(path);
        } else {
            origin = row.file ? SourceOrigin::File(Fixture(row.file))
                              : SourceOrigin::Memory(QString::fromStdString(row.text), QStringLiteral("t.s"),
                                                     QStringLiteral("."));
        }
        const IoResult<SourceListing> listing = ListSource(origin, SourceRequest{});
        ASSERT_TRUE(listing.ok()) << listing.error.toStdString();
        std::vector<std::string> offers;
        for (const SourceOffer& offer : listing.value.offers) {
            offers.push_back(Summary(offer));
            for (const SourceRequest& request : Requests(offer)) {
                const IoResult<SourcePalettes> read = ReadSource(origin, request);
                const IoResult<SourcePalettes> offered = OfferPalettes(listing.value, offer, request);
                const std::string which = offers.back() + ", count word " + std::to_string(request.text.countWord) +
                                          ", needed " + std::to_string(request.needed) + ", size " +
                                          std::to_string(request.text.paletteSize);
                EXPECT_EQ(offered.error.toStdString(), read.error.toStdString()) << which;
                EXPECT_EQ(offered.value.palettes, read.value.palettes) << which;
                EXPECT_EQ(offered.value.warnings, read.value.warnings) << which;
            }
        }
        std::vector<std::string> expected;
        for (const std::string& offer : row.offers)
            expected.push_back(QString::fromStdString(offer).replace(QStringLiteral("%1"), origin.name).toStdString());
        EXPECT_EQ(offers, expected);
        EXPECT_EQ(listing.value.note.toStdString(), row.note);
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
