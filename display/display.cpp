// Status texts, result formats and font arithmetic, shared by the window and
// by the tests of both builds.
#include "display.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/engine.h"

char lineText[lineCapacity] = {};
int32_t lineLength = 0;

namespace {

struct StatusText {
    int32_t DefinedFlags::*flag;
    const char* text;
};

// Tested in this order; a later set flag overwrites an earlier one's text.
constexpr StatusText statusTexts[] = {
    {&DefinedFlags::defLeftEnd, "linkes Tr\xe4gerende definiert"},
    {&DefinedFlags::defSpring, "elastisches Lager definiert"},
    {&DefinedFlags::defBeamSection, "Tr\xe4gerabschnitt definiert"},
    {&DefinedFlags::defPointLoad, "Einzellast definiert"},
    {&DefinedFlags::defShaftSection, "Wellenabschnitt definiert"},
    {&DefinedFlags::defIntermediate, "Zwischenbedingung definiert"},
    {&DefinedFlags::defRightEnd, "rechtes Tr\xe4gerende definiert"},
};

struct ResultLine {
    const char* format;
    const double* value;
};

// The names are padded to three characters so the equals signs line up.
constexpr ResultLine resultLines[resultLineCount] = {
    {"w  = %g", &resultW},
    {"psi= %g", &resultPsi},
    {"M  = %g", &resultM},
    {"Q  = %g", &resultQ},
};

// A real converted to int32 by truncation, kept inside the type's range so
// that an absurd size cannot make the conversion undefined.
int32_t truncated(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return 2147483647;
    if (x <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(x);
}

void putLine(const char* text) {
    const int n = std::snprintf(lineText, sizeof lineText, "%s", text);
    lineLength = n < lineCapacity ? n : lineCapacity - 1;
}

}  // namespace

uint32_t statusBandColour() { return solvedFlag != 0 ? orange : yellow; }

void chooseStatusText() {
    for (const StatusText& s : statusTexts) {
        if (definedFlags.*s.flag == 1) putLine(s.text);
    }
}

void clearDefinedFlags() {
    for (const StatusText& s : statusTexts) definedFlags.*s.flag = 0;
}

void formatResultLine(int line) {
    if (line < 0 || line >= resultLineCount) return;
    double value = *resultLines[line].value;
    // The Windows runtime prints every NaN as "nan"; the sign bit of a NaN
    // means nothing, so the native build is made to print the same.
    if (std::isnan(value)) value = std::fabs(value);
    const int n = std::snprintf(lineText, sizeof lineText, resultLines[line].format, value);
    lineLength = n < lineCapacity ? n : lineCapacity - 1;
}

float physicalPixelsPerInch(int32_t pixels, int32_t millimetres) {
    if (millimetres <= 0) return 0.0f;
    // Millimetres per inch times pixels first, then divided by the size.
    return static_cast<float>(25.4 * pixels / millimetres);
}

int32_t deviceTenths(int32_t tenths, float pixelsPerInch) {
    // The single-precision pixels per inch are widened; the product and the
    // quotient are formed in double precision.
    constexpr float pointsPerInch = 72.0f;
    return truncated(static_cast<double>(tenths) * static_cast<double>(pixelsPerInch) /
                     static_cast<double>(pointsPerInch));
}

int32_t fontHeightFor(int32_t logicalTenthsY) {
    return -truncated(std::fabs(static_cast<double>(logicalTenthsY)) / 10.0 + 0.5);
}

int32_t fontWidthFor(int32_t logicalTenthsX, int32_t logicalTenthsY, int32_t aveCharWidth) {
    if (logicalTenthsY == 0) return 0;
    return truncated(std::fabs(static_cast<double>(logicalTenthsX)) * aveCharWidth /
                         std::fabs(static_cast<double>(logicalTenthsY)) +
                     0.5);
}
