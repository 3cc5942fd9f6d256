// Beam (F3) and shaft (F5) sections: field transfer of all three columns and
// the line-load terms of the load column.
#include <cmath>

#include "engine.h"

namespace {

// R13 = l and R14 = a = l / (-EI) are set; transfer the column in R1..R4,
// then rotate the columns: R1..R4 -> R5..R8 -> R9..R12 -> R1..R4.
void transferAndRotate() {
    R[1] = R[13] * R[2] + R[1];
    R[2] = R[14] * R[3] + R[2];
    R[1] = R[14] * R[3] * R[13] / 2.0 + R[1];
    R[3] = R[13] * R[4] + R[3];
    R[2] = R[13] * R[4] * R[14] / 2.0 + R[2];
    R[1] = R[13] * R[4] * R[14] / 2.0 * R[13] / 3.0 + R[1];
    for (int r = 1; r <= 4; ++r) {
        const double t1 = R[r + 4];
        R[r + 4] = R[r];
        const double t2 = R[r + 8];
        R[r + 8] = t1;
        R[r] = t2;
    }
}

void transferSection() {
    // Load column, then the second and the first unknown column: after three
    // rotations every column is back in its own registers.
    for (int pass = 0; pass < 3; ++pass) transferAndRotate();
    if (inputs.hasLineLoad != 1) return;
    const double q = inputs.lineLoad;
    const double qs = inputs.lineLoadSlope;
    const double l = R[13];
    const double a = R[14];
    R[4] = (-q) * l + R[4];
    R[3] = (-q) * l * l / 2.0 + R[3];
    R[2] = (-q) * l * l / 2.0 * a / 3.0 + R[2];
    R[1] = (-q) * l * l / 2.0 * a / 3.0 * l / 4.0 + R[1];
    R[4] = (-qs) * l * l / 2.0 + R[4];
    R[3] = (-qs) * l * l / 2.0 * l / 3.0 + R[3];
    R[2] = (-qs) * l * l / 2.0 * l / 3.0 * a / 4.0 + R[2];
    R[1] = (-qs) * l * l / 2.0 * l / 3.0 * a / 4.0 * l / 5.0 + R[1];
}

}  // namespace

void applyBeamSection() {
    engineRefusal = refusalNone;
    R[13] = inputs.segLength;
    R[14] = -inputs.bendingStiffness;
    R[14] = R[13] / R[14];
    transferSection();
}

void applyShaftSection() {
    engineRefusal = refusalNone;
    R[13] = inputs.segLength;
    // EI = E * pi * d^4 / 64 of a solid circular section, negated up front.
    const double p = std::pow(inputs.shaftDiameter, 4.0);
    R[14] = (-inputs.youngsModulus) * storedPi * p / 64.0;
    R[14] = R[13] / R[14];
    transferSection();
}
