#include "text/word_reader.h"

#include "core/hex_word.h"
#include "io/echo.h"
#include "io/file_access.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace palfade {

namespace {

// The decoders drop a leading byte-order mark of their own encoding.
QStringDecoder DecoderFor(QByteArrayView head)
{
    if (head.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE);
    if (head.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE);
    return QStringDecoder(QStringDecoder::Utf8);
}

// Length of the longest start of bytes that ends on a character boundary
// whatever follows: after an ASCII byte in UTF-8, after a code unit that is
// not a leading surrogate in UTF-16. The first `known` bytes are the rest of
// an earlier call, known to hold no such boundary, and are not looked at
// again; 0 when there is no boundary.
qsizetype CompleteCharacters(QByteArrayView bytes, qsizetype known, bool utf16, bool bigEndian)
{
    if (!utf16) {
        for (qsizetype i = bytes.size(); i > known; --i)
            if (static_cast<unsigned char>(bytes[i - 1]) < 0x80)
                return i;
        return 0;
    }
    for (qsizetype i = bytes.size() & ~qsizetype(1); i > (known & ~qsizetype(1)); i -= 2) {
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i - 2 : i - 1]);
        if (hi < 0xD8 || hi > 0xDB)
            return i;
    }
    return 0;
}

// A long run without such a boundary (no ASCII byte, or nothing but leading
// surrogates) is cut where what comes after cannot complete what comes
// before: before a UTF-8 lead byte, or before the last of the leading
// surrogates, each of which but the last is unpaired.
qsizetype ForcedCut(QByteArrayView bytes, bool utf16)
{
    if (utf16)
        return (bytes.size() & ~qsizetype(1)) - 2;
    for (qsizetype i = bytes.size() - 1; i > 0; --i)
        if (static_cast<unsigned char>(bytes[i]) >= 0xC0)
            return i;
    return bytes.size();
}

constexpr qsizetype kCarryLimit = 64 * 1024;
// The first bytes of a source tell whether its NUL bytes look like UTF-16's.
constexpr qint64 kNulSample = 4096;
// A word is looked at once it is this long: most words never get there.
constexpr qsizetype kCompactAt = 256;

} // namespace

QString TextDecoder::Feed(QByteArrayView bytes)
{
    if (!sawNul_ && bytes.size() > 0 && std::memchr(bytes.data(), 0, static_cast<std::size_t>(bytes.size())))
        sawNul_ = true;
    CountNuls(bytes);
    if (!started_) {
        head_.append(bytes.data(), bytes.size());
        if (head_.size() < 3)
            return {};
        const QByteArray head = std::exchange(head_, {});
        return Decode(head);
    }
    return Decode(bytes);
}

void TextDecoder::CountNuls(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size() && counted_ < kNulSample; ++i, ++counted_)
        if (bytes[i] == 0)
            ++nulsAt_[counted_ % 2];
}

// ASCII text in UTF-16 has a NUL in every other byte: at least three in four
// bytes at one parity, hardly any at the other. Decoded as UTF-16 (after its
// mark), it is text like any other.
NulBytes TextDecoder::Nuls() const
{
    if (!sawNul_)
        return NulBytes::None;
    const qint64 pairs = counted_ / 2;
    for (int parity = 0; parity < 2; ++parity)
        if (!utf16_ && pairs >= 2 && nulsAt_[parity] * 4 >= pairs * 3 && nulsAt_[1 - parity] * 4 <= pairs)
            return NulBytes::EveryOther;
    return NulBytes::Some;
}

QString TextDecoder::Decode(QByteArrayView bytes)
{
    if (!started_) {
        decoder_ = DecoderFor(bytes);
        utf16_ = !bytes.startsWith("\xEF\xBB\xBF") && (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"));
        bigEndian_ = bytes.startsWith("\xFE\xFF");
        started_ = true;
    }
    // Only whole characters go to the decoder: it handles a sequence broken
    // by a piece boundary differently from the same bytes in one piece when
    // the sequence is invalid, and a file must read the same however it
    // arrives. The rest waits for the next piece.
    const qsizetype known = carry_.size();
    carry_.append(bytes.data(), bytes.size());
    qsizetype cut = CompleteCharacters(carry_, known, utf16_, bigEndian_);
    if (cut == 0 && carry_.size() > kCarryLimit)
        cut = ForcedCut(carry_, utf16_);
    if (cut <= 0)
        return {};
    QString text = decoder_.decode(QByteArrayView(carry_).first(cut));
    carry_.remove(0, cut);
    return text;
}

QString TextDecoder::Finish()
{
    QString text;
    if (!started_ && !head_.isEmpty()) {
        const QByteArray head = std::exchange(head_, {});
        text = Decode(head);
    }
    if (started_) {
        text += decoder_.decode(carry_);
        carry_.clear();
        text += decoder_.decode(QByteArrayView()); // an incomplete last sequence
    }
    return text;
}

QString DecodeTextBytes(QByteArrayView bytes)
{
    TextDecoder decoder;
    QString text = decoder.Feed(bytes);
    return text + decoder.Finish();
}

LineSplitter::LineSplitter(LineSink sink, qsizetype maxLength) : sink_(std::move(sink)), maxLength_(maxLength) {}

void LineSplitter::Feed(QStringView piece)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < piece.size() && tooLong_ == 0; ++i) {
        const QChar c = piece[i];
        const bool ends = breaks_.Ends(c);
        if (c != u'\r' && c != u'\n')
            continue;
        QStringView line = piece.sliced(start, i - start);
        start = i + 1;
        if (!ends)
            continue; // the LF of a CR LF
        if (!line_.isEmpty()) {
            line_.append(line);
            line = line_;
        }
        ++number_;
        if (maxLength_ >= 0 && line.size() > maxLength_) {
            tooLong_ = number_;
            line_.clear();
            return;
        }
        sink_(line, number_);
        line_.resize(0);
    }
    if (tooLong_ != 0)
        return;
    line_.append(piece.sliced(start));
    if (maxLength_ >= 0 && line_.size() > maxLength_) {
        tooLong_ = number_ + 1;
        line_.clear();
    }
}

void LineSplitter::Finish()
{
    if (tooLong_ != 0 || line_.isEmpty())
        return;
    ++number_;
    sink_(line_, number_);
    line_.clear();
}

bool IsWordSeparator(QChar c)
{
    switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u'\r':
    case u'\n':
    case u',':
    case u';':
    case u'(':
    case u')':
    case u'{':
    case u'}':
    case u'/':
    case u'\\':
    case u'|':
    case u'*':
    case u'!':
    case u'\u00A7': // section sign
    case u'%':
    case u'&':
    case u'<':
    case u'>':
    case u'.':
    case u'_':
    case u':':
    case u'+':
    case u'-':
        return true;
    default:
        return false;
    }
}

// Only "$", "0", "x" and "X" upper-case to the marks, so the test needs no
// upper-casing; the digits after the mark do (a ligature such as U+FB00
// becomes "FF").
bool IsColourWord(QStringView word)
{
    return word.startsWith(u'$') || (word.size() >= 2 && word[0] == u'0' && (word[1] == u'x' || word[1] == u'X'));
}

namespace {

qsizetype MarkLength(QStringView word)
{
    return word.startsWith(u'$') ? 1 : 2;
}

qsizetype HexDigitRun(QStringView upper)
{
    qsizetype n = 0;
    while (n < upper.size() && ((upper[n] >= u'0' && upper[n] <= u'9') || (upper[n] >= u'A' && upper[n] <= u'F')))
        ++n;
    return n;
}

HwColor HexValue(QStringView digits)
{
    return ParseHexWord(std::u16string_view(digits.utf16(), static_cast<std::size_t>(digits.size())));
}

} // namespace

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool AllDigits(QStringView word)
{
    return !word.isEmpty() && std::all_of(word.begin(), word.end(), IsAsciiDigit);
}

// What may stand before and after a number that is a word of its own, and
// not part of a name ("pal_2"), a directive (".2byte") or an expression.
bool BoundsANumber(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u',' || c == u';' || c == u'{' || c == u'}' ||
           c == u'(' || c == u')' || c == u'/';
}

// Enough digits of a decimal number to tell that it is too large.
constexpr qsizetype kDecimalDigitsKept = 7;

// The last part of a word directive, as the separators cut it: "dc.w" and
// ".dc.w" end in "w".
bool IsWordDirective(QStringView word)
{
    for (const char* directive : {"w", "dw", "word", "short", "hword", "2byte"})
        if (word.compare(QLatin1String(directive), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

std::optional<HwColor> ColourWordValue(QStringView word, BareMarks marks)
{
    if (!IsColourWord(word))
        return std::nullopt;
    const QString upper = word.sliced(MarkLength(word)).toString().toUpper();
    const qsizetype digits = HexDigitRun(upper);
    if (digits == 0 && marks == BareMarks::NoWord)
        return std::nullopt;
    return HexValue(QStringView(upper).first(digits));
}

void ColourWordScanner::Feed(QStringView text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsWordSeparator(text[i]))
            continue;
        if (i > start)
            Append(text.sliced(start, i - start));
        EndWord(text[i]);
        before_ = text[i];
        start = i + 1;
    }
    if (start < text.size())
        Append(text.sliced(start));
}

IoStatus ColourWordScanner::Finish()
{
    EndWord(u'\n');
    return IoStatus::Success();
}

// A long word keeps only what decides it: nothing when it is no colour word;
// its value once a character ends its digits; else its mark and last four
// digits (the value keeps the low 16 bits). Case mapping goes character by
// character, so upper-casing the part kept again gives the same text; a
// trailing leading surrogate waits for its partner.
void ColourWordScanner::Append(QStringView part)
{
    if (settled_)
        return;
    if (word_.isEmpty())
        wordBefore_ = before_;
    word_.append(part);
    if (word_.size() < kCompactAt)
        return;
    if (decimals_ && AllDigits(word_)) {
        word_.truncate(kDecimalDigitsKept);
        return;
    }
    if (!IsColourWord(word_)) {
        settled_ = true;
        settledValue_.reset();
        word_.resize(0);
        return;
    }
    const qsizetype mark = MarkLength(word_);
    const qsizetype tail = word_.back().isHighSurrogate() ? 1 : 0;
    const QString upper = QStringView(word_).sliced(mark, word_.size() - mark - tail).toString().toUpper();
    const qsizetype digits = HexDigitRun(upper);
    if (digits < upper.size() || (digits == 0 && marks_ == BareMarks::NoWord)) {
        settled_ = true;
        settledValue_.reset();
        if (digits > 0 || marks_ == BareMarks::Zero)
            settledValue_ = HexValue(QStringView(upper).first(digits));
        word_.resize(0);
        return;
    }
    QString kept = word_.first(mark);
    kept += QStringView(upper).last(std::min<qsizetype>(4, digits));
    kept += QStringView(word_).last(tail);
    word_ = std::move(kept);
}

void ColourWordScanner::EndWord(QChar after)
{
    if (settled_) {
        if (settledValue_)
            sink_(*settledValue_);
        settled_ = false;
        settledValue_.reset();
        previous_.resize(0);
        return;
    }
    if (word_.isEmpty())
        return;
    if (const std::optional<HwColor> value = ColourWordValue(word_, marks_))
        sink_(*value);
    else if (decimals_ && AllDigits(word_) && IsWordDirective(previous_) && BoundsANumber(wordBefore_) &&
             BoundsANumber(after))
        decimals_(word_);
    if (decimals_)
        previous_ = word_.size() <= 8 ? word_ : QString();
    word_.resize(0); // keeps the capacity for the next word
}

namespace {

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

void CommentFilter::Filter(QStringView in, QString& out)
{
    for (const QChar c : in) {
        const bool newLine = breaks_.Ends(c);
        const bool firstColumn = std::exchange(firstColumn_, false);
        if (pending_) {
            const QChar first = *std::exchange(pending_, std::nullopt);
            if (state_ == State::Block) {
                if (c == u'/') {
                    state_ = State::Text;
                    lineStart_ = false;
                    afterBlank_ = true; // the comment stands for a blank
                    Emit(u' ', out);
                    continue;
                }
            } else if (c == u'/') {
                state_ = State::LineComment;
                continue;
            } else if (c == u'*') {
                state_ = State::Block;
                blockLine_ = line_;
                continue;
            } else {
                Emit(first, out);
            }
        }
        Take(c, newLine, firstColumn, out);
    }
}

void CommentFilter::Take(QChar c, bool newLine, bool firstColumn, QString& out)
{
    const bool afterBlank = std::exchange(afterBlank_, IsBlank(c));
    if (c == u'\r' || c == u'\n') {
        if (newLine)
            ++line_;
        if (state_ == State::LeadingBlanks)
            out += std::exchange(blanks_, {});
        if (state_ != State::Block)
            state_ = State::Text;
        out += c;
        lineStart_ = true;
        firstColumn_ = true;
        hidden_ = false;
        afterBlank_ = true;
        quote_ = QChar();
        escaped_ = false;
        return;
    }
    if (firstColumn && c == u'*' && rules_.starLines == CommentRules::StarLines::FirstColumn)
        hidden_ = true;
    switch (state_) {
    case State::Block:
        if (c == u'*')
            pending_ = c;
        return;
    case State::LineComment:
        return;
    case State::LeadingBlanks:
        if (IsBlank(c)) {
            blanks_ += c;
            return;
        }
        if (c == u'*') {
            blanks_.clear();
            state_ = State::LineComment;
            return;
        }
        out += std::exchange(blanks_, {});
        state_ = State::Text;
        break;
    case State::Text:
        if (std::exchange(lineStart_, false) && rules_.starLines == CommentRules::StarLines::AfterBlanks) {
            if (IsBlank(c)) {
                blanks_ += c;
                state_ = State::LeadingBlanks;
                return;
            }
            if (c == u'*') {
                state_ = State::LineComment;
                return;
            }
        }
        break;
    }
    if (rules_.preprocessed && (!quote_.isNull() || c == u'"' || (rules_.cLiterals && c == u'\''))) {
        Literal(c, out);
    } else if (rules_.lineMarkers.contains(c) || (afterBlank && rules_.markersAfterBlanks.contains(c))) {
        if (rules_.preprocessed)
            hidden_ = true;
        else
            state_ = State::LineComment;
    } else if (c == u'/') {
        pending_ = c;
    } else {
        Emit(c, out);
    }
}

void CommentFilter::Literal(QChar c, QString& out)
{
    const bool inside = !quote_.isNull();
    if (!inside)
        quote_ = c;
    else if (escaped_)
        escaped_ = false;
    else if (c == u'\\')
        escaped_ = true;
    else if (c == quote_)
        quote_ = QChar();
    const bool content = inside && !quote_.isNull();
    if (!content || !rules_.cLiterals)
        Emit(c, out);
}

void CommentFilter::Flush(QString& out)
{
    if (pending_ && state_ != State::Block)
        Emit(*pending_, out);
    pending_.reset();
    if (state_ == State::LeadingBlanks)
        out += std::exchange(blanks_, {});
}

void CommentFilter::Line(QStringView line, QString& out)
{
    Filter(line, out);
    Filter(u"\n", out);
    out.chop(1); // the line break handed in above
}

std::optional<qint64> CommentFilter::UnclosedLine() const
{
    if (state_ == State::Block)
        return blockLine_;
    return std::nullopt;
}

QString UnclosedCommentReason(const QString& source, qint64 line)
{
    return QStringLiteral("%1: the /* comment opened on line %2 is never closed").arg(source).arg(line);
}

QString TooLongLineReason(const QString& source, qint64 line)
{
    return QStringLiteral("%1: line %2 is longer than %3 characters").arg(source).arg(line).arg(kMaxSourceLineLength);
}

bool IsNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

NameStart::NameStart(QString name, QString source, TextStage& next)
    : name_(std::move(name)), source_(std::move(source)), next_(next)
{
    const qsizetype m = name_.size();
    fallback_.assign(static_cast<std::size_t>(m), 0);
    for (qsizetype i = 1, k = 0; i < m; ++i) {
        while (k > 0 && name_[i] != name_[k])
            k = fallback_[static_cast<std::size_t>(k - 1)];
        if (name_[i] == name_[k])
            ++k;
        fallback_[static_cast<std::size_t>(i)] = k;
    }
    nameChars_.assign(static_cast<std::size_t>(m + 1), false);
}

void NameStart::Feed(QStringView in)
{
    const qsizetype m = name_.size();
    if (found_) {
        next_.Feed(in);
        return;
    }
    if (m == 0)
        return;
    const auto ring = static_cast<qint64>(nameChars_.size());
    for (qsizetype i = 0; i < in.size(); ++i, ++seen_) {
        const QChar c = in[i];
        const bool nameChar = IsNameCharacter(c);
        if (std::exchange(candidate_, false) && !nameChar) {
            found_ = true;
            next_.Feed(in.sliced(i));
            return;
        }
        while (matched_ > 0 && name_[matched_] != c)
            matched_ = fallback_[static_cast<std::size_t>(matched_ - 1)];
        if (name_[matched_] == c)
            ++matched_;
        nameChars_[static_cast<std::size_t>(seen_ % ring)] = nameChar;
        if (matched_ == m) {
            const qint64 start = seen_ - m + 1;
            candidate_ = start == 0 || !nameChars_[static_cast<std::size_t>((start - 1) % ring)];
            matched_ = fallback_[static_cast<std::size_t>(m - 1)];
        }
    }
}

IoStatus NameStart::Finish()
{
    if (!found_ && std::exchange(candidate_, false))
        found_ = true;
    if (!found_)
        return IoStatus::Failure(QStringLiteral("the name \"%1\" is not found in %2").arg(Echoed(name_), source_));
    return next_.Finish();
}

QString TooLargeReason(const QString& name, qint64 maxBytes)
{
    return QStringLiteral("cannot read %1: larger than %2 MiB").arg(name).arg(maxBytes >> 20);
}

IoResult<QByteArray> ReadWholeSource(const QString& path)
{
    IoResult<QByteArray> result = ReadFileStart(path, kMaxSourceSize + 1);
    if (result.ok() && result.value.size() > kMaxSourceSize) {
        result.value.clear();
        result.error = TooLargeReason(path);
    }
    return result;
}

IoStatus ReadInPieces(QIODevice& device, const QString& name, qint64 maxBytes,
                      const std::function<void(QByteArrayView)>& feed, const std::function<bool()>& done)
{
    constexpr qint64 kChunkSize = 64 * 1024;
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    qint64 total = 0;
    while (!done()) {
        const qint64 n = device.read(chunk.data(), chunk.size());
        if (n < 0)
            return IoStatus::Failure(QStringLiteral("cannot read %1: %2").arg(name, device.errorString()));
        if (n == 0) {
            if (device.isSequential() && device.waitForReadyRead(-1))
                continue;
            break;
        }
        total += n;
        if (maxBytes >= 0 && total > maxBytes)
            return IoStatus::Failure(TooLargeReason(name, maxBytes));
        feed(QByteArrayView(chunk.constData(), n));
    }
    return IoStatus::Success();
}

} // namespace palfade
