#include "sources/palette_source.h"

#include "io/file_access.h"
#include "io/word_bytes.h"
#include "sources/palette_file.h"
#include "sources/table_reader.h"
#include "sources/text_import.h"
#include "sources/word_reader.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace palfade {

namespace {

QString Palettes(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 palette") : QStringLiteral("%1 palettes").arg(count);
}


} // namespace

QString StripComments(QStringView text)
{
    QString out;
    CommentFilter filter;
    filter.Filter(text, out);
    filter.Finish(out);
    return out;
}

std::optional<qsizetype> PositionAfterName(QStringView text, QStringView name)
{
    NameStart start(name.toString());
    QString rest;
    start.Filter(text, rest);
    start.Finish();
    if (!start.Found())
        return std::nullopt;
    return static_cast<qsizetype>(start.Position());
}

namespace {

QString Words(std::size_t count)
{
    return count == 1 ? QStringLiteral("1 word") : QStringLiteral("%1 words").arg(count);
}

// Colour words into palettes: the skipped words, the count word, then
// groups of `size` words from entry `first` on.
class PaletteGrouper {
public:
    PaletteGrouper(const TextSourceOptions& o, std::size_t needed)
        : skip_(static_cast<std::size_t>(std::max(o.skipWords, 0))), countWord_(o.countWord),
          size_(static_cast<std::size_t>(std::clamp(o.paletteSize, 1, kPaletteSize))),
          first_(static_cast<std::size_t>(std::clamp(o.firstEntry, 0, kPaletteSize - static_cast<int>(size_)))),
          needed_(needed)
    {
    }

    // Past Done() only the words after a count word's palettes are still
    // counted, for the warning that names them.
    void Add(HwColor word)
    {
        if (Done() && !countWord_)
            return;
        ++total_;
        if (skipped_ < skip_) {
            ++skipped_;
            return;
        }
        if (countWord_ && !count_) {
            count_ = word;
            return;
        }
        if (count_ && taken_ >= CountedWords()) {
            if (beyond_.size() < kWordsNamed)
                beyond_.push_back(word);
            ++beyondCount_;
            return;
        }
        if (taken_ % size_ == 0)
            palettes_.emplace_back(); // black entries
        palettes_.back()[first_ + taken_ % size_] = DecodeHwColor(word);
        ++taken_;
    }

    // With a count word every counted word and one more are read, to tell
    // whether words follow the palettes.
    bool Done() const
    {
        if (countWord_)
            return count_ && taken_ >= CountedWords() && beyondCount_ > 0;
        return needed_ != kEveryPalette && taken_ >= needed_ * size_;
    }

    // The errors and warnings of the words read, `where` naming them.
    QString Check(const QString& where, QStringList& warnings, bool table, bool ended, const QString& name) const
    {
        if (total_ == 0)
            return {};
        if (skipped_ == total_ && skip_ > 0)
            return QStringLiteral("%1 holds %2 colour words, none after the %3 skipped").arg(where).arg(total_).arg(skip_);
        if (count_) {
            if (taken_ < CountedWords())
                return QStringLiteral("%1: its count word gives %2 (%3) but %4 follow")
                    .arg(where, palfade::Palettes(*count_), Words(CountedWords()), Words(taken_));
            if (beyondCount_ > 0) {
                QStringList named;
                for (HwColor w : beyond_)
                    named << QStringLiteral("$%1").arg(w, 4, 16, QLatin1Char('0')).toUpper();
                if (beyondCount_ > beyond_.size() || !ended)
                    named << QStringLiteral("...");
                warnings << QStringLiteral("%1: the words after the %2 its count word gives are not palettes: %3")
                                .arg(where, palfade::Palettes(*count_), named.join(u' '));
            }
            return {};
        }
        if (!table && ended && taken_ > size_ && taken_ % size_ != 0)
            warnings << QStringLiteral("the last palette of %1 has %2; is --table or --skip-words needed?")
                            .arg(name, Words(taken_ % size_));
        return {};
    }

    bool Empty() const { return total_ == 0; }
    std::vector<SourcePalette>& Palettes() { return palettes_; }

private:
    static constexpr std::size_t kWordsNamed = 4;
    std::size_t CountedWords() const { return static_cast<std::size_t>(*count_) * size_; }

    std::size_t skip_;
    bool countWord_;
    std::size_t size_;
    std::size_t first_;
    std::size_t needed_;
    std::size_t total_ = 0;
    std::size_t skipped_ = 0;
    std::optional<HwColor> count_;
    std::size_t taken_ = 0;
    std::vector<HwColor> beyond_;
    std::size_t beyondCount_ = 0;
    std::vector<SourcePalette> palettes_;
};

} // namespace

struct TextPaletteReader::Stages {
    Stages(const TextSourceOptions& o, TextOrigin from, std::size_t needed)
        : options(o), origin(std::move(from)), grouper(o, needed), scanner([this](HwColor w) { grouper.Add(w); })
    {
        if (!o.table.isEmpty()) {
            table.emplace(o.table, origin.name, origin.folder);
            return;
        }
        if (o.skipComments)
            comments.emplace();
        if (!o.after.isEmpty())
            after.emplace(o.after);
    }

    void Words(QStringView piece)
    {
        if (comments) {
            stripped.resize(0);
            comments->Filter(piece, stripped);
            piece = stripped;
        }
        if (after) {
            rest.resize(0);
            after->Filter(piece, rest);
            piece = rest;
        }
        scanner.Scan(piece);
    }

    TextSourceOptions options;
    TextOrigin origin;
    PaletteGrouper grouper;
    ColourWordScanner scanner;
    std::optional<CommentFilter> comments;
    std::optional<NameStart> after;
    std::optional<TableReader> table;
    QString stripped;
    QString rest;
};

TextPaletteReader::TextPaletteReader(const TextSourceOptions& options, TextOrigin origin, std::size_t needed)
    : stages_(std::make_unique<Stages>(options, std::move(origin), needed))
{
}

TextPaletteReader::~TextPaletteReader() = default;

void TextPaletteReader::Text(QStringView piece)
{
    if (stages_->table)
        stages_->table->Text(piece);
    else
        stages_->Words(piece);
}

bool TextPaletteReader::Done() const
{
    return stages_->table ? stages_->table->Failed() : stages_->grouper.Done();
}

IoResult<TextPalettes> TextPaletteReader::Finish(bool sawNul)
{
    Stages& s = *stages_;
    IoResult<TextPalettes> result;
    TextPalettes& out = result.value;
    const QString& name = s.origin.name;
    out.holder = name;
    QString where = name;
    if (s.table) {
        NameDefinitions further;
        for (const QString& file : s.options.defines)
            if (const IoStatus read = ReadDefinitions(file, further); !read.ok()) {
                result.error = read.error;
                return result;
            }
        const IoResult<std::vector<HwColor>> words = s.table->Finish(further);
        if (!words.ok()) {
            result.error = words.error;
            return result;
        }
        for (HwColor w : words.value)
            s.grouper.Add(w);
        out.holder = where = QStringLiteral("%1: %2").arg(name, s.options.table);
        if (s.grouper.Empty()) {
            result.error = QStringLiteral("%1 holds no word").arg(where);
            return result;
        }
    } else {
        const bool ended = !s.grouper.Done();
        if (ended) {
            if (s.comments) {
                s.stripped.resize(0);
                s.comments->Finish(s.stripped);
                if (s.after) {
                    s.rest.resize(0);
                    s.after->Filter(s.stripped, s.rest);
                    s.scanner.Scan(s.rest);
                } else {
                    s.scanner.Scan(s.stripped);
                }
                if (const std::optional<qint64> line = s.comments->UnclosedLine()) {
                    result.error = QStringLiteral("%1: the /* comment opened on line %2 is never closed").arg(name).arg(*line);
                    return result;
                }
            }
            if (s.after)
                s.after->Finish();
            s.scanner.Finish();
        }
        if (s.after) {
            if (!s.after->Found()) {
                result.error = QStringLiteral("the name \"%1\" is not found in %2").arg(s.options.after, name);
                return result;
            }
            where = QStringLiteral("%1 after \"%2\"").arg(name, s.options.after);
        }
        if (s.grouper.Empty()) {
            result.error = QStringLiteral("no colour word (\"$7FFF\" or \"0x7FFF\") found in %1").arg(where);
            if (sawNul)
                result.error += QStringLiteral("; it holds NUL bytes: if it is a palette file, read it with --read-as ngpal");
            return result;
        }
    }
    const bool ended = s.table || !s.grouper.Done();
    result.error = s.grouper.Check(where, out.warnings, s.table.has_value(), ended, name);
    if (result.ok())
        out.palettes = std::move(s.grouper.Palettes());
    return result;
}

IoResult<std::vector<SourcePalette>> PalettesFromText(QStringView text, const TextSourceOptions& options,
                                                      const QString& name)
{
    TextPaletteReader reader(options, TextOrigin{name, QStringLiteral(".")}, kEveryPalette);
    reader.Text(text);
    IoResult<TextPalettes> read = reader.Finish();
    IoResult<std::vector<SourcePalette>> result;
    result.error = read.error;
    result.value = std::move(read.value.palettes);
    return result;
}

IoResult<TextPalettes> ReadTextPalettes(QIODevice& device, const TextOrigin& origin, const TextSourceOptions& options,
                                        std::size_t needed)
{
    TextDecoder decoder;
    TextPaletteReader reader(options, origin, needed);
    const IoStatus status = ReadInPieces(
        device, origin.name, kMaxSourceSize, [&](QByteArrayView bytes) { reader.Text(decoder.Feed(bytes)); },
        [&reader] { return reader.Done(); });
    if (!status.ok()) {
        IoResult<TextPalettes> failed;
        failed.error = status.error;
        return failed;
    }
    if (!reader.Done())
        reader.Text(decoder.Finish());
    return reader.Finish(decoder.SawNul());
}

IoResult<TextPalettes> ReadTextPalettesFile(const QString& path, const TextSourceOptions& options, std::size_t needed)
{
    QFile file(path);
    if (const IoStatus opened = OpenForReading(file); !opened.ok()) {
        IoResult<TextPalettes> failed;
        failed.error = opened.error;
        return failed;
    }
    return ReadTextPalettes(file, TextOrigin{path, QFileInfo(path).absolutePath()}, options, needed);
}

std::vector<PaletteWords> PalettesFromFileBytes(QByteArrayView bytes)
{
    const qsizetype count = std::max<qsizetype>(1, (bytes.size() + kPaletteFileSize - 1) / kPaletteFileSize);
    std::vector<PaletteWords> palettes(static_cast<std::size_t>(count));
    for (qsizetype k = 0; k < count; ++k)
        for (qsizetype j = 0; j < kPaletteSize; ++j)
            palettes[static_cast<std::size_t>(k)][static_cast<std::size_t>(j)] =
                BigEndianWordAt(bytes, k * kPaletteSize + j);
    return palettes;
}

IoResult<PaletteWords> PickPalette(std::span<const PaletteWords> palettes, int index, const QString& name)
{
    IoResult<PaletteWords> result;
    if (index < 0 || static_cast<std::size_t>(index) >= palettes.size()) {
        result.error = QStringLiteral("%1 holds %2").arg(name, Palettes(static_cast<qsizetype>(palettes.size())));
        return result;
    }
    result.value = palettes[static_cast<std::size_t>(index)];
    return result;
}

QString PaletteCountMismatch(const QString& topName, qsizetype topCount, const QString& bottomName,
                             qsizetype bottomCount)
{
    return QStringLiteral("%1 holds %2 but %3 holds %4: a whole-screen fade needs one bottom palette per top "
                          "palette")
        .arg(topName, Palettes(topCount), bottomName, Palettes(bottomCount));
}

IoResult<PaletteFileSet> ReadPaletteFileSet(const QString& path, std::size_t needed)
{
    IoResult<PaletteFileSet> result;
    const qint64 wanted = needed == kEveryPalette || needed > static_cast<std::size_t>(kMaxSourceSize / kPaletteFileSize)
                              ? kMaxSourceSize + 1
                              : static_cast<qint64>(needed) * kPaletteFileSize;
    const IoResult<QByteArray> bytes = ReadFileStart(path, wanted, &result.value.size);
    if (!bytes.ok()) {
        result.error = bytes.error;
        return result;
    }
    if (bytes.value.size() > kMaxSourceSize) {
        result.error = TooLargeReason(path);
        return result;
    }
    result.value.palettes = PalettesFromFileBytes(bytes.value);
    if (result.value.size < 0) // a stream: its size is what was read
        result.value.size = bytes.value.size();
    return result;
}

std::optional<QString> PaletteFileWarning(const QString& path, qint64 size, bool firstWithoutIndex)
{
    if (size == 0 || size % kPaletteFileSize != 0)
        return QStringLiteral("%1 is %2 bytes, not whole palettes of %3; missing bytes read as zero")
            .arg(path)
            .arg(size)
            .arg(kPaletteFileSize);
    if (firstWithoutIndex && size > kPaletteFileSize)
        return QStringLiteral("%1 holds %2; the first is read (another is chosen with an index)")
            .arg(path, Palettes(size / kPaletteFileSize));
    return std::nullopt;
}

} // namespace palfade
