#include "io/text_import.h"

#include "core/hex_word.h"
#include "io/file_access.h"

#include <QFile>

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

    const QStringView hex = token.sliced(digits);
    return ParseHexWord(std::u16string_view(hex.utf16(), static_cast<std::size_t>(hex.size())));
}

void StoreToken(QStringView token, SourcePalette& palette, int& counter)
{
    const std::optional<HwColor> word = ColourTokenWord(token);
    if (word && counter >= 0 && counter < kPaletteSize) {
        palette[static_cast<std::size_t>(counter)] = DecodeHwColor(*word);
        ++counter;
    }
}

// Whether the word, upper-cased, begins with "$" or "0X". Only "$", "0", "x"
// and "X" upper-case to those characters, so the test needs no upper-casing;
// the digits after the mark do (a ligature such as U+FB00 becomes "FF").
bool IsColourWord(QStringView word)
{
    return word.startsWith(u'$') || (word.size() >= 2 && word[0] == u'0' && (word[1] == u'x' || word[1] == u'X'));
}

void EndWord(QString& word, SourcePalette& palette, int& counter)
{
    if (word.isEmpty())
        return;
    if (counter >= 0 && counter < kPaletteSize && IsColourWord(word))
        StoreToken(word.toUpper(), palette, counter);
    word.resize(0); // keeps the capacity for the next word
}

// Ends each word of text that a separator closes; the word still open at
// the end of text stays in `word` for the text that follows.
void ScanWords(QStringView text, QString& word, SourcePalette& palette, int& counter)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsSeparator(text[i]))
            continue;
        if (i > start)
            word.append(text.sliced(start, i - start));
        EndWord(word, palette, counter);
        start = i + 1;
    }
    if (start < text.size())
        word.append(text.sliced(start));
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

} // namespace

void ParsePaletteText(QStringView text, SourcePalette& palette, int& counter)
{
    QString word;
    ScanWords(text, word, palette, counter);
    EndWord(word, palette, counter);
}

std::vector<HwColor> ColourWordsOf(QStringView text)
{
    std::vector<HwColor> words;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsSeparator(text[i]))
            continue;
        const QStringView word = text.sliced(start, i - start);
        if (IsColourWord(word))
            if (const std::optional<HwColor> value = ColourTokenWord(word.toString().toUpper()))
                words.push_back(*value);
        start = i + 1;
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
    const qsizetype known = carry_.size();
    carry_.append(bytes.data(), bytes.size());
    const qsizetype cut = CompleteCharacters(carry_, known, utf16_, bigEndian_);
    if (cut == 0)
        return;
    Scan(QByteArrayView(carry_).first(cut));
    carry_.remove(0, cut);
}

void PaletteTextReader::Scan(QByteArrayView bytes)
{
    const QString text = decoder_.decode(bytes);
    ScanWords(text, word_, palette_, counter_);
}

void PaletteTextReader::Finish()
{
    if (!started_ && !head_.isEmpty()) {
        const QByteArray head = std::exchange(head_, {});
        Decode(head);
    }
    if (started_) {
        Scan(carry_);
        carry_.clear();
        Scan(QByteArrayView()); // an incomplete last sequence
    }
    EndWord(word_, palette_, counter_);
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
    QFile file(path);
    if (const IoStatus opened = OpenForReading(file); !opened.ok())
        return opened;
    return ImportPaletteTextFrom(file, path, palette, counter);
}

} // namespace palfade
