#include "sources/palette_source.h"

#include "io/echo.h"
#include "io/file_access.h"
#include "text/table_reader.h"
#include "text/word_reader.h"

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
          beyondWanted_(r.text.table.isEmpty() ? 1 : kWordsNamed),
          size_(static_cast<std::size_t>(std::clamp(r.text.paletteSize, 1, kPaletteSize))),
          first_(static_cast<std::size_t>(std::clamp(r.text.firstEntry, 0, kPaletteSize - static_cast<int>(size_)))),
          needed_(r.needed), base_(r.base)
    {
    }

    // Past Done() only the words after a count word's palettes are still
    // counted, for the warning that names them.
    void Add(HwColor word)
    {
        if ((Done() && !countWord_) || !error_.isEmpty())
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

    // A count word in decimal, which the colour-word scan passes over: it
    // is taken where the count word is due. A leading 0 would make it octal
    // in C and GNU as, but not in Motorola syntax.
    void AddDecimal(QStringView digits)
    {
        if (!countWord_ || count_ || skipped_ < skip_ || !error_.isEmpty())
            return;
        qsizetype zeros = 0;
        while (zeros + 1 < digits.size() && digits[zeros] == u'0')
            ++zeros;
        const QStringView significant = digits.sliced(zeros);
        bool ok = false;
        const uint value = significant.toUInt(&ok);
        if (!ok || value > 0xFFFF)
            error_ = QStringLiteral("the count word %1 is larger than a 16-bit word").arg(Echoed(digits));
        else if (significant.size() > 1 && significant.size() < digits.size())
            error_ = QStringLiteral("the count word %1 is octal in C and GNU as but decimal in Motorola syntax: write "
                                    "it without its leading 0")
                         .arg(Echoed(digits));
        ++total_;
        count_ = static_cast<HwColor>(value);
    }

    // Whether `more` words after those added leave nothing to read. With a
    // count word every counted word and one more are read, to tell whether
    // words follow the palettes (of a table, the words a warning names).
    bool Enough(std::size_t more) const
    {
        if (!error_.isEmpty())
            return true;
        if (countWord_)
            return count_ && taken_ + beyondCount_ + more >= CountedWords() + beyondWanted_;
        return needed_ != kEveryPalette && taken_ + more >= needed_ * size_;
    }
    bool Done() const { return Enough(0); }

    // The errors and warnings of the words read, `where` naming them; the
    // statement that ended a table, if one did.
    QString Check(const QString& where, QStringList& warnings, bool table, const TableReader::Ending* endedBy,
                  bool ended, const QString& name) const
    {
        if (!error_.isEmpty())
            return QStringLiteral("%1: %2").arg(where, error_);
        if (skipped_ == total_ && skip_ > 0)
            return QStringLiteral("%1 holds %2 colour words, none after the %3 skipped").arg(where).arg(total_).arg(skip_);
        QString endedOn;
        if (table && endedBy)
            endedOn = QStringLiteral(" (the table ends on line %1: \"%2\")").arg(endedBy->line).arg(endedBy->statement);
        if (count_) {
            if (*count_ == 0)
                return QStringLiteral("%1 holds no palette: its count word is 0").arg(where);
            if (taken_ < CountedWords())
                return QStringLiteral("%1: its count word gives %2 (%3) but %4 follow%5")
                    .arg(where, PaletteCountText(*count_), Words(CountedWords()), Words(taken_), endedOn);
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
        const std::size_t last = taken_ % size_;
        if (!table && ended && taken_ > size_ && last != 0)
            warnings << QStringLiteral("the last palette of %1 has %2; is --table or --skip-words needed?")
                            .arg(name, Words(last));
        // A table's words fall short of a whole palette only by mistake.
        if (table && ended && last != 0 && !Done())
            warnings << QStringLiteral("%1: the last palette has only %2 of its %3 words, so %4 black%5")
                            .arg(where)
                            .arg(last)
                            .arg(size_)
                            .arg(last + 1 == size_
                                     ? QStringLiteral("entry %1 is").arg(first_ + last)
                                     : QStringLiteral("entries %1-%2 are").arg(first_ + last).arg(first_ + size_ - 1))
                            .arg(endedOn);
        return {};
    }

    bool Empty() const { return total_ == 0; }
    std::vector<PaletteWords>& Palettes() { return palettes_; }

private:
    static constexpr std::size_t kWordsNamed = 4;
    std::size_t CountedWords() const { return static_cast<std::size_t>(*count_) * size_; }

    std::size_t skip_;
    bool countWord_;
    std::size_t beyondWanted_;
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
    QString error_;
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

// The palettes of the words read, or why there are none; `where` names the
// words (the source, or its table), `ended` says they were read to their end.
IoResult<SourcePalettes> Grouped(PaletteGrouper& grouper, const QString& where, const QString& name, bool table,
                                 const TableReader::Ending* endedBy, bool ended)
{
    if (grouper.Empty() && table)
        return Failed(QStringLiteral("%1 holds no word").arg(where));
    if (grouper.Empty())
        return Failed(QStringLiteral("no colour word (\"$7FFF\" or \"0x7FFF\") found in %1").arg(where));
    IoResult<SourcePalettes> result;
    result.error = grouper.Check(where, result.value.warnings, table, endedBy, ended, name);
    result.value.palettes = std::move(grouper.Palettes());
    result.value.holder = table ? where : name;
    return result;
}

// What a source's NUL bytes suggest, after the reason it gave no palette.
QString NulHint(NulBytes nuls)
{
    switch (nuls) {
    case NulBytes::Some:
        return QStringLiteral("; it holds NUL bytes: if it is a palette file, read it with --read-as ngpal");
    case NulBytes::EveryOther:
        return QStringLiteral("; it holds a NUL in every other byte, as UTF-16 text without its byte-order mark "
                              "does: save it as UTF-8 (a palette file is read with --read-as ngpal)");
    case NulBytes::None:
        break;
    }
    return {};
}

// UTF-16 text explains any failure; a few NUL bytes explain a text without words.
void AddNulHint(IoResult<SourcePalettes>& result, NulBytes nuls, bool noWordWithoutTable)
{
    if (!result.ok() && (nuls == NulBytes::EveryOther || (nuls == NulBytes::Some && noWordWithoutTable)))
        result.error += NulHint(nuls);
}

QString TableWhere(const QString& name, const QString& table)
{
    return QStringLiteral("%1: %2").arg(name, Echoed(table));
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
            auto reader = std::make_unique<TableReader>(options.table, name, folder, options.defines, sink,
                                                        [this](std::size_t more) { return grouper.Enough(more); });
            table = reader.get();
            words = std::move(reader);
            first = words.get();
            return;
        }
        DecimalSink decimals;
        if (options.countWord)
            decimals = [this](QStringView digits) { grouper.AddDecimal(digits); };
        words = std::make_unique<ColourWordScanner>(sink, options.bareMarks, decimals);
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
            return TableWhere(name, options.table);
        if (after)
            return QStringLiteral("%1 after \"%2\"").arg(name, Echoed(options.after));
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
    return stages_->table ? stages_->table->Done() : stages_->grouper.Done();
}

IoResult<SourcePalettes> TextPaletteReader::Finish(NulBytes nuls)
{
    IoResult<SourcePalettes> result = Read();
    AddNulHint(result, nuls, stages_->grouper.Empty() && !stages_->table);
    return result;
}

IoResult<SourcePalettes> TextPaletteReader::Read()
{
    Stages& s = *stages_;
    // The text has ended before the palettes needed were complete: what the
    // stages hold goes on.
    if (!s.grouper.Done() || s.table)
        if (const IoStatus status = s.first->Finish(); !status.ok())
            return Failed(status.error);
    const bool ended = s.table ? !s.table->Stopped() : !s.grouper.Done();
    const TableReader::Ending* endedBy = s.table && s.table->EndedBy() ? &*s.table->EndedBy() : nullptr;
    return Grouped(s.grouper, s.Where(), s.name, s.table != nullptr, endedBy, ended);
}

// As TextPaletteReader would group them: a table's reader stops as soon as
// the grouper has every word it needs; a text's last pieces go on to the
// grouper, but the word open at its end only while words are needed.
IoResult<SourcePalettes> GroupWords(const ReadWords& read, const SourceRequest& request, const QString& name)
{
    const bool table = !request.text.table.isEmpty();
    PaletteGrouper grouper(request);
    IoResult<SourcePalettes> result;
    if (!read.error.isEmpty()) {
        result = Failed(read.error);
    } else {
        if (!table && !read.countDigits.isEmpty())
            grouper.AddDecimal(read.countDigits);
        bool stopped = false;
        for (std::size_t k = 0; k < read.words.size() && !stopped; ++k) {
            if (!table && read.lastWordAtEnd && k + 1 == read.words.size() && grouper.Done())
                break;
            grouper.Add(read.words[k]);
            stopped = table && grouper.Done();
        }
        const bool ended = table ? !stopped : !grouper.Done();
        result = Grouped(grouper, table ? TableWhere(name, request.text.table) : name, name, table,
                         read.endedBy ? &*read.endedBy : nullptr, ended);
    }
    AddNulHint(result, read.nuls, grouper.Empty() && !table);
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
    return reader.Finish(decoder.Nuls());
}

} // namespace palfade
