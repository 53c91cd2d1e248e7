#pragma once
// The program's fixed texts for file requesters and message boxes, shared by
// the window and palfade-cli. Spelling is the program's own, typos included.

namespace palfade::texts {

inline constexpr const char* kOpenTitle = "Please choose file to open..";
inline constexpr const char* kSaveTitle = "Please choose file to save..";

inline constexpr const char* kFadeTableFilters =
    "ASM-Inlcude (*.s)|*.s|C-Output (*.c)|*.c|Binary (*.bin)|*.bin";
inline constexpr const char* kSourcePaletteFilters =
    "ASM-Inlcude (*.s)|*.s|C-Output (*.c)|*.c|NeoGeo Palette (*.ngpal)|*.ngpal";
inline constexpr const char* kPaletteFileFilter = "NeoGeo Palette (*.ngpal)|*.ngpal";
inline constexpr const char* kAllFilesFilter = "All filess (*.*)|*.*";
inline constexpr const char* kPictureOpenFilter =
    "Supported Images (*.bmp;*.jpg;*.png;*.gif)|*.bmp;*.jpg;*.png;*.gif";
inline constexpr const char* kPictureSaveFilters =
    "Portable Network Graphics (*.png)|*.png|Windows Bitmap (*.bmp)|*.bmp";

// Preselected filter of each save requester.
inline constexpr int kFadeTableDefaultFilter = 0;
inline constexpr int kSourcePaletteDefaultFilter = 2;
inline constexpr int kPictureDefaultFilter = 0;

inline constexpr const char* kConfirmSaveTitle = "Confirm Save As";
// Follows the full final path directly, hence the leading space.
inline constexpr const char* kConfirmReplaceSuffix = " already exists. Do you want to replace it?";

inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kNoTextFound = "No Text found";

} // namespace palfade::texts
