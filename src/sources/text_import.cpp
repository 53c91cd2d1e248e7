#include "sources/text_import.h"

#include "io/file_access.h"

#include <QFile>


namespace palfade {

namespace {

// Stores each word into entry `counter` while the counter is below 16.
ColourWordScanner::Sink StoreInto(SourcePalette& palette, int& counter)
{
    return [&palette, &counter](HwColor word) {
        if (counter >= 0 && counter < kPaletteSize) {
            palette[static_cast<std::size_t>(counter)] = DecodeHwColor(word);
            ++counter;
        }
    };
}

} // namespace

void ParsePaletteText(QStringView text, SourcePalette& palette, int& counter)
{
    ColourWordScanner scanner(StoreInto(palette, counter));
    scanner.Scan(text);
    scanner.Finish();
}

QString DecodeTextBytes(QByteArrayView bytes)
{
    TextDecoder decoder;
    QString text = decoder.Feed(bytes);
    return text + decoder.Finish();
}

PaletteTextReader::PaletteTextReader(SourcePalette& palette, int& counter)
    : counter_(counter), scanner_(StoreInto(palette, counter))
{
}

void PaletteTextReader::Feed(QByteArrayView bytes)
{
    scanner_.Scan(decoder_.Feed(bytes));
}

void PaletteTextReader::Finish()
{
    scanner_.Scan(decoder_.Finish());
    scanner_.Finish();
}

IoStatus ImportPaletteTextFrom(QIODevice& device, const QString& name, SourcePalette& palette, int& counter)
{
    PaletteTextReader reader(palette, counter);
    const IoStatus status = ReadInPieces(
        device, name, -1, [&reader](QByteArrayView bytes) { reader.Feed(bytes); }, [&reader] { return reader.Full(); });
    if (!status.ok())
        return status;
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
