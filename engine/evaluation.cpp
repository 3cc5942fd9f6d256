// F7: the actual state at the current position from the transfer state,
// -U1 in R16 and the factor pair of the next condition.
#include "engine.h"

void evaluateState() {
    engineRefusal = refusalNone;
    if (!evaluationFits()) {
        engineRefusal = refusalEvaluationPastBank;
        return;
    }
    const auto next = static_cast<int32_t>(R[15] + 1.0);
    const int32_t pair = roundIndex(R[15]);
    R[14] = R[next] * R[16] - R[pair];  // -U2 = f2 * (-U1) - f1
    resultW = R[1] - R[5] * R[16] - R[9] * R[14];
    resultPsi = R[2] - R[6] * R[16] - R[10] * R[14];
    resultM = R[3] - R[7] * R[16] - R[11] * R[14];
    resultQ = R[4] - R[8] * R[16] - R[12] * R[14];
}
