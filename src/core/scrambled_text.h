#pragma once
// Texts stored scrambled (the window title, the About text): each 16-bit code
// unit is 3 more than the one it stands for, modulo 65536.

#include <string>
#include <string_view>

namespace palfade {

std::u16string UnscrambleText(std::u16string_view stored);

} // namespace palfade
