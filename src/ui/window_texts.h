#pragma once
// The window title and the About text, kept scrambled in the program and
// unscrambled each time they are used.

#include "core/scrambled_text.h"

#include <QString>

namespace palfade {

QString WindowTitle();
// The two stored About parts, joined with nothing between them.
QString AboutText();

} // namespace palfade
