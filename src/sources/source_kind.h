#pragma once
// What kind of source a file is, and the extensions that say so: palette
// files and pictures by their extension, text otherwise.

#include <QString>

namespace palfade {

enum class SourceKind { PaletteFile, Picture, Text };

inline constexpr const char* kPaletteFileExtensions[] = {"ngpal"};
// The pictures palfade reads; "jpeg" is taken too, though requesters list
// only the four.
inline constexpr const char* kPictureExtensions[] = {"bmp", "jpg", "png", "gif"};
inline constexpr const char* kPictureAlsoExtensions[] = {"jpeg"};

// How a SRC file is read when no kind is forced.
SourceKind SourceKindOf(const QString& path);

} // namespace palfade
