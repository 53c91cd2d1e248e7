#include "sources/source_listing.h"

#include "io/file_access.h"
#include "sources/palette_file.h"
#include "sources/palette_source.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <memory>

namespace palfade {

namespace {

// A listing holds at most this many words in all (8 MiB), whatever the
// source's fills and includes make of it; an offer beyond them is cut and
// read again when it is picked.
constexpr std::size_t kListedWords = std::size_t{1} << 22;
// The labels and array names a listing follows at most: every one holds a
// table's reader until the text's end.
constexpr std::size_t kFollowedNames = 16384;
// No source a toolchain reads has more definitions open at once; a text
// that has them would make every line go to every one.
constexpr std::size_t kOpenDefinitions = 64;

// The names a line may define a table under, as TableReader looks for one:
// a label opening the statement ("NAME:"), a name in the first column (a
// Motorola label before its directive), and every name before "[" (a C
// array). Each reader then decides whether it is a definition.
QStringList Candidates(QStringView code, QStringView statement)
{
    static const QRegularExpression kLabel(QStringLiteral("^\\s*([A-Za-z_.][A-Za-z0-9_.]*):"));
    static const QRegularExpression kColumnOne(QStringLiteral("^([A-Za-z_.][A-Za-z0-9_.]*)[ \\t]"));
    static const QRegularExpression kArray(QStringLiteral("([A-Za-z_][A-Za-z0-9_]*)\\s*\\["));
    QStringList names;
    for (const QRegularExpression* form : {&kLabel, &kColumnOne})
        if (const QRegularExpressionMatch match = form->match(statement); match.hasMatch())
            names << match.captured(1);
    for (QRegularExpressionMatchIterator it = kArray.globalMatch(code); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

// Every table of a text in one pass: each line is split and filtered once,
// its definitions of names gathered once, then handed to the reader of each
// table whose definition or block it continues and of each name it may
// define. A name used but never defined leaves no reader behind, and a
// label defined without data (code) keeps only its name, so that a later
// definition is known for a second one.
class TableLister {
public:
    TableLister(QString file, QString folder, QStringList defines)
        : file_(std::move(file)), folder_(std::move(folder)), defines_(std::move(defines)), names_(file_),
          lines_([this](QStringView raw, qint64 number) { Line(raw, number); }, kMaxSourceLineLength),
          codeFilter_(kCSourceCode), statementFilter_(kAsmStatements),
          scanner_([this](HwColor word) { Keep(words_, word); }, BareMarks::NoWord,
                   [this](QStringView digits) {
                       if (words_.words.empty() && words_.countDigits.isEmpty())
                           words_.countDigits = digits.toString();
                   })
    {
    }

    void Feed(QStringView piece)
    {
        if (error_.isEmpty())
            lines_.Feed(piece);
        scanner_.Feed(piece);
    }

    // The tables in the order they are defined, then the colour words.
    IoResult<std::vector<SourceOffer>> Finish(const SourceRequest& request, NulBytes nuls)
    {
        IoResult<std::vector<SourceOffer>> result;
        if (!error_.isEmpty()) {
            result.error = error_;
            return result;
        }
        lines_.Finish();
        const std::size_t before = words_.words.size();
        (void)scanner_.Finish();
        words_.lastWordAtEnd = words_.words.size() > before;
        names_.Seal();
        const qint64 tooLong = lines_.TooLongLine();
        const std::optional<qint64> unclosed = codeFilter_.UnclosedLine();
        std::vector<Found*> tables;
        for (const auto& [name, found] : found_)
            if (found->reader && found->reader->DefinedOn() != 0 && found->reader->TookItems())
                tables.push_back(found.get());
        std::sort(tables.begin(), tables.end(),
                  [](const Found* a, const Found* b) { return a->reader->DefinedOn() < b->reader->DefinedOn(); });
        for (Found* found : tables) {
            TableReader& reader = *found->reader;
            SourceOffer& offer = found->offer;
            offer.line = reader.DefinedOn();
            QString error;
            if (tooLong != 0 && !reader.Done()) {
                error = TooLongLineReason(file_, tooLong);
            } else {
                reader.ListedEnd(names_, unclosed);
                if (const IoStatus status = reader.Finish(); !status.ok())
                    error = status.error;
                offer.cut = offer.cut || reader.Stopped();
                if (reader.EndedBy())
                    offer.endedBy = reader.EndedBy();
            }
            found->reader.reset();
            Settle(offer, error, request, nuls);
            result.value.push_back(std::move(offer));
        }
        // After the tables: read without a table, every colour word.
        Settle(words_, QString(), request, nuls);
        result.value.push_back(std::move(words_));
        return result;
    }

    // Why tables after some line are not listed, if they are not.
    QString Note() const
    {
        if (unfollowedFrom_ == 0)
            return {};
        return QStringLiteral("Only the tables defined before line %1 are listed: the source names more than %2 "
                              "labels and arrays.")
            .arg(unfollowedFrom_)
            .arg(kFollowedNames);
    }

private:
    struct Found {
        QString name;
        std::unique_ptr<TableReader> reader; // none: a label that holds no data
        SourceOffer offer;
    };

    void Keep(SourceOffer& offer, HwColor word)
    {
        if (held_ < kListedWords) {
            offer.words.push_back(word);
            ++held_;
        } else {
            offer.cut = true;
        }
    }

    // What the offer gives for the listing's own request: its error, if any.
    void Settle(SourceOffer& offer, const QString& error, const SourceRequest& request, NulBytes nuls) const
    {
        if (!error.isEmpty())
            offer.words.clear();
        if (offer.cut)
            return;
        ReadWords read;
        read.words = offer.words;
        read.error = error;
        read.endedBy = offer.endedBy;
        read.countDigits = offer.countDigits;
        read.lastWordAtEnd = offer.lastWordAtEnd;
        read.nuls = nuls;
        offer.error = GroupWords(read, OfferRequest(offer, request), file_).error;
        if (!offer.Readable())
            offer.words.clear();
    }

    // The reader of a name, made on its first candidate line while names are
    // followed; none for a label that holds no data.
    Found* ReaderFor(const QString& name, qint64 number)
    {
        const auto at = found_.find(name);
        if (at != found_.end())
            return at->second->reader ? at->second.get() : nullptr;
        if (unfollowedFrom_ != 0 || found_.size() >= kFollowedNames) {
            if (unfollowedFrom_ == 0)
                unfollowedFrom_ = number;
            return nullptr;
        }
        auto found = std::make_unique<Found>();
        Found* f = found.get();
        f->name = name;
        f->offer.kind = SourceOffer::Kind::Table;
        f->offer.name = name;
        f->reader = std::make_unique<TableReader>(
            name, file_, folder_, defines_, [this, f](HwColor word) { Keep(f->offer, word); },
            [this](std::size_t more) { return held_ + more >= kListedWords; });
        found_.emplace(name, std::move(found));
        return f;
    }

    void Line(QStringView raw, qint64 number)
    {
        code_.resize(0);
        codeFilter_.Line(raw, code_);
        statement_.resize(0);
        statementFilter_.Line(raw, statement_);
        if (!error_.isEmpty())
            return;
        CollectDefinition(statement_, number, names_);
        fed_.clear();
        auto feed = [&](Found* found) {
            if (found == nullptr || std::find(fed_.begin(), fed_.end(), found) != fed_.end())
                return;
            found->reader->ListedLine(code_, statement_, number);
            fed_.push_back(found);
        };
        for (Found* found : open_)
            feed(found);
        for (const QString& name : Candidates(code_, statement_))
            feed(ReaderFor(name, number));
        open_.clear();
        for (Found* found : fed_) {
            const TableReader& reader = *found->reader;
            if (reader.Done())
                continue;
            if (reader.Open())
                open_.push_back(found);
            else if (reader.DefinedOn() == 0)
                found_.erase(found->name);
            else if (!reader.TookItems())
                found->reader.reset();
        }
        if (open_.size() > kOpenDefinitions)
            error_ = QStringLiteral("%1, line %2: more than %3 tables or definitions are open at once")
                         .arg(file_)
                         .arg(number)
                         .arg(kOpenDefinitions);
    }

    QString file_;
    QString folder_;
    QStringList defines_;
    NameTable names_;
    LineSplitter lines_;
    CommentFilter codeFilter_;
    CommentFilter statementFilter_;
    QString code_; // the line's two views, their room kept between lines
    QString statement_;
    ColourWordScanner scanner_;
    SourceOffer words_; // every colour word
    std::size_t held_ = 0;
    std::map<QString, std::unique_ptr<Found>> found_;
    std::vector<Found*> open_;
    std::vector<Found*> fed_;
    qint64 unfollowedFrom_ = 0;
    QString error_;
};

IoResult<SourceListing> Failed(const QString& reason)
{
    IoResult<SourceListing> result;
    result.error = reason;
    return result;
}

IoStatus ListText(const SourceOrigin& origin, const SourceRequest& request, SourceListing& listing)
{
    TableLister lister(origin.name, origin.folder, request.text.defines);
    NulBytes nuls = NulBytes::None;
    if (origin.from == SourceOrigin::From::Memory) {
        lister.Feed(origin.text);
    } else {
        QFile file(origin.path);
        QIODevice* device = origin.device;
        if (origin.from == SourceOrigin::From::File) {
            if (const IoStatus opened = OpenForReading(file); !opened.ok())
                return opened;
            device = &file;
        }
        TextDecoder decoder;
        const IoStatus status = ReadInPieces(
            *device, origin.name, request.maxBytes, [&](QByteArrayView bytes) { lister.Feed(decoder.Feed(bytes)); },
            [] { return false; });
        if (!status.ok())
            return status;
        lister.Feed(decoder.Finish());
        nuls = decoder.Nuls();
    }
    IoResult<std::vector<SourceOffer>> offers = lister.Finish(request, nuls);
    if (!offers.ok())
        return IoStatus::Failure(offers.error);
    listing.offers = std::move(offers.value);
    listing.nuls = nuls;
    listing.note = lister.Note();
    return IoStatus::Success();
}

// The offer of a file read whole by its kind's reader: its palettes, or the
// listing's error.
IoStatus ListWhole(SourceOffer offer, const SourceRequest& request, SourceListing& listing)
{
    const IoResult<SourcePalettes> read = ReadSource(listing.origin, OfferRequest(offer, request));
    if (!read.ok())
        return IoStatus::Failure(read.error);
    offer.paletteCount = read.value.palettes.size();
    listing.offers.push_back(std::move(offer));
    return IoStatus::Success();
}

// A picture's colour table by each rule that turns its colours into words.
void ListPicture(const SourceRequest& request, SourceListing& listing)
{
    for (const PictureWords rule : {PictureWords::Levels, PictureWords::Ngdevkit}) {
        SourceOffer offer;
        offer.kind = SourceOffer::Kind::PictureTable;
        offer.pictureWords = rule;
        const IoResult<SourcePalettes> read = ReadSource(listing.origin, OfferRequest(offer, request));
        offer.paletteCount = read.value.palettes.size();
        offer.error = read.error;
        listing.offers.push_back(std::move(offer));
    }
}

} // namespace

bool SourceOffer::HasCountWord() const
{
    std::size_t count = 0;
    std::size_t palettes = words.size();
    bool ok = !countDigits.isEmpty();
    if (ok) {
        count = countDigits.toUInt(&ok);
    } else if (!words.empty()) {
        count = words.front();
        --palettes;
        ok = true;
    }
    return ok && !cut && count >= 1 && palettes == count * kPaletteSize;
}

IoResult<SourceListing> ListSource(const SourceOrigin& origin, const SourceRequest& request)
{
    const bool file = origin.from == SourceOrigin::From::File;
    IoResult<SourceListing> result;
    SourceListing& listing = result.value;
    listing.origin = origin;
    listing.name = origin.name;
    listing.kind = request.kind.value_or(file ? SourceKindOfFile(origin.path) : SourceKind::Text);
    if (!file && listing.kind != SourceKind::Text)
        return Failed(QStringLiteral("%1 is read as text; a palette file or picture needs a file").arg(origin.name));
    SourceOffer offer;
    IoStatus status = IoStatus::Success();
    switch (listing.kind) {
    case SourceKind::PaletteFile:
        offer.kind = SourceOffer::Kind::PaletteFile;
        status = ListWhole(offer, request, listing);
        break;
    case SourceKind::GimpPalette:
    case SourceKind::JascPalette:
    case SourceKind::AdobeColorTable:
    case SourceKind::HexList:
        offer.kind = SourceOffer::Kind::Exchange;
        offer.exchangeKind = listing.kind;
        status = ListWhole(offer, request, listing);
        break;
    case SourceKind::Picture:
        ListPicture(request, listing);
        break;
    case SourceKind::Text:
        status = ListText(origin, request, listing);
        break;
    }
    if (!status.ok())
        return Failed(status.error);
    return result;
}

SourceRequest OfferRequest(const SourceOffer& offer, SourceRequest request)
{
    request.text.table = offer.kind == SourceOffer::Kind::Table ? offer.name : QString();
    switch (offer.kind) {
    case SourceOffer::Kind::ColourWords:
    case SourceOffer::Kind::Table:
        request.kind = SourceKind::Text;
        request.text.bareMarks = BareMarks::NoWord;
        break;
    case SourceOffer::Kind::PaletteFile:
        request.kind = SourceKind::PaletteFile;
        break;
    case SourceOffer::Kind::PictureTable:
        request.kind = SourceKind::Picture;
        request.pictureOrder = PictureOrder::Table;
        request.pictureWords = offer.pictureWords;
        break;
    case SourceOffer::Kind::Exchange:
        request.kind = offer.exchangeKind;
        request.pictureWords = PictureWords::Levels;
        break;
    }
    return request;
}

IoResult<SourcePalettes> OfferPalettes(const SourceListing& listing, const SourceOffer& offer,
                                       const SourceRequest& request)
{
    IoResult<SourcePalettes> result;
    if (!offer.Readable()) {
        result.error = offer.error;
        return result;
    }
    if (offer.IsText() && !offer.cut) {
        const ReadWords read{.words = offer.words,
                             .error = {},
                             .endedBy = offer.endedBy,
                             .countDigits = offer.countDigits,
                             .lastWordAtEnd = offer.lastWordAtEnd,
                             .nuls = listing.nuls};
        return GroupWords(read, request, listing.name);
    }
    if (listing.origin.from != SourceOrigin::From::Device)
        return ReadSource(listing.origin, request);
    result.error =
        QStringLiteral("%1 holds more words than a listing keeps: read it with palfade-cli").arg(listing.name);
    return result;
}

} // namespace palfade
