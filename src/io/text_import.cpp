#include "io/text_import.h"

#include <QFile>
#include <QFileInfo>

#include <optional>
#include <utility>

namespace palfade {

namespace {

// Space, tab and line breaks, plus the punctuation assemblers and C put
// between words. "$", "#", "=", brackets and quotes belong to tokens.
bool IsSeparator(QChar c)
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

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// token is upper case and not empty. Only a colour token gives a word.
std::optional<HwColor> ColourTokenWord(QStringView token)
{
    qsizetype digits;
    if (token.startsWith(u"0X"))
        digits = 2;
    else if (token.startsWith(u'$'))
        digits = 1;
    else
        return std::nullopt;

    unsigned word = 0;
    for (qsizetype i = digits; i < token.size(); ++i) {
        const int d = HexDigitValue(token[i]);
        if (d < 0)
            break;
        word = ((word << 4) | static_cast<unsigned>(d)) & 0xFFFFu;
    }
    return static_cast<HwColor>(word);
}

void StoreToken(QStringView token, SourcePalette& palette, int& counter)
{
    const std::optional<HwColor> word = ColourTokenWord(token);
    if (word && counter >= 0 && counter < kPaletteSize) {
        palette[static_cast<std::size_t>(counter)] = DecodeHwColor(*word);
        ++counter;
    }
}

constexpr qsizetype kChunkSize = 64 * 1024;

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
// not a leading surrogate in UTF-16.
qsizetype CompleteCharacters(QByteArrayView bytes, bool utf16, bool bigEndian)
{
    if (!utf16) {
        for (qsizetype i = bytes.size(); i > 0; --i)
            if (static_cast<unsigned char>(bytes[i - 1]) < 0x80)
                return i;
        return 0;
    }
    for (qsizetype i = bytes.size() & ~qsizetype(1); i > 0; i -= 2) {
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i - 2 : i - 1]);
        if (hi < 0xD8 || hi > 0xDB)
            return i;
    }
    return 0;
}

} // namespace

void ParsePaletteText(QStringView text, SourcePalette& palette, int& counter)
{
    const QString upper = text.toString().toUpper();
    const QStringView all(upper);
    qsizetype start = -1;
    for (qsizetype i = 0; i <= all.size(); ++i) {
        const bool boundary = i == all.size() || IsSeparator(all[i]);
        if (!boundary) {
            if (start < 0)
                start = i;
        } else if (start >= 0) {
            StoreToken(all.sliced(start, i - start), palette, counter);
            start = -1;
        }
    }
}

std::vector<HwColor> ColourWordsOf(QStringView text)
{
    std::vector<HwColor> words;
    const QString upper = text.toString().toUpper();
    const QStringView all(upper);
    qsizetype start = -1;
    for (qsizetype i = 0; i <= all.size(); ++i) {
        if (i < all.size() && !IsSeparator(all[i])) {
            if (start < 0)
                start = i;
        } else if (start >= 0) {
            if (const std::optional<HwColor> word = ColourTokenWord(all.sliced(start, i - start)))
                words.push_back(*word);
            start = -1;
        }
    }
    return words;
}

QString DecodeTextBytes(QByteArrayView bytes)
{
    QStringDecoder decoder = DecoderFor(bytes);
    return decoder.decode(bytes);
}

void PaletteTextReader::Feed(QByteArrayView bytes)
{
    if (!started_) {
        head_.append(bytes.data(), bytes.size());
        if (head_.size() < 3)
            return;
        const QByteArray head = std::exchange(head_, {});
        Decode(head);
        return;
    }
    Decode(bytes);
}

void PaletteTextReader::Decode(QByteArrayView bytes)
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
    carry_.append(bytes.data(), bytes.size());
    const qsizetype cut = CompleteCharacters(carry_, utf16_, bigEndian_);
    pending_ += decoder_.decode(QByteArrayView(carry_).first(cut));
    carry_.remove(0, cut);
    ParseCompleteLines();
}

void PaletteTextReader::ParseCompleteLines()
{
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < pending_.size(); ++i) {
        const QChar c = pending_[i];
        if (c != u'\r' && c != u'\n')
            continue;
        ParsePaletteText(QStringView(pending_).sliced(lineStart, i - lineStart), palette_, counter_);
        // CR LF is one line end; a CR at the very end of a piece may still
        // be followed by its LF, which then only ends an empty line.
        if (c == u'\r' && i + 1 < pending_.size() && pending_[i + 1] == u'\n')
            ++i;
        lineStart = i + 1;
    }
    pending_.remove(0, lineStart);
}

void PaletteTextReader::Finish()
{
    if (!started_ && !head_.isEmpty()) {
        const QByteArray head = std::exchange(head_, {});
        Decode(head);
    }
    if (started_) {
        pending_ += decoder_.decode(carry_);
        carry_.clear();
        pending_ += decoder_.decode(QByteArrayView()); // an incomplete last sequence
    }
    if (!pending_.isEmpty())
        ParsePaletteText(pending_, palette_, counter_);
    pending_.clear();
}

void ImportPaletteTextBytes(QByteArrayView bytes, SourcePalette& palette, int& counter)
{
    PaletteTextReader reader(palette, counter);
    reader.Feed(bytes);
    reader.Finish();
}

IoStatus ImportPaletteTextFrom(QIODevice& device, const QString& name, SourcePalette& palette, int& counter)
{
    PaletteTextReader reader(palette, counter);
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    while (!reader.Full()) {
        const qint64 n = device.read(chunk.data(), chunk.size());
        if (n < 0)
            return IoStatus::Failure(QStringLiteral("cannot read %1: %2").arg(name, device.errorString()));
        if (n == 0) {
            if (device.isSequential() && device.waitForReadyRead(-1))
                continue;
            break;
        }
        reader.Feed(QByteArrayView(chunk.constData(), n));
    }
    reader.Finish();
    return IoStatus::Success();
}

IoStatus ImportPaletteTextFile(const QString& path, SourcePalette& palette, int& counter)
{
    const QFileInfo info(path);
    if (!info.exists())
        return IoStatus::Failure(QStringLiteral("cannot open %1: No such file or directory").arg(path));
    if (info.isDir())
        return IoStatus::Failure(QStringLiteral("cannot open %1: Is a directory").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return IoStatus::Failure(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    return ImportPaletteTextFrom(file, path, palette, counter);
}

} // namespace palfade
