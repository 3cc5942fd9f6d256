// Every F7 of a script prints what the result panel prints for the same keys:
// the worked values of the reduction method (the ones the window's own tests
// check), and bit-for-bit agreement with the engine driven key by key.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "batch_support.h"
#include "engine/engine.h"
#include "tests/engine_steps.h"

namespace {

std::string panel(const char* w, const char* psi, const char* m, const char* q) {
    return std::string("w  = ") + w + "\npsi= " + psi + "\nM  = " + m + "\nQ  = " + q + "\n";
}

// The output of a script with no warning, or with the one warning that the
// F7 on `incompleteAt` reads registers of no complete beam.
std::string run(const std::string& script, int incompleteAt = 0) {
    BatchRun r = runInProcess({}, script);
    EXPECT_EQ(r.status, 0) << r.err;
    if (incompleteAt == 0) {
        EXPECT_EQ(r.err, "");
    } else {
        EXPECT_EQ(r.err.rfind("<stdin>:" + std::to_string(incompleteAt) + ":1: warning: ", 0), 0u);
        EXPECT_NE(r.err.find("no complete beam"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
    return r.out;
}

constexpr char simpleBeam[] =
    "F1 gelenkiges Lager\n"
    "F3 l=1 EI=1 q=1 qs=0\n"
    "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager M=0\n";

TEST(BatchResults, SimplySupportedBeamAtTheRightEndAndAtMidSpan) {
    const std::string out = run(std::string(simpleBeam) +
                                "F7\n"
                                "F1 gelenkiges Lager\n"
                                "F3 l=0.5 EI=1 q=1 qs=0\n"
                                "F7\n"
                                "F3 l=0.5 EI=1 q=1 qs=0\n"
                                "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager M=0\n"
                                "F7\n");
    EXPECT_EQ(out, panel("0", "-0.0416667", "0", "-0.5") + "\n" +
                       panel("0.0130208", "0", "0.125", "0") + "\n" +
                       panel("0", "-0.0416667", "0", "-0.5"));
}

TEST(BatchResults, CantileverWithATipForceOrAnEndForce) {
    EXPECT_EQ(run("F1 Einspannung\nF3 l=1 EI=1\nF4 Kraft 1\n"
                  "F6 rechtes Tr\xc3\xa4gerende freies Ende M=0 Q=0\nF7\n"),
              panel("0.333333", "0.5", "0", "0"));
    EXPECT_EQ(run("F1 Einspannung\nF3 l=1 EI=1\n"
                  "F6 rechtes Tr\xc3\xa4gerende freies Ende M=0 Q=1\nF7\n"),
              panel("0.333333", "0.5", "0", "1"));
}

TEST(BatchResults, TwoSpansAtTheRightEndAndJustLeftOfTheMiddleSupport) {
    EXPECT_EQ(run("F1 gelenkiges Lager\nF3 l=1 EI=1 q=1 qs=0\n"
                  "F6 Zwischenbedingung gelenkiges Lager\n"
                  "F3 l=1 EI=1 q=1 qs=0\n"
                  "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager M=0\nF7\n"
                  "F1 gelenkiges Lager\nF3 l=1 EI=1 q=1 qs=0\nF7\n"),
              panel("0", "-0.0208333", "0", "-0.375") + "\n" + panel("0", "0", "-0.125", "-0.625"));
}

TEST(BatchResults, BeamWithAHingeOnBothSidesOfTheHinge) {
    EXPECT_EQ(run("F1 Einspannung\nF3 l=1 EI=1 q=1 qs=0\nF6 Zwischenbedingung Gelenk\n"
                  "F3 l=1 EI=1 q=1 qs=0\nF6 rechtes Tr\xc3\xa4gerende gelenkiges Lager M=0\nF7\n"
                  "F1 Einspannung\nF3 l=1 EI=1 q=1 qs=0\nF7\n"
                  "F6 Zwischenbedingung Gelenk\nF7\n"),
              panel("0", "-0.333333", "0", "-0.5") + "\n" +
                  panel("0.291667", "0.416667", "0", "0.5") + "\n" +
                  panel("0.291667", "-0.25", "0", "0.5"));
}

TEST(BatchResults, EvaluationWithoutARightEndShowsTheLoadColumn) {
    EXPECT_EQ(run("F1 gelenkiges Lager\nF3 l=1 EI=1 q=1 qs=0\nF7\n", 3),
              panel("0.0416667", "0.166667", "-0.5", "-1"));
}

TEST(BatchResults, EvaluationRightAfterStartAndTwiceInARow) {
    EXPECT_EQ(run("F7\n", 1), panel("0", "0", "0", "0"));
    const std::string once = panel("0", "-0.0416667", "0", "-0.5");
    EXPECT_EQ(run(std::string(simpleBeam) + "F7\nF7\n"), once + "\n" + once);
}

// A right end leaves no pair of an earlier beam behind it: the simply
// supported beam after three spans prints Q = -q l / 2.
TEST(BatchResults, ASecondBeamPrintsItsOwnValues) {
    EXPECT_EQ(run("F1 gelenkiges Lager\nF3 l=1 EI=1 q=1\nF6 Zwischenbedingung gelenkiges Lager\n"
                  "F3 l=1 EI=1 q=1\nF6 Zwischenbedingung gelenkiges Lager\nF3 l=1 EI=1 q=1\n"
                  "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\n" +
                  std::string(simpleBeam) + "F7\n"),
              panel("0", "-0.0416667", "0", "-0.5"));
}

TEST(BatchResults, AScriptWithoutF7PrintsNothing) { EXPECT_EQ(run(std::string(simpleBeam)), ""); }

// The four values of the JSON result of script line `line`, read back with
// strtod, against the engine's results bit for bit.
void expectResultBits(const std::string& json, int line) {
    const size_t at = json.find("{\"line\": " + std::to_string(line) + ",");
    ASSERT_NE(at, std::string::npos) << json;
    const double engine[] = {resultW, resultPsi, resultM, resultQ};
    const char* const keys[] = {"\"w\": ", "\"psi\": ", "\"M\": ", "\"Q\": "};
    for (int k = 0; k < 4; ++k) {
        const size_t value = json.find(keys[k], at);
        ASSERT_NE(value, std::string::npos) << keys[k];
        char* end = nullptr;
        const double printed = std::strtod(json.c_str() + value + std::strlen(keys[k]), &end);
        EXPECT_TRUE(*end == ',' || *end == '}') << json.substr(value, 40);
        EXPECT_BITS(printed, engine[k]) << keys[k];
    }
}

// The same keys pressed on the engine directly, with the inputs each dialog
// writes; every value of the JSON reads back as the engine's own double.
TEST(BatchResults, AgreesBitForBitWithTheEngineDrivenKeyByKey) {
    const BatchRun r = runInProcess({"--json"},
                                    "f1 EINSPANNUNG\n"
                                    "F3 l=1.35 EI=2.385e3 q=0.75 qs=-0.125\n"
                                    "F2 c=1.5e4\n"
                                    "F5 l=0.8 E=2.1e5 d=0.0625 q=0.5\n"
                                    "F4 Kraft 3.25\n"
                                    "F4 Moment -0.6\n"
                                    "F4 Winkel 0.001\n"
                                    "F4 Absenkung 0.002\n"
                                    "F6 Zwischenbedingung Gelenk\n"
                                    "F3 l=0.95 EI=1.7e3\n"
                                    "F6 Zwischenbedingung gelenkiges Lager\n"
                                    "F3 l=1.1 EI=1.7e3 qs=0.4\n"
                                    "F6 rechtes Traegerende freies Ende M=0.25 Q=-0.5\n"
                                    "F7\n"
                                    "F1 Einspannung\n"
                                    "F3 l=1.35 EI=2.385e3 q=0.75 qs=-0.125\n"
                                    "F2 c=1.5e4\n"
                                    "F7\n");
    ASSERT_EQ(r.status, 0) << r.err;

    using namespace steps;
    resetEngineState();
    leftEnd(End::clamped);
    beam(1.35, 2.385e3, 0.75, -0.125);
    spring(1.5e4);
    inputs.segLength = 0.8;
    inputs.youngsModulus = 2.1e5;
    inputs.shaftDiameter = 0.0625;
    inputs.hasLineLoad = 1;
    inputs.lineLoad = 0.5;
    inputs.lineLoadSlope = 0.0;
    applyShaftSection();
    pointLoad(4, 3.25);
    pointLoad(3, -0.6);
    pointLoad(2, 0.001);
    pointLoad(1, 0.002);
    hinge();
    beam(0.95, 1.7e3);
    support();
    beam(1.1, 1.7e3, 0.0, 0.4);
    rightFree(0.25, -0.5);
    evaluateState();
    expectResultBits(r.out, 14);

    leftEnd(End::clamped);
    beam(1.35, 2.385e3, 0.75, -0.125);
    spring(1.5e4);
    evaluateState();
    expectResultBits(r.out, 18);
}

// DLG_F3 with its box clear does not read q and qs: the earlier values stay
// in the inputs. The section after is unloaded all the same.
TEST(BatchResults, ASectionWithoutLoadLeavesTheLastLineLoadInTheInputs) {
    const BatchRun r =
        runInProcess({}, "F1 gelenkiges Lager\nF3 l=2 EI=1 q=1.5 qs=0.25\nF3 l=1 EI=1\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(inputs.hasLineLoad, 0);
    EXPECT_EQ(inputs.lineLoad, 1.5);
    EXPECT_EQ(inputs.lineLoadSlope, 0.25);
    EXPECT_EQ(memories.hasLineLoadSaved, 1);
}

TEST(BatchResults, TheRightEndDialogsMemoriesFollowTheScript) {
    const BatchRun r =
        runInProcess({}, "F1 freies Ende\nF6 rechtes Tr\xc3\xa4gerende freies Ende M=5 Q=-2\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(inputs.selRow1, 3);
    EXPECT_EQ(inputs.condValue1, 5.0);
    EXPECT_EQ(inputs.selRow2, 4);
    EXPECT_EQ(inputs.condValue2, -2.0);
    EXPECT_EQ(memories.freeEndMoment, 5.0);
    EXPECT_EQ(memories.freeEndForce, -2.0);
    EXPECT_EQ(memories.rightEndChoice, IDC_RIGHT_FREE);
    EXPECT_EQ(memories.leftEndChoice, IDC_LEFT_FREE);
    EXPECT_EQ(inputs.isRightEnd, 1);
}

TEST(BatchResults, AnOmittedEndMomentIsTheZeroTypedIntoTheField) {
    const BatchRun r = runInProcess({},
                                    "F1 gelenkiges Lager\nF3 l=1 EI=1\n"
                                    "F6 rechtes Tr\xc3\xa4gerende gelenkiges Lager\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(inputs.selRow1, 1);
    EXPECT_EQ(inputs.selRow2, 3);
    EXPECT_EQ(inputs.condValue2, 0.0);
    EXPECT_EQ(memories.hingedEndMoment, 0.0);
}

// A number of exactly 29 characters is what a dialog field still takes.
TEST(BatchResults, NumbersReadAsTheDialogReadsThem) {
    const BatchRun r = runInProcess({},
                                    "F2 c=10000000000000000000000000000\n"  // 29 characters
                                    "F4 Absenkung 1e3\n"
                                    "F3 l=.5 EI=+2.\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(inputs.springStiffness, 1e28);
    EXPECT_EQ(inputs.pointLoadValue, 1000.0);
    EXPECT_EQ(inputs.segLength, 0.5);
    EXPECT_EQ(inputs.bendingStiffness, 2.0);
}

TEST(BatchResults, CommentsBlankLinesCaseAndLineEndsAreFree) {
    EXPECT_EQ(run("\xEF\xBB\xBF# a simply supported beam\r\n"
                  "\r\n"
                  "  f1   GELENKIGES   lager   # the left end\r\n"
                  "F3 l = 1  ei=1 Q=1\r\n"
                  "F6 RECHTES TR\xc3\x84GERENDE gelenkiges Lager m=0\r\n"
                  "\tF7\r\n"),
              panel("0", "-0.0416667", "0", "-0.5"));
}

}  // namespace
