// The eight dialogs run by the real dialog manager from the program's own
// templates and worked as a user works them: clicks, typing, Enter, Escape,
// the close box and "Abbruch". Each test starts from the program's start.
#include "dialogs/dialogs_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/dialogs/dialog_harness_win.h"

namespace {

class Dialogs : public testing::Test {
protected:
    void SetUp() override { resetEngineState(); }

    // Runs the dialog and expects it to end right after the last step.
    static DialogRun work(const char* name, DLGPROC proc, const std::vector<UserStep>& steps) {
        DialogRun run = runDialog(name, proc, steps);
        EXPECT_DIALOG_ENDED(run, steps) << " in " << name;
        return run;
    }

    static DialogView lookOnly(const char* name, DLGPROC proc, const UserStep& close) {
        const DialogRun run = work(name, proc, {look(), close});
        return run.views.empty() ? DialogView{} : run.views[0];
    }
};

// ---------------------------------------------------------------------------
// DLG_F1

TEST_F(Dialogs, LeftEndFirstOpensHingedAndEnterConfirms) {
    const DialogRun run = work("Dlg_F1", leftEndDlgProc, {look(), pressEnter()});
    ASSERT_EQ(run.views.size(), 1u);
    EXPECT_EQ(run.views[0].checkedAmong({310, 320, 330}), 310);
    EXPECT_EQ(run.views[0].focusId, 1);
    EXPECT_EQ(inputs.selRow1, 2);
    EXPECT_EQ(inputs.selRow2, 4);
    EXPECT_EQ(definedFlags.defLeftEnd, 1);
    EXPECT_EQ(run.result, 0) << "every dialog ends with 0";
}

TEST_F(Dialogs, LeftEndAbbruchKeepsTheEarlierChoice) {
    work("Dlg_F1", leftEndDlgProc, {click(320), click(1)});
    EXPECT_EQ(inputs.selRow1, 1);
    EXPECT_EQ(inputs.selRow2, 2);

    const DialogRun run = work("Dlg_F1", leftEndDlgProc, {look(), click(330), look(), click(2)});
    ASSERT_EQ(run.views.size(), 2u);
    EXPECT_EQ(run.views[0].checkedAmong({310, 320, 330}), 320) << "opens with the confirmed choice";
    EXPECT_EQ(run.views[1].checkedAmong({310, 320, 330}), 330) << "one set: the others unchecked";
    EXPECT_EQ(memories.leftEndChoice, 320);
    EXPECT_EQ(inputs.selRow1, 1);
    EXPECT_EQ(inputs.selRow2, 2);
    EXPECT_EQ(definedFlags.defLeftEnd, 0);

    EXPECT_EQ(lookOnly("Dlg_F1", leftEndDlgProc, pressEscape()).checkedAmong({310, 320, 330}), 320);
}

TEST_F(Dialogs, LeftEndEscapeAndCloseBoxCancel) {
    for (const UserStep& cancel : {pressEscape(), closeBox()}) {
        definedFlags.defLeftEnd = 1;
        work("Dlg_F1", leftEndDlgProc, {click(330), cancel});
        EXPECT_EQ(memories.leftEndChoice, 310);
        EXPECT_EQ(inputs.selRow1, 2);
        EXPECT_EQ(definedFlags.defLeftEnd, 0);
    }
}

// ---------------------------------------------------------------------------
// DLG_F2: reading what was typed

TEST_F(Dialogs, SpringEnterInTheFieldConfirms) {
    const DialogRun run =
        work("Dlg_F2", springDlgProc, {look(), type(350, "2,5"), look(), pressEnter()});
    ASSERT_EQ(run.views.size(), 2u);
    EXPECT_EQ(run.views[0].text(350), "0");
    EXPECT_EQ(run.views[0].focusId, 350);
    EXPECT_EQ(run.views[1].text(350), "2,5");
    EXPECT_EQ(run.views[1].focusId, 350) << "Enter goes to the field";
    EXPECT_EQ(inputs.springStiffness, 2.0) << "the comma ends the number";
    EXPECT_EQ(definedFlags.defSpring, 1);
}

TEST_F(Dialogs, SpringReadsTheTypedTextAsAtof) {
    const std::string oneAnd29Zeros = "1" + std::string(29, '0');
    const struct {
        std::string typed;
        double value;
    } cases[] = {
        {"7 kN", 7.0},         {"kN", 0.0},        {"", 0.0},     {"1e3", 1000.0},
        {oneAnd29Zeros, 1e28}, {"-2.385", -2.385}, {"  .5", 0.5},
    };
    for (const auto& c : cases) {
        inputs.springStiffness = 99.0;
        const DialogRun run =
            work("Dlg_F2", springDlgProc, {type(350, c.typed.c_str()), look(), click(1)});
        ASSERT_EQ(run.views.size(), 1u);
        EXPECT_EQ(run.views[0].text(350), c.typed) << "typed into the field";
        EXPECT_EQ(inputs.springStiffness, c.value) << "'" << c.typed << "'";
    }
}

TEST_F(Dialogs, SpringShowsSixDigitsAndStoresThemBack) {
    inputs.springStiffness = 1234567.0;
    const DialogRun run = work("Dlg_F2", springDlgProc, {look(), pressEnter()});
    ASSERT_EQ(run.views.size(), 1u);
    EXPECT_EQ(run.views[0].text(350), "1.23457e+06");
    EXPECT_EQ(inputs.springStiffness, 1234570.0);
}

TEST_F(Dialogs, SpringAbbruchEscapeAndCloseBoxKeepTheStiffness) {
    inputs.springStiffness = 2.385;
    for (const UserStep& cancel : {click(2), pressEscape(), closeBox()}) {
        definedFlags.defSpring = 1;
        work("Dlg_F2", springDlgProc, {type(350, "9.75"), cancel});
        EXPECT_EQ(inputs.springStiffness, 2.385);
        EXPECT_EQ(definedFlags.defSpring, 0);
    }
}

// ---------------------------------------------------------------------------
// DLG_F4

TEST_F(Dialogs, PointLoadWritesSelRow1ButNotSelRow2) {
    work("Dlg_F1", leftEndDlgProc, {click(320), pressEnter()});  // free end: rows 1, 2
    const DialogRun run =
        work("Dlg_F4", pointLoadDlgProc, {look(), click(370), type(400, "-4.125"), pressEnter()});
    ASSERT_EQ(run.views.size(), 1u);
    EXPECT_EQ(run.views[0].checkedAmong({360, 370, 380, 390}), 360);
    EXPECT_EQ(run.views[0].text(400), "0");
    EXPECT_EQ(run.views[0].focusId, 400);
    EXPECT_EQ(inputs.selRow1, 3) << "a moment acts on M";
    EXPECT_EQ(inputs.pointLoadValue, -4.125);
    EXPECT_EQ(inputs.selRow2, 2) << "still the left end's";
    EXPECT_EQ(definedFlags.defPointLoad, 1);
}

TEST_F(Dialogs, PointLoadAbbruchRestoresTheKind) {
    work("Dlg_F4", pointLoadDlgProc, {click(380), type(400, "0.5"), click(1)});
    EXPECT_EQ(inputs.selRow1, 2);
    const DialogRun run =
        work("Dlg_F4", pointLoadDlgProc, {look(), click(390), type(400, "8"), click(2)});
    EXPECT_EQ(run.views[0].checkedAmong({360, 370, 380, 390}), 380);
    EXPECT_EQ(run.views[0].text(400), "0.5");
    EXPECT_EQ(memories.loadKindChoice, 380);
    EXPECT_EQ(inputs.selRow1, 2);
    EXPECT_EQ(inputs.pointLoadValue, 0.5);
    EXPECT_EQ(definedFlags.defPointLoad, 0);
}

// ---------------------------------------------------------------------------
// DLG_F3 and DLG_F5

TEST_F(Dialogs, BeamSectionFirstOpensClearWithZeros) {
    const DialogView v = lookOnly("Dlg_F3", beamSectionDlgProc, click(2));
    EXPECT_EQ(v.checked(420), BST_UNCHECKED);
    for (int id : {450, 410, 430, 440}) EXPECT_EQ(v.text(id), "0") << id;
    EXPECT_EQ(v.focusId, 450);
}

TEST_F(Dialogs, BeamSectionWithTheBoxCheckedStoresTheLineLoad) {
    const DialogRun run = work("Dlg_F3", beamSectionDlgProc,
                               {click(420), type(450, "2.5"), type(410, "1.75e4"),
                                type(430, "2.385"), type(440, "-0.75"), look(), click(1)});
    EXPECT_EQ(run.views[0].checked(420), BST_CHECKED);
    EXPECT_EQ(inputs.hasLineLoad, 1);
    EXPECT_EQ(inputs.segLength, 2.5);
    EXPECT_EQ(inputs.bendingStiffness, 17500.0);
    EXPECT_EQ(inputs.lineLoad, 2.385);
    EXPECT_EQ(inputs.lineLoadSlope, -0.75);
    EXPECT_EQ(definedFlags.defBeamSection, 1);

    // The shaft section shares length, box and line load.
    const DialogView v = lookOnly("Dlg_F5", shaftSectionDlgProc, pressEscape());
    EXPECT_EQ(v.checked(420), BST_CHECKED);
    EXPECT_EQ(v.text(450), "2.5");
    EXPECT_EQ(v.text(430), "2.385");
    EXPECT_EQ(v.text(440), "-0.75");
}

TEST_F(Dialogs, BeamSectionWithTheBoxClearDropsTypedLineLoad) {
    inputs.lineLoad = 1.5;
    inputs.lineLoadSlope = -0.25;
    work("Dlg_F3", beamSectionDlgProc,
         {type(450, "3.5"), type(410, "2e5"), type(430, "7"), type(440, "8"), pressEnter()});
    EXPECT_EQ(inputs.segLength, 3.5);
    EXPECT_EQ(inputs.bendingStiffness, 200000.0);
    EXPECT_EQ(inputs.lineLoad, 1.5);
    EXPECT_EQ(inputs.lineLoadSlope, -0.25);
    EXPECT_EQ(inputs.hasLineLoad, 0);

    const DialogView v = lookOnly("Dlg_F3", beamSectionDlgProc, click(2));
    EXPECT_EQ(v.text(430), "1.5") << "the old values again";
    EXPECT_EQ(v.text(440), "-0.25");
}

TEST_F(Dialogs, CheckingAndClearingTheBoxAgainDropsTheLineLoad) {
    work("Dlg_F5", shaftSectionDlgProc,
         {click(420), click(420), type(430, "5"), type(440, "6"), click(1)});
    EXPECT_EQ(inputs.hasLineLoad, 0);
    EXPECT_EQ(inputs.lineLoad, 0.0);
    EXPECT_EQ(inputs.lineLoadSlope, 0.0);
}

TEST_F(Dialogs, SectionAbbruchRestoresTheBox) {
    work("Dlg_F3", beamSectionDlgProc, {click(420), type(450, "4"), click(2)});
    EXPECT_EQ(inputs.hasLineLoad, 0) << "clear, as before the dialog";
    EXPECT_EQ(inputs.segLength, 0.0);
    EXPECT_EQ(definedFlags.defBeamSection, 0);

    inputs.hasLineLoad = 1;
    work("Dlg_F5", shaftSectionDlgProc, {click(420), closeBox()});
    EXPECT_EQ(inputs.hasLineLoad, 1);
    EXPECT_EQ(definedFlags.defShaftSection, 0);
}

TEST_F(Dialogs, EachSectionKeepsTheOthersStiffness) {
    work("Dlg_F5", shaftSectionDlgProc,
         {look(), type(450, "1.25"), type(460, "2.1e5"), type(470, "0.045"), pressEnter()});
    EXPECT_EQ(inputs.segLength, 1.25);
    EXPECT_EQ(inputs.youngsModulus, 210000.0);
    EXPECT_EQ(inputs.shaftDiameter, 0.045);
    EXPECT_EQ(definedFlags.defShaftSection, 1);

    const DialogRun run =
        work("Dlg_F3", beamSectionDlgProc, {look(), type(410, "4.5"), pressEnter()});
    EXPECT_EQ(run.views[0].text(450), "1.25") << "the length the shaft section confirmed";
    EXPECT_EQ(inputs.bendingStiffness, 4.5);
    EXPECT_EQ(inputs.youngsModulus, 210000.0);
    EXPECT_EQ(inputs.shaftDiameter, 0.045);

    work("Dlg_F5", shaftSectionDlgProc, {type(460, "7"), pressEnter()});
    EXPECT_EQ(inputs.bendingStiffness, 4.5);
}

// ---------------------------------------------------------------------------
// F6: DLG_F61, then DLG_F62 or DLG_F63

TEST_F(Dialogs, FirstF6IsARightEndHingedWithoutMoment) {
    const DialogRun kind = work("Dlg_F61", conditionKindDlgProc, {look(), pressEnter()});
    EXPECT_EQ(kind.views[0].checkedAmong({480, 490}), 490);
    EXPECT_EQ(kind.views[0].focusId, 1);
    EXPECT_EQ(inputs.isRightEnd, 1);

    const DialogRun end = work("Dlg_F63", rightEndDlgProc, {look(), pressEnter()});
    const DialogView& v = end.views[0];
    EXPECT_EQ(v.checkedAmong({520, 530, 540}), 520);
    for (int id : {550, 560, 570}) EXPECT_EQ(v.text(id), "0") << id;
    EXPECT_EQ(v.focusId, 550);
    EXPECT_EQ(inputs.selRow1, 1);
    EXPECT_EQ(inputs.condValue1, 0.0);
    EXPECT_EQ(inputs.selRow2, 3);
    EXPECT_EQ(inputs.condValue2, 0.0);
    EXPECT_EQ(definedFlags.defRightEnd, 1);
}

TEST_F(Dialogs, ConditionKindIgnoresEscapeAndTheCloseBox) {
    const DialogRun run = work("Dlg_F61", conditionKindDlgProc,
                               {pressEscape(), look(), closeBox(), look(), click(480), click(1)});
    ASSERT_EQ(run.views.size(), 2u) << "still open after Escape and after the close box";
    EXPECT_EQ(run.views[1].checkedAmong({480, 490}), 490);
    EXPECT_EQ(inputs.isRightEnd, 0);

    EXPECT_EQ(lookOnly("Dlg_F61", conditionKindDlgProc, click(1)).checkedAmong({480, 490}), 480)
        << "the next F6 opens with Zwischenbedingung";
    EXPECT_EQ(inputs.isRightEnd, 0);
}

TEST_F(Dialogs, ConditionKindStaysOpenUntilTheGuardEndsIt) {
    const std::vector<UserStep> steps = {pressEscape(), closeBox()};
    const DialogRun run = runDialog("Dlg_F61", conditionKindDlgProc, steps);
    EXPECT_EQ(run.stepsDone, 2);
    EXPECT_TRUE(run.guardEnded) << "neither Escape nor the close box ended it";
    EXPECT_EQ(inputs.isRightEnd, 1) << "nothing written";
}

TEST_F(Dialogs, IntermediateHingeLeavesTheSecondCondition) {
    work("Dlg_F63", rightEndDlgProc, {click(530), type(560, "5"), type(570, "-2"), click(1)});
    const DialogRun run = work("Dlg_F62", intermediateDlgProc, {look(), click(510), pressEnter()});
    EXPECT_EQ(run.views[0].checkedAmong({500, 510}), 500);
    EXPECT_EQ(run.views[0].focusId, 1);
    EXPECT_EQ(inputs.selRow1, 3);
    EXPECT_EQ(inputs.condValue1, 0.0);
    EXPECT_EQ(inputs.selRow2, 4);
    EXPECT_EQ(inputs.condValue2, -2.0);
    EXPECT_EQ(definedFlags.defIntermediate, 1);

    work("Dlg_F62", intermediateDlgProc, {click(500), pressEscape()});
    EXPECT_EQ(memories.intermediateChoice, 510);
    EXPECT_EQ(inputs.selRow1, 3);
    EXPECT_EQ(definedFlags.defIntermediate, 0);
}

TEST_F(Dialogs, RightEndRemembersEachKindsFields) {
    work("Dlg_F63", rightEndDlgProc, {click(530), type(560, "5"), type(570, "-2"), click(1)});
    EXPECT_EQ(inputs.selRow1, 3);
    EXPECT_EQ(inputs.condValue1, 5.0);
    EXPECT_EQ(inputs.selRow2, 4);
    EXPECT_EQ(inputs.condValue2, -2.0);

    // Hinged, after typing into the free end's fields: those are dropped.
    const DialogRun run =
        work("Dlg_F63", rightEndDlgProc,
             {look(), click(520), type(560, "8"), type(570, "9"), type(550, "1.5"), pressEnter()});
    EXPECT_EQ(run.views[0].checkedAmong({520, 530, 540}), 530);
    EXPECT_EQ(run.views[0].text(560), "5");
    EXPECT_EQ(run.views[0].text(570), "-2");
    EXPECT_EQ(inputs.selRow2, 3);
    EXPECT_EQ(inputs.condValue2, 1.5);
    EXPECT_EQ(memories.hingedEndMoment, 1.5);
    EXPECT_EQ(memories.freeEndMoment, 5.0);
    EXPECT_EQ(memories.freeEndForce, -2.0);

    const DialogView v = lookOnly("Dlg_F63", rightEndDlgProc, click(2));
    EXPECT_EQ(v.text(550), "1.5");
    EXPECT_EQ(v.text(560), "5");
    EXPECT_EQ(v.text(570), "-2");
}

TEST_F(Dialogs, ClampedRightEndReadsNoField) {
    memories.hingedEndMoment = 3.0;
    work("Dlg_F63", rightEndDlgProc,
         {type(550, "11"), type(560, "12"), type(570, "13"), click(540), pressEnter()});
    EXPECT_EQ(inputs.selRow1, 1);
    EXPECT_EQ(inputs.condValue1, 0.0);
    EXPECT_EQ(inputs.selRow2, 2);
    EXPECT_EQ(inputs.condValue2, 0.0);
    EXPECT_EQ(memories.hingedEndMoment, 3.0);
    EXPECT_EQ(memories.freeEndMoment, 0.0);
    EXPECT_EQ(definedFlags.defRightEnd, 1);
}

TEST_F(Dialogs, RightEndAbbruchChangesNothing) {
    work("Dlg_F63", rightEndDlgProc, {click(530), type(560, "5"), type(570, "-2"), click(1)});
    const EngineInputs before = inputs;
    work("Dlg_F63", rightEndDlgProc,
         {click(520), type(550, "3"), type(560, "4"), type(570, "6"), click(2)});
    EXPECT_EQ(memories.rightEndChoice, 530);
    EXPECT_EQ(memories.hingedEndMoment, 0.0);
    EXPECT_EQ(memories.freeEndMoment, 5.0);
    EXPECT_EQ(memories.freeEndForce, -2.0);
    EXPECT_EQ(inputs.selRow1, before.selRow1);
    EXPECT_EQ(inputs.condValue1, before.condValue1);
    EXPECT_EQ(inputs.selRow2, before.selRow2);
    EXPECT_EQ(inputs.condValue2, before.condValue2);
    EXPECT_EQ(definedFlags.defRightEnd, 0);
}

}  // namespace
