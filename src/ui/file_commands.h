#pragma once
// The window's commands that read or write files and the clipboard. Each asks
// through the Host, changes `state` or writes a file, and returns; the caller
// refreshes the view where the command can change it.

#include "ui/host.h"

#include <QImage>
#include <QStringList>

namespace palfade {

// "Save As..\tCtrl+S": the fade table as assembler, C or binary.
void SaveFadeTable(AppState& state, Host& host);

// An empty path asks for the file first.
void OpenPaletteFile(AppState& state, Host& host, const QString& path, int which);
// The first two dropped paths, if they are palette files, go to palettes 1 and 2.
void DropPaletteFiles(AppState& state, const QStringList& paths);

void SaveSourcePalette(AppState& state, Host& host, int which);
void ImportPaletteFromFile(AppState& state, Host& host, int which);
void ImportPaletteFromClipboard(AppState& state, Host& host, int which);
void ImportPaletteFromImage(AppState& state, Host& host, int which);

// `preview` is the enlarged preview exactly as shown; it wraps the window's
// pixel buffer, so keep a deep copy of anything that must outlive the call.
void SaveImageToFile(AppState& state, Host& host, const QImage& preview);
void CopyImageToClipboard(AppState& state, Host& host, const QImage& preview);

} // namespace palfade
