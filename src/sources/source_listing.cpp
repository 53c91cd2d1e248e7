#include "sources/source_listing.h"

#include "io/file_access.h"
#include "sources/palette_file.h"
#include "sources/palette_source.h"
#include "sources/table_reader.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <memory>

namespace palfade {

namespace {

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
// then handed to the reader of each table whose definition or block it
// continues and of each name it may define. Only the open block's reader
// and the line's own names see a line, so the pass stays linear.
class TableLister {
public:
    TableLister(QString file, QString folder)
        : file_(std::move(file)), folder_(std::move(folder)),
          lines_([this](QStringView raw, qint64 number) { Line(raw, number); }, kMaxTableLineLength),
          code_(kCCode), statement_(kAsmStatement), words_([this](HwColor word) { allWords_.push_back(word); })
    {
    }

    void Feed(QStringView piece)
    {
        lines_.Feed(piece);
        words_.Feed(piece);
    }

    IoResult<std::vector<SourceOffer>> Finish()
    {
        IoResult<std::vector<SourceOffer>> result;
        lines_.Finish();
        (void)words_.Finish();
        if (const qint64 line = lines_.TooLongLine(); line != 0) {
            result.error = QStringLiteral("%1: line %2 is longer than %3 characters")
                               .arg(file_)
                               .arg(line)
                               .arg(kMaxTableLineLength);
            return result;
        }
        std::vector<Found*> tables;
        for (const auto& [name, found] : found_)
            if (found->reader->DefinedOn() != 0 && found->reader->HoldsItems())
                tables.push_back(found.get());
        std::sort(tables.begin(), tables.end(),
                  [](const Found* a, const Found* b) { return a->reader->DefinedOn() < b->reader->DefinedOn(); });
        const std::optional<qint64> unclosed = code_.UnclosedLine();
        for (Found* found : tables) {
            SourceOffer table;
            table.kind = SourceOffer::Kind::Table;
            table.name = found->name;
            table.line = found->reader->DefinedOn();
            if (unclosed) {
                table.error = UnclosedCommentReason(file_, *unclosed);
            } else {
                found->reader->UseDefinitions(names_);
                if (const IoStatus status = found->reader->Finish(); !status.ok())
                    table.error = status.error;
                table.words = std::move(found->words);
            }
            if (!table.error.isEmpty())
                table.words.clear();
            result.value.push_back(std::move(table));
        }
        // After the tables: read without a table, every colour word.
        SourceOffer words;
        words.words = std::move(allWords_);
        if (words.words.empty())
            words.error = GroupWords({}, SourceRequest{}, file_).error;
        result.value.push_back(std::move(words));
        return result;
    }

private:
    struct Found {
        QString name;
        std::unique_ptr<TableReader> reader;
        std::vector<HwColor> words;
    };

    Found& ReaderFor(const QString& name)
    {
        std::unique_ptr<Found>& found = found_[name];
        if (!found) {
            found = std::make_unique<Found>();
            found->name = name;
            Found* f = found.get();
            found->reader = std::make_unique<TableReader>(name, file_, folder_, QStringList(),
                                                          [f](HwColor word) { f->words.push_back(word); });
        }
        return *found;
    }

    void Line(QStringView raw, qint64 number)
    {
        code.resize(0);
        code_.Line(raw, code);
        statement.resize(0);
        statement_.Line(raw, statement);
        CollectDefinition(statement, file_, number, names_);
        std::vector<Found*> fed;
        auto feed = [&](Found& found) {
            if (std::find(fed.begin(), fed.end(), &found) != fed.end())
                return;
            found.reader->FilteredLine(code, statement, number);
            fed.push_back(&found);
        };
        for (Found* found : open_)
            feed(*found);
        for (const QString& name : Candidates(code, statement))
            feed(ReaderFor(name));
        open_.clear();
        for (Found* found : fed)
            if (found->reader->Open())
                open_.push_back(found);
    }

    QString file_;
    QString folder_;
    LineSplitter lines_;
    CommentFilter code_;
    CommentFilter statement_;
    QString code; // the line's two views, their room kept between lines
    QString statement;
    ColourWordScanner words_;
    std::vector<HwColor> allWords_;
    NameDefinitions names_;
    std::map<QString, std::unique_ptr<Found>> found_;
    std::vector<Found*> open_;
};

IoResult<SourceListing> Failed(const QString& reason)
{
    IoResult<SourceListing> result;
    result.error = reason;
    return result;
}

IoResult<std::vector<SourceOffer>> ListText(const SourceOrigin& origin, qint64 maxBytes)
{
    TableLister lister(origin.name, origin.folder);
    if (origin.from == SourceOrigin::From::Memory) {
        lister.Feed(origin.text);
        return lister.Finish();
    }
    QFile file(origin.path);
    QIODevice* device = origin.device;
    if (origin.from == SourceOrigin::From::File) {
        if (const IoStatus opened = OpenForReading(file); !opened.ok()) {
            IoResult<std::vector<SourceOffer>> failed;
            failed.error = opened.error;
            return failed;
        }
        device = &file;
    }
    TextDecoder decoder;
    const IoStatus status = ReadInPieces(
        *device, origin.name, maxBytes, [&](QByteArrayView bytes) { lister.Feed(decoder.Feed(bytes)); },
        [] { return false; });
    if (!status.ok()) {
        IoResult<std::vector<SourceOffer>> failed;
        failed.error = status.error;
        return failed;
    }
    lister.Feed(decoder.Finish());
    return lister.Finish();
}

// A picture's colour table by each rule that turns its colours into words.
std::vector<SourceOffer> ListPicture(const QString& path, const SourceRequest& request)
{
    std::vector<SourceOffer> offers;
    for (const PictureWords rule : {PictureWords::Levels, PictureWords::Ngdevkit}) {
        SourceOffer offer;
        offer.kind = SourceOffer::Kind::PictureTable;
        offer.pictureWords = rule;
        const IoResult<SourcePalettes> read = ReadSource(SourceOrigin::File(path), OfferRequest(offer, request));
        offer.palettes = read.value.palettes;
        offer.error = read.error;
        offers.push_back(std::move(offer));
    }
    return offers;
}

} // namespace

bool SourceOffer::HasCountWord() const
{
    return words.size() > 1 && words.front() >= 1 &&
           words.size() - 1 == static_cast<std::size_t>(words.front()) * kPaletteSize;
}

IoResult<SourceListing> ListSource(const SourceOrigin& origin, const SourceRequest& request)
{
    const bool file = origin.from == SourceOrigin::From::File;
    IoResult<SourceListing> result;
    result.value.name = origin.name;
    result.value.kind = request.kind.value_or(file ? SourceKindOf(origin.path) : SourceKind::Text);
    if (!file && result.value.kind != SourceKind::Text)
        return Failed(QStringLiteral("%1 is read as text; a palette file or picture needs a file").arg(origin.name));
    switch (result.value.kind) {
    case SourceKind::PaletteFile: {
        IoResult<PaletteFileSet> read = ReadPaletteFile(origin.path);
        if (!read.ok())
            return Failed(read.error);
        SourceOffer offer;
        offer.kind = SourceOffer::Kind::PaletteFile;
        offer.palettes = std::move(read.value.palettes);
        result.value.offers.push_back(std::move(offer));
        return result;
    }
    case SourceKind::Picture:
        result.value.offers = ListPicture(origin.path, request);
        return result;
    case SourceKind::Text:
        break;
    }
    IoResult<std::vector<SourceOffer>> text = ListText(origin, request.maxBytes);
    if (!text.ok())
        return Failed(text.error);
    result.value.offers = std::move(text.value);
    return result;
}

SourceRequest OfferRequest(const SourceOffer& offer, SourceRequest request)
{
    request.text.table = offer.kind == SourceOffer::Kind::Table ? offer.name : QString();
    switch (offer.kind) {
    case SourceOffer::Kind::ColourWords:
    case SourceOffer::Kind::Table:
        request.kind = SourceKind::Text;
        break;
    case SourceOffer::Kind::PaletteFile:
        request.kind = SourceKind::PaletteFile;
        break;
    case SourceOffer::Kind::PictureTable:
        request.kind = SourceKind::Picture;
        request.pictureOrder = PictureOrder::Table;
        request.pictureWords = offer.pictureWords;
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
    if (offer.IsText())
        return GroupWords(offer.words, request, listing.name);
    result.value.palettes = offer.palettes;
    result.value.holder = listing.name;
    return result;
}

} // namespace palfade
