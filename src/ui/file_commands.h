#pragma once
// The window's commands that read or write files and the clipboard. Each asks
// through the Host, changes `state` or writes a file, and returns; the caller
// refreshes the view where the command can change it.
//
// Reading fails silently: a cancelled requester, a file that cannot be opened
// or a picture that does not decode leave the palette exactly as it was.
// Saving never fails silently: every file is written beside the target and
// renamed over it only when complete, and a failure is shown in a box titled
// "Error" with the path and the reason, the old file untouched.

#include "render/pixel_buffer.h"
#include "ui/host.h"

#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace palfade {

// "Save As..\tCtrl+S": the fade table as assembler, C or binary.
void SaveFadeTable(const AppState& state, Host& host);

// An empty path asks for the file first. Any regular file is a palette file:
// its first 32 bytes, missing bytes read as zero. A pipe or device is skipped.
// The origin of the palette read, if one was.
std::optional<PaletteOrigin> OpenPaletteFile(AppState& state, Host& host, const QString& path, int which);
// Path k (from 1) goes to palette k when it is a regular 32-byte file; other
// paths are skipped but keep their number, paths from the third on are ignored.
std::array<std::optional<PaletteOrigin>, 2> DropPaletteFiles(AppState& state, Host& host, const QStringList& paths);

// Palette `which` (1 or 2) as assembler, C or palette file, its words taken
// from the fade table's ends.
void SaveSourcePalette(const AppState& state, Host& host, int which);
void ImportPaletteFromFile(AppState& state, Host& host, int which);
void ImportPaletteFromClipboard(AppState& state, Host& host, int which);
void ImportPaletteFromImage(AppState& state, Host& host, int which);

// Writes through `write` unless a pipe or device is at the path; a failure
// is shown in a box titled "Error" with its reason.
void SaveAndReport(Host& host, const QString& path, const std::function<IoStatus()>& write);

// `preview` is the enlarged preview exactly as shown.
void SaveImageToFile(Host& host, const PixelBuffer& preview);
void CopyImageToClipboard(Host& host, const PixelBuffer& preview);

} // namespace palfade
