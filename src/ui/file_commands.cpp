#include "ui/file_commands.h"

namespace palfade {

// Not built yet: until then each of these leaves everything as it is.

void SaveFadeTable(AppState& /*state*/, Host& /*host*/) {}

void OpenPaletteFile(AppState& /*state*/, Host& /*host*/, const QString& /*path*/, int /*which*/) {}

void DropPaletteFiles(AppState& /*state*/, const QStringList& /*paths*/) {}

void SaveSourcePalette(AppState& /*state*/, Host& /*host*/, int /*which*/) {}

void ImportPaletteFromFile(AppState& /*state*/, Host& /*host*/, int /*which*/) {}

void ImportPaletteFromClipboard(AppState& /*state*/, Host& /*host*/, int /*which*/) {}

void ImportPaletteFromImage(AppState& /*state*/, Host& /*host*/, int /*which*/) {}

void SaveImageToFile(AppState& /*state*/, Host& /*host*/, const QImage& /*preview*/) {}

void CopyImageToClipboard(AppState& /*state*/, Host& /*host*/, const QImage& /*preview*/) {}

} // namespace palfade
