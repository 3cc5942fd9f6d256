// The display's portable half: the one line buffer through which the status
// line and the result lines are printed, the choice of the status text, the
// result formats and the arithmetic of the scaled font. No platform header.
#pragma once

#include <cstdint>

// ---------------------------------------------------------------------------
// The shared line buffer. It keeps its text between paints: a repaint with no
// newly defined element prints whatever was put here last.
constexpr int lineCapacity = 256;
extern char lineText[lineCapacity];
extern int32_t lineLength;

// Colours as the platform's COLORREF values (red in the low byte).
constexpr uint32_t yellow = 0x0000FFFF;
constexpr uint32_t orange = 0x000080FF;

// Both texts are printed in italic Courier New, sized on logical pixels.
constexpr char displayFace[] = "Courier New";
constexpr int32_t statusHeightTenths = 120;  // 12 pt
constexpr int32_t panelHeightTenths = 140;   // 14 pt
constexpr uint32_t styleBold = 1;
constexpr uint32_t styleItalic = 2;
constexpr uint32_t styleUnderline = 4;
constexpr uint32_t styleStrikeOut = 8;

// Where things go, in pixels of the client area.
constexpr int statusX = 10;
constexpr int statusY = 80;
constexpr int panelTop = 45;
constexpr int resultLineCount = 4;
constexpr int resultX = 10;
constexpr int resultY[resultLineCount] = {50, 70, 90, 110};

// Yellow until a right end has been solved, orange from then on.
uint32_t statusBandColour();

// The status text of every set flag, in the fixed order, goes into lineText,
// so the last set one wins. With no flag set lineText keeps its old text.
void chooseStatusText();

// Every repaint consumes the flags of the dialogs confirmed before it.
void clearDefinedFlags();

// Result line 0..3 (w, psi, M, Q) formatted into lineText and lineLength.
void formatResultLine(int line);

// ---------------------------------------------------------------------------
// Font arithmetic. Sizes are in tenths of a point, 72 points to the inch.

// Pixels per inch of a device from its size in pixels and in millimetres;
// 0 when the device does not know its size.
float physicalPixelsPerInch(int32_t pixels, int32_t millimetres);

// A size in tenths of a point as device pixels times ten, truncated.
int32_t deviceTenths(int32_t tenths, float pixelsPerInch);

// lfHeight from the logical height in tenths: negative, so that it asks for
// the character height, whatever the direction of the y axis.
int32_t fontHeightFor(int32_t logicalTenthsY);

// lfWidth of the width pass: the natural average character width scaled by
// the requested width over the height; 0 (natural width) for a zero height.
int32_t fontWidthFor(int32_t logicalTenthsX, int32_t logicalTenthsY, int32_t aveCharWidth);
