// Any bytes as a source read with --table. The first byte picks the table's
// name, the size of the pieces the text arrives in and how the words make
// palettes (count word, palette size, first entry); the bytes up to
// "\n@@\n" are the source, the rest a --defines file. A binary include may
// name pal.bin beside the source. The table reader gives words or a reason,
// the same however the text is cut; stopped once it has some words, it gives
// the start of those words, or the same reason; a table read gives palettes
// or a reason.

#include "sources/palette_source.h"
#include "text/table_reader.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir* folder = nullptr;

void QuietQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// `wanted`: the words after which the reader may stop; 0 reads them all.
palfade::IoResult<std::vector<palfade::HwColor>> ReadTable(const QString& name, QStringView text, qsizetype piece,
                                                           const QString& defines, std::size_t wanted = 0)
{
    palfade::IoResult<std::vector<palfade::HwColor>> result;
    palfade::TableReader::Enough enough;
    if (wanted > 0)
        enough = [&result, wanted](std::size_t more) { return result.value.size() + more >= wanted; };
    palfade::TableReader reader(
        name, QStringLiteral("source.s"), folder->path(), {defines},
        [&result](palfade::HwColor word) { result.value.push_back(word); }, enough);
    for (qsizetype at = 0; at < text.size() && !reader.Done(); at += piece)
        reader.Feed(text.mid(at, piece));
    result.error = reader.Finish().error;
    return result;
}

// A table read without an error gives at least one palette.
void CheckPalettes(const std::vector<palfade::PaletteWords>& palettes)
{
    if (palettes.empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(QuietQtMessages);
    folder = new QTemporaryDir;
    QFile pal(folder->filePath(QStringLiteral("pal.bin")));
    if (!pal.open(QIODevice::WriteOnly) || pal.write(QByteArray("\x7f\xff\x80\x00\x0f\x00\x00\xf0", 8)) != 8)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const unsigned flags = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const qsizetype split = bytes.indexOf("\n@@\n");
    const QByteArray source = split < 0 ? bytes : bytes.first(split);
    const QByteArray defines = split < 0 ? QByteArray() : bytes.sliced(split + 4);
    static const char* const kNames[] = {"pal", "TitlePalettes", "fade_colors", "x"};
    const QString name = QString::fromLatin1(kNames[flags & 3]);

    const QString definesPath = folder->filePath(QStringLiteral("defines.inc"));
    QFile definesFile(definesPath);
    if (!definesFile.open(QIODevice::WriteOnly | QIODevice::Truncate) || definesFile.write(defines) != defines.size())
        std::abort();
    definesFile.close();
    const QString text = QString::fromUtf8(source);
    const auto whole = ReadTable(name, text, text.size() + 1, definesPath);
    const auto pieces = ReadTable(name, text, 1 + ((flags >> 2) & 7) * 7, definesPath);
    if (whole.error != pieces.error || (whole.ok() && whole.value != pieces.value))
        std::abort();
    const std::size_t wanted = 1 + (flags >> 5);
    const auto stopped = ReadTable(name, text, 1 + ((flags >> 2) & 7) * 7, definesPath, wanted);
    if (!stopped.ok() && stopped.error != whole.error)
        std::abort();
    if (stopped.ok() && whole.ok() &&
        (stopped.value.size() > whole.value.size() ||
         !std::equal(stopped.value.begin(), stopped.value.end(), whole.value.begin()) ||
         stopped.value.size() < std::min(wanted, whole.value.size())))
        std::abort();

    // The whole path: the words grouped into palettes.
    palfade::TextSourceOptions options;
    options.table = name;
    options.defines = {definesPath};
    options.countWord = (flags & 0x20) != 0;
    options.paletteSize = (flags & 0x40) ? 3 : palfade::kPaletteSize;
    options.firstEntry = (flags & 0x80) ? 1 : 0;
    QByteArray sourceBytes = source;
    QBuffer device(&sourceBytes);
    device.open(QIODevice::ReadOnly);
    palfade::SourceRequest request;
    request.text = options;
    const auto palettes =
        palfade::ReadSource(palfade::SourceOrigin::Device(device, QStringLiteral("source.s"), folder->path()), request);
    if (palettes.ok())
        CheckPalettes(palettes.value.palettes);
    return 0;
}
