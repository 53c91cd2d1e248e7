#include "scrambled_text.h"

namespace palfade {
namespace {
std::u16string Shift(std::u16string_view text, int by)
{
    std::u16string out(text.size(), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<char16_t>((static_cast<unsigned>(text[i]) + 65536u + static_cast<unsigned>(by)) & 0xFFFFu);
    return out;
}
} // namespace

std::u16string UnscrambleText(std::u16string_view stored) { return Shift(stored, -3); }

} // namespace palfade
