// Test helpers for reading what was drawn: a memory DC over a 32-bit top-down
// DIB, text rendered the way the display renders it, and a pixel comparison.
// Shared by the display and app tests and by the end-to-end checker.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "display/display_win.h"

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down: row 0 is the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_);
        fillRect(0, 0, width, height, fill);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The pixel as a COLORREF (red in the low byte); CLR_INVALID outside.
    COLORREF pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
        GdiFlush();
        const uint32_t v = bits_[y * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

    void fillRect(int left, int top, int right, int bottom, COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT r = {left, top, right, bottom};
        FillRect(dc_, &r, brush);
        DeleteObject(brush);
    }

    // Copies a rectangle of another DC (a window, the screen) to (0, 0).
    void copyFrom(HDC source, int x, int y) {
        BitBlt(dc_, 0, 0, width_, height_, source, x, y, SRCCOPY);
        GdiFlush();
    }

    int count(COLORREF colour, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) n += pixel(x, y) == colour ? 1 : 0;
        }
        return n;
    }

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    uint32_t* bits_ = nullptr;
};

// Text as the display prints it: italic Courier New of the given size in
// tenths of a point, on an opaque band of the given colour, black.
inline SIZE renderText(Canvas& canvas, int x, int y, int heightTenths, COLORREF band,
                       const std::string& text) {
    HFONT font = createScaledFont(canvas.dc(), "Courier New", heightTenths, 0, 2, 1);
    HGDIOBJ previous = SelectObject(canvas.dc(), font);
    SetBkColor(canvas.dc(), band);
    SetBkMode(canvas.dc(), OPAQUE);
    SetTextColor(canvas.dc(), RGB(0, 0, 0));
    TextOutA(canvas.dc(), x, y, text.data(), static_cast<int>(text.size()));
    SIZE size = {};
    GetTextExtentPoint32A(canvas.dc(), text.data(), static_cast<int>(text.size()), &size);
    SelectObject(canvas.dc(), previous);
    DeleteObject(font);
    GdiFlush();
    return size;
}

// Pixels that differ between two canvases inside a rectangle.
inline int differingPixels(const Canvas& a, const Canvas& b, const RECT& area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
    }
    return n;
}

// Does `drawn` show exactly `text` at (x, y), on `band` inside `background`,
// and nothing else in the text's rows? Renders the expectation on a canvas of
// the same size and compares the rows of the text's cell inside `within`
// (the whole canvas when it is empty). -1 when the expected text left no ink.
inline int textMismatch(const Canvas& drawn, int x, int y, int heightTenths, COLORREF band,
                        COLORREF background, const std::string& text, RECT within = {}) {
    if (within.right == 0) within = {0, 0, drawn.width(), drawn.height()};
    Canvas expected(drawn.width(), drawn.height(), background);
    const SIZE size = renderText(expected, x, y, heightTenths, band, text);
    RECT rows = {within.left, y, within.right, y + size.cy};
    if (rows.bottom > within.bottom) rows.bottom = within.bottom;
    // A font that draws nothing would make every comparison pass: a text
    // with something to see must leave ink, or the match counts as failed.
    const bool visible = text.find_first_not_of(' ') != std::string::npos;
    if (visible &&
        expected.count(RGB(0, 0, 0), rows.left, rows.top, rows.right, rows.bottom) == 0) {
        return -1;
    }
    return differingPixels(drawn, expected, rows);
}
