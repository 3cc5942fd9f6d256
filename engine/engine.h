// The reduction-method engine: the register bank, the values that pass
// between the dialogs, the engine and the display, and the element operations.
// Portable C++: no platform header may be included here.
#pragma once

#include <cstdint>

#include "../resources/ids.h"

// ---------------------------------------------------------------------------
// Register bank R0..R30.
//
// R1..R12 hold the transfer state as three columns of four rows (w, psi, M,
// Q): the load column R1..R4, the first unknown column R5..R8 and the second
// unknown column R9..R12. R13, R14, R17, R18 are working registers, R15 is the
// factor pointer, R16 holds -U1 after a right end, R20..R30 is the factor list.
constexpr int registerCount = 31;
constexpr int lastRegister = 30;
constexpr int factorListStart = 20;
using RegisterBank = double[registerCount];
extern RegisterBank R;

// Register number held as a real -> integer: truncation toward zero, plus one
// when fmod(x, 1.0) is at least 0.5. A value that is no register number at
// all (not finite, or beyond the int32 range) gives -1, which names no
// register; the operations check their numbers before they use them.
int32_t roundIndex(double x);

// The pi of a shaft's stiffness E * pi * d^4 / 64: the stored constant, not
// M_PI, so that every tool computes the same EI.
constexpr double storedPi = 3.141592654;

// ---------------------------------------------------------------------------
// Values written by the dialogs and read by the operations.
struct EngineInputs {
    double springStiffness = 0.0;
    double segLength = 0.0;
    double bendingStiffness = 0.0;
    int32_t hasLineLoad = 0;
    double lineLoad = 0.0;
    double lineLoadSlope = 0.0;
    double pointLoadValue = 0.0;
    double youngsModulus = 0.0;
    double shaftDiameter = 0.0;
    int32_t selRow1 = 2;
    int32_t selRow2 = 4;
    double condValue1 = 0.0;
    double condValue2 = 0.0;
    int32_t isRightEnd = 1;
};
extern EngineInputs inputs;

// One flag per dialog: 1 after OK, 0 after Cancel; cleared by every repaint.
struct DefinedFlags {
    int32_t defLeftEnd = 0;
    int32_t defSpring = 0;
    int32_t defBeamSection = 0;
    int32_t defPointLoad = 0;
    int32_t defShaftSection = 0;
    int32_t defIntermediate = 0;
    int32_t defRightEnd = 0;
};
extern DefinedFlags definedFlags;

// 1 from the first applied right end on; chooses the status band's colour.
extern int32_t solvedFlag;

extern double resultW;
extern double resultPsi;
extern double resultM;
extern double resultQ;

// The choices each dialog opens with, and the copies that Cancel puts back.
// The engine never reads them; they live here with the rest of the state.
struct ChoiceMemories {
    int32_t leftEndChoice = IDC_LEFT_HINGED;
    int32_t leftEndChoiceSaved = IDC_LEFT_HINGED;
    int32_t hasLineLoadSaved = 0;
    int32_t loadKindChoice = IDC_LOAD_FORCE;
    int32_t loadKindChoiceSaved = IDC_LOAD_FORCE;
    int32_t conditionKindChoice = IDC_KIND_RIGHT_END;
    int32_t intermediateChoice = IDC_MID_SUPPORT;
    int32_t intermediateChoiceSaved = IDC_MID_SUPPORT;
    int32_t rightEndChoice = IDC_RIGHT_HINGED;
    int32_t rightEndChoiceSaved = IDC_RIGHT_HINGED;
    double hingedEndMoment = 0.0;
    double freeEndMoment = 0.0;
    double freeEndForce = 0.0;
};
extern ChoiceMemories memories;

// ---------------------------------------------------------------------------
// Refusals. The bank ends at R30: the factor list R20..R30 holds five pairs,
// so a sixth condition of a beam, or an evaluation with five conditions still
// ahead of the factor pointer, would need R31. Such an operation changes
// nothing and says why in engineRefusal; every operation first sets it to
// refusalNone. A row outside 1..4 is refused the same way (the dialogs never
// produce one, but the operations are also called from scripts and tests).
// Before the first left end the pointer starts at R0, so the eighth condition
// would store its pair in R14/R15, the registers it is working with: refused.
constexpr int32_t refusalNone = 0;
constexpr int32_t refusalFactorListFull = 1;
constexpr int32_t refusalEvaluationPastBank = 2;
constexpr int32_t refusalBadRow = 3;
constexpr int32_t refusalPairOnWorkingRegisters = 4;
extern int32_t engineRefusal;

// Would the next condition's factor pair, or the evaluation's read of it,
// stay inside the bank? The window asks before it tells the user.
bool conditionFits();
bool evaluationFits();

// ---------------------------------------------------------------------------
// Operations. Each works on the globals above, in the order of the formulas.
void resetRegisterBank();  // R1..R30 = 0.0, ascending; R0 is left alone
void resetEngineState();   // everything back to its program-start value

void applyLeftEnd();                // F1
void applySpring();                 // F2
void applyBeamSection();            // F3
void applyPointLoad();              // F4
void applyShaftSection();           // F5
void applyIntermediateCondition();  // F6, intermediate support or hinge
void applyRightEnd();               // F6, right end
void evaluateState();               // F7

// ---------------------------------------------------------------------------
// The engine's whole state as one value: everything above that an operation,
// a dialog or a reset reads or writes. Restoring a value saved at some point
// puts the engine exactly where it was then, so a repeated run can start from
// a copy instead of from F1.
struct EngineState {
    RegisterBank registers;
    EngineInputs inputs;
    DefinedFlags definedFlags;
    int32_t solvedFlag;
    double results[4];  // resultW, resultPsi, resultM, resultQ
    ChoiceMemories memories;
    int32_t engineRefusal;
};

EngineState saveEngineState();
void restoreEngineState(const EngineState& state);

constexpr const char* registerNames[registerCount] = {
    "R0",  "R1",  "R2",  "R3",  "R4",  "R5",  "R6",  "R7",  "R8",  "R9",  "R10",
    "R11", "R12", "R13", "R14", "R15", "R16", "R17", "R18", "R19", "R20", "R21",
    "R22", "R23", "R24", "R25", "R26", "R27", "R28", "R29", "R30"};

// Calls visit(name, field...) for every field of the state, in the order of
// the struct, with the same field of each of the states given: one state to
// list them, two to compare them. Each field is a double or an int32_t. This
// is the one list of the fields; a field added to a struct above belongs here.
template <typename Visit, typename... States>
void forEachField(Visit&& visit, const States&... s) {
    for (int k = 0; k < registerCount; ++k) visit(registerNames[k], s.registers[k]...);
#define VELMORA_FIELD(f) visit(#f, s.f...)
    VELMORA_FIELD(inputs.springStiffness);
    VELMORA_FIELD(inputs.segLength);
    VELMORA_FIELD(inputs.bendingStiffness);
    VELMORA_FIELD(inputs.hasLineLoad);
    VELMORA_FIELD(inputs.lineLoad);
    VELMORA_FIELD(inputs.lineLoadSlope);
    VELMORA_FIELD(inputs.pointLoadValue);
    VELMORA_FIELD(inputs.youngsModulus);
    VELMORA_FIELD(inputs.shaftDiameter);
    VELMORA_FIELD(inputs.selRow1);
    VELMORA_FIELD(inputs.selRow2);
    VELMORA_FIELD(inputs.condValue1);
    VELMORA_FIELD(inputs.condValue2);
    VELMORA_FIELD(inputs.isRightEnd);
    VELMORA_FIELD(definedFlags.defLeftEnd);
    VELMORA_FIELD(definedFlags.defSpring);
    VELMORA_FIELD(definedFlags.defBeamSection);
    VELMORA_FIELD(definedFlags.defPointLoad);
    VELMORA_FIELD(definedFlags.defShaftSection);
    VELMORA_FIELD(definedFlags.defIntermediate);
    VELMORA_FIELD(definedFlags.defRightEnd);
    VELMORA_FIELD(solvedFlag);
    visit("resultW", s.results[0]...);
    visit("resultPsi", s.results[1]...);
    visit("resultM", s.results[2]...);
    visit("resultQ", s.results[3]...);
    VELMORA_FIELD(memories.leftEndChoice);
    VELMORA_FIELD(memories.leftEndChoiceSaved);
    VELMORA_FIELD(memories.hasLineLoadSaved);
    VELMORA_FIELD(memories.loadKindChoice);
    VELMORA_FIELD(memories.loadKindChoiceSaved);
    VELMORA_FIELD(memories.conditionKindChoice);
    VELMORA_FIELD(memories.intermediateChoice);
    VELMORA_FIELD(memories.intermediateChoiceSaved);
    VELMORA_FIELD(memories.rightEndChoice);
    VELMORA_FIELD(memories.rightEndChoiceSaved);
    VELMORA_FIELD(memories.hingedEndMoment);
    VELMORA_FIELD(memories.freeEndMoment);
    VELMORA_FIELD(memories.freeEndForce);
    VELMORA_FIELD(engineRefusal);
#undef VELMORA_FIELD
}
