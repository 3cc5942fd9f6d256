// The display's GDI half: the scaled font, the status line and the result
// panel. Each paints into a device context it is given, so a test can paint
// into a memory DC and read the pixels back.
#pragma once

#include <windows.h>

#include <cstdint>

// A font of the face and size (tenths of a point) scaled to the device; the
// device context is left as it was found, the font is selected nowhere and
// belongs to the caller. styleFlags: 1 bold, 2 italic, 4 underline, 8 strike.
HFONT createScaledFont(HDC dc, const char* faceName, int32_t heightTenths, int32_t widthTenths,
                       uint32_t styleFlags, int32_t useLogicalPixels);

// The status line of one repaint: the text of the last confirmed element on
// a yellow band (orange once the beam has been solved) at (10, 80); then the
// defined flags are consumed.
void paintStatusLine(HDC dc);

// The orange result panel from (0, 45) to (right, bottom), the evaluation,
// and the four result lines.
void paintResultPanel(HDC dc, int right, int bottom);
