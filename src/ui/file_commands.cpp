#include "ui/file_commands.h"

#include "core/app_state.h"
#include "exports/export_formats.h"
#include "io/file_access.h"
#include "exports/picture_export.h"
#include "sources/palette_file.h"
#include "exports/save_path.h"
#include "sources/source.h"
#include "ui/requester_texts.h"

#include <functional>

namespace palfade {

namespace {

constexpr int kDroppedPalettes = 2;

struct SaveTarget {
    QString path; // empty: cancelled, or the user kept the old file
    const FileFormat* format = nullptr;
};

// Requester, final path from the chosen format, and the question before a
// regular file is replaced (a directory is no file to replace).
SaveTarget AskSaveTarget(Host& host, const FileRequester& requester)
{
    const FileChoice choice = host.AskSaveFile(QString::fromLatin1(texts::kSaveTitle), requester);
    if (choice.path.isEmpty())
        return {};
    const FileFormat& format = requester.Chosen(choice.filterIndex);
    const QString finalPath = FinalSavePath(choice.path, format);
    if (ExistingFileSize(finalPath) &&
        !host.AskYesNo(QString::fromLatin1(texts::kConfirmSaveTitle),
                       finalPath + QString::fromLatin1(texts::kConfirmReplaceSuffix)))
        return {};
    return SaveTarget{finalPath, &format};
}

QString AskOpenPath(Host& host, const FileRequester& requester)
{
    return host.AskOpenFile(QString::fromLatin1(texts::kOpenTitle), requester).path;
}

// The window reads one palette over the one it changes: entries the source
// does not reach keep their values, and a read that fails leaves the palette
// exactly as it was. The slots of a picture's colours go to the state.
bool ReadInto(AppState& state, int which, const SourceOrigin& origin, SourceRequest request)
{
    SourcePalette* palette = PaletteByNumber(state, which);
    if (palette == nullptr)
        return false;
    request.needed = 1;
    request.base = WordsOfPalette(*palette);
    const IoResult<SourcePalettes> read = ReadSource(origin, request);
    if (!read.ok())
        return false;
    *palette = PaletteOfWords(read.value.palettes.front());
    if (read.value.importSlots)
        state.importSlots = *read.value.importSlots;
    return true;
}

// The requests of the window's commands: the kind is the command's, whatever
// the file's name, and a "$" or "0x" without digits is the word 0000.
SourceRequest RequestOf(SourceKind kind)
{
    SourceRequest request;
    request.kind = kind;
    request.text.bareMarks = BareMarks::Zero;
    return request;
}

} // namespace

// The user must not believe a fade was saved when it was not. A pipe or a
// device at the path is refused before anything is opened: writing into it
// would hold the window until some other program reads.
void SaveAndReport(Host& host, const QString& path, const std::function<IoStatus()>& write)
{
    IoStatus status = RefuseSpecialFile(path);
    if (status.ok())
        status = write();
    if (!status.ok())
        host.ShowMessage(QString::fromLatin1(texts::kErrorTitle), status.error);
}

void SaveFadeTable(const AppState& state, Host& host)
{
    const SaveTarget target = AskSaveTarget(host, kFadeTableSave);
    if (target.path.isEmpty())
        return;
    SaveAndReport(host, target.path, [&] {
        return WriteFileAtomically(target.path, FadeTableExport(state.fadeTable, state.fadeTable.steps(),
                                                                state.colorCount, *target.format->wordExport));
    });
}

std::optional<PaletteOrigin> OpenPaletteFile(AppState& state, Host& host, const QString& path, int which)
{
    if (PaletteByNumber(state, which) == nullptr)
        return std::nullopt;
    const QString chosen = path.isEmpty() ? AskOpenPath(host, kPaletteFileOpen) : path;
    // Only a regular file: opening a pipe waits for a writer and would hold
    // the window.
    if (chosen.isEmpty() || !ExistingFileSize(chosen))
        return std::nullopt;
    // The first 32 bytes, missing bytes read as zero.
    const SourceRequest request = RequestOf(SourceKind::PaletteFile);
    if (!ReadInto(state, which, SourceOrigin::File(chosen), request))
        return std::nullopt;
    return PaletteOrigin::File(chosen, request, std::nullopt, WordsOfPalette(*PaletteByNumber(state, which)));
}

std::array<std::optional<PaletteOrigin>, 2> DropPaletteFiles(AppState& state, Host& host, const QStringList& paths)
{
    std::array<std::optional<PaletteOrigin>, kDroppedPalettes> origins;
    for (int k = 0; k < kDroppedPalettes && k < paths.size(); ++k) {
        const QString& path = paths[k];
        if (path.isEmpty() || ExistingFileSize(path) != kPaletteFileSize)
            continue;
        origins[static_cast<std::size_t>(k)] = OpenPaletteFile(state, host, path, k + 1);
    }
    return origins;
}

void SaveSourcePalette(const AppState& state, Host& host, int which)
{
    if (which != 1 && which != 2)
        return;
    const SaveTarget target = AskSaveTarget(host, kSourcePaletteSave);
    if (target.path.isEmpty())
        return;
    SaveAndReport(host, target.path, [&] {
        return WriteFileAtomically(target.path, SourcePaletteExport(SourcePaletteWords(state, which),
                                                                    SourcePaletteStepNumber(state, which),
                                                                    *target.format->wordExport));
    });
}

void ImportPaletteFromFile(AppState& state, Host& host, int which)
{
    if (PaletteByNumber(state, which) == nullptr)
        return;
    const QString path = AskOpenPath(host, kTextOpen);
    // Text is read to its end: a device such as /dev/zero never ends and
    // would hold the window forever, so only regular files are read.
    if (path.isEmpty() || !ExistingFileSize(path))
        return;
    // The first 16 colour words into entries 0 on, the text read to its end
    // when it holds fewer.
    SourceRequest request = RequestOf(SourceKind::Text);
    request.maxBytes = -1;
    ReadInto(state, which, SourceOrigin::File(path), request);
}

void ImportPaletteFromClipboard(AppState& state, Host& host, int which)
{
    if (PaletteByNumber(state, which) == nullptr)
        return;
    const QString text = host.ClipboardText();
    if (text.isEmpty()) {
        host.ShowMessage(QString::fromLatin1(texts::kErrorTitle), QString::fromLatin1(texts::kNoTextFound));
        return;
    }
    ReadInto(state, which, SourceOrigin::Memory(text, QStringLiteral("the clipboard"), QString()),
             RequestOf(SourceKind::Text));
}

void ImportPaletteFromImage(AppState& state, Host& host, int which)
{
    if (PaletteByNumber(state, which) == nullptr)
        return;
    state.importSlots.fill(kEmptySlot);
    const QString path = AskOpenPath(host, kPictureOpen);
    if (path.isEmpty() || !ExistingFileSize(path))
        return;
    // The first 16 colours in reading order through the level tables.
    SourceRequest request = RequestOf(SourceKind::Picture);
    request.levels = state.levels;
    ReadInto(state, which, SourceOrigin::File(path), request);
}

void SaveImageToFile(Host& host, const PixelBuffer& preview)
{
    const SaveTarget target = AskSaveTarget(host, kPictureSave);
    if (target.path.isEmpty())
        return;
    SaveAndReport(host, target.path,
                  [&] { return WritePicture(target.path, preview, *target.format->pictureExport); });
}

void CopyImageToClipboard(Host& host, const PixelBuffer& preview)
{
    const QImage view = ImageView(preview);
    if (!view.isNull())
        host.SetClipboardImage(view);
}

} // namespace palfade
