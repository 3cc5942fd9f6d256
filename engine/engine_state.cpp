// The engine's whole state saved as a value and put back.
#include <algorithm>
#include <iterator>

#include "engine.h"

EngineState saveEngineState() {
    EngineState s;
    std::copy(std::begin(R), std::end(R), std::begin(s.registers));
    s.inputs = inputs;
    s.definedFlags = definedFlags;
    s.solvedFlag = solvedFlag;
    s.results[0] = resultW;
    s.results[1] = resultPsi;
    s.results[2] = resultM;
    s.results[3] = resultQ;
    s.memories = memories;
    s.engineRefusal = engineRefusal;
    return s;
}

void restoreEngineState(const EngineState& s) {
    std::copy(std::begin(s.registers), std::end(s.registers), std::begin(R));
    inputs = s.inputs;
    definedFlags = s.definedFlags;
    solvedFlag = s.solvedFlag;
    resultW = s.results[0];
    resultPsi = s.results[1];
    resultM = s.results[2];
    resultQ = s.results[3];
    memories = s.memories;
    engineRefusal = s.engineRefusal;
}
