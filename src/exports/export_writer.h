#pragma once
// One writer for every export: a head (an assembler label or a C
// declaration), lines of colour words with an optional comment, and a tail,
// in the syntax a descriptor gives, written to a device as they come so that
// a table of any size needs only a small buffer.

#include "core/hw_color.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>

#include <initializer_list>
#include <span>
#include <string_view>

namespace palfade {

// How the words of one form are written. Text lines end with CR LF (the last
// one too); a word is its prefix and four upper-case hex digits.
struct ExportSyntax {
    // With a label: "<exportDirective>NAME", "<alignDirective>" and "NAME:"
    // lines before the words. Empty: the form has no label lines.
    std::string_view exportDirective;
    std::string_view alignDirective;
    // A C array: "const TYPE NAME[] =" and "{" before the words, "};" after.
    bool cArray = false;
    // Every word as two bytes, high byte first, and nothing else: no head,
    // no line text, no tail.
    bool bytes = false;
    std::string_view lineStart;
    std::string_view wordPrefix;
    std::string_view wordSeparator; // between two words of a line
    std::string_view wordEnd;       // after every word
    // Before a line's comment; empty: the form leaves comments out.
    std::string_view commentStart;

    // What ExportOptions dress: a named table (an assembler label or the C
    // array's name), an assembler's label, the C array's element type.
    constexpr bool TakesLabel() const { return cArray || TakesAsmLabel(); }
    constexpr bool TakesAsmLabel() const { return !exportDirective.empty(); }
    constexpr bool TakesCType() const { return cArray; }
};

// Every field spelled out: the four forms side by side. C words keep their
// ", ", so a C comment follows after two spaces. Motorola's is read by vasm
// and "as -M", GNU's by GNU as in its default syntax.
inline constexpr ExportSyntax kMotorolaWords{"\txdef\t", "\teven", false, false, "\tdc.w\t", "$", ",", "", ""};
inline constexpr ExportSyntax kGnuWords{"\t.globl\t", "\t.balign\t2", false, false, "\t.word\t", "0x", ",", "", ""};
inline constexpr ExportSyntax kCWords{"", "", true, false, "\t", "0x", "", ", ", " // "};
inline constexpr ExportSyntax kBigEndianWords{"", "", false, true, "", "", "", "", ""};

// How the text forms are dressed for a toolchain. The defaults give the
// window's bytes.
struct ExportOptions {
    // Empty: no label lines and the C array keeps its name. Otherwise the
    // assembler forms open with an exported, word-aligned label of this name
    // and the C array is called so. Must pass IsCIdentifier and be no C
    // keyword, and for the assemblers no 68000 register.
    QString label;
    // The C array's element type; must pass IsCElementType. A <stdint.h> type
    // (IsStdintType) puts "#include <stdint.h>" first, so the C compiles alone.
    QString cType = QStringLiteral("int");
};

// A letter or "_", then letters, digits and "_" (ASCII only).
bool IsCIdentifier(QStringView name);
// One or more C identifiers separated by single spaces: "u16",
// "unsigned short", "uint16_t".
bool IsCType(QStringView type);
// A keyword of C99 or C11, or asm: never the name of a table.
bool IsCKeyword(QStringView word);
// A 68000 register the assemblers know by name, in any case: d0-d7, a0-a7,
// sp, pc, sr, ccr, usp. A label so named is read as the register.
bool IsM68kRegister(QStringView name);
// A type an array of colour words can have (IsCType first): one type name
// such as u16, or C's own type words in a combination C allows (unsigned
// short, long long, ...), either with const or volatile. Never void,
// struct, union, enum, typedef or another keyword, nor "int int".
bool IsCElementType(QStringView type);
// A type <stdint.h> defines: intN_t, int_leastN_t and int_fastN_t for N of
// 8, 16, 32 and 64, intptr_t and intmax_t, each also with "u" before it.
bool IsStdintType(QStringView type);

// A comment part, "step 3" or "palette 0"; a comment is one or more.
struct CommentPart {
    const char* name;
    qsizetype number;
};

// Head(), any number of Line()s, then Tail(): the one interface every export
// is written through, the word syntaxes (ExportWriter) and the exchange
// palettes (ExchangeWriter) alike. Bytes reach the sink in pieces of a few
// dozen kilobytes; a write the sink refuses ends the writing, and Tail()
// says so (the device's errorString() gives the reason).
class LineWriter {
public:
    virtual ~LineWriter() = default;
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    virtual void Head() = 0;
    // One line: a palette's or a step's words, named by the comment.
    virtual void Line(std::span<const HwColor> words, std::initializer_list<CommentPart> comment = {}) = 0;
    // Writes the tail and everything still held; true when every byte
    // reached the sink.
    virtual bool Tail() = 0;
    // Whether a write was refused: what follows would be dropped, so an
    // export computed as it is written can stop computing.
    bool Failed() const { return failed_; }

protected:
    explicit LineWriter(QIODevice& sink);
    void Append(std::string_view text);
    void FlushIfFull();
    void Flush();

    QByteArray held_;

private:
    QIODevice& sink_;
    bool failed_ = false;
};

// The words in the syntax a descriptor gives.
class ExportWriter : public LineWriter {
public:
    ExportWriter(QIODevice& sink, const ExportSyntax& syntax, const ExportOptions& options = {});

    void Head() override;
    void Line(std::span<const HwColor> words, std::initializer_list<CommentPart> comment = {}) override;
    bool Tail() override;

private:
    void EndLine();

    ExportSyntax syntax_;
    ExportOptions options_;
};

} // namespace palfade
