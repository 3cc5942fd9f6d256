// The display's GDI half under Wine: the scaled font as GDI reports it, and
// the status line and the result panel painted into a memory DC and read back
// pixel by pixel.
#include "display/display_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "display/display.h"
#include "engine/engine.h"
#include "tests/display/canvas_win.h"
#include "tests/engine_steps.h"

namespace {

constexpr COLORREF lightBlue = RGB(128, 128, 255);
constexpr COLORREF yellowBand = RGB(255, 255, 0);
constexpr COLORREF orangeBand = RGB(255, 128, 0);

LOGFONTA fontOf(HFONT font) {
    LOGFONTA record = {};
    GetObjectA(font, sizeof record, &record);
    return record;
}

class ScaledFont : public testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96) << "the worked heights assume 96 dpi";
    }
    void TearDown() override { DeleteDC(dc); }
    HDC dc = nullptr;
};

TEST_F(ScaledFont, WorkedHeightsAtNinetySixDpi) {
    HFONT status = createScaledFont(dc, "Courier New", 120, 0, 2, 1);
    HFONT panel = createScaledFont(dc, "Courier New", 140, 0, 2, 1);
    EXPECT_EQ(fontOf(status).lfHeight, -16);
    EXPECT_EQ(fontOf(panel).lfHeight, -19);
    EXPECT_EQ(fontOf(status).lfWidth, 0) << "natural width";
    EXPECT_STREQ(fontOf(status).lfFaceName, "Courier New");
    DeleteObject(status);
    DeleteObject(panel);
}

TEST_F(ScaledFont, YAxisUpStillAsksForTheCharacterHeight) {
    // Two logical units per pixel, y pointing up.
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 2, 2, nullptr);
    SetViewportExtEx(dc, 1, -1, nullptr);
    HFONT font = createScaledFont(dc, "Courier New", 120, 0, 2, 1);
    EXPECT_EQ(fontOf(font).lfHeight, -32) << "160 device tenths are -320 logical tenths";
    DeleteObject(font);
}

TEST_F(ScaledFont, OriginsAndWorldTransformDoNotShiftTheSize) {
    SetGraphicsMode(dc, GM_ADVANCED);
    XFORM stretch = {3.0f, 0.0f, 0.0f, 3.0f, 5.0f, 7.0f};
    SetWorldTransform(dc, &stretch);
    SetWindowOrgEx(dc, 7, 3, nullptr);
    SetViewportOrgEx(dc, 11, 5, nullptr);
    HFONT font = createScaledFont(dc, "Courier New", 120, 0, 2, 1);
    EXPECT_EQ(fontOf(font).lfHeight, -16);
    DeleteObject(font);
}

TEST_F(ScaledFont, LeavesTheDeviceContextAsItFoundIt) {
    SetGraphicsMode(dc, GM_ADVANCED);
    XFORM stretch = {2.5f, 0.0f, 0.0f, 1.5f, 4.0f, 6.0f};
    SetWorldTransform(dc, &stretch);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 3, 3, nullptr);
    SetViewportExtEx(dc, 2, 2, nullptr);
    SetWindowOrgEx(dc, 7, 3, nullptr);
    SetViewportOrgEx(dc, 11, 5, nullptr);
    HFONT own = CreateFontA(-13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SelectObject(dc, own);

    HFONT font = createScaledFont(dc, "Courier New", 140, 140, 3, 1);  // with a width pass

    EXPECT_EQ(GetGraphicsMode(dc), GM_ADVANCED);
    XFORM now = {};
    GetWorldTransform(dc, &now);
    EXPECT_EQ(std::memcmp(&now, &stretch, sizeof now), 0) << "world transform";
    EXPECT_EQ(GetMapMode(dc), MM_ANISOTROPIC);
    POINT origin = {};
    GetWindowOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 7);
    EXPECT_EQ(origin.y, 3);
    GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 11);
    EXPECT_EQ(origin.y, 5);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), own) << "the caller's font stays selected";
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(own);
    DeleteObject(font);
}

TEST_F(ScaledFont, CompatibleModeComesBackCompatible) {
    ASSERT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);
    HFONT font = createScaledFont(dc, "Courier New", 120, 0, 2, 1);
    EXPECT_EQ(GetGraphicsMode(dc), GM_COMPATIBLE);
    DeleteObject(font);
}

TEST_F(ScaledFont, WidthIsRelativeToTheNaturalAverageWidth) {
    HFONT natural = createScaledFont(dc, "Courier New", 120, 0, 0, 1);
    HGDIOBJ previous = SelectObject(dc, natural);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ASSERT_GT(metrics.tmAveCharWidth, 0);

    HFONT same = createScaledFont(dc, "Courier New", 120, 120, 0, 1);
    HFONT twice = createScaledFont(dc, "Courier New", 120, 240, 0, 1);
    EXPECT_EQ(fontOf(same).lfWidth, metrics.tmAveCharWidth);
    EXPECT_EQ(fontOf(twice).lfWidth, 2 * metrics.tmAveCharWidth);
    EXPECT_EQ(fontOf(twice).lfHeight, -16);
    DeleteObject(natural);
    DeleteObject(same);
    DeleteObject(twice);
}

TEST_F(ScaledFont, StyleBitsAndNothingElse) {
    struct Case {
        uint32_t flags;
        LONG weight;
        BYTE italic, underline, strikeOut;
    };
    const Case cases[] = {
        {1, 700, 0, 0, 0}, {2, 0, 1, 0, 0},    {4, 0, 0, 1, 0},
        {8, 0, 0, 0, 1},   {15, 700, 1, 1, 1}, {0xF0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        HFONT font = createScaledFont(dc, "Courier New", 120, 0, c.flags, 1);
        const LOGFONTA f = fontOf(font);
        EXPECT_EQ(f.lfWeight, c.weight) << "flags " << c.flags;
        EXPECT_EQ(f.lfItalic, c.italic) << "flags " << c.flags;
        EXPECT_EQ(f.lfUnderline, c.underline) << "flags " << c.flags;
        EXPECT_EQ(f.lfStrikeOut, c.strikeOut) << "flags " << c.flags;
        EXPECT_EQ(f.lfCharSet, 0);
        DeleteObject(font);
    }
}

TEST_F(ScaledFont, PhysicalSizeGivesTheDevicesOwnDensity) {
    const double density = 25.4 * GetDeviceCaps(dc, VERTRES) / GetDeviceCaps(dc, VERTSIZE);
    const int tenths = static_cast<int>(120.0 * static_cast<float>(density) / 72.0);
    HFONT font = createScaledFont(dc, "Courier New", 120, 0, 2, 0);
    EXPECT_EQ(fontOf(font).lfHeight, -static_cast<int>(tenths / 10.0 + 0.5));
    DeleteObject(font);
}

// The face the program asks for must come out as a real italic fixed-pitch
// font, or the status line and the result columns would not line up.
TEST_F(ScaledFont, CourierNewIsAnItalicFixedPitchFont) {
    HFONT font = createScaledFont(dc, "Courier New", 120, 0, 2, 1);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE narrow = {}, wide = {};
    GetTextExtentPoint32A(dc, "iiiii", 5, &narrow);
    GetTextExtentPoint32A(dc, "MMMMM", 5, &wide);
    SelectObject(dc, previous);
    DeleteObject(font);
    EXPECT_NE(metrics.tmItalic, 0);
    EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 16) << "character height";
    EXPECT_EQ(narrow.cx, wide.cx) << "fixed pitch";
    EXPECT_GT(narrow.cx, 0);
}

class StatusPaint : public testing::Test {
protected:
    void SetUp() override {
        resetEngineState();
        lineText[0] = '\0';
        lineLength = 0;
    }
    Canvas canvas{400, 140, lightBlue};
};

TEST_F(StatusPaint, FirstPaintPrintsNothing) {
    paintStatusLine(canvas.dc());
    EXPECT_EQ(canvas.count(lightBlue, 0, 0, 400, 140), 400 * 140);
}

TEST_F(StatusPaint, LeftEndOnAYellowBandAtTenEighty) {
    definedFlags.defLeftEnd = 1;
    paintStatusLine(canvas.dc());
    const std::string text = "linkes Tr\xe4gerende definiert";
    EXPECT_EQ(textMismatch(canvas, statusX, statusY, 120, yellowBand, lightBlue, text), 0);
    EXPECT_EQ(canvas.pixel(10, 80), yellowBand) << "the band starts at (10, 80)";
    EXPECT_EQ(canvas.pixel(9, 80), lightBlue);
    EXPECT_EQ(canvas.pixel(10, 79), lightBlue);
    EXPECT_EQ(canvas.count(orangeBand, 0, 0, 400, 140), 0);
    EXPECT_GT(canvas.count(RGB(0, 0, 0), 10, 80, 400, 100), 100) << "the glyphs are drawn";
    EXPECT_EQ(definedFlags.defLeftEnd, 0) << "the repaint consumed the flag";
}

TEST_F(StatusPaint, BandIsAsWideAsTheTwentySevenCharacters) {
    definedFlags.defLeftEnd = 1;
    paintStatusLine(canvas.dc());
    Canvas one(400, 140, lightBlue);
    const SIZE cell = renderText(one, 0, 0, 120, yellowBand, "x");
    int right = 10;
    while (canvas.pixel(right, 80) == yellowBand) ++right;
    EXPECT_EQ(right - 10, 27 * cell.cx);
}

TEST_F(StatusPaint, OrangeOnceSolvedAlsoAfterANewLeftEnd) {
    solvedFlag = 1;
    definedFlags.defLeftEnd = 1;
    paintStatusLine(canvas.dc());
    EXPECT_EQ(textMismatch(canvas, statusX, statusY, 120, orangeBand, lightBlue,
                           "linkes Tr\xe4gerende definiert"),
              0);
    EXPECT_EQ(canvas.count(yellowBand, 0, 0, 400, 140), 0);
}

TEST_F(StatusPaint, RepaintWithoutAFlagRepeatsTheText) {
    definedFlags.defPointLoad = 1;
    paintStatusLine(canvas.dc());
    Canvas again(400, 140, lightBlue);
    paintStatusLine(again.dc());
    EXPECT_EQ(
        textMismatch(again, statusX, statusY, 120, yellowBand, lightBlue, "Einzellast definiert"),
        0);
}

TEST_F(StatusPaint, LastSetFlagWins) {
    definedFlags.defBeamSection = 1;
    definedFlags.defRightEnd = 1;
    solvedFlag = 1;
    paintStatusLine(canvas.dc());
    EXPECT_EQ(textMismatch(canvas, statusX, statusY, 120, orangeBand, lightBlue,
                           "rechtes Tr\xe4gerende definiert"),
              0);
}

class ResultPanel : public testing::Test {
protected:
    void SetUp() override {
        resetEngineState();
        lineLength = 0;
    }
    // A client area of 297 x 120 inside a larger canvas, so that the panel's
    // right and bottom edges can be seen.
    Canvas canvas{330, 150, lightBlue};
    const RECT panel = {0, 45, 297, 120};
};

TEST_F(ResultPanel, OrangeAreaFromFortyFiveToTheClientCorner) {
    paintResultPanel(canvas.dc(), 297, 120);
    EXPECT_EQ(canvas.pixel(0, 45), orangeBand);
    EXPECT_EQ(canvas.pixel(296, 119), orangeBand);
    EXPECT_EQ(canvas.pixel(296, 45), orangeBand);
    EXPECT_EQ(canvas.pixel(0, 44), lightBlue) << "above the panel";
    EXPECT_EQ(canvas.pixel(297, 100), lightBlue) << "right of the client area";
    EXPECT_EQ(canvas.pixel(100, 120), lightBlue) << "below the client area";
    EXPECT_EQ(canvas.count(lightBlue, 0, 45, 297, 120), 0) << "the panel is filled";
}

TEST_F(ResultPanel, SimplySupportedBeamAtTheRightEnd) {
    steps::leftEnd(steps::End::hinged);
    steps::beam(1.0, 1.0, 1.0, 0.0);
    steps::rightHinged(0.0);
    paintResultPanel(canvas.dc(), 297, 120);
    const char* lines[] = {"w  = 0", "psi= -0.0416667", "M  = 0", "Q  = -0.5"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(
            textMismatch(canvas, 10, 50 + 20 * i, 140, orangeBand, orangeBand, lines[i], panel), 0)
            << lines[i];
    }
    EXPECT_EQ(std::string(lineText, lineLength), "Q  = -0.5") << "the buffer keeps the Q line";
}

TEST_F(ResultPanel, TheLinesReallyDiffer) {
    // The comparison must see a single changed digit.
    steps::leftEnd(steps::End::hinged);
    steps::beam(1.0, 1.0, 1.0, 0.0);
    paintResultPanel(canvas.dc(), 297, 120);
    EXPECT_EQ(textMismatch(canvas, 10, 50, 140, orangeBand, orangeBand, "w  = 0.0416667", panel),
              0);
    EXPECT_GT(textMismatch(canvas, 10, 50, 140, orangeBand, orangeBand, "w  = 0.0416668", panel),
              0);
    EXPECT_GT(textMismatch(canvas, 10, 110, 140, orangeBand, orangeBand, "Q  = 1", panel), 0);
}

}  // namespace
