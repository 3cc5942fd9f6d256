// The display's portable half: which status text a repaint prints, the
// result lines as printed, and the arithmetic of the scaled font.
#include "display/display.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "engine/engine.h"

namespace {

std::string printedLine() { return std::string(lineText, static_cast<size_t>(lineLength)); }

class StatusText : public testing::Test {
protected:
    void SetUp() override {
        resetEngineState();
        std::strcpy(lineText, "w  = 2.385");
        lineLength = 10;
    }
};

TEST_F(StatusText, EachFlagPrintsItsOwnText) {
    struct Case {
        int32_t DefinedFlags::*flag;
        const char* text;
    };
    const Case cases[] = {
        {&DefinedFlags::defLeftEnd, "linkes Tr\xe4gerende definiert"},
        {&DefinedFlags::defSpring, "elastisches Lager definiert"},
        {&DefinedFlags::defBeamSection, "Tr\xe4gerabschnitt definiert"},
        {&DefinedFlags::defPointLoad, "Einzellast definiert"},
        {&DefinedFlags::defShaftSection, "Wellenabschnitt definiert"},
        {&DefinedFlags::defIntermediate, "Zwischenbedingung definiert"},
        {&DefinedFlags::defRightEnd, "rechtes Tr\xe4gerende definiert"},
    };
    for (const Case& c : cases) {
        definedFlags = DefinedFlags{};
        definedFlags.*c.flag = 1;
        chooseStatusText();
        EXPECT_EQ(printedLine(), c.text);
        EXPECT_EQ(lineLength, static_cast<int32_t>(std::strlen(c.text)));
    }
}

TEST_F(StatusText, LaterFlagInTheOrderWins) {
    definedFlags.defLeftEnd = 1;
    definedFlags.defRightEnd = 1;
    chooseStatusText();
    EXPECT_EQ(printedLine(), "rechtes Tr\xe4gerende definiert") << "right end over left end";

    definedFlags = DefinedFlags{};
    definedFlags.defShaftSection = 1;
    definedFlags.defSpring = 1;
    definedFlags.defPointLoad = 1;
    chooseStatusText();
    EXPECT_EQ(printedLine(), "Wellenabschnitt definiert") << "shaft over point load and spring";
}

TEST_F(StatusText, NoFlagKeepsTheLastLine) {
    chooseStatusText();
    EXPECT_EQ(printedLine(), "w  = 2.385") << "a repaint repeats what the buffer holds";
}

TEST_F(StatusText, OnlyAFlagOfExactlyOneCounts) {
    definedFlags.defBeamSection = 2;
    definedFlags.defSpring = -1;
    chooseStatusText();
    EXPECT_EQ(printedLine(), "w  = 2.385");
}

TEST_F(StatusText, ALongerTextIsReplacedWhole) {
    definedFlags.defRightEnd = 1;
    chooseStatusText();
    definedFlags = DefinedFlags{};
    definedFlags.defPointLoad = 1;
    chooseStatusText();
    EXPECT_EQ(printedLine(), "Einzellast definiert");
    EXPECT_EQ(lineText[lineLength], '\0');
}

TEST_F(StatusText, RepaintConsumesEveryFlag) {
    definedFlags = {1, 1, 1, 1, 1, 1, 1};
    solvedFlag = 1;
    clearDefinedFlags();
    const DefinedFlags& f = definedFlags;
    EXPECT_EQ(f.defLeftEnd + f.defSpring + f.defBeamSection + f.defPointLoad + f.defShaftSection +
                  f.defIntermediate + f.defRightEnd,
              0);
    EXPECT_EQ(solvedFlag, 1) << "the solved state is not a defined flag";
}

TEST_F(StatusText, BandIsYellowUntilSolvedThenOrange) {
    EXPECT_EQ(statusBandColour(), 0x0000FFFFu) << "yellow: red 255, green 255";
    solvedFlag = 1;
    EXPECT_EQ(statusBandColour(), 0x000080FFu) << "orange: red 255, green 128";
}

class ResultLines : public testing::Test {
protected:
    void SetUp() override { resetEngineState(); }
    std::string line(int index) {
        formatResultLine(index);
        return printedLine();
    }
};

TEST_F(ResultLines, FormatsPadTheNamesToThreeCharacters) {
    resultW = 0.0;
    resultPsi = 1e-06;
    resultM = 1234567.0;
    resultQ = 0.5;
    EXPECT_EQ(line(0), "w  = 0");
    EXPECT_EQ(line(1), "psi= 1e-06");
    EXPECT_EQ(line(2), "M  = 1.23457e+06");
    EXPECT_EQ(line(3), "Q  = 0.5");
}

TEST_F(ResultLines, SixSignificantDigits) {
    resultPsi = -1.0 / 24.0;
    resultW = 5.0 / 384.0;
    resultQ = 0.0001;
    resultM = 123456.7;
    EXPECT_EQ(line(1), "psi= -0.0416667");
    EXPECT_EQ(line(0), "w  = 0.0130208");
    EXPECT_EQ(line(3), "Q  = 0.0001") << "exponent form only below 1e-4";
    EXPECT_EQ(line(2), "M  = 123457");
}

TEST_F(ResultLines, NonFiniteValuesPrintAsTheRuntimeSpellsThem) {
    resultW = std::numeric_limits<double>::infinity();
    resultPsi = -std::numeric_limits<double>::infinity();
    resultM = std::numeric_limits<double>::quiet_NaN();
    resultQ = -std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(line(0), "w  = inf");
    EXPECT_EQ(line(1), "psi= -inf");
    EXPECT_EQ(line(2), "M  = nan");
    EXPECT_EQ(line(3), "Q  = nan") << "a NaN's sign bit is not printed, in either build";
}

TEST_F(ResultLines, LengthCountsThePrintedCharacters) {
    resultQ = -0.5;
    formatResultLine(3);
    EXPECT_EQ(lineLength, 9);
    EXPECT_EQ(lineText[9], '\0');
}

TEST_F(ResultLines, LineOutsideTheFourLeavesTheBuffer) {
    std::strcpy(lineText, "Einzellast definiert");
    lineLength = 20;
    formatResultLine(4);
    formatResultLine(-1);
    EXPECT_EQ(printedLine(), "Einzellast definiert");
}

// Worked values: 12 pt and 14 pt at 96 and at 120 logical pixels per inch.
TEST(FontArithmetic, HeightsAtNinetySixPixelsPerInch) {
    EXPECT_EQ(deviceTenths(120, 96.0f), 160);
    EXPECT_EQ(fontHeightFor(160), -16);
    EXPECT_EQ(deviceTenths(140, 96.0f), 186) << "186.67 truncated";
    EXPECT_EQ(fontHeightFor(186), -19) << "18.6 rounded half up";
}

TEST(FontArithmetic, HeightsAtOneHundredTwentyPixelsPerInch) {
    EXPECT_EQ(deviceTenths(120, 120.0f), 200);
    EXPECT_EQ(fontHeightFor(200), -20);
    EXPECT_EQ(deviceTenths(140, 120.0f), 233) << "233.33 truncated";
    EXPECT_EQ(fontHeightFor(233), -23);
}

TEST(FontArithmetic, HeightRoundsHalfUpAndIsAlwaysNegative) {
    EXPECT_EQ(fontHeightFor(185), -19) << "18.5 rounds up";
    EXPECT_EQ(fontHeightFor(184), -18);
    EXPECT_EQ(fontHeightFor(-160), -16) << "a y axis pointing up still asks for the character";
    EXPECT_EQ(fontHeightFor(0), 0);
}

TEST(FontArithmetic, ProductIsFormedInDoublePrecision) {
    // 100.1f is 100.09999847...; 72 * 10 tenths at that density is 1000.99
    // in double, but 1001 if the product were rounded to single precision.
    EXPECT_EQ(deviceTenths(720, 100.1f), 1000);
}

TEST(FontArithmetic, PhysicalDensityFromPixelsAndMillimetres) {
    EXPECT_FLOAT_EQ(physicalPixelsPerInch(1024, 270), static_cast<float>(25.4 * 1024 / 270));
    EXPECT_FLOAT_EQ(physicalPixelsPerInch(2385, 631), 96.004754f) << "60579 / 631";
    EXPECT_EQ(physicalPixelsPerInch(1024, 0), 0.0f) << "a device without a size";
    EXPECT_EQ(physicalPixelsPerInch(1024, -3), 0.0f);
}

TEST(FontArithmetic, WidthScalesTheNaturalAverageWidth) {
    EXPECT_EQ(fontWidthFor(160, 160, 9), 9) << "width equal to height keeps the natural width";
    EXPECT_EQ(fontWidthFor(320, 160, 9), 18);
    EXPECT_EQ(fontWidthFor(-250, 160, 7), 11) << "10.94 rounded, direction ignored";
    EXPECT_EQ(fontWidthFor(240, -160, 7), 11) << "10.5 rounds up";
    EXPECT_EQ(fontWidthFor(160, 0, 9), 0) << "no height: the natural width, no division by zero";
}

TEST(FontArithmetic, AbsurdSizesStayInRange) {
    EXPECT_EQ(deviceTenths(2147483647, 1.0e6f), 2147483647);
    EXPECT_EQ(deviceTenths(-2147483647, 1.0e6f), -2147483647 - 1);
    EXPECT_EQ(fontHeightFor(-2147483647 - 1), -214748365);
}

}  // namespace
