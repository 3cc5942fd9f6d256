// Intermediate conditions and the right end (F6): each prescribed quantity
// eliminates the second unknown through the first and opens a new one.
#include "engine.h"
#include "engine_internal.h"

namespace {

// A register number held as a real, checked against the bank before it is
// converted, so that no value can address a register outside R0..R30.
bool inBank(double x) {
    return x >= 0.0 && x < lastRegister + 0.5 && roundIndex(x) <= lastRegister;
}

// Row r of the state must equal v. Stores f1 = -(L[r] - v) / C2[r] and
// f2 = -C1[r] / C2[r] at the factor pointer, leaves L + f1*C2 (row r exactly
// v) and C1 + f2*C2, and makes C2 the unit column at the conjugate row 5 - r.
void applyCondition(int32_t r, double v) {
    R[14] = r;
    R[17] = R[14] + 8.0;
    R[18] = v;
    const int32_t row = roundIndex(R[14]);
    R[row] = R[row] - R[18];
    for (int pass = 0; pass < 2; ++pass) {
        R[13] = -R[row] / R[roundIndex(R[17])];
        R[roundIndex(R[15])] = R[13];
        for (int i = 1; i <= 4; ++i) {
            const double t = R[i + 8] * R[13];
            const double oldLoad = R[i];
            R[i] = R[i + 4];
            R[i + 4] = oldLoad + t;
        }
        R[15] = R[15] + 1.0;
    }
    R[row] = R[18];
    for (int i = 9; i <= 12; ++i) R[i] = 0.0;
    R[14] = 13.0 - R[14];
    R[roundIndex(R[14])] = 1.0;
}

// Row s of the state must equal b: R16 = -U1 = (L[s] - b) / C1[s].
void solveFirstUnknown(int32_t s, double b) {
    R[14] = s;
    const double t = R[roundIndex(R[14])];
    R[14] = R[14] + 4.0;
    R[16] = (t - b) / R[roundIndex(R[14])];
}

// R14..R18 hold what a condition works with while it stores its pair: the
// row and the numbers formed from it, the pointer, -U1 and the prescribed
// value. A factor stored there would turn them into register numbers made of
// factors. R13 is spared: it holds the very factor that is stored, so a pair
// at R12/R13 (the seventh condition before the first left end) rewrites R13
// with its own value.
bool onWorkingRegister(double x) {
    const int32_t k = roundIndex(x);
    return k >= 14 && k <= 18;
}

bool refuseCondition(bool needsSecondRow) {
    engineRefusal = refusalNone;
    if (!isRow(inputs.selRow1) || (needsSecondRow && !isRow(inputs.selRow2))) {
        engineRefusal = refusalBadRow;
    } else if (!conditionFits()) {
        engineRefusal = refusalFactorListFull;
    } else if (onWorkingRegister(R[15]) || onWorkingRegister(R[15] + 1.0)) {
        engineRefusal = refusalPairOnWorkingRegisters;
    }
    return engineRefusal != refusalNone;
}

}  // namespace

bool conditionFits() { return inBank(R[15]) && inBank(R[15] + 1.0); }

bool evaluationFits() {
    // The evaluation reads R(trunc(R15 + 1)) and R(roundIndex(R15)).
    const double next = R[15] + 1.0;
    return inBank(R[15]) && next >= 0.0 && next < lastRegister + 1.0;
}

void applyIntermediateCondition() {
    if (refuseCondition(false)) return;
    applyCondition(inputs.selRow1, inputs.condValue1);
}

void applyRightEnd() {
    if (refuseCondition(true)) return;
    applyCondition(inputs.selRow1, inputs.condValue1);
    solveFirstUnknown(inputs.selRow2, inputs.condValue2);
    // An F7 after the right end reads the pair after its own. No condition
    // of this beam follows, but an earlier beam with more conditions may have
    // left a pair there, and it would shift the result. Clear it, so that the
    // F7 reads the zeros of a freshly started program. Only inside the factor
    // list: before the first F1 the pointer stands in R0..R14, the transfer
    // state and the working registers, and those stay as they are.
    const int32_t next = roundIndex(R[15]);
    if (next >= factorListStart && next + 1 <= lastRegister) {
        R[next] = 0.0;
        R[next + 1] = 0.0;
    }
    solvedFlag = 1;
}
