#pragma once
// The fixed command ids that menu items and their shortcuts deliver. They do
// not follow the menu order.

namespace palfade {

enum CommandId : int {
    kCmdNew = 2,
    kCmdSaveFadeTable = 3,
    kCmdQuit = 4,
    kCmdOpenPalette1 = 5,
    kCmdSavePalette1 = 6,
    kCmdBlackPalette1 = 7,
    kCmdWhitePalette1 = 8,
    kCmdGreyscalePalette1 = 9,
    kCmdEditPalette1 = 10,
    kCmdImportImage1 = 11,
    kCmdImportFile1 = 12,
    kCmdImportClipboard1 = 13,
    kCmdOpenPalette2 = 14,
    kCmdSavePalette2 = 15,
    kCmdBlackPalette2 = 16,
    kCmdWhitePalette2 = 17,
    kCmdGreyscalePalette2 = 18,
    kCmdEditPalette2 = 19,
    kCmdImportImage2 = 20,
    kCmdImportFile2 = 21,
    kCmdImportClipboard2 = 22,
    kCmdShowGrid = 23,
    kCmdGridColor = 24,
    kCmdHardwareColors = 25,
    kCmdDarkBit = 26,
    kCmdSimpleFade = 27,
    kCmdSwapPalettes = 28,
    kCmdSaveImage = 29,
    kCmdCopyImage = 30,
    kCmdAbout = 33,
    kCmdPreviewArt = 34,
    // The window's additions, after the items above.
    kCmdImportSource1 = 35,
    kCmdImportSource2 = 36,
    kCmdColourPalette1 = 37,
    kCmdColourPalette2 = 38,
    kCmdFadeShape = 39,
    kCmdToolchainExport = 40,
};

// The two palette menus carry the same commands in the same order; Palette
// 2's id of each is Palette 1's plus this.
inline constexpr int kPalette2IdOffset = kCmdOpenPalette2 - kCmdOpenPalette1;
static_assert(kCmdImportClipboard2 - kCmdImportClipboard1 == kPalette2IdOffset &&
              kCmdBlackPalette2 - kCmdBlackPalette1 == kPalette2IdOffset);
// The additions number Palette 2's right after Palette 1's.
static_assert(kCmdImportSource2 - kCmdImportSource1 == 1 && kCmdColourPalette2 - kCmdColourPalette1 == 1);

// The id of a palette command (given by its Palette 1 id) for palette `which` (1 or 2).
constexpr int PaletteCommandId(int palette1Id, int which)
{
    return palette1Id + (which - 1) * (palette1Id >= kCmdImportSource1 ? 1 : kPalette2IdOffset);
}

} // namespace palfade
