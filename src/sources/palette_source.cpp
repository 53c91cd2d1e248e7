#include "sources/palette_source.h"

#include "io/file_access.h"
#include "sources/table_reader.h"
#include "sources/word_reader.h"

#include <QFile>

#include <algorithm>

namespace palfade {

namespace {

QString Words(std::size_t count)
{
    return count == 1 ? QStringLiteral("1 word") : QStringLiteral("%1 words").arg(count);
}

// Colour words into palettes: the skipped words, the count word, then
// groups of `size` words from entry `first` on, over the base palette.
class PaletteGrouper {
public:
    explicit PaletteGrouper(const SourceRequest& r)
        : skip_(static_cast<std::size_t>(std::max(r.text.skipWords, 0))), countWord_(r.text.countWord),
          size_(static_cast<std::size_t>(std::clamp(r.text.paletteSize, 1, kPaletteSize))),
          first_(static_cast<std::size_t>(std::clamp(r.text.firstEntry, 0, kPaletteSize - static_cast<int>(size_)))),
          needed_(r.needed), base_(r.base)
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
            palettes_.push_back(base_);
        palettes_.back()[first_ + taken_ % size_] = word;
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
        if (skipped_ == total_ && skip_ > 0)
            return QStringLiteral("%1 holds %2 colour words, none after the %3 skipped").arg(where).arg(total_).arg(skip_);
        if (count_) {
            if (taken_ < CountedWords())
                return QStringLiteral("%1: its count word gives %2 (%3) but %4 follow")
                    .arg(where, PaletteCountText(*count_), Words(CountedWords()), Words(taken_));
            if (beyondCount_ > 0) {
                QStringList named;
                for (HwColor w : beyond_)
                    named << QStringLiteral("$%1").arg(w, 4, 16, QLatin1Char('0')).toUpper();
                if (beyondCount_ > beyond_.size() || !ended)
                    named << QStringLiteral("...");
                warnings << QStringLiteral("%1: the words after the %2 its count word gives are not palettes: %3")
                                .arg(where, PaletteCountText(*count_), named.join(u' '));
            }
            return {};
        }
        if (!table && ended && taken_ > size_ && taken_ % size_ != 0)
            warnings << QStringLiteral("the last palette of %1 has %2; is --table or --skip-words needed?")
                            .arg(name, Words(taken_ % size_));
        return {};
    }

    bool Empty() const { return total_ == 0; }
    std::vector<PaletteWords>& Palettes() { return palettes_; }

private:
    static constexpr std::size_t kWordsNamed = 4;
    std::size_t CountedWords() const { return static_cast<std::size_t>(*count_) * size_; }

    std::size_t skip_;
    bool countWord_;
    std::size_t size_;
    std::size_t first_;
    std::size_t needed_;
    PaletteWords base_;
    std::size_t total_ = 0;
    std::size_t skipped_ = 0;
    std::optional<HwColor> count_;
    std::size_t taken_ = 0;
    std::vector<HwColor> beyond_;
    std::size_t beyondCount_ = 0;
    std::vector<PaletteWords> palettes_;
};

// --skip-comments: the text without its comments goes on.
class CommentStage : public TextStage {
public:
    CommentStage(QString source, TextStage& next)
        : filter_(kSkippedComments), source_(std::move(source)), next_(next)
    {
    }

    void Feed(QStringView piece) override
    {
        text_.resize(0);
        filter_.Filter(piece, text_);
        next_.Feed(text_);
    }

    IoStatus Finish() override
    {
        text_.resize(0);
        filter_.Flush(text_);
        next_.Feed(text_);
        if (const std::optional<qint64> line = filter_.UnclosedLine())
            return IoStatus::Failure(UnclosedCommentReason(source_, *line));
        return next_.Finish();
    }

private:
    CommentFilter filter_;
    QString source_;
    TextStage& next_;
    QString text_;
};

IoResult<SourcePalettes> Failed(const QString& reason)
{
    IoResult<SourcePalettes> result;
    result.error = reason;
    return result;
}

} // namespace

// The stages in the order the text goes through them, `first` taking it:
// comments out, the start after a name, the colour words; or the table.
struct TextPaletteReader::Stages {
    Stages(const SourceRequest& request, const QString& source, const QString& folder)
        : options(request.text), name(source), grouper(request)
    {
        WordSink sink = [this](HwColor word) { grouper.Add(word); };
        if (!options.table.isEmpty()) {
            auto reader = std::make_unique<TableReader>(options.table, name, folder, options.defines, sink);
            table = reader.get();
            words = std::move(reader);
            first = words.get();
            return;
        }
        words = std::make_unique<ColourWordScanner>(sink);
        first = words.get();
        if (!options.after.isEmpty())
            first = &after.emplace(options.after, name, *first);
        if (options.skipComments)
            first = &comments.emplace(name, *first);
    }

    // The source's words in messages.
    QString Where() const
    {
        if (table)
            return QStringLiteral("%1: %2").arg(name, options.table);
        if (after)
            return QStringLiteral("%1 after \"%2\"").arg(name, options.after);
        return name;
    }

    TextSourceOptions options;
    QString name;
    PaletteGrouper grouper;
    std::unique_ptr<TextStage> words;
    TableReader* table = nullptr;
    std::optional<NameStart> after;
    std::optional<CommentStage> comments;
    TextStage* first = nullptr;
};

TextPaletteReader::TextPaletteReader(const SourceRequest& request, const QString& name, const QString& folder)
    : stages_(std::make_unique<Stages>(request, name, folder))
{
}

TextPaletteReader::~TextPaletteReader() = default;

void TextPaletteReader::Feed(QStringView piece)
{
    stages_->first->Feed(piece);
}

bool TextPaletteReader::Done() const
{
    return stages_->table ? stages_->table->Failed() : stages_->grouper.Done();
}

IoResult<SourcePalettes> TextPaletteReader::Finish(bool sawNul)
{
    Stages& s = *stages_;
    // The text has ended before the palettes needed were complete: what the
    // stages hold goes on.
    if (!s.grouper.Done())
        if (const IoStatus status = s.first->Finish(); !status.ok())
            return Failed(status.error);
    const QString where = s.Where();
    if (s.grouper.Empty() && s.table)
        return Failed(QStringLiteral("%1 holds no word").arg(where));
    if (s.grouper.Empty())
        return Failed(QStringLiteral("no colour word (\"$7FFF\" or \"0x7FFF\") found in %1%2")
                          .arg(where, sawNul ? QStringLiteral("; it holds NUL bytes: if it is a palette file, read it "
                                                              "with --read-as ngpal")
                                             : QString()));
    IoResult<SourcePalettes> result;
    const bool ended = s.table || !s.grouper.Done();
    result.error = s.grouper.Check(where, result.value.warnings, s.table != nullptr, ended, s.name);
    result.value.palettes = std::move(s.grouper.Palettes());
    result.value.holder = s.table ? where : s.name;
    return result;
}

IoResult<SourcePalettes> ReadTextSource(const SourceOrigin& origin, const SourceRequest& request)
{
    TextPaletteReader reader(request, origin.name, origin.folder);
    if (origin.from == SourceOrigin::From::Memory) {
        reader.Feed(origin.text);
        return reader.Finish();
    }
    QFile file(origin.path);
    QIODevice* device = origin.device;
    if (origin.from == SourceOrigin::From::File) {
        if (const IoStatus opened = OpenForReading(file); !opened.ok())
            return Failed(opened.error);
        device = &file;
    }
    TextDecoder decoder;
    const IoStatus status = ReadInPieces(
        *device, origin.name, request.maxBytes, [&](QByteArrayView bytes) { reader.Feed(decoder.Feed(bytes)); },
        [&reader] { return reader.Done(); });
    if (!status.ok())
        return Failed(status.error);
    if (!reader.Done())
        reader.Feed(decoder.Finish());
    return reader.Finish(decoder.SawNul());
}

} // namespace palfade
