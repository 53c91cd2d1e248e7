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
};

} // namespace palfade
