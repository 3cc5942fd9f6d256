// Test helpers: write the engine inputs as a confirmed dialog writes them and
// run the matching operation, so a test reads like the keys a user presses.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/engine.h"

namespace steps {

enum class End { hinged, free, clamped };

inline void leftEnd(End kind) {
    static constexpr int rows[3][2] = {{2, 4}, {1, 2}, {3, 4}};
    inputs.selRow1 = rows[static_cast<int>(kind)][0];
    inputs.selRow2 = rows[static_cast<int>(kind)][1];
    applyLeftEnd();
}

inline void spring(double c) {
    inputs.springStiffness = c;
    applySpring();
}

inline void beam(double l, double ei) {
    inputs.segLength = l;
    inputs.bendingStiffness = ei;
    inputs.hasLineLoad = 0;
    applyBeamSection();
}

inline void beam(double l, double ei, double q, double qs) {
    inputs.segLength = l;
    inputs.bendingStiffness = ei;
    inputs.hasLineLoad = 1;
    inputs.lineLoad = q;
    inputs.lineLoadSlope = qs;
    applyBeamSection();
}

inline void shaft(double l, double e, double d) {
    inputs.segLength = l;
    inputs.youngsModulus = e;
    inputs.shaftDiameter = d;
    inputs.hasLineLoad = 0;
    applyShaftSection();
}

// Row of the load column: 4 force, 3 moment, 2 angle, 1 offset.
inline void pointLoad(int row, double value) {
    inputs.selRow1 = row;
    inputs.pointLoadValue = value;
    applyPointLoad();
}

inline void support() {
    inputs.selRow1 = 1;
    inputs.condValue1 = 0.0;
    applyIntermediateCondition();
}

inline void hinge() {
    inputs.selRow1 = 3;
    inputs.condValue1 = 0.0;
    applyIntermediateCondition();
}

inline void rightHinged(double moment) {
    inputs.selRow1 = 1;
    inputs.condValue1 = 0.0;
    inputs.selRow2 = 3;
    inputs.condValue2 = moment;
    applyRightEnd();
}

inline void rightFree(double moment, double force) {
    inputs.selRow1 = 3;
    inputs.condValue1 = moment;
    inputs.selRow2 = 4;
    inputs.condValue2 = force;
    applyRightEnd();
}

inline void rightClamped() {
    inputs.selRow1 = 1;
    inputs.condValue1 = 0.0;
    inputs.selRow2 = 2;
    inputs.condValue2 = 0.0;
    applyRightEnd();
}

// The four results as the result panel prints them.
inline std::string printed() {
    char text[160];
    std::snprintf(text, sizeof text, "%g %g %g %g", resultW, resultPsi, resultM, resultQ);
    return text;
}

inline std::string g(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%g", x);
    return text;
}

inline bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace steps

// Exact comparison of doubles; a mismatch prints both with all 17 digits.
inline testing::AssertionResult bitsEqual(const char* actualText, const char* expectedText,
                                          double actual, double expected) {
    if (steps::sameBits(actual, expected)) return testing::AssertionSuccess();
    char text[400];
    std::snprintf(text, sizeof text, "%s is %.17g, expected %s = %.17g", actualText, actual,
                  expectedText, expected);
    return testing::AssertionFailure() << text;
}
#define EXPECT_BITS(actual, expected) EXPECT_PRED_FORMAT2(bitsEqual, actual, expected)
