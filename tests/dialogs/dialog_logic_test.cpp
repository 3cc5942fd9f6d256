// The dialogs' decision logic, driven through a fake set of controls that
// records what the logic shows and which fields it reads, and returns what a
// user typed. The same tests run natively and under Wine.
#include "dialogs/dialog_logic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace {

// The controls of one dialog as a user sees them.
struct FakeDialog {
    int32_t radioFirst = 0, radioLast = 0, radioChecked = 0;
    std::map<int32_t, int32_t> boxes;
    std::map<int32_t, std::string> fields;  // what is shown, then what was typed
    std::vector<int32_t> reads;             // the fields read, in order
    std::vector<int32_t> readCounts;

    DialogControls controls() {
        return DialogControls{this, checkRadio, setBox, isBoxChecked, showText, readText};
    }

    static FakeDialog& of(void* d) { return *static_cast<FakeDialog*>(d); }
    static void checkRadio(void* d, int32_t first, int32_t last, int32_t checked) {
        of(d).radioFirst = first;
        of(d).radioLast = last;
        of(d).radioChecked = checked;
    }
    static void setBox(void* d, int32_t id, int32_t checked) { of(d).boxes[id] = checked; }
    static int32_t isBoxChecked(void* d, int32_t id) { return of(d).boxes[id]; }
    static void showText(void* d, int32_t id, const char* text) { of(d).fields[id] = text; }
    // As GetDlgItemTextA: at most count - 1 characters and a zero.
    static void readText(void* d, int32_t id, char* text, int32_t count) {
        of(d).reads.push_back(id);
        of(d).readCounts.push_back(count);
        const std::string& s = of(d).fields[id];
        const size_t n = std::min(s.size(), static_cast<size_t>(count - 1));
        std::memcpy(text, s.data(), n);
        text[n] = '\0';
    }
};

std::string shown(double value) {
    char text[fieldBufferSize];
    formatFieldValue(value, text);
    return text;
}

class DialogLogic : public testing::Test {
protected:
    void SetUp() override { resetEngineState(); }
    FakeDialog fake;
    DialogControls c = fake.controls();
};

// ---------------------------------------------------------------------------
// Reading and showing numbers.

TEST(FieldText, ReadsTheLeadingDecimalNumberOnly) {
    EXPECT_EQ(fieldTextValue("2,5"), 2.0) << "the comma ends the number";
    EXPECT_EQ(fieldTextValue("7 kN"), 7.0) << "a unit after a blank is ignored";
    EXPECT_EQ(fieldTextValue("kN"), 0.0) << "letters only";
    EXPECT_EQ(fieldTextValue(""), 0.0) << "an empty field";
    EXPECT_EQ(fieldTextValue("1e3"), 1000.0);
    EXPECT_EQ(fieldTextValue("  -2.385"), -2.385) << "leading blanks are skipped";
    EXPECT_EQ(fieldTextValue("+.625E-2m"), 0.00625);
    EXPECT_EQ(fieldTextValue("3.75e"), 3.75) << "an exponent without digits is not part of it";
    EXPECT_EQ(fieldTextValue("4e+x"), 4.0);
    EXPECT_EQ(fieldTextValue("-"), 0.0);
    EXPECT_EQ(fieldTextValue("."), 0.0);
    EXPECT_EQ(fieldTextValue("x12"), 0.0) << "a text that does not begin with a number";
}

TEST(FieldText, NonDecimalSpellingsReadAsZeroInBothBuilds) {
    EXPECT_EQ(fieldTextValue("inf"), 0.0);
    EXPECT_EQ(fieldTextValue("NaN"), 0.0);
    EXPECT_EQ(fieldTextValue("infinity"), 0.0);
    EXPECT_EQ(fieldTextValue("0x10"), 0.0) << "the 0 before the x is the number";
}

TEST(FieldText, OnlyTheFirst29CharactersCount) {
    const std::string oneAnd29Zeros = "1" + std::string(29, '0');
    EXPECT_EQ(fieldTextValue(oneAnd29Zeros.c_str()), 1e28) << "not 1e29";
    const std::string twentyNineDigits = "12345678901234567890123456789";
    EXPECT_EQ(fieldTextValue((twentyNineDigits + "5").c_str()),
              fieldTextValue(twentyNineDigits.c_str()));
    EXPECT_EQ(fieldTextValue((std::string(28, ' ') + "9").c_str()), 9.0)
        << "the 29th character still counts";
    EXPECT_EQ(fieldTextValue((std::string(29, ' ') + "9").c_str()), 0.0) << "the 30th does not";
}

TEST(FieldText, NumbersBeyondADoubleAreStoredAsAtofGivesThem) {
    EXPECT_EQ(fieldTextValue("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(fieldTextValue("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(fieldTextValue("1e-999"), 0.0);
}

TEST(FieldText, ShowsSixSignificantDigits) {
    EXPECT_EQ(shown(0.0), "0");
    EXPECT_EQ(shown(2.385), "2.385");
    EXPECT_EQ(shown(-0.75), "-0.75");
    EXPECT_EQ(shown(123456.0), "123456");
    EXPECT_EQ(shown(1234567.0), "1.23457e+06") << "exponent form from 1e6 on";
    EXPECT_EQ(shown(0.0001), "0.0001");
    EXPECT_EQ(shown(0.00001234), "1.234e-05") << "exponent form below 1e-4";
    EXPECT_EQ(shown(1e28), "1e+28");
}

TEST(FieldText, AnUneditedFieldStoresTheRoundedValue) {
    EXPECT_EQ(fieldTextValue(shown(1234567.0).c_str()), 1234570.0);
    EXPECT_EQ(fieldTextValue(shown(2.0 / 3.0).c_str()), 0.666667);
}

// ---------------------------------------------------------------------------
// DLG_F1

TEST_F(DialogLogic, LeftEndOpensWithTheLastConfirmedChoice) {
    leftEndOpen(c);
    EXPECT_EQ(fake.radioFirst, 310);
    EXPECT_EQ(fake.radioLast, 330);
    EXPECT_EQ(fake.radioChecked, 310) << "hinged support the first time";

    EXPECT_EQ(leftEndCommand(c, 320), commandHandled);
    EXPECT_EQ(memories.leftEndChoice, 320) << "a click is recorded at once";
    EXPECT_EQ(inputs.selRow1, 2) << "but nothing is written before OK";
    EXPECT_EQ(leftEndCommand(c, 1), commandEndsDialog);
    EXPECT_EQ(inputs.selRow1, 1);
    EXPECT_EQ(inputs.selRow2, 2);
    EXPECT_EQ(definedFlags.defLeftEnd, 1);

    leftEndOpen(c);
    EXPECT_EQ(fake.radioChecked, 320);
}

TEST_F(DialogLogic, LeftEndRowsOfEachSupport) {
    const int32_t rows[3][3] = {{310, 2, 4}, {320, 1, 2}, {330, 3, 4}};
    for (const auto& r : rows) {
        leftEndOpen(c);
        leftEndCommand(c, r[0]);
        leftEndCommand(c, 1);
        EXPECT_EQ(inputs.selRow1, r[1]) << r[0];
        EXPECT_EQ(inputs.selRow2, r[2]) << r[0];
    }
}

TEST_F(DialogLogic, EachDialogFocusesTheFirstTabStopOfItsTemplate) {
    EXPECT_EQ(leftEndOpen(c), 1) << "OK";
    EXPECT_EQ(springOpen(c), 350);
    EXPECT_EQ(beamSectionOpen(c), 450);
    EXPECT_EQ(pointLoadOpen(c), 400) << "the value, not the checked radio button";
    EXPECT_EQ(shaftSectionOpen(c), 450);
    EXPECT_EQ(conditionKindOpen(c), 1);
    EXPECT_EQ(intermediateOpen(c), 1);
    EXPECT_EQ(rightEndOpen(c), 550);
}

TEST_F(DialogLogic, UnknownIdsAreLeftToTheDialogManager) {
    EXPECT_EQ(leftEndCommand(c, 315), commandIgnored);
    EXPECT_EQ(leftEndCommand(c, 0xFFFF), commandIgnored) << "a label's id";
    EXPECT_EQ(springCommand(c, 350), commandIgnored) << "notifications of the edit field";
    EXPECT_EQ(pointLoadCommand(c, 400), commandIgnored);
    EXPECT_EQ(beamSectionCommand(c, 460), commandIgnored) << "a field of the other section dialog";
    EXPECT_EQ(rightEndCommand(c, 480), commandIgnored) << "a radio id of another dialog";
    EXPECT_EQ(memories.leftEndChoice, 310);
    EXPECT_EQ(memories.rightEndChoice, 520);
    EXPECT_TRUE(fake.reads.empty());
}

// ---------------------------------------------------------------------------
// DLG_F2

TEST_F(DialogLogic, SpringShowsReadsAndCancels) {
    inputs.springStiffness = 1234567.0;
    springOpen(c);
    EXPECT_EQ(fake.fields[350], "1.23457e+06");

    fake.fields[350] = "2.385 kN/m";
    EXPECT_EQ(springCommand(c, 1), commandEndsDialog);
    EXPECT_EQ(inputs.springStiffness, 2.385);
    EXPECT_EQ(definedFlags.defSpring, 1);
    EXPECT_EQ(fake.readCounts, std::vector<int32_t>{30}) << "read with a count of 30";

    springOpen(c);
    fake.fields[350] = "9.5";
    EXPECT_EQ(springCommand(c, 2), commandEndsDialog);
    EXPECT_EQ(inputs.springStiffness, 2.385);
    EXPECT_EQ(definedFlags.defSpring, 0);
}

// ---------------------------------------------------------------------------
// DLG_F4

TEST_F(DialogLogic, PointLoadWritesItsRowAndValueButNotSelRow2) {
    inputs.selRow2 = 2;
    pointLoadOpen(c);
    EXPECT_EQ(fake.radioFirst, 360);
    EXPECT_EQ(fake.radioLast, 390);
    EXPECT_EQ(fake.radioChecked, 360);
    EXPECT_EQ(fake.fields[400], "0");

    const int32_t rows[4][2] = {{360, 4}, {370, 3}, {380, 2}, {390, 1}};
    for (const auto& r : rows) {
        pointLoadOpen(c);
        pointLoadCommand(c, r[0]);
        fake.fields[400] = "-4.125";
        EXPECT_EQ(pointLoadCommand(c, 1), commandEndsDialog);
        EXPECT_EQ(inputs.selRow1, r[1]) << r[0];
        EXPECT_EQ(inputs.selRow2, 2) << r[0];
        EXPECT_EQ(inputs.pointLoadValue, -4.125);
        EXPECT_EQ(definedFlags.defPointLoad, 1);
    }
}

// ---------------------------------------------------------------------------
// DLG_F3 and DLG_F5

TEST_F(DialogLogic, SectionsOpenWithTheSharedValues) {
    inputs.segLength = 2.385;
    inputs.bendingStiffness = 21000.5;
    inputs.youngsModulus = 210000.0;
    inputs.shaftDiameter = 0.045;
    inputs.lineLoad = -1.5;
    inputs.lineLoadSlope = 0.25;
    inputs.hasLineLoad = 1;

    beamSectionOpen(c);
    EXPECT_EQ(fake.boxes[420], 1);
    EXPECT_EQ(fake.fields[450], "2.385");
    EXPECT_EQ(fake.fields[410], "21000.5");
    EXPECT_EQ(fake.fields[430], "-1.5");
    EXPECT_EQ(fake.fields[440], "0.25");
    EXPECT_EQ(fake.fields.count(460), 0u);

    FakeDialog shaft;
    const DialogControls s = shaft.controls();
    shaftSectionOpen(s);
    EXPECT_EQ(shaft.boxes[420], 1);
    EXPECT_EQ(shaft.fields[450], "2.385");
    EXPECT_EQ(shaft.fields[460], "210000");
    EXPECT_EQ(shaft.fields[470], "0.045");
    EXPECT_EQ(shaft.fields[430], "-1.5");
    EXPECT_EQ(shaft.fields[440], "0.25");
    EXPECT_EQ(shaft.fields.count(410), 0u);
}

TEST_F(DialogLogic, BeamSectionDropsTheLineLoadWhileTheBoxIsClear) {
    inputs.lineLoad = -1.5;
    inputs.lineLoadSlope = 0.25;
    beamSectionOpen(c);
    EXPECT_EQ(fake.boxes[420], 0);
    fake.fields[450] = "3.5";
    fake.fields[410] = "1e4";
    fake.fields[430] = "7";
    fake.fields[440] = "8";
    EXPECT_EQ(beamSectionCommand(c, 1), commandEndsDialog);
    EXPECT_EQ(fake.reads, (std::vector<int32_t>{450, 410})) << "430 and 440 are not read";
    EXPECT_EQ(inputs.segLength, 3.5);
    EXPECT_EQ(inputs.bendingStiffness, 10000.0);
    EXPECT_EQ(inputs.lineLoad, -1.5);
    EXPECT_EQ(inputs.lineLoadSlope, 0.25);
    EXPECT_EQ(inputs.hasLineLoad, 0);
    EXPECT_EQ(definedFlags.defBeamSection, 1);
}

TEST_F(DialogLogic, BeamSectionStoresTheLineLoadWhenTheBoxIsChecked) {
    inputs.youngsModulus = 210000.0;
    inputs.shaftDiameter = 0.045;
    beamSectionOpen(c);
    fake.boxes[420] = 1;
    EXPECT_EQ(beamSectionCommand(c, 420), commandHandled);
    EXPECT_EQ(inputs.hasLineLoad, 1) << "the click is recorded at once";
    fake.fields[450] = "2";
    fake.fields[410] = "3";
    fake.fields[430] = "2.385";
    fake.fields[440] = "-0.75";
    beamSectionCommand(c, 1);
    EXPECT_EQ(fake.reads, (std::vector<int32_t>{450, 410, 430, 440}));
    EXPECT_EQ(inputs.lineLoad, 2.385);
    EXPECT_EQ(inputs.lineLoadSlope, -0.75);
    EXPECT_EQ(inputs.youngsModulus, 210000.0) << "the shaft's values are not touched";
    EXPECT_EQ(inputs.shaftDiameter, 0.045);
}

TEST_F(DialogLogic, CheckingAndClearingTheBoxAgainDropsTheLineLoad) {
    shaftSectionOpen(c);
    fake.boxes[420] = 1;
    shaftSectionCommand(c, 420);
    fake.boxes[420] = 0;
    shaftSectionCommand(c, 420);
    fake.fields[430] = "5";
    shaftSectionCommand(c, 1);
    EXPECT_EQ(inputs.hasLineLoad, 0);
    EXPECT_EQ(fake.reads, (std::vector<int32_t>{450, 460, 470}));
    EXPECT_EQ(inputs.lineLoad, 0.0);
}

// ---------------------------------------------------------------------------
// DLG_F61, DLG_F62, DLG_F63

TEST_F(DialogLogic, ConditionKindCannotBeCancelled) {
    conditionKindOpen(c);
    EXPECT_EQ(fake.radioFirst, 480);
    EXPECT_EQ(fake.radioLast, 490);
    EXPECT_EQ(fake.radioChecked, 490);

    EXPECT_EQ(conditionKindCommand(c, 480), commandHandled);
    EXPECT_EQ(conditionKindCommand(c, 2), commandIgnored) << "Escape and the close box";
    EXPECT_EQ(memories.conditionKindChoice, 480) << "every click counts";
    EXPECT_EQ(inputs.isRightEnd, 1);
    EXPECT_EQ(conditionKindCommand(c, 1), commandEndsDialog);
    EXPECT_EQ(inputs.isRightEnd, 0);

    conditionKindOpen(c);
    EXPECT_EQ(fake.radioChecked, 480);
    conditionKindCommand(c, 490);
    conditionKindCommand(c, 1);
    EXPECT_EQ(inputs.isRightEnd, 1);
}

TEST_F(DialogLogic, IntermediateConditionWritesOnlyTheFirstCondition) {
    inputs.selRow2 = 4;
    inputs.condValue2 = -2.5;
    inputs.condValue1 = 7.25;
    intermediateOpen(c);
    EXPECT_EQ(fake.radioFirst, 500);
    EXPECT_EQ(fake.radioLast, 510);
    EXPECT_EQ(fake.radioChecked, 500);
    intermediateCommand(c, 510);
    EXPECT_EQ(intermediateCommand(c, 1), commandEndsDialog);
    EXPECT_EQ(inputs.selRow1, 3);
    EXPECT_EQ(inputs.condValue1, 0.0);
    EXPECT_EQ(inputs.selRow2, 4);
    EXPECT_EQ(inputs.condValue2, -2.5);
    EXPECT_EQ(definedFlags.defIntermediate, 1);

    intermediateOpen(c);
    EXPECT_EQ(fake.radioChecked, 510);
    intermediateCommand(c, 500);
    intermediateCommand(c, 1);
    EXPECT_EQ(inputs.selRow1, 1);

    intermediateOpen(c);
    intermediateCommand(c, 510);
    inputs.condValue1 = 3.0;
    EXPECT_EQ(intermediateCommand(c, 2), commandEndsDialog);
    EXPECT_EQ(memories.intermediateChoice, 500);
    EXPECT_EQ(inputs.selRow1, 1);
    EXPECT_EQ(inputs.condValue1, 3.0);
    EXPECT_EQ(definedFlags.defIntermediate, 0);
}

TEST_F(DialogLogic, RightEndReadsOnlyTheFieldsOfItsKind) {
    rightEndOpen(c);
    EXPECT_EQ(fake.radioFirst, 520);
    EXPECT_EQ(fake.radioLast, 540);
    EXPECT_EQ(fake.radioChecked, 520);
    EXPECT_EQ(fake.fields[550], "0");
    EXPECT_EQ(fake.fields[560], "0");
    EXPECT_EQ(fake.fields[570], "0");

    // Free end with moment and force.
    rightEndCommand(c, 530);
    fake.fields[560] = "5";
    fake.fields[570] = "-2";
    fake.fields[550] = "11";
    rightEndCommand(c, 1);
    EXPECT_EQ(fake.reads, (std::vector<int32_t>{560, 570}));
    EXPECT_EQ(inputs.selRow1, 3);
    EXPECT_EQ(inputs.condValue1, 5.0);
    EXPECT_EQ(inputs.selRow2, 4);
    EXPECT_EQ(inputs.condValue2, -2.0);
    EXPECT_EQ(memories.hingedEndMoment, 0.0) << "the hinged end's field was dropped";
    EXPECT_EQ(definedFlags.defRightEnd, 1);

    // Hinged with an end moment; the free end's fields keep their memories.
    fake.reads.clear();
    rightEndOpen(c);
    EXPECT_EQ(fake.fields[560], "5");
    EXPECT_EQ(fake.fields[570], "-2");
    rightEndCommand(c, 520);
    fake.fields[550] = "1.75";
    fake.fields[560] = "99";
    rightEndCommand(c, 1);
    EXPECT_EQ(fake.reads, std::vector<int32_t>{550});
    EXPECT_EQ(inputs.selRow1, 1);
    EXPECT_EQ(inputs.condValue1, 0.0);
    EXPECT_EQ(inputs.selRow2, 3);
    EXPECT_EQ(inputs.condValue2, 1.75);
    EXPECT_EQ(memories.hingedEndMoment, 1.75);
    EXPECT_EQ(memories.freeEndMoment, 5.0);

    // Clamped reads nothing.
    fake.reads.clear();
    rightEndOpen(c);
    rightEndCommand(c, 540);
    rightEndCommand(c, 1);
    EXPECT_TRUE(fake.reads.empty());
    EXPECT_EQ(inputs.selRow1, 1);
    EXPECT_EQ(inputs.condValue1, 0.0);
    EXPECT_EQ(inputs.selRow2, 2);
    EXPECT_EQ(inputs.condValue2, 0.0);
}

}  // namespace
