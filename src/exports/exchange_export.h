#pragma once
// The exchange exports: palettes and fades as the artists' tools read them
// (GIMP, JASC-PAL, Adobe colour table, hex list), written through the same
// loops as the word exports. Each word is written as the display colour the
// preview shows for it in the chosen level set.

#include "core/level_table.h"
#include "exports/export_writer.h"
#include "exports/file_formats.h"
#include "io/file_access.h"

#include <QString>

#include <functional>
#include <optional>

namespace palfade {

// What the head of an exchange file says before its colours come.
struct ExchangeHead {
    QString name;          // GIMP's "Name:"
    int columns = 16;      // GIMP's "Columns:": the colours of a line
    qsizetype colors = 0;  // every colour the lines hold: JASC's count
};

// An Adobe colour table holds at most 256 colours; beyond them, the reason.
std::optional<QString> ExchangeCountRefusal(ExchangeFormat format, qsizetype colors);

// Lines of words as colours:
// - GIMP: "GIMP Palette", "Name: NAME", "Columns: C", "#", then one
//   "%3d %3d %3d\t<name>" line per colour, the name the line's comment and
//   its place ("step 3 colour 7"), each ending with LF as GIMP writes them;
// - JASC-PAL: "JASC-PAL", "0100", the count, then "R G B" lines, each
//   ending with CR LF as Paint Shop Pro writes them;
// - Adobe colour table: three bytes a colour, zeros up to 768 bytes, then
//   the count and no transparent index (0xFFFF), big-endian, as Photoshop
//   writes a table of fewer than 256 colours;
// - hex list: "rrggbb" lines ending with LF, as palette sites offer them.
// The head's count must be the colours the lines give.
class ExchangeWriter : public LineWriter {
public:
    ExchangeWriter(QIODevice& sink, ExchangeFormat format, const LevelTable& levels, ExchangeHead head);

    void Head() override;
    void Line(std::span<const HwColor> words, std::initializer_list<CommentPart> comment = {}) override;
    bool Tail() override;

private:
    ExchangeFormat format_;
    LevelTable levels_;
    ExchangeHead head_;
    qsizetype written_ = 0;
};

// An exchange export made while it is written, as StreamedExport makes a
// word export.
DeviceWrite StreamedExchange(ExchangeFormat format, const LevelTable& levels, const ExchangeHead& head,
                             std::function<bool(LineWriter&)> write);

// One palette as one line without a comment: its colours named "colour J".
bool WritePaletteColors(LineWriter& writer, const PaletteWords& words);

} // namespace palfade
