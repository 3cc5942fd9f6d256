// Fonts, the status line and the result panel in GDI.
#include "display_win.h"

#include "display.h"
#include "engine/engine.h"

HFONT createScaledFont(HDC dc, const char* faceName, int32_t heightTenths, int32_t widthTenths,
                       uint32_t styleFlags, int32_t useLogicalPixels) {
    SaveDC(dc);
    // A pure scaling by the mapping mode: no world transform, no origins.
    SetGraphicsMode(dc, GM_ADVANCED);
    ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);

    float pixelsPerInchX = 0.0f;
    float pixelsPerInchY = 0.0f;
    if (useLogicalPixels == 0) {
        const int horizontalPixels = GetDeviceCaps(dc, HORZRES);
        const int horizontalSize = GetDeviceCaps(dc, HORZSIZE);
        const int verticalPixels = GetDeviceCaps(dc, VERTRES);
        const int verticalSize = GetDeviceCaps(dc, VERTSIZE);
        pixelsPerInchX = physicalPixelsPerInch(horizontalPixels, horizontalSize);
        pixelsPerInchY = physicalPixelsPerInch(verticalPixels, verticalSize);
    }
    // A device that does not know its physical size falls back to its
    // logical pixels rather than dividing by zero.
    if (pixelsPerInchX == 0.0f || pixelsPerInchY == 0.0f) {
        pixelsPerInchX = static_cast<float>(GetDeviceCaps(dc, LOGPIXELSX));
        pixelsPerInchY = static_cast<float>(GetDeviceCaps(dc, LOGPIXELSY));
    }

    POINT size;
    size.x = deviceTenths(widthTenths, pixelsPerInchX);
    size.y = deviceTenths(heightTenths, pixelsPerInchY);
    DPtoLP(dc, &size, 1);

    LOGFONTA font = {};
    font.lfHeight = fontHeightFor(size.y);
    font.lfWeight = (styleFlags & styleBold) != 0 ? FW_BOLD : 0;
    font.lfItalic = (styleFlags & styleItalic) != 0 ? 1 : 0;
    font.lfUnderline = (styleFlags & styleUnderline) != 0 ? 1 : 0;
    font.lfStrikeOut = (styleFlags & styleStrikeOut) != 0 ? 1 : 0;
    lstrcpynA(font.lfFaceName, faceName, LF_FACESIZE);
    HFONT result = CreateFontIndirectA(&font);

    if (widthTenths != 0) {
        // The width is relative to the natural average character width,
        // which only the font itself can tell.
        TEXTMETRICA metrics = {};
        HGDIOBJ previous = SelectObject(dc, result);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, previous);
        DeleteObject(result);
        font.lfWidth = fontWidthFor(size.x, size.y, metrics.tmAveCharWidth);
        result = CreateFontIndirectA(&font);
    }

    RestoreDC(dc, -1);
    return result;
}

void paintStatusLine(HDC dc) {
    HFONT statusFont = createScaledFont(dc, displayFace, statusHeightTenths, 0, styleItalic, 1);
    HGDIOBJ previousFont = SelectObject(dc, statusFont);
    SetBkColor(dc, statusBandColour());
    chooseStatusText();
    TextOutA(dc, statusX, statusY, lineText, lineLength);
    clearDefinedFlags();
    // Selected out before it is deleted: a font still selected is not freed.
    SelectObject(dc, previousFont);
    DeleteObject(statusFont);
}

void paintResultPanel(HDC dc, int right, int bottom) {
    HFONT panelFont = createScaledFont(dc, displayFace, panelHeightTenths, 0, styleItalic, 1);
    HGDIOBJ previousFont = SelectObject(dc, panelFont);
    SetBkColor(dc, orange);
    HPEN pen = CreatePen(PS_SOLID, 1, orange);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    HBRUSH brush = CreateSolidBrush(orange);
    HGDIOBJ previousBrush = SelectObject(dc, brush);

    Rectangle(dc, 0, panelTop, right, bottom);
    evaluateState();
    for (int line = 0; line < resultLineCount; ++line) {
        formatResultLine(line);
        TextOutA(dc, resultX, resultY[line], lineText, lineLength);
    }

    SelectObject(dc, previousPen);
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousFont);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(panelFont);
}
