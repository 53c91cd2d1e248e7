#pragma once
// The streaming stages every text source goes through, in the window and in
// palfade-cli: bytes to text, comments dropped, the start after a name, and
// the colour words. Each stage takes its input in pieces of any size and
// holds a bounded amount of it, so no input, however long its lines or
// words, makes the reader grow.

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
#include <vector>

namespace palfade {

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
    qint64 BytesFed() const { return fed_; }

private:
    QString Decode(QByteArrayView bytes);

    QByteArray head_; // the first bytes, held until the byte-order mark is known
    QStringDecoder decoder_;
    bool started_ = false;
    bool utf16_ = false;
    bool bigEndian_ = false;
    bool sawNul_ = false;
    qint64 fed_ = 0;
    QByteArray carry_; // bytes after the last whole character
};

// Space, tab and line breaks, plus the punctuation assemblers and C put
// between words. "$", "#", "=", brackets and quotes belong to words.
bool IsWordSeparator(QChar c);

// Whether a word, as written, is a colour word: it begins with "$" or "0x"
// ("0X"). Its value is the low 16 bits of the hex digits after the mark, once
// upper-cased, up to the first other character (none gives 0).
bool IsColourWord(QStringView word);
std::optional<HwColor> ColourWordValue(QStringView word);

// The colour words of text in pieces, handed to the sink in order. Only what
// can still change the open word is kept: a word that is no colour word is
// passed over, and of a colour word's run of digits only the last ones.
class ColourWordScanner {
public:
    using Sink = std::function<void(HwColor)>;
    explicit ColourWordScanner(Sink sink) : sink_(std::move(sink)) {}

    void Scan(QStringView text);
    void Finish(); // the text's end closes the open word

private:
    void Append(QStringView part);
    void EndWord();

    Sink sink_;
    QString word_;
    bool settled_ = false; // nothing more appended can change the open word
    std::optional<HwColor> settledValue_;
};

// Removes ";" and "//" to the end of the line, "/* ... */" (also across
// lines) and every line whose first non-blank character is "*". A block
// comment leaves one space, so the words around it stay apart; line ends
// stay.
class CommentFilter {
public:
    void Filter(QStringView in, QString& out);
    void Finish(QString& out);
    // The line (from 1) of a "/*" never closed, once the text has ended.
    std::optional<qint64> UnclosedLine() const;

private:
    void Take(QChar c, bool afterCr, QString& out);

    enum class State { Text, LeadingBlanks, LineComment, Block };
    State state_ = State::Text;
    bool lineStart_ = true;
    std::optional<QChar> pending_; // a "/" or "*" whose next character decides
    QString blanks_;               // the blanks opening a line, until its first other character
    qint64 line_ = 1;
    qint64 blockLine_ = 0;
    bool afterCr_ = false;
};

// Passes on only the text after the first place where name stands as a
// whole identifier (not part of a longer name of letters, digits and "_").
// Linear in the text whatever the name (a Knuth-Morris-Pratt search).
class NameStart {
public:
    explicit NameStart(QString name);

    void Filter(QStringView in, QString& out);
    void Finish();
    bool Found() const { return found_; }
    // Where the text continues after the name, in characters from the start.
    qint64 Position() const { return position_; }

private:
    QString name_;
    std::vector<qsizetype> fallback_;
    std::vector<bool> nameChars_; // of the last name_.size() + 1 characters, as a ring
    qsizetype matched_ = 0;
    bool candidate_ = false; // a match waits for the character after it
    bool found_ = false;
    qint64 seen_ = 0;
    qint64 position_ = -1;
};

bool IsNameCharacter(QChar c);

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
