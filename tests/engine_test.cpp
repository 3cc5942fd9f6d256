// The engine against the worked values of the reduction method: registers bit
// for bit, results as the result panel prints them with "%g".
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <set>

#include "tests/engine_steps.h"

using namespace steps;

namespace {

class Engine : public testing::Test {
protected:
    void SetUp() override { resetEngineState(); }

    static void expectColumn(int first, double w, double psi, double m, double q) {
        EXPECT_BITS(R[first], w) << "row w of column R" << first;
        EXPECT_BITS(R[first + 1], psi) << "row psi of column R" << first;
        EXPECT_BITS(R[first + 2], m) << "row M of column R" << first;
        EXPECT_BITS(R[first + 3], q) << "row Q of column R" << first;
    }

    static std::string column(int first) {
        return g(R[first]) + " " + g(R[first + 1]) + " " + g(R[first + 2]) + " " + g(R[first + 3]);
    }

    static void simplySupportedSpan() {
        leftEnd(End::hinged);
        beam(1, 1, 1, 0);
        rightHinged(0);
    }
};

TEST(RoundIndex, RoundsHalfUpForPositiveAndTruncatesNegative) {
    EXPECT_EQ(roundIndex(0.0), 0);
    EXPECT_EQ(roundIndex(20.0), 20);
    EXPECT_EQ(roundIndex(2.5), 3);
    EXPECT_EQ(roundIndex(2.4999), 2);
    EXPECT_EQ(roundIndex(1.9999), 2);
    EXPECT_EQ(roundIndex(0.49999999999999994), 0) << "the remainder is compared, 0.5 is not added";
    EXPECT_EQ(roundIndex(-0.5), 0);
    EXPECT_EQ(roundIndex(-1.5), -1);
    EXPECT_EQ(roundIndex(-2.7), -2);
    for (double none : {std::nan(""), HUGE_VAL, -HUGE_VAL, 2147483647.0, -2147483648.0, 1e300})
        EXPECT_EQ(roundIndex(none), -1) << none << " names no register";
    EXPECT_EQ(roundIndex(2147483646.5), 2147483647);
    EXPECT_EQ(roundIndex(-2147483647.5), -2147483647);
}

TEST_F(Engine, StartsWithEveryRegisterZeroAndDesignedInputs) {
    for (int k = 0; k < registerCount; ++k) EXPECT_BITS(R[k], 0.0) << "R" << k;
    EXPECT_EQ(inputs.selRow1, 2);
    EXPECT_EQ(inputs.selRow2, 4);
    EXPECT_EQ(inputs.isRightEnd, 1);
    EXPECT_EQ(memories.leftEndChoice, 310);
    EXPECT_EQ(memories.conditionKindChoice, 490);
    EXPECT_EQ(memories.rightEndChoiceSaved, 520);
    EXPECT_EQ(solvedFlag, 0);
}

TEST_F(Engine, BankResetClearsR1ToR30ButNotR0) {
    for (int k = 0; k < registerCount; ++k) R[k] = k + 0.25;
    resetRegisterBank();
    EXPECT_BITS(R[0], 0.25);
    for (int k = 1; k < registerCount; ++k) EXPECT_BITS(R[k], 0.0) << "R" << k;
}

TEST_F(Engine, LeftEndSetsUnitEntriesOfEachKind) {
    leftEnd(End::hinged);
    for (int k = 1; k <= 12; ++k) EXPECT_BITS(R[k], (k == 6 || k == 12) ? 1.0 : 0.0) << "R" << k;
    EXPECT_BITS(R[13], 6.0);
    EXPECT_BITS(R[14], 12.0);
    EXPECT_BITS(R[15], 20.0);

    leftEnd(End::free);
    for (int k = 1; k <= 12; ++k) EXPECT_BITS(R[k], (k == 5 || k == 10) ? 1.0 : 0.0) << "R" << k;
    EXPECT_BITS(R[13], 5.0);
    EXPECT_BITS(R[14], 10.0);

    leftEnd(End::clamped);
    for (int k = 1; k <= 12; ++k) EXPECT_BITS(R[k], (k == 7 || k == 12) ? 1.0 : 0.0) << "R" << k;
    EXPECT_BITS(R[13], 7.0);
    EXPECT_BITS(R[14], 12.0);
}

TEST_F(Engine, LeftEndAfterACompletePassKeepsR16ToR30) {
    simplySupportedSpan();
    double kept[registerCount];
    for (int k = 16; k < registerCount; ++k) kept[k] = R[k];
    R[0] = 7.125;
    leftEnd(End::hinged);
    EXPECT_BITS(R[15], 20.0);
    EXPECT_BITS(R[0], 7.125);
    for (int k = 16; k < registerCount; ++k) EXPECT_BITS(R[k], kept[k]) << "R" << k;
}

TEST_F(Engine, SpringAddsStiffnessTimesDeflectionToShear) {
    leftEnd(End::free);
    spring(1000);
    EXPECT_BITS(R[8], 1000.0);
    EXPECT_BITS(R[4], 0.0);
    EXPECT_BITS(R[12], 0.0);

    // With deflection in every column: Q += c * w, column by column.
    R[1] = 0.125, R[5] = -2.5, R[9] = 3.75;
    R[4] = 1.0, R[8] = 2.0, R[12] = 3.0;
    spring(2.385);
    EXPECT_BITS(R[4], 0.125 * 2.385 + 1.0);
    EXPECT_BITS(R[8], -2.5 * 2.385 + 2.0);
    EXPECT_BITS(R[12], 3.75 * 2.385 + 3.0);
}

TEST_F(Engine, PointLoadSubtractsFromItsRowOfTheLoadColumn) {
    leftEnd(End::hinged);
    pointLoad(4, 10);
    EXPECT_BITS(R[4], -10.0);
    for (int k = 1; k <= 12; ++k) {
        if (k != 4) {
            EXPECT_BITS(R[k], (k == 6 || k == 12) ? 1.0 : 0.0) << "R" << k;
        }
    }
    pointLoad(4, 10);
    EXPECT_BITS(R[4], -20.0);

    R[1] = 0.375;
    pointLoad(1, 0.01);
    EXPECT_BITS(R[1], 0.375 - 0.01);
    pointLoad(3, -4.5);
    EXPECT_BITS(R[3], 4.5);
    pointLoad(2, 0.0625);
    EXPECT_BITS(R[2], -0.0625);
}

TEST_F(Engine, BeamSectionWithUniformLineLoad) {
    leftEnd(End::hinged);
    beam(2, 1, 1, 0);
    expectColumn(1, 0.6666666666666666, 1.3333333333333333, -2.0, -2.0);
    expectColumn(5, 2.0, 1.0, 0.0, 0.0);
    expectColumn(9, -1.3333333333333333, -2.0, 2.0, 1.0);
    EXPECT_BITS(R[13], 2.0);
    EXPECT_BITS(R[14], -2.0);
}

TEST_F(Engine, BeamSectionWithSlopedLineLoad) {
    leftEnd(End::hinged);
    beam(2, 1, 0, 0.5);
    expectColumn(1, 0.13333333333333333, 0.3333333333333333, -0.6666666666666666, -1.0);
    expectColumn(5, 2.0, 1.0, 0.0, 0.0);
    expectColumn(9, -1.3333333333333333, -2.0, 2.0, 1.0);
}

TEST_F(Engine, FieldTransferIsTheSameInEveryColumnPosition) {
    for (int first : {1, 5, 9}) {
        resetEngineState();
        R[first + 1] = 1.0;
        R[first + 3] = 1.0;
        beam(2, 1);
        for (int other : {1, 5, 9}) {
            if (other == first)
                expectColumn(first, 0.6666666666666667, -1.0, 2.0, 1.0);
            else
                expectColumn(other, 0.0, 0.0, 0.0, 0.0);
        }
    }
}

TEST_F(Engine, LineLoadFieldsCountOnlyWhenTheBoxIsChecked) {
    leftEnd(End::hinged);
    beam(2.385, 4.75);
    double plain[13];
    for (int k = 1; k <= 12; ++k) plain[k] = R[k];

    leftEnd(End::hinged);
    inputs.lineLoad = 3.5;
    inputs.lineLoadSlope = -1.25;
    inputs.hasLineLoad = 0;
    inputs.segLength = 2.385;
    inputs.bendingStiffness = 4.75;
    applyBeamSection();
    for (int k = 1; k <= 12; ++k) EXPECT_BITS(R[k], plain[k]) << "box clear: R" << k;

    leftEnd(End::hinged);
    beam(2.385, 4.75, 0.0, 0.0);
    for (int k = 1; k <= 12; ++k) EXPECT_BITS(R[k], plain[k]) << "q = qs = 0: R" << k;
}

TEST_F(Engine, SectionOfLengthZeroLeavesTheStateAlone) {
    leftEnd(End::clamped);
    beam(1.5, 2.0, 0.75, 0.25);
    double before[13];
    for (int k = 1; k <= 12; ++k) before[k] = R[k];
    beam(0.0, 3.0, 0.75, 0.25);
    for (int k = 1; k <= 12; ++k) EXPECT_BITS(R[k], before[k]) << "R" << k;
    EXPECT_BITS(R[13], 0.0);
    EXPECT_BITS(R[14], -0.0);
}

TEST_F(Engine, ShaftSectionUsesTheStoredPi) {
    leftEnd(End::hinged);
    shaft(100, 210000, 10);
    EXPECT_BITS(R[14], -9.700872720525046e-07);
    expectColumn(5, 100.0, 1.0, 0.0, 0.0);
    expectColumn(9, -0.0016168121200875079, -4.850436360262523e-05, 100.0, 1.0);

    // pi to full precision gives a different flexibility term.
    const double fullPi = 3.14159265358979323846;
    const double fullEI = 210000.0 * fullPi * 10000.0 / 64.0;
    EXPECT_FALSE(sameBits(R[14], 100.0 / -fullEI));
}

TEST_F(Engine, BeamWithTheShaftsStiffnessGivesTheSameBits) {
    const double e = 207500.5, l = 734.25;
    // Read at run time, so that d^4 comes from the same pow as the engine's
    // and not from the compiler's folding of a constant.
    volatile double dRead = 12.35;
    const double d = dRead;
    leftEnd(End::hinged);
    inputs.lineLoad = 0.0375;
    inputs.lineLoadSlope = 0.00125;
    inputs.hasLineLoad = 1;
    inputs.segLength = l;
    inputs.youngsModulus = e;
    inputs.shaftDiameter = d;
    applyShaftSection();
    double shaftState[15];
    for (int k = 1; k <= 14; ++k) shaftState[k] = R[k];

    leftEnd(End::hinged);
    beam(l, e * 3.141592654 * std::pow(d, 4.0) / 64.0, 0.0375, 0.00125);
    for (int k = 1; k <= 14; ++k) EXPECT_BITS(R[k], shaftState[k]) << "R" << k;
}

TEST_F(Engine, SimplySupportedBeamSolvedAtTheRightEnd) {
    simplySupportedSpan();
    EXPECT_BITS(R[20], 0.25);
    EXPECT_BITS(R[21], 6.0);
    EXPECT_BITS(R[15], 22.0);
    EXPECT_EQ(column(1), "0 0.0416667 -0.25 -0.75");
    EXPECT_EQ(column(5), "0 -2 6 6");
    expectColumn(9, 0.0, 0.0, 0.0, 1.0);
    EXPECT_EQ(g(R[16]), "-0.0416667");
    EXPECT_EQ(solvedFlag, 1);
}

TEST_F(Engine, TwoSpansWithAnIntermediateSupport) {
    leftEnd(End::hinged);
    beam(1, 1, 1, 0);
    support();
    EXPECT_BITS(R[20], 0.25);
    EXPECT_BITS(R[21], 6.0);
    EXPECT_BITS(R[15], 22.0);
    EXPECT_EQ(column(1), "0 0.0416667 -0.25 -0.75");
    EXPECT_EQ(column(5), "0 -2 6 6");
    expectColumn(9, 0.0, 0.0, 0.0, 1.0);
    EXPECT_BITS(R[16], 0.0);
    EXPECT_EQ(solvedFlag, 0);

    beam(1, 1, 1, 0);
    rightHinged(0);
    EXPECT_EQ(g(R[22]), "2");
    EXPECT_EQ(g(R[23]), "-36");
    EXPECT_BITS(R[15], 24.0);
    EXPECT_EQ(g(R[16]), "-0.0208333");
    EXPECT_EQ(g(R[22] + R[23] * -R[16]), "1.25") << "force of the middle support";
}

TEST_F(Engine, CantileverWithAPointForce) {
    leftEnd(End::clamped);
    beam(1, 1);
    pointLoad(4, 1);
    rightFree(0, 0);
    EXPECT_EQ(g(R[21]), "-1");
    EXPECT_EQ(g(R[16]), "1");
    expectColumn(9, 0.0, 1.0, 0.0, 0.0);
}

TEST_F(Engine, BeamWithAHinge) {
    leftEnd(End::clamped);
    beam(1, 1, 1, 0);
    hinge();
    EXPECT_EQ(g(R[20]), "0.5");
    EXPECT_EQ(g(R[21]), "-1");
    EXPECT_BITS(R[15], 22.0);
    expectColumn(9, 0.0, 1.0, 0.0, 0.0);
    beam(1, 1, 1, 0);
    rightHinged(0);
    EXPECT_EQ(g(R[23]), "0.666667");
    EXPECT_EQ(g(R[16]), "1");
    EXPECT_EQ(g(R[22] + R[23] * -R[16]), "-0.666667") << "jump of psi at the hinge";
}

TEST_F(Engine, EveryConditionHitsItsValueExactlyAndOpensAUnitColumn) {
    leftEnd(End::clamped);
    beam(1.75, 3.2, 0.4, 0.15);
    spring(12.5);
    beam(2.385, 3.2, 0.4, 0.1);
    support();
    EXPECT_BITS(R[1], 0.0);
    expectColumn(9, 0.0, 0.0, 0.0, 1.0);
    beam(0.9, 2.1);
    hinge();
    EXPECT_BITS(R[3], 0.0);
    expectColumn(9, 0.0, 1.0, 0.0, 0.0);
    beam(1.1, 2.1, 0.3, 0.0);
    rightHinged(0.8125);
    EXPECT_BITS(R[1], 0.0) << "w of the load column is the prescribed 0";
    expectColumn(9, 0.0, 0.0, 0.0, 1.0);
    evaluateState();
    EXPECT_NEAR(resultW, 0.0, 1e-12);
    EXPECT_NEAR(resultM, 0.8125, 1e-12) << "the prescribed end moment";

    rightFree(0.8125, -1.375);
    EXPECT_BITS(R[3], 0.8125) << "M of the load column is the prescribed end moment";
    expectColumn(9, 0.0, 1.0, 0.0, 0.0);
}

TEST_F(Engine, EvaluationAtTheRightEnd) {
    simplySupportedSpan();
    evaluateState();
    EXPECT_EQ(printed(), "0 -0.0416667 0 -0.5");
    const std::string first = printed();
    evaluateState();
    EXPECT_EQ(printed(), first) << "a second F7 shows the same values";
}

TEST_F(Engine, RepeatedRunToMidSpan) {
    simplySupportedSpan();
    leftEnd(End::hinged);
    beam(0.5, 1, 1, 0);
    evaluateState();
    EXPECT_EQ(printed(), "0.0130208 0 0.125 0") << "5ql^4/384EI and ql^2/8";
    beam(0.5, 1, 1, 0);
    rightHinged(0);
    evaluateState();
    EXPECT_EQ(printed(), "0 -0.0416667 0 -0.5");
}

TEST_F(Engine, RepeatedRunReproducesTheRightEndBitForBit) {
    leftEnd(End::clamped);
    beam(2.385, 17.5, 0.75, 0.125);
    support();
    beam(1.625, 17.5, 0.3, 0.0);
    rightHinged(0.45);
    evaluateState();
    const double first[4] = {resultW, resultPsi, resultM, resultQ};
    double pairs[4] = {R[20], R[21], R[22], R[23]};

    leftEnd(End::clamped);
    beam(2.385, 17.5, 0.75, 0.125);
    support();
    beam(1.625, 17.5, 0.3, 0.0);
    rightHinged(0.45);
    for (int k = 0; k < 4; ++k) EXPECT_BITS(R[20 + k], pairs[k]) << "R" << 20 + k;
    evaluateState();
    EXPECT_BITS(resultW, first[0]);
    EXPECT_BITS(resultPsi, first[1]);
    EXPECT_BITS(resultM, first[2]);
    EXPECT_BITS(resultQ, first[3]);
}

TEST_F(Engine, CantileverEvaluation) {
    leftEnd(End::clamped);
    beam(1, 1);
    pointLoad(4, 1);
    rightFree(0, 0);
    evaluateState();
    EXPECT_EQ(printed(), "0.333333 0.5 0 0");

    resetEngineState();
    leftEnd(End::clamped);
    beam(1, 1);
    rightFree(0, 1);
    evaluateState();
    EXPECT_EQ(printed(), "0.333333 0.5 0 1");
}

TEST_F(Engine, TwoSpansEvaluatedAtTheEndAndLeftOfTheMiddleSupport) {
    leftEnd(End::hinged);
    beam(1, 1, 1, 0);
    support();
    beam(1, 1, 1, 0);
    rightHinged(0);
    evaluateState();
    EXPECT_EQ(printed(), "0 -0.0208333 0 -0.375");
    leftEnd(End::hinged);
    beam(1, 1, 1, 0);
    evaluateState();
    EXPECT_EQ(printed(), "0 0 -0.125 -0.625");
}

TEST_F(Engine, HingeEvaluatedOnBothSides) {
    leftEnd(End::clamped);
    beam(1, 1, 1, 0);
    hinge();
    beam(1, 1, 1, 0);
    rightHinged(0);
    evaluateState();
    EXPECT_EQ(printed(), "0 -0.333333 0 -0.5");
    leftEnd(End::clamped);
    beam(1, 1, 1, 0);
    evaluateState();
    EXPECT_EQ(printed(), "0.291667 0.416667 0 0.5") << "just left of the hinge";
    hinge();
    evaluateState();
    EXPECT_EQ(printed(), "0.291667 -0.25 0 0.5") << "just right of the hinge";
}

TEST_F(Engine, EvaluationBeforeAnyRightEndShowsTheLoadColumn) {
    evaluateState();
    EXPECT_EQ(printed(), "0 0 0 0");
    leftEnd(End::hinged);
    beam(1, 1, 1, 0);
    evaluateState();
    EXPECT_EQ(printed(), "0.0416667 0.166667 -0.5 -1");
    EXPECT_EQ(engineRefusal, refusalNone);
}

TEST_F(Engine, EvaluationChangesOnlyR14AndTheResults) {
    simplySupportedSpan();
    leftEnd(End::hinged);
    beam(0.35, 1, 1, 0);
    double before[registerCount];
    for (int k = 0; k < registerCount; ++k) before[k] = R[k];
    evaluateState();
    for (int k = 0; k < registerCount; ++k) {
        if (k != 14) {
            EXPECT_BITS(R[k], before[k]) << "R" << k;
        }
    }
    EXPECT_BITS(R[14], R[21] * R[16] - R[20]);
}

// A right end clears the pair after its own, so an F7 after it reads what a
// freshly started program reads, whatever beams came before.
void spans(int count, double l, double q) {
    leftEnd(End::hinged);
    for (int span = 0; span < count; ++span) {
        beam(l, 2.385, q, 0);
        if (span + 1 < count) support();
    }
    rightHinged(0);
}

void cantilever() {
    leftEnd(End::clamped);
    beam(2.5, 8400);
    pointLoad(4, 12);
    rightFree(0, 0);
}

TEST_F(Engine, EachBeamReadsItsOwnValuesWhateverCameBefore) {
    // The beams of a session, and each one's F7 on a fresh engine.
    const std::function<void()> session[] = {[] { spans(3, 1.5, 0.75); },
                                             [] { spans(1, 3.25, 0.75); }, cantilever,
                                             [] { spans(2, 2, 0.75); }, cantilever};
    for (const auto& beamUpToItsRightEnd : session) {
        beamUpToItsRightEnd();
        evaluateState();
        const double now[4] = {resultW, resultPsi, resultM, resultQ};
        double bank[registerCount];
        std::memcpy(bank, R, sizeof bank);
        resetEngineState();
        beamUpToItsRightEnd();
        evaluateState();
        const double fresh[4] = {resultW, resultPsi, resultM, resultQ};
        EXPECT_EQ(std::memcmp(now, fresh, sizeof now), 0) << "bit for bit";
        std::memcpy(R, bank, sizeof bank);
    }
    // The last is the cantilever: P l^2 / 2EI at its tip; the simply
    // supported span had -q l / 2 at its right end.
    EXPECT_NEAR(resultPsi, 12 * 2.5 * 2.5 / (2 * 8400), 1e-17);
    spans(1, 3.25, 0.75);
    evaluateState();
    EXPECT_NEAR(resultQ, -0.75 * 3.25 / 2, 1e-12);
}

TEST_F(Engine, RightEndClearsNothingOutsideTheFactorList) {
    rightClamped();  // before any F1 its pair lands in R0/R1
    EXPECT_BITS(R[15], 2.0);
    EXPECT_TRUE(std::isnan(R[2]) && std::isnan(R[3])) << "the transfer state is not cleared";

    resetEngineState();
    R[30] = 2.385;
    leftEnd(End::hinged);
    for (int span = 0; span < 4; ++span) {
        beam(1.25, 3.5, 0.8, 0.0);
        support();
    }
    beam(1.25, 3.5, 0.8, 0.0);
    rightHinged(0);
    EXPECT_BITS(R[15], 30.0);
    EXPECT_BITS(R[30], 2.385) << "a pair at R30/R31 would leave the bank";
}

TEST_F(Engine, SplitSectionWithSlopedLoadDescribesTheSameBeam) {
    const double l = 3.85, l1 = 1.35, ei = 21.75, q = 0.62, qs = 0.275;
    leftEnd(End::hinged);
    beam(l, ei, q, qs);
    double state[13];
    for (int k = 1; k <= 12; ++k) state[k] = R[k];
    rightClamped();
    evaluateState();
    const double whole[4] = {resultW, resultPsi, resultM, resultQ};

    leftEnd(End::hinged);
    beam(l1, ei, q, qs);
    beam(l - l1, ei, q + qs * l1, qs);
    for (int k = 1; k <= 12; ++k)
        EXPECT_NEAR(R[k], state[k], 1e-12 * (1.0 + std::fabs(state[k]))) << "R" << k;
    rightClamped();
    evaluateState();
    const double split[4] = {resultW, resultPsi, resultM, resultQ};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(split[k], whole[k], 1e-12) << "result " << k;
    EXPECT_NEAR(resultW, 0.0, 1e-15);
}

TEST_F(Engine, ZeroStiffnessSpreadsNonFiniteValuesWithoutACrash) {
    leftEnd(End::hinged);
    beam(1.5, 0.0, 1, 0);
    EXPECT_TRUE(std::isinf(R[14]));
    rightHinged(0);
    evaluateState();
    EXPECT_FALSE(std::isfinite(resultW) && std::isfinite(resultPsi) && std::isfinite(resultM) &&
                 std::isfinite(resultQ));

    resetEngineState();
    leftEnd(End::hinged);
    shaft(0.0, 210000, 0.0);
    EXPECT_TRUE(std::isnan(R[14])) << "0 / -0 is NaN";
}

TEST_F(Engine, HingeRightAfterAFreeEndIsNotFinite) {
    leftEnd(End::free);
    hinge();
    EXPECT_FALSE(std::isfinite(R[20]) && std::isfinite(R[21]));
    rightFree(0, 0);
    evaluateState();
    EXPECT_TRUE(std::isnan(resultW) || std::isinf(resultW));
    EXPECT_EQ(engineRefusal, refusalNone);
}

TEST_F(Engine, ConditionBeforeAnyLeftEndWritesItsFactorsToR0AndR1) {
    support();
    EXPECT_TRUE(std::isnan(R[0]));
    EXPECT_BITS(R[15], 2.0);
    EXPECT_EQ(engineRefusal, refusalNone);
}

// Before any left end the pointer starts at R0 and each condition moves it
// on by two. The first seven fill R0..R13 with their (NaN) factors as they
// always did; the eighth would store its pair in R14/R15, the registers it
// works with, and form a register number from a NaN: refused.
TEST_F(Engine, EighthConditionBeforeAnyLeftEndIsRefused) {
    for (int i = 0; i < 7; ++i) {
        i % 2 ? hinge() : support();
        ASSERT_EQ(engineRefusal, refusalNone) << "condition " << i + 1;
    }
    EXPECT_BITS(R[15], 14.0);
    EXPECT_TRUE(std::isnan(R[13])) << "the seventh pair's second factor";
    EXPECT_BITS(R[12], 1.0) << "its first, R12, then became the unit entry at Q";
    EXPECT_BITS(R[14], 12.0);
    double before[registerCount];
    std::memcpy(before, R, sizeof before);
    support();
    EXPECT_EQ(engineRefusal, refusalPairOnWorkingRegisters);
    rightClamped();
    EXPECT_EQ(engineRefusal, refusalPairOnWorkingRegisters);
    EXPECT_EQ(std::memcmp(before, R, sizeof before), 0) << "nothing written";
    EXPECT_EQ(solvedFlag, 0);
    evaluateState();
    EXPECT_EQ(engineRefusal, refusalNone) << "reading R14/R15 forms no register number";

    leftEnd(End::hinged);
    beam(1, 1, 1, 0);
    rightHinged(0);
    evaluateState();
    EXPECT_EQ(printed(), "0 -0.0416667 0 -0.5");
}

TEST_F(Engine, FiveConditionsFitASixthIsRefused) {
    leftEnd(End::hinged);
    for (int span = 0; span < 4; ++span) {
        beam(1.25, 3.5, 0.8, 0.0);
        support();
        ASSERT_EQ(engineRefusal, refusalNone);
    }
    beam(1.25, 3.5, 0.8, 0.0);
    EXPECT_TRUE(conditionFits());
    rightHinged(0);
    EXPECT_EQ(engineRefusal, refusalNone) << "the fifth condition, the right end, still fits";
    EXPECT_BITS(R[15], 30.0);
    EXPECT_EQ(solvedFlag, 1);

    EXPECT_FALSE(conditionFits());
    EXPECT_FALSE(evaluationFits());
    double before[registerCount];
    for (int k = 0; k < registerCount; ++k) before[k] = R[k];
    const double results[4] = {resultW, resultPsi, resultM, resultQ};

    support();
    EXPECT_EQ(engineRefusal, refusalFactorListFull);
    rightClamped();
    EXPECT_EQ(engineRefusal, refusalFactorListFull);
    evaluateState();
    EXPECT_EQ(engineRefusal, refusalEvaluationPastBank);
    for (int k = 0; k < registerCount; ++k) EXPECT_BITS(R[k], before[k]) << "R" << k;
    EXPECT_BITS(resultW, results[0]);
    EXPECT_BITS(resultPsi, results[1]);
    EXPECT_BITS(resultM, results[2]);
    EXPECT_BITS(resultQ, results[3]);

    // A repeated run stops before the right end: four conditions lie behind
    // the pointer at R28, whose pair is the right end's.
    leftEnd(End::hinged);
    for (int span = 0; span < 4; ++span) {
        beam(1.25, 3.5, 0.8, 0.0);
        support();
    }
    EXPECT_TRUE(evaluationFits());
    beam(1.25, 3.5, 0.8, 0.0);
    evaluateState();
    EXPECT_EQ(engineRefusal, refusalNone);
    // Just left of the right end: w and M are the prescribed zeros there.
    EXPECT_NEAR(resultW, 0.0, 1e-12);
    EXPECT_NEAR(resultM, 0.0, 1e-12);
    EXPECT_LT(resultQ, 0.0);
}

TEST_F(Engine, RowsOutsideOneToFourAreRefused) {
    leftEnd(End::hinged);
    double before[registerCount];
    for (int k = 0; k < registerCount; ++k) before[k] = R[k];
    for (int bad : {0, 5, -1, 1000}) {
        inputs.selRow1 = bad;
        inputs.selRow2 = 4;
        applyLeftEnd();
        EXPECT_EQ(engineRefusal, refusalBadRow);
        applyPointLoad();
        EXPECT_EQ(engineRefusal, refusalBadRow);
        applyIntermediateCondition();
        EXPECT_EQ(engineRefusal, refusalBadRow);
        inputs.selRow1 = 1;
        inputs.selRow2 = bad;
        applyRightEnd();
        EXPECT_EQ(engineRefusal, refusalBadRow);
        applyLeftEnd();
        EXPECT_EQ(engineRefusal, refusalBadRow);
    }
    for (int k = 0; k < registerCount; ++k) EXPECT_BITS(R[k], before[k]) << "R" << k;
    EXPECT_EQ(solvedFlag, 0);
}

TEST_F(Engine, ResetBringsBackEveryStartValue) {
    simplySupportedSpan();
    evaluateState();
    memories.leftEndChoice = 330;
    definedFlags.defRightEnd = 1;
    inputs.isRightEnd = 0;
    engineRefusal = refusalBadRow;
    resetEngineState();
    for (int k = 0; k < registerCount; ++k) EXPECT_BITS(R[k], 0.0) << "R" << k;
    EXPECT_EQ(solvedFlag, 0);
    EXPECT_EQ(memories.leftEndChoice, 310);
    EXPECT_EQ(definedFlags.defRightEnd, 0);
    EXPECT_EQ(inputs.isRightEnd, 1);
    EXPECT_EQ(engineRefusal, refusalNone);
    EXPECT_BITS(resultQ, 0.0);
}

// A value whose every field differs from every other and from its start
// value; no byte above 0x7e, so no double is a NaN whose bits a copy through
// the x87 could change.
EngineState patterned() {
    EngineState s;
    auto* bytes = reinterpret_cast<unsigned char*>(&s);
    for (size_t i = 0; i < sizeof s; ++i) bytes[i] = static_cast<unsigned char>(1 + i * 37 % 126);
    return s;
}

TEST_F(Engine, RestoreThenSavePutsBackEveryFieldOfTheState) {
    const EngineState p = patterned();
    restoreEngineState(p);
    // Straight from the globals, against a save and a restore swapping alike.
    EXPECT_EQ(std::memcmp(R, p.registers, sizeof R), 0);
    EXPECT_BITS(resultW, p.results[0]);
    EXPECT_BITS(resultPsi, p.results[1]);
    EXPECT_BITS(resultM, p.results[2]);
    EXPECT_BITS(resultQ, p.results[3]);
    EXPECT_EQ(solvedFlag, p.solvedFlag);
    EXPECT_EQ(engineRefusal, p.engineRefusal);
    int fields = 0;
    forEachField(
        [&fields](const char* name, auto a, auto b) {
            EXPECT_BITS(a, b) << name;
            ++fields;
        },
        saveEngineState(), p);
    EXPECT_EQ(fields, registerCount + 14 + 7 + 1 + 4 + 13 + 1);
}

TEST_F(Engine, FieldListNamesEveryMemberOnce) {
    const EngineState s{};
    std::set<const void*> listed;
    std::set<std::string> names;
    forEachField([&](const char* name, const auto& x) { listed.insert(&x), names.insert(name); },
                 s);
    EXPECT_EQ(names.size(), listed.size());
    // The bindings stop compiling when a member is added, and the member
    // must then be listed too.
    const auto& [registers, in, flags, solved, results, mem, refusal] = s;
    const auto& [i1, i2, i3, i4, i5, i6, i7, i8, i9, i10, i11, i12, i13, i14] = in;
    const auto& [f1, f2, f3, f4, f5, f6, f7] = flags;
    const auto& [m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13] = mem;
    std::set<const void*> members = {&solved, &refusal, &i1,  &i2,  &i3,  &i4,  &i5,  &i6,  &i7,
                                     &i8,     &i9,      &i10, &i11, &i12, &i13, &i14, &f1,  &f2,
                                     &f3,     &f4,      &f5,  &f6,  &f7,  &m1,  &m2,  &m3,  &m4,
                                     &m5,     &m6,      &m7,  &m8,  &m9,  &m10, &m11, &m12, &m13};
    for (const double& r : registers) members.insert(&r);
    for (const double& r : results) members.insert(&r);
    EXPECT_EQ(listed, members);
}

TEST_F(Engine, RunFromASavedStateGivesTheBitsOfTheRunItWasTakenFrom) {
    leftEnd(End::clamped);
    beam(1.5, 2100, 2, 0.5);
    const EngineState midway = saveEngineState();
    pointLoad(4, 3);
    beam(0.75, 2100);
    rightFree(0, 0);
    evaluateState();
    const EngineState first = saveEngineState();
    resetEngineState();
    restoreEngineState(midway);
    pointLoad(4, 3);
    beam(0.75, 2100);
    rightFree(0, 0);
    evaluateState();
    forEachField([](const char* name, auto a, auto b) { EXPECT_BITS(a, b) << name; },
                 saveEngineState(), first);
}

}  // namespace
