#include "ui/source_import.h"

#include "io/file_access.h"
#include "ui/requester_texts.h"

#include <QFileInfo>

#include <memory>

namespace palfade {

namespace {

QString PalettesText(std::size_t count)
{
    return PaletteCountText(static_cast<qsizetype>(count));
}

QString ExchangeKindName(SourceKind kind)
{
    switch (kind) {
    case SourceKind::JascPalette:
        return QStringLiteral("JASC-PAL palette");
    case SourceKind::AdobeColorTable:
        return QStringLiteral("Adobe colour table");
    case SourceKind::HexList:
        return QStringLiteral("hex list");
    default:
        break;
    }
    return QStringLiteral("GIMP palette");
}

// What an offer is, as its row names it.
QString OfferTitle(const SourceListing& listing, const SourceOffer& offer)
{
    switch (offer.kind) {
    case SourceOffer::Kind::ColourWords:
        return QStringLiteral("every \"$\" or \"0x\" word");
    case SourceOffer::Kind::Table:
        return QStringLiteral("%1 (line %2)").arg(offer.name).arg(offer.line);
    case SourceOffer::Kind::PaletteFile:
        return QFileInfo(listing.name).fileName();
    case SourceOffer::Kind::PictureTable:
        return offer.pictureWords == PictureWords::Levels ? QStringLiteral("colour table, level tables")
                                                          : QStringLiteral("colour table, ngdevkit words");
    case SourceOffer::Kind::Exchange:
        return QStringLiteral("%1, %2").arg(QFileInfo(listing.name).fileName(), ExchangeKindName(offer.exchangeKind));
    }
    return {};
}

// Its words, its palettes and the count word it found; or why it cannot be read.
QString OfferText(const SourceListing& listing, const SourceOffer& offer)
{
    const QString title = OfferTitle(listing, offer);
    if (!offer.Readable())
        return QStringLiteral("%1: cannot be read: %2").arg(title, offer.error);
    if (!offer.IsText())
        return QStringLiteral("%1: %2").arg(title, PalettesText(offer.paletteCount));
    const std::size_t words = offer.words.size();
    if (offer.cut)
        return QStringLiteral("%1: more than %2 words, read when picked").arg(title).arg(words);
    const QString wordsText = words == 1 ? QStringLiteral("1 word") : QStringLiteral("%1 words").arg(words);
    if (offer.HasCountWord())
        return QStringLiteral("%1: count word %2, then %3 (%4)")
            .arg(title)
            .arg(offer.words.front())
            .arg(PalettesText(offer.words.front()), wordsText);
    return QStringLiteral("%1: %2, %3").arg(title, wordsText, PalettesText((words + kPaletteSize - 1) / kPaletteSize));
}

} // namespace

SourceRequest PickRequest(const SourceOffer& offer, const SourcePick& pick, SourceRequest base)
{
    SourceRequest request = OfferRequest(offer, std::move(base));
    if (offer.IsText()) {
        request.text.countWord = pick.countWord;
        request.text.paletteSize = pick.paletteSize;
        request.text.firstEntry = pick.firstEntry;
    }
    request.needed = static_cast<std::size_t>(std::max(pick.index, 0)) + 1;
    request.indexed = true;
    return request;
}

SourcePickerModel PickerModel(const SourceListing& listing, const SourceRequest& base)
{
    SourcePickerModel model;
    model.source = listing.note.isEmpty() ? listing.name : listing.name + QLatin1Char('\n') + listing.note;
    for (const SourceOffer& offer : listing.offers) {
        SourcePickerRow row;
        row.text = OfferText(listing, offer);
        row.loadable = offer.Readable();
        row.words = offer.IsText();
        row.countWord = offer.Readable() && offer.HasCountWord();
        row.wordCount = static_cast<int>(std::min<std::size_t>(offer.words.size(), kPaletteSize));
        model.rows.push_back(row);
    }
    model.preview = [listing = std::make_shared<const SourceListing>(listing), base](const SourcePick& pick) {
        PickedPalette picked;
        if (pick.row < 0 || static_cast<std::size_t>(pick.row) >= listing->offers.size())
            return picked;
        const SourceOffer& offer = listing->offers[static_cast<std::size_t>(pick.row)];
        SourceRequest request = PickRequest(offer, pick, base);
        request.needed = kEveryPalette;
        const IoResult<SourcePalettes> palettes = OfferPalettes(*listing, offer, request);
        if (!palettes.ok()) {
            picked.note = palettes.error;
            return picked;
        }
        picked.palettes = static_cast<int>(palettes.value.palettes.size());
        const IoResult<PaletteWords> one = PickPalette(palettes.value.palettes, pick.index, palettes.value.holder);
        if (!one.ok()) {
            picked.note = one.error;
            return picked;
        }
        picked.words = one.value;
        QStringList note{QStringLiteral("Palette %1 of %2 (0-%3).")
                             .arg(pick.index)
                             .arg(PalettesText(palettes.value.palettes.size()))
                             .arg(picked.palettes - 1)};
        note << palettes.value.warnings;
        picked.note = note.join(u' ');
        return picked;
    };
    return model;
}

std::optional<PaletteOrigin> ImportPaletteFromSource(AppState& state, Host& host, int which)
{
    SourcePalette* palette = PaletteByNumber(state, which);
    if (palette == nullptr)
        return std::nullopt;
    const QString path = host.AskOpenFile(QString::fromLatin1(texts::kOpenTitle), kPaletteSourceOpen).path;
    // Only a regular file: a pipe would hold the window until some other
    // program writes, and a device such as /dev/zero never ends.
    if (path.isEmpty() || !ExistingFileSize(path))
        return std::nullopt;
    SourceRequest base;
    base.levels = state.levels;
    const SourceOrigin origin = SourceOrigin::File(path);
    const IoResult<SourceListing> listing = ListSource(origin, base);
    if (!listing.ok()) {
        host.ShowMessage(QString::fromLatin1(texts::kErrorTitle), listing.error);
        return std::nullopt;
    }
    const std::optional<SourcePick> pick = host.PickSourcePalette(PickerModel(listing.value, base), state.levels);
    if (!pick || pick->row < 0 || static_cast<std::size_t>(pick->row) >= listing.value.offers.size())
        return std::nullopt;
    const SourceOffer& offer = listing.value.offers[static_cast<std::size_t>(pick->row)];
    if (!offer.Readable())
        return std::nullopt;
    // Read again as palfade-cli reads it, so what loads is what its command gives.
    const SourceRequest request = PickRequest(offer, *pick, base);
    const IoResult<SourcePalettes> read = ReadSource(origin, request);
    IoResult<PaletteWords> picked;
    if (read.ok())
        picked = PickPalette(read.value.palettes, pick->index, read.value.holder);
    const QString error = read.ok() ? picked.error : read.error;
    if (!error.isEmpty()) {
        host.ShowMessage(QString::fromLatin1(texts::kErrorTitle), error);
        return std::nullopt;
    }
    *palette = PaletteOfWords(picked.value);
    return PaletteOrigin::File(path, request, pick->index, picked.value);
}

} // namespace palfade
