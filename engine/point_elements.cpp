// Elements without length: the left end (F1), an elastic support (F2) and a
// point load (F4).
#include "engine.h"
#include "engine_internal.h"

void applyLeftEnd() {
    engineRefusal = refusalNone;
    if (!isRow(inputs.selRow1) || !isRow(inputs.selRow2)) {
        engineRefusal = refusalBadRow;
        return;
    }
    for (int k = 1; k <= 12; ++k) R[k] = 0.0;
    R[13] = inputs.selRow1 + 4;  // register of U1's unit entry
    R[14] = inputs.selRow2 + 8;  // register of U2's unit entry
    R[roundIndex(R[13])] = 1.0;
    R[roundIndex(R[14])] = 1.0;
    R[15] = factorListStart;
    // R16..R30 stay: a repeated run needs -U1 and the factor pairs.
}

void applySpring() {
    engineRefusal = refusalNone;
    // In every column Q grows by c times that column's w.
    const double c = inputs.springStiffness;
    R[4] = R[1] * c + R[4];
    R[8] = R[5] * c + R[8];
    R[12] = R[9] * c + R[12];
}

void applyPointLoad() {
    engineRefusal = refusalNone;
    const int32_t r = inputs.selRow1;
    if (!isRow(r)) {
        engineRefusal = refusalBadRow;
        return;
    }
    // The row number is the register of the load column: the value just right
    // of the point is the value just left of it minus the load.
    R[r] = R[r] - inputs.pointLoadValue;
}
