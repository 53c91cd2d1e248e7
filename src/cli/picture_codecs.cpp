#include "cli/picture_codecs.h"

#include <QDir>
#include <QLibrary>

#include <memory>

namespace palfade::cli {

namespace {

using ModuleEntry = const PictureCodecs* (*)();

struct LoadedModule {
    // Deleting a QLibrary leaves its library loaded, as the codecs need.
    std::unique_ptr<QLibrary> library;
    bool tried = false;
    const PictureCodecs* codecs = nullptr;
    QString error;
};

void Load(const QString& directory, LoadedModule& loaded)
{
    const QString path = QDir(directory).filePath(QLatin1String(kPictureModuleName));
    loaded.library = std::make_unique<QLibrary>(path);
    QLibrary* library = loaded.library.get();
    const auto entry = reinterpret_cast<ModuleEntry>(library->resolve(kPictureModuleEntry));
    if (!entry) {
        loaded.error = QStringLiteral("cannot read or write pictures: %1").arg(library->errorString());
        return;
    }
    const PictureCodecs* codecs = entry();
    if (!codecs || codecs->version != kPictureCodecsVersion || !codecs->importPalette || !codecs->encodeBmp) {
        loaded.error = QStringLiteral("cannot read or write pictures: %1 does not belong to this palfade-cli")
                           .arg(library->fileName());
        return;
    }
    loaded.codecs = codecs;
}

} // namespace

PictureCodecLoader PictureModuleLoader(const QString& directory)
{
    auto loaded = std::make_shared<LoadedModule>();
    return [directory, loaded](QString& error) -> const PictureCodecs* {
        if (!loaded->tried) {
            loaded->tried = true;
            Load(directory, *loaded);
        }
        error = loaded->error;
        return loaded->codecs;
    };
}

} // namespace palfade::cli
