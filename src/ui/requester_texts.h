#pragma once
// The window's fixed texts for file requesters and message boxes. Spelling
// is the program's own.

namespace palfade::texts {

inline constexpr const char* kOpenTitle = "Please choose file to open..";
inline constexpr const char* kSaveTitle = "Please choose file to save..";

inline constexpr const char* kConfirmSaveTitle = "Confirm Save As";
// Follows the full final path directly, hence the leading space.
inline constexpr const char* kConfirmReplaceSuffix = " already exists. Do you want to replace it?";

inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kNoTextFound = "No Text found";

} // namespace palfade::texts
