// Drawing of the seven toolbar pictures and the icon, and their encoding as
// .bmp and .ico files. Every pixel comes from the shapes below; nothing is
// read from anywhere.
#include "images.h"

#include <cmath>
#include <cstring>

namespace {

// ---------------------------------------------------------------------------
// Palette: the classic sixteen colours, a 6 x 6 x 6 colour cube, 24 greys.

constexpr uint8_t classicColours[16][3] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

constexpr int cubeStart = 16;
constexpr int greyStart = cubeStart + 216;

// Entry of the colour cube; each level 0..5 stands for 0, 51, ... 255.
constexpr uint8_t cube(int r, int g, int b) {
    return static_cast<uint8_t>(cubeStart + 36 * r + 6 * g + b);
}

// Shades used only by the toolbar's 256-colour pictures.
constexpr uint8_t lightCyan = cube(3, 5, 5);
constexpr uint8_t shadedCyan = cube(0, 3, 3);
constexpr uint8_t lightGreen = cube(3, 5, 3);
constexpr uint8_t shadedGreen = cube(0, 3, 0);
constexpr uint8_t beamBlue = cube(1, 1, 4);

// ---------------------------------------------------------------------------
// A clipped drawing area: one 32 x 32 cell of a larger pixel array, top-down,
// one palette index per pixel.

struct Cell {
    uint8_t* pixels;
    int stride;  // pixels per row of the whole array
    int left;    // column of the cell's first pixel
    int size;
};

void plot(const Cell& c, int x, int y, uint8_t colour) {
    if (x < 0 || y < 0 || x >= c.size || y >= c.size) return;
    c.pixels[y * c.stride + c.left + x] = colour;
}

void fillRect(const Cell& c, int x0, int y0, int x1, int y1, uint8_t colour) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) plot(c, x, y, colour);
}

void frameRect(const Cell& c, int x0, int y0, int x1, int y1, uint8_t colour) {
    for (int x = x0; x <= x1; ++x) {
        plot(c, x, y0, colour);
        plot(c, x, y1, colour);
    }
    for (int y = y0; y <= y1; ++y) {
        plot(c, x0, y, colour);
        plot(c, x1, y, colour);
    }
}

// Bresenham's line; `pen` > 1 paints a pen x pen square at every point.
void line(const Cell& c, int x0, int y0, int x1, int y1, uint8_t colour, int pen = 1) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        fillRect(c, x0 - (pen - 1) / 2, y0 - (pen - 1) / 2, x0 + pen / 2, y0 + pen / 2, colour);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

struct Point {
    int x;
    int y;
};

// Fills every pixel whose centre lies inside the polygon (even-odd rule).
void fillPolygon(const Cell& c, const Point* p, int n, uint8_t colour) {
    for (int y = 0; y < c.size; ++y) {
        const double cy = y + 0.5;
        for (int x = 0; x < c.size; ++x) {
            const double cx = x + 0.5;
            bool inside = false;
            for (int i = 0, j = n - 1; i < n; j = i++) {
                const double xi = p[i].x + 0.5, yi = p[i].y + 0.5;
                const double xj = p[j].x + 0.5, yj = p[j].y + 0.5;
                if ((yi > cy) != (yj > cy) && cx < (xj - xi) * (cy - yi) / (yj - yi) + xi)
                    inside = !inside;
            }
            if (inside) plot(c, x, y, colour);
        }
    }
}

void outlinePolygon(const Cell& c, const Point* p, int n, uint8_t colour) {
    for (int i = 0, j = n - 1; i < n; j = i++) line(c, p[j].x, p[j].y, p[i].x, p[i].y, colour);
}

void polygon(const Cell& c, const Point* p, int n, uint8_t fill, uint8_t edge) {
    fillPolygon(c, p, n, fill);
    outlinePolygon(c, p, n, edge);
}

void disc(const Cell& c, double cx, double cy, double r, uint8_t colour) {
    for (int y = 0; y < c.size; ++y)
        for (int x = 0; x < c.size; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= r * r) plot(c, x, y, colour);
        }
}

// Pixels whose centre lies between the radii r0 and r1 around (cx, cy) and
// whose angle (degrees, counter-clockwise from the right, y upward) lies
// between a0 and a1.
void arc(const Cell& c, double cx, double cy, double r0, double r1, double a0, double a1,
         uint8_t colour) {
    constexpr double degree = 3.14159265358979323846 / 180.0;
    for (int y = 0; y < c.size; ++y)
        for (int x = 0; x < c.size; ++x) {
            const double dx = x + 0.5 - cx, dy = cy - (y + 0.5);
            const double d = std::sqrt(dx * dx + dy * dy);
            double a = std::atan2(dy, dx) / degree;
            if (a < a0) a += 360.0;
            if (d >= r0 && d <= r1 && a >= a0 && a <= a1) plot(c, x, y, colour);
        }
}

// A ground line from x0 to x1 with short hatch strokes below it.
void ground(const Cell& c, int x0, int x1, int y) {
    line(c, x0, y, x1, y, black);
    for (int x = x0 + 3; x <= x1 + 1; x += 3) line(c, x, y + 1, x - 3, y + 4, black);
}

// A support triangle with its tip at (tipX, tipY), standing on a ground line
// with hatching below it.
void support(const Cell& c, int tipX, int tipY, int halfBase, int height, uint8_t fill) {
    const int baseY = tipY + height;
    const Point triangle[3] = {{tipX, tipY}, {tipX + halfBase, baseY}, {tipX - halfBase, baseY}};
    polygon(c, triangle, 3, fill, black);
    ground(c, tipX - halfBase - 3, tipX + halfBase + 3, baseY + 1);
}

// A horizontal beam: a filled bar with a black edge.
void beam(const Cell& c, int x0, int x1, int y0, int y1) {
    fillRect(c, x0, y0, x1, y1, beamBlue);
    frameRect(c, x0, y0, x1, y1, black);
}

// An arrow pointing down whose head ends at (x, tipY).
void downArrow(const Cell& c, int x, int topY, int tipY, int halfHead, int headLength,
               uint8_t colour) {
    const int headTop = tipY - headLength;
    fillRect(c, x - 1, topY, x + 1, headTop, colour);
    const Point head[3] = {{x - halfHead, headTop}, {x + halfHead, headTop}, {x, tipY}};
    polygon(c, head, 3, colour, colour);
}

// ---------------------------------------------------------------------------
// The seven toolbar pictures, one per button, in button order.

// F1, left end: a yellow support with a beam leaving its tip to the right.
void drawLeftEnd(const Cell& c) {
    beam(c, 9, 30, 9, 12);
    support(c, 11, 13, 7, 10, yellow);
}

// F2, elastic support: a magenta support on a zigzag spring on the ground.
void drawSpring(const Cell& c) {
    const Point triangle[3] = {{16, 1}, {22, 8}, {10, 8}};
    polygon(c, triangle, 3, magenta, black);
    line(c, 11, 9, 21, 9, black);
    const Point zigzag[] = {{16, 9},  {16, 11}, {12, 13}, {20, 16},
                            {12, 19}, {20, 22}, {16, 24}, {16, 25}};
    for (int i = 1; i < static_cast<int>(sizeof zigzag / sizeof zigzag[0]); ++i)
        line(c, zigzag[i - 1].x, zigzag[i - 1].y, zigzag[i].x, zigzag[i].y, black);
    ground(c, 8, 24, 26);
}

// F3, beam section: a cyan I-beam seen from the front left, its profile
// towards the viewer and its length running back to the upper right.
void drawIBeam(const Cell& c) {
    constexpr int dx = 13, dy = -9;  // depth of the perspective
    // Profile: flanges 3..15 wide, web 7..10, top flange 12..14, bottom 25..27.
    const Point webSide[4] = {{10, 15}, {10 + dx, 15 + dy}, {10 + dx, 24 + dy}, {10, 24}};
    const Point lowerTop[4] = {{10, 25}, {15, 25}, {15 + dx, 25 + dy}, {10 + dx, 25 + dy}};
    const Point lowerSide[4] = {{15, 25}, {15 + dx, 25 + dy}, {15 + dx, 27 + dy}, {15, 27}};
    const Point upperSide[4] = {{15, 12}, {15 + dx, 12 + dy}, {15 + dx, 14 + dy}, {15, 14}};
    const Point upperTop[4] = {{3, 12}, {3 + dx, 12 + dy}, {15 + dx, 12 + dy}, {15, 12}};
    polygon(c, webSide, 4, shadedCyan, black);
    polygon(c, lowerTop, 4, lightCyan, black);
    polygon(c, lowerSide, 4, shadedCyan, black);
    polygon(c, upperSide, 4, shadedCyan, black);
    polygon(c, upperTop, 4, lightCyan, black);
    const Point profile[12] = {{3, 12},  {15, 12}, {15, 14}, {10, 14}, {10, 25}, {15, 25},
                               {15, 27}, {3, 27},  {3, 25},  {7, 25},  {7, 14},  {3, 14}};
    polygon(c, profile, 12, cyan, black);
}

// F4, point load: a red arrow pointing down onto a beam.
void drawPointLoad(const Cell& c) {
    beam(c, 2, 29, 22, 25);
    downArrow(c, 15, 3, 21, 6, 8, red);
}

// F5, shaft section: a green shaft of three diameters, shaded as a cylinder,
// with its centre line.
void drawShaft(const Cell& c) {
    struct Step {
        int x0, x1, half;
    };
    constexpr Step steps[3] = {{2, 9, 4}, {9, 21, 9}, {21, 29, 6}};
    constexpr int axis = 16;
    for (const Step& s : steps) {
        fillRect(c, s.x0, axis - s.half, s.x1, axis + s.half, green);
        fillRect(c, s.x0, axis - s.half, s.x1, axis - s.half / 2, lightGreen);
        fillRect(c, s.x0, axis + s.half / 2 + 1, s.x1, axis + s.half, shadedGreen);
        frameRect(c, s.x0, axis - s.half, s.x1, axis + s.half, black);
    }
    for (int x = 0; x < 32; x += 4) line(c, x, axis, x + 1, axis, black);
}

// F6, intermediate condition or right end: a red support under a beam that
// goes on to both sides.
void drawCondition(const Cell& c) {
    beam(c, -1, 32, 7, 10);
    support(c, 16, 11, 7, 10, red);
}

// F7, compute: a running figure with a red body and a yellow head, and a few
// strokes of speed behind it.
void drawRunner(const Cell& c) {
    constexpr int pen = 3;
    line(c, 19, 10, 15, 18, red, pen);                                     // body
    line(c, 18, 11, 23, 15, red, 2), line(c, 23, 15, 27, 12, red, 2);      // front arm
    line(c, 18, 11, 13, 13, red, 2), line(c, 13, 13, 10, 10, red, 2);      // back arm
    line(c, 15, 18, 21, 22, red, pen), line(c, 21, 22, 20, 28, red, pen);  // front leg
    line(c, 20, 28, 24, 28, red, 2);
    line(c, 15, 18, 11, 23, red, pen), line(c, 11, 23, 5, 24, red, pen);  // back leg
    disc(c, 20.5, 5.5, 4.2, black);
    disc(c, 20.5, 5.5, 3.2, yellow);
    line(c, 1, 12, 7, 12, black), line(c, 3, 16, 9, 16, black), line(c, 0, 20, 6, 20, black);
}

// ---------------------------------------------------------------------------
// The icon: a beam on two supports under a red force and a blue moment, on
// cyan. Sixteen colours only, so no shades.

void drawIcon(const Cell& c) {
    constexpr int supportTips[2] = {6, 25};
    fillRect(c, 0, 0, 31, 31, cyan);
    fillRect(c, 2, 15, 29, 18, navy);
    frameRect(c, 2, 15, 29, 18, black);
    for (const int tip : supportTips) {
        const Point triangle[3] = {{tip, 19}, {tip + 5, 25}, {tip - 5, 25}};
        polygon(c, triangle, 3, white, black);
        ground(c, tip - 6, tip + 6, 26);
    }
    downArrow(c, 11, 1, 14, 4, 5, red);
    // The moment: a thick arc over the right part of the beam, turning
    // clockwise, with its head at the right end.
    arc(c, 21.0, 12.0, 4.0, 6.0, 0.0, 180.0, blue);
    const Point head[3] = {{23, 11}, {30, 11}, {26, 14}};
    polygon(c, head, 3, blue, blue);
}

// ---------------------------------------------------------------------------
// Encoding: little-endian fields of the .bmp and .ico headers.

void put16(uint8_t* p, int v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, int v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

// BITMAPINFOHEADER; `height` counts both halves of an icon image.
void putInfoHeader(uint8_t* p, int width, int height, int bits, int imageBytes, int coloursUsed) {
    std::memset(p, 0, bmpInfoHeaderSize);
    put32(p, bmpInfoHeaderSize);
    put32(p + 4, width);
    put32(p + 8, height);  // positive: bottom-up
    put16(p + 12, 1);      // planes
    put16(p + 14, bits);
    put32(p + 16, 0);  // BI_RGB, uncompressed
    put32(p + 20, imageBytes);
    put32(p + 32, coloursUsed);
}

// Colour table entries are blue, green, red, 0.
void putPalette(uint8_t* p, int count) {
    for (int i = 0; i < count; ++i) {
        uint8_t rgb[3];
        paletteColour(i, rgb);
        p[4 * i] = rgb[2];
        p[4 * i + 1] = rgb[1];
        p[4 * i + 2] = rgb[0];
        p[4 * i + 3] = 0;
    }
}

}  // namespace

void paletteColour(int i, uint8_t rgb[3]) {
    if (i < cubeStart) {
        std::memcpy(rgb, classicColours[i], 3);
    } else if (i < greyStart) {
        const int k = i - cubeStart;
        rgb[0] = static_cast<uint8_t>(51 * (k / 36));
        rgb[1] = static_cast<uint8_t>(51 * (k / 6 % 6));
        rgb[2] = static_cast<uint8_t>(51 * (k % 6));
    } else {
        rgb[0] = rgb[1] = rgb[2] = static_cast<uint8_t>(8 + 10 * (i - greyStart));
    }
}

void makeToolbarFile(uint8_t (&file)[toolbarFileSize]) {
    static uint8_t pixels[toolbarHeight][toolbarWidth];  // top-down while drawing
    std::memset(pixels, lightGrey, sizeof pixels);
    void (*const pictures[toolbarPictureCount])(const Cell&) = {
        drawLeftEnd, drawSpring, drawIBeam, drawPointLoad, drawShaft, drawCondition, drawRunner};
    for (int i = 0; i < toolbarPictureCount; ++i)
        pictures[i](Cell{&pixels[0][0], toolbarWidth, i * toolbarPictureSize, toolbarPictureSize});

    constexpr int pixelOffset = bmpFileHeaderSize + bmpInfoHeaderSize + toolbarColours * 4;
    std::memset(file, 0, sizeof file);
    file[0] = 'B';
    file[1] = 'M';
    put32(file + 2, toolbarFileSize);
    put32(file + 10, pixelOffset);
    putInfoHeader(file + bmpFileHeaderSize, toolbarWidth, toolbarHeight, 8, toolbarPixelBytes,
                  toolbarColours);
    putPalette(file + bmpFileHeaderSize + bmpInfoHeaderSize, toolbarColours);
    for (int row = 0; row < toolbarHeight; ++row)  // the bottom row comes first
        std::memcpy(file + pixelOffset + row * toolbarWidth, pixels[toolbarHeight - 1 - row],
                    toolbarWidth);
}

void makeIconFile(uint8_t (&file)[iconFileSize]) {
    static uint8_t pixels[iconSize][iconSize];
    drawIcon(Cell{&pixels[0][0], iconSize, 0, iconSize});

    std::memset(file, 0, sizeof file);
    // ICONDIR and its one ICONDIRENTRY.
    put16(file + 2, 1);  // type: icon
    put16(file + 4, 1);  // one image
    uint8_t* entry = file + 6;
    entry[0] = iconSize;
    entry[1] = iconSize;
    entry[2] = iconColours;
    put16(entry + 4, 1);  // planes
    put16(entry + 6, 4);  // bits per pixel
    put32(entry + 8, iconImageSize);
    put32(entry + 12, iconDirectorySize);

    uint8_t* image = file + iconDirectorySize;
    putInfoHeader(image, iconSize, 2 * iconSize, 4, iconColourBytes + iconMaskBytes, 0);
    putPalette(image + bmpInfoHeaderSize, iconColours);
    uint8_t* colour = image + bmpInfoHeaderSize + iconColours * 4;
    for (int row = 0; row < iconSize; ++row) {
        const uint8_t* src = pixels[iconSize - 1 - row];
        for (int x = 0; x < iconSize; x += 2)
            colour[row * iconSize / 2 + x / 2] = static_cast<uint8_t>(src[x] << 4 | src[x + 1]);
    }
    // The mask stays all zero: every pixel of the icon is opaque.
}
