// Prints the bits of every register and result over a fixed family of beams,
// with typed values parsed from decimal text and results formatted with "%g"
// and as velmora-batch prints them exactly, so that the native and the
// 32-bit build can be compared line by line.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "text/report.h"
#include "engine/engine.h"

namespace {

uint32_t seed = 2385u;

// Deterministic on every platform: integer arithmetic only.
uint32_t nextRandom() {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
}

// A value as a user would type it: decimal text with up to seven digits,
// read back the way the dialogs read their fields.
double typed(double low, double high) {
    char text[40];
    const double unit = (nextRandom() % 1000000u) / 1000000.0;
    std::snprintf(text, sizeof text, "%.7g", low + (high - low) * unit);
    return std::atof(text);
}

void printBits(const char* what, double x) {
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    char exact[velmora::fullCapacity];
    velmora::formatFull(exact, sizeof exact, x);
    std::printf("%s %016" PRIx64 " %g %s\n", what, bits, x, exact);
}

void section() {
    inputs.segLength = typed(0.05, 4.5);
    inputs.hasLineLoad = static_cast<int32_t>(nextRandom() % 2u);
    inputs.lineLoad = typed(-3.0, 3.0);
    inputs.lineLoadSlope = typed(-1.0, 1.0);
    if (nextRandom() % 3u == 0u) {
        inputs.youngsModulus = typed(1.0e4, 2.5e5);
        inputs.shaftDiameter = typed(0.5, 80.0);
        applyShaftSection();
    } else {
        inputs.bendingStiffness = typed(0.5, 5.0e4);
        applyBeamSection();
    }
}

void oneBeam(int beam) {
    inputs.selRow1 = 2 + static_cast<int32_t>(nextRandom() % 2u);  // hinged or clamped
    inputs.selRow2 = 4;
    applyLeftEnd();
    const int fields = 1 + static_cast<int>(nextRandom() % 4u);
    for (int field = 0; field < fields; ++field) {
        section();
        if (nextRandom() % 2u) {
            inputs.springStiffness = typed(0.0, 900.0);
            applySpring();
        }
        if (nextRandom() % 2u) {
            inputs.selRow1 = 1 + static_cast<int32_t>(nextRandom() % 4u);
            inputs.pointLoadValue = typed(-25.0, 25.0);
            applyPointLoad();
        }
        section();
        if (field + 1 < fields) {
            inputs.selRow1 = 1;
            inputs.condValue1 = 0.0;
            applyIntermediateCondition();
        }
    }
    inputs.selRow1 = 1;
    inputs.condValue1 = 0.0;
    inputs.selRow2 = 3;
    inputs.condValue2 = typed(-2.0, 2.0);
    applyRightEnd();
    evaluateState();
    std::printf("beam %d\n", beam);
    char name[8];
    for (int k = 0; k < registerCount; ++k) {
        std::snprintf(name, sizeof name, "R%d", k);
        printBits(name, R[k]);
    }
    printBits("w", resultW);
    printBits("psi", resultPsi);
    printBits("M", resultM);
    printBits("Q", resultQ);
}

}  // namespace

int main() {
    for (int beam = 0; beam < 200; ++beam) oneBeam(beam);
    return 0;
}
