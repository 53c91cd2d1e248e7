#include "exports/file_formats.h"

namespace palfade {

namespace {

constexpr const char* kAsmExtensions[] = {"s"};
constexpr const char* kAsmAlso[] = {"asm", "inc"};
constexpr const char* kCExtensions[] = {"c"};
constexpr const char* kCAlso[] = {"h"};
constexpr const char* kBinExtensions[] = {"bin"};
constexpr const char* kPngExtensions[] = {"png"};
constexpr const char* kBmpExtensions[] = {"bmp"};
constexpr const char* kGifExtensions[] = {"gif"};
constexpr const char* kAnyExtension[] = {"*"};
// Every source "Import from source.." reads, in the order its requester lists them.
constexpr const char* kPaletteSourceExtensions[] = {"s", "asm", "inc", "c", "h", "pal", "ngpal", "png", "gif", "bmp"};
// The exchange palettes' files, as "Import from source.." lists them.
constexpr const char* kArtistsPaletteExtensions[] = {"gpl", "pal", "act", "hex"};
constexpr const char* kEveryName[] = {""};

// Names spelled as the program has always shown them, typos included.
constexpr FileFormat kAssembler{.name = "ASM-Inlcude",
                                .extensions = kAsmExtensions,
                                .alsoAccepted = kAsmAlso,
                                .cliName = "asm",
                                .wordExport = &kMotorolaWords};
constexpr FileFormat kCSource{.name = "C-Output",
                              .extensions = kCExtensions,
                              .alsoAccepted = kCAlso,
                              .cliName = "c",
                              .wordExport = &kCWords};
// GNU as in its default syntax, as the ngdevkit and DATlib toolchains run it;
// no extension implies it, so ".s" stays the Motorola form.
constexpr FileFormat kGnuAssembler{.name = "GNU as",
                                   .extensions = {},
                                   .cliName = "gas",
                                   .wordExport = &kGnuWords};
constexpr FileFormat kBinary{
    .name = "Binary", .extensions = kBinExtensions, .cliName = "bin", .wordExport = &kBigEndianWords};
constexpr FileFormat kPaletteFile{.name = "NeoGeo Palette",
                                  .extensions = kPaletteFileExtensions,
                                  .cliName = "ngpal",
                                  .wordExport = &kBigEndianWords,
                                  .source = SourceKind::PaletteFile};
constexpr FileFormat kPng{.name = "Portable Network Graphics",
                          .extensions = kPngExtensions,
                          .cliName = "png",
                          .pictureExport = PictureFormat::Png,
                          .artExport = ArtFormat::Sheet};
constexpr FileFormat kBmp{
    .name = "Windows Bitmap", .extensions = kBmpExtensions, .cliName = "bmp", .pictureExport = PictureFormat::Bmp};
constexpr FileFormat kGif{.name = "Graphics Interchange Format",
                          .extensions = kGifExtensions,
                          .cliName = "gif",
                          .artExport = ArtFormat::Gif};
constexpr FileFormat kPictures{.name = "Supported Images",
                               .extensions = kPictureExtensions,
                               .alsoAccepted = kPictureAlsoExtensions,
                               .source = SourceKind::Picture};
// The exchange palettes open as their kinds; a .pal file is read as JASC-PAL
// only when its first line says so.
constexpr FileFormat kGimpPalette{.name = "GIMP Palette",
                                  .extensions = kGimpPaletteExtensions,
                                  .cliName = "gpl",
                                  .exchangeExport = ExchangeFormat::Gimp,
                                  .source = SourceKind::GimpPalette};
constexpr FileFormat kJascPalette{.name = "JASC Palette",
                                  .extensions = kJascPaletteExtensions,
                                  .cliName = "jasc",
                                  .exchangeExport = ExchangeFormat::Jasc,
                                  .source = SourceKind::JascPalette};
constexpr FileFormat kAdobeColorTable{.name = "Adobe Color Table",
                                      .extensions = kAdobeColorTableExtensions,
                                      .cliName = "act",
                                      .exchangeExport = ExchangeFormat::AdobeColorTable,
                                      .source = SourceKind::AdobeColorTable};
constexpr FileFormat kHexList{.name = "Hex Palette",
                              .extensions = kHexListExtensions,
                              .cliName = "hex",
                              .exchangeExport = ExchangeFormat::HexList,
                              .source = SourceKind::HexList};
constexpr FileFormat kAnyFile{.name = "All filess", .extensions = kAnyExtension, .source = SourceKind::Text};
// Read by their content and name (SourceKindOf), whatever filter is chosen.
constexpr FileFormat kPaletteSources{.name = "Palette sources", .extensions = kPaletteSourceExtensions};
constexpr FileFormat kArtistsPalettes{.name = "Artists' palettes", .extensions = kArtistsPaletteExtensions};
constexpr FileFormat kAllFiles{.name = "All files", .extensions = kEveryName};

constexpr const FileFormat* kFadeTableFormats[] = {&kAssembler, &kCSource, &kBinary};
constexpr const FileFormat* kSourcePaletteSaveFormats[] = {&kAssembler, &kCSource, &kPaletteFile};
constexpr const FileFormat* kPictureSaveFormats[] = {&kPng, &kBmp};
constexpr const FileFormat* kPaletteFileFormats[] = {&kPaletteFile};
constexpr const FileFormat* kTextFormats[] = {&kAnyFile};
constexpr const FileFormat* kPictureOpenFormats[] = {&kPictures};
constexpr const FileFormat* kPaletteSourceFormats[] = {&kPaletteSources, &kArtistsPalettes, &kAllFiles};
constexpr const FileFormat* kAllFileFormats[] = {&kAllFiles};
constexpr const FileFormat* kFadeTableCli[] = {&kAssembler, &kGnuAssembler, &kCSource, &kBinary,
                                               &kGimpPalette, &kJascPalette, &kAdobeColorTable, &kHexList};
constexpr const FileFormat* kSourcePaletteCli[] = {&kAssembler,   &kGnuAssembler, &kCSource,
                                                   &kPaletteFile, &kGimpPalette,  &kJascPalette,
                                                   &kAdobeColorTable, &kHexList};
constexpr const FileFormat* kArtCli[] = {&kGif, &kPng};
constexpr const FileFormat* kExchange[] = {&kGimpPalette, &kJascPalette, &kAdobeColorTable, &kHexList};
constexpr const FileFormat* kCli[] = {&kAssembler, &kGnuAssembler, &kCSource,        &kBinary, &kPaletteFile,
                                      &kGimpPalette, &kJascPalette, &kAdobeColorTable, &kHexList, &kPng,
                                      &kBmp,         &kGif};

bool EndsWithExtension(const QString& lowerPath, Extensions extensions)
{
    for (const char* e : extensions)
        if (lowerPath.endsWith(QLatin1Char('.') + QLatin1String(e)))
            return true;
    return false;
}

} // namespace

constexpr FileRequester kFadeTableSave{kFadeTableFormats, 0, 0};
constexpr FileRequester kSourcePaletteSave{kSourcePaletteSaveFormats, 2, 0};
// Any filter but the first is BMP.
constexpr FileRequester kPictureSave{kPictureSaveFormats, 0, 1};
constexpr FileRequester kPaletteFileOpen{kPaletteFileFormats};
constexpr FileRequester kTextOpen{kTextFormats};
constexpr FileRequester kPictureOpen{kPictureOpenFormats};
constexpr FileRequester kPaletteSourceOpen{kPaletteSourceFormats};
constexpr FileRequester kAnyFileSave{kAllFileFormats};
constexpr FormatList kFadeTableCliFormats{kFadeTableCli};
constexpr FormatList kSourcePaletteCliFormats{kSourcePaletteCli};
constexpr FormatList kArtCliFormats{kArtCli};
constexpr FormatList kExchangeFormats{kExchange};
constexpr FormatList kCliFormats{kCli};

const FileFormat& FileRequester::Chosen(int filterIndex) const
{
    const bool offered = filterIndex >= 0 && static_cast<std::size_t>(filterIndex) < formats.size();
    return *formats[static_cast<std::size_t>(offered ? filterIndex : fallback)];
}

QString ExtensionPattern(const char* extension)
{
    return *extension == 0 ? QStringLiteral("*") : QStringLiteral("*.") + QLatin1String(extension);
}

bool HasExtensionOf(const QString& path, const FileFormat& format, bool alsoAccepted)
{
    const QString lower = path.toLower();
    return EndsWithExtension(lower, format.extensions) ||
           (alsoAccepted && EndsWithExtension(lower, format.alsoAccepted));
}

} // namespace palfade
