#pragma once
// libpng reports through these instead of printing to stderr: the error's
// text is kept for the caller's one-line reason, warnings are dropped (what
// they warn of either does not matter or ends in an error).

#include <png.h>

#include <cstring>

namespace palfade {

struct LibpngMessages {
    char error[200] = {};
};

// The error pointer given to libpng must be a LibpngMessages.
[[noreturn]] inline void KeepLibpngError(png_structp png, png_const_charp message)
{
    auto* kept = static_cast<LibpngMessages*>(png_get_error_ptr(png));
    if (kept != nullptr && message != nullptr) {
        std::strncpy(kept->error, message, sizeof kept->error - 1);
        kept->error[sizeof kept->error - 1] = '\0';
    }
    png_longjmp(png, 1);
}

inline void DropLibpngWarning(png_structp, png_const_charp) {}

} // namespace palfade
