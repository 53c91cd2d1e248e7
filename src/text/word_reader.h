#pragma once
// The streaming stages every text source goes through, in the window and in
// palfade-cli: bytes to text, lines, comments dropped, the start after a
// name, and the colour words. Each stage takes its input in pieces of any
// size and holds a bounded amount of it, so no input, however long its lines
// or words, makes the reader grow.

#include "core/hw_color.h"
#include "io/io_result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace palfade {

// A stage of reading a text: it takes the text in pieces of any size and
// hands what it makes of them on (to the next stage, or words to a sink).
// Finish is the text's end: what the stage still holds goes on, and the next
// stage finishes in turn. A failure names the source (and the line).
class TextStage {
public:
    virtual ~TextStage() = default;
    virtual void Feed(QStringView piece) = 0;
    virtual IoStatus Finish() = 0;
};

// Where the colour words of a text go, in order.
using WordSink = std::function<void(HwColor)>;

// Whether the source's bytes hold NUL bytes, which a text rarely does: a few
// (a palette file read as text?), or one in every other byte (UTF-16 text
// without its byte-order mark?).
enum class NulBytes { None, Some, EveryOther };

// Bytes to text: UTF-8 unless the bytes open with the byte-order mark of
// UTF-8, UTF-16 LE or UTF-16 BE (the mark is dropped); invalid sequences
// become replacement characters. The text of the bytes is the same however
// they are cut into pieces.
class TextDecoder {
public:
    // The whole characters of the bytes so far that were not returned yet.
    QString Feed(QByteArrayView bytes);
    // What is left, an incomplete last sequence included.
    QString Finish();
    bool SawNul() const { return sawNul_; }
    NulBytes Nuls() const;

private:
    QString Decode(QByteArrayView bytes);
    void CountNuls(QByteArrayView bytes);

    QByteArray head_; // the first bytes, held until the byte-order mark is known
    QStringDecoder decoder_;
    bool started_ = false;
    bool utf16_ = false;
    bool bigEndian_ = false;
    bool sawNul_ = false;
    // The NUL bytes at even and odd offsets among the first bytes.
    qint64 counted_ = 0;
    qint64 nulsAt_[2] = {0, 0};
    QByteArray carry_; // bytes after the last whole character
};

// The whole text of a file's bytes, as TextDecoder decodes them.
QString DecodeTextBytes(QByteArrayView bytes);

// CR, LF and CR LF each end one line, wherever the text is cut into pieces.
class LineBreaks {
public:
    // Whether c ends a line: a CR does, and an LF unless it follows a CR.
    // Every character goes through here, so that a CR is seen as the last.
    bool Ends(QChar c)
    {
        const bool afterCr = std::exchange(afterCr_, c == u'\r');
        return c == u'\r' || (c == u'\n' && !afterCr);
    }

private:
    bool afterCr_ = false;
};

// The lines of a text in pieces, each handed on whole without its line
// break, with its number (from 1).
class LineSplitter {
public:
    using LineSink = std::function<void(QStringView line, qint64 number)>;
    // A line longer than maxLength characters (when maxLength >= 0) stops
    // the splitting: holding it would let one line take any amount of memory.
    explicit LineSplitter(LineSink sink, qsizetype maxLength = -1);

    void Feed(QStringView piece);
    // The last line, when the text does not end with a line break.
    void Finish();
    // The number of the line beyond the limit; 0 while there is none.
    qint64 TooLongLine() const { return tooLong_; }

private:
    LineSink sink_;
    qsizetype maxLength_;
    LineBreaks breaks_;
    QString line_; // the start of a line whose break has not come yet
    qint64 number_ = 0;
    qint64 tooLong_ = 0;
};

// Space, tab and line breaks, plus the punctuation assemblers and C put
// between words. "$", "#", "=", brackets and quotes belong to words.
bool IsWordSeparator(QChar c);

// What a "$" or "0x" with no hex digit after it is: no word, as in every
// toolchain (palfade-cli), or the word 0000, as the window's import reads it.
enum class BareMarks { NoWord, Zero };

// Whether a word, as written, begins with a colour word's mark: "$" or "0x"
// ("0X"). Its value is the low 16 bits of the hex digits after the mark, once
// upper-cased, up to the first other character; without such digits it is
// no colour word (or 0000 by the window's rule).
bool IsColourWord(QStringView word);
std::optional<HwColor> ColourWordValue(QStringView word, BareMarks marks = BareMarks::NoWord);

// Where the decimal numbers of a text go, for a count word written in
// decimal: a run of digits right after a word directive ("dc.w 77",
// ".word 3"), between blanks and commas or a comment (not part of a name
// such as "pal_2"), cut to its first 7 digits.
using DecimalSink = std::function<void(QStringView digits)>;

// The colour words of text in pieces, handed to the sink in order. Only what
// can still change the open word is kept: a word that is no colour word is
// passed over, and of a colour word's run of digits only the last ones.
class ColourWordScanner : public TextStage {
public:
    explicit ColourWordScanner(WordSink sink, BareMarks marks = BareMarks::NoWord, DecimalSink decimals = {})
        : sink_(std::move(sink)), marks_(marks), decimals_(std::move(decimals))
    {
    }

    void Feed(QStringView text) override;
    IoStatus Finish() override; // the text's end closes the open word

private:
    void Append(QStringView part);
    void EndWord(QChar after);

    WordSink sink_;
    BareMarks marks_;
    DecimalSink decimals_;
    QString word_;
    bool settled_ = false; // nothing more appended can change the open word
    std::optional<HwColor> settledValue_;
    QChar before_ = u'\n';     // the separator before the next word
    QChar wordBefore_ = u'\n'; // the separator before the open word
    QString previous_;         // the word before the open one, when short
};

// What a comment is. "/* ... */" (also across lines; it leaves one space, so
// the words around it stay apart) and "//" to the end of the line always are.
struct CommentRules {
    // Each of these characters comments out the rest of its line.
    QStringView lineMarkers;
    // A "*" opening a line comments it out: never, in the first column only
    // (the rest of the line is then dropped even inside a block comment,
    // whose end is still looked for), or after blanks too.
    enum class StarLines { Never, FirstColumn, AfterBlanks } starLines = StarLines::Never;
    // As a toolchain reads its source: "/*" and "//" count only outside
    // double quotes and come first, as the C preprocessor takes them out
    // before the assembler sees the line, so a line marker drops the rest of
    // its line but a "/*" after it still opens a block comment. Otherwise
    // the first marker wins and nothing is quoted.
    bool preprocessed = false;
    // These characters comment out the rest of the line only at its start
    // or after a blank (GNU as for m68k's "|"; elsewhere it is
    // an operator).
    QStringView markersAfterBlanks = {};
    // Preprocessed: C's character literals are quoted too, and the contents
    // of every literal are dropped (its quotes stay), so that nothing in a
    // string is taken for a name or a comment. A backslash escapes the next
    // character in a literal either way.
    bool cLiterals = false;
};

// --skip-comments: ";" and "//" to the end of the line, "/* */", and every
// line whose first non-blank character is "*".
inline constexpr CommentRules kSkippedComments{u";", CommentRules::StarLines::AfterBlanks, false};

// C's comments outside its literals, as the preprocessor takes them out;
// what the literals hold is dropped.
inline constexpr CommentRules kCSourceCode{u"", CommentRules::StarLines::Never, true, {}, true};
// And the assembler's after them: ";" to the line's end, "|" there when it
// opens the line or follows a blank (elsewhere it is an operator), and a
// line with "*" in its first column.
inline constexpr CommentRules kAsmStatements{u";", CommentRules::StarLines::FirstColumn, true, u"|", false};

// One comment grammar, by the rules it is given, over text in pieces. Line
// breaks stay.
class CommentFilter {
public:
    explicit CommentFilter(const CommentRules& rules) : rules_(rules) {}

    // The text of `in` without its comments, appended to `out`.
    void Filter(QStringView in, QString& out);
    // At the text's end: what waited for a next character.
    void Flush(QString& out);
    // One line without its line break, for a reader that splits lines itself.
    void Line(QStringView line, QString& out);
    // The line (from 1) of a "/*" not closed (yet, or ever once the text has ended).
    std::optional<qint64> UnclosedLine() const;

private:
    void Take(QChar c, bool newLine, bool firstColumn, QString& out);
    void Literal(QChar c, QString& out);
    void Emit(QChar c, QString& out) const
    {
        if (!hidden_)
            out += c;
    }

    enum class State { Text, LeadingBlanks, LineComment, Block };
    CommentRules rules_;
    State state_ = State::Text;
    LineBreaks breaks_;
    bool lineStart_ = true;    // no character of the line taken yet
    bool firstColumn_ = true;  // the next character opens a line
    bool hidden_ = false;      // the rest of the line is dropped, its comments still followed
    bool afterBlank_ = true;   // the last character taken was a blank, or none of the line was
    QChar quote_;              // the quote of the literal inside (preprocessed), or none
    bool escaped_ = false;     // a backslash in that literal escapes the next character
    std::optional<QChar> pending_; // a "/" or "*" whose next character decides
    QString blanks_;               // the blanks opening a line, until its first other character
    qint64 line_ = 1;
    qint64 blockLine_ = 0;
};

// "SOURCE: the /* comment opened on line N is never closed".
QString UnclosedCommentReason(const QString& source, qint64 line);

// Passes on only the text after the first place where name stands as a
// whole identifier (not part of a longer name of letters, digits and "_").
// Linear in the text whatever the name (a Knuth-Morris-Pratt search). The
// text's end without the name is an error naming `source`.
class NameStart : public TextStage {
public:
    NameStart(QString name, QString source, TextStage& next);

    void Feed(QStringView in) override;
    IoStatus Finish() override;

private:
    QString name_;
    QString source_;
    TextStage& next_;
    std::vector<qsizetype> fallback_;
    std::vector<bool> nameChars_; // of the last name_.size() + 1 characters, as a ring
    qsizetype matched_ = 0;
    bool candidate_ = false; // a match waits for the character after it
    bool found_ = false;
    qint64 seen_ = 0;
};

bool IsNameCharacter(QChar c);

// A line of a source longer than this is no assembler or C a toolchain
// reads; holding it would let one line take any amount of memory.
inline constexpr qsizetype kMaxSourceLineLength = 1024 * 1024;
// "SOURCE: line N is longer than kMaxSourceLineLength characters".
QString TooLongLineReason(const QString& source, qint64 line);
// Sources are refused beyond this size rather than read on without end.
inline constexpr qint64 kMaxSourceSize = 64 * 1024 * 1024;
// "cannot read NAME: larger than M MiB".
QString TooLargeReason(const QString& name, qint64 maxBytes = kMaxSourceSize);
// A whole file of at most kMaxSourceSize bytes.
IoResult<QByteArray> ReadWholeSource(const QString& path);

// Reads the device in pieces, each handed to `feed`, until done() or the
// end (standard input is waited for). With maxBytes >= 0, more bytes than
// that are refused (TooLargeReason).
IoStatus ReadInPieces(QIODevice& device, const QString& name, qint64 maxBytes,
                      const std::function<void(QByteArrayView)>& feed, const std::function<bool()>& done);

} // namespace palfade
