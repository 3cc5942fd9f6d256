// The toolbar bitmap and the program icon, drawn pixel by pixel and encoded
// as the files that velmora.rc compiles in. Portable C++, no platform header:
// tools/make_images.cpp writes the files, and the tests redraw them to prove
// that the committed files are exactly what this code draws.
#pragma once

#include <cstdint>

// Toolbar: seven 32 x 32 pictures side by side, 8 bits per pixel with a
// 256-entry colour table, bottom-up, uncompressed, as a .bmp file.
constexpr int toolbarPictureSize = 32;
constexpr int toolbarPictureCount = 7;
constexpr int toolbarWidth = toolbarPictureSize * toolbarPictureCount;  // 224
constexpr int toolbarHeight = toolbarPictureSize;                       // 32
constexpr int toolbarColours = 256;
constexpr int bmpFileHeaderSize = 14;
constexpr int bmpInfoHeaderSize = 40;
constexpr int toolbarPixelBytes = toolbarWidth * toolbarHeight;  // 7168, rows need no padding
constexpr int toolbarFileSize =
    bmpFileHeaderSize + bmpInfoHeaderSize + toolbarColours * 4 + toolbarPixelBytes;

// Icon: one 32 x 32 image in 16 colours (4 bits per pixel) with its mask, as
// a .ico file.
constexpr int iconSize = 32;
constexpr int iconColours = 16;
constexpr int iconDirectorySize = 6 + 16;
constexpr int iconColourBytes = iconSize * iconSize / 2;  // 512
constexpr int iconMaskBytes = iconSize * 4;               // one 32-bit row per line
constexpr int iconImageSize = bmpInfoHeaderSize + iconColours * 4 + iconColourBytes + iconMaskBytes;
constexpr int iconFileSize = iconDirectorySize + iconImageSize;

// Palette indexes of the named colours, the same in both images: the first
// sixteen entries are the classic sixteen colours of a Windows display.
enum PaletteIndex : uint8_t {
    black = 0,
    darkRed = 1,
    darkGreen = 2,
    olive = 3,
    navy = 4,
    purple = 5,
    teal = 6,
    lightGrey = 7,  // 192, 192, 192: the toolbar's background
    darkGrey = 8,
    red = 9,
    green = 10,
    yellow = 11,
    blue = 12,
    magenta = 13,
    cyan = 14,
    white = 15,
};

// Red, green, blue of palette entry i (0..255).
void paletteColour(int i, uint8_t rgb[3]);

void makeToolbarFile(uint8_t (&file)[toolbarFileSize]);
void makeIconFile(uint8_t (&file)[iconFileSize]);
