// The engine's process-wide state and the one rule for register numbers.
#include <cmath>

#include "engine.h"

RegisterBank R = {};
EngineInputs inputs;
DefinedFlags definedFlags;
int32_t solvedFlag = 0;
double resultW = 0.0;
double resultPsi = 0.0;
double resultM = 0.0;
double resultQ = 0.0;
ChoiceMemories memories;
int32_t engineRefusal = refusalNone;

int32_t roundIndex(double x) {
    // Compares the exact remainder with 0.5 rather than adding 0.5 first, so
    // 0.49999999999999994 gives 0; negative values truncate toward zero.
    // Converting NaN or a value beyond int32 would be undefined.
    if (!(x > -2147483648.0 && x < 2147483647.0)) return -1;
    const double f = std::fmod(x, 1.0);
    const auto t = static_cast<int32_t>(x);
    return f < 0.5 ? t : t + 1;
}

void resetRegisterBank() {
    for (int k = 1; k <= lastRegister; ++k) R[k] = 0.0;
}

void resetEngineState() {
    for (double& r : R) r = 0.0;
    inputs = EngineInputs{};
    definedFlags = DefinedFlags{};
    solvedFlag = 0;
    resultW = resultPsi = resultM = resultQ = 0.0;
    memories = ChoiceMemories{};
    engineRefusal = refusalNone;
}
