// The keys of a script, pressed on the engine: inputs written as the dialogs'
// OK writes them (choice memories and field memories included), then the
// operation the window procedure runs for the key.
#include "keyed/keys.h"

#include <cmath>
#include <cstdio>

#include "engine/engine.h"

namespace velmora {
namespace {

// DLG_F3 and DLG_F5: the box follows whether q or qs is given. With the box
// clear, OK does not read the load fields, so the last q and qs stay; with
// it checked, a field left out reads as the 0 typed into it.
void writeLineLoad(const Action& a) {
    memories.hasLineLoadSaved = inputs.hasLineLoad;
    inputs.hasLineLoad = hasLineLoad(a) ? 1 : 0;
    if (inputs.hasLineLoad == 1) {
        inputs.lineLoad = a.value[slotLineLoad];
        inputs.lineLoadSlope = a.value[slotLineSlope];
    }
}

void leftEnd(const Action& a) {
    // DLG_F1: the support fixes two quantities, the other two are unknown.
    memories.leftEndChoiceSaved = memories.leftEndChoice;
    switch (a.choice) {
        case leftFree:
            memories.leftEndChoice = IDC_LEFT_FREE;
            inputs.selRow1 = 1;
            inputs.selRow2 = 2;
            break;
        case leftClamped:
            memories.leftEndChoice = IDC_LEFT_CLAMPED;
            inputs.selRow1 = 3;
            inputs.selRow2 = 4;
            break;
        default:
            memories.leftEndChoice = IDC_LEFT_HINGED;
            inputs.selRow1 = 2;
            inputs.selRow2 = 4;
            break;
    }
    applyLeftEnd();
}

void pointLoad(const Action& a) {
    // DLG_F4: the row of the load column the load acts on; selRow2 stays.
    memories.loadKindChoiceSaved = memories.loadKindChoice;
    switch (a.choice) {
        case loadMoment:
            memories.loadKindChoice = IDC_LOAD_MOMENT;
            inputs.selRow1 = 3;
            break;
        case loadAngle:
            memories.loadKindChoice = IDC_LOAD_ANGLE;
            inputs.selRow1 = 2;
            break;
        case loadOffset:
            memories.loadKindChoice = IDC_LOAD_OFFSET;
            inputs.selRow1 = 1;
            break;
        default:
            memories.loadKindChoice = IDC_LOAD_FORCE;
            inputs.selRow1 = 4;
            break;
    }
    inputs.pointLoadValue = a.value[slotLoad];
    applyPointLoad();
}

void intermediate(const Action& a) {
    // DLG_F61 "Zwischenbedingung", then DLG_F62; selRow2 and condValue2 stay.
    memories.conditionKindChoice = IDC_KIND_INTERMEDIATE;
    inputs.isRightEnd = 0;
    memories.intermediateChoiceSaved = memories.intermediateChoice;
    if (a.choice == midHinge) {
        memories.intermediateChoice = IDC_MID_HINGE;
        inputs.selRow1 = 3;
    } else {
        memories.intermediateChoice = IDC_MID_SUPPORT;
        inputs.selRow1 = 1;
    }
    inputs.condValue1 = 0.0;
    applyIntermediateCondition();
}

void rightEnd(const Action& a) {
    // DLG_F61 "rechtes Trägerende", then DLG_F63: only the fields of the
    // checked kind are read, and a field left out reads as 0.
    memories.conditionKindChoice = IDC_KIND_RIGHT_END;
    inputs.isRightEnd = 1;
    memories.rightEndChoiceSaved = memories.rightEndChoice;
    switch (a.choice) {
        case rightFree:
            memories.rightEndChoice = IDC_RIGHT_FREE;
            inputs.selRow1 = 3;
            memories.freeEndMoment = a.value[slotEndMoment];
            inputs.condValue1 = memories.freeEndMoment;
            inputs.selRow2 = 4;
            memories.freeEndForce = a.value[slotEndForce];
            inputs.condValue2 = memories.freeEndForce;
            break;
        case rightClamped:
            memories.rightEndChoice = IDC_RIGHT_CLAMPED;
            inputs.selRow1 = 1;
            inputs.condValue1 = 0.0;
            inputs.selRow2 = 2;
            inputs.condValue2 = 0.0;
            break;
        default:
            memories.rightEndChoice = IDC_RIGHT_HINGED;
            inputs.selRow1 = 1;
            inputs.condValue1 = 0.0;
            inputs.selRow2 = 3;
            memories.hingedEndMoment = a.value[slotEndMoment];
            inputs.condValue2 = memories.hingedEndMoment;
            break;
    }
    applyRightEnd();
}

void section(const Action& a, double length) {
    inputs.segLength = length;
    if (a.kind == Kind::beamSection) {
        inputs.bendingStiffness = a.value[slotStiffness];
        writeLineLoad(a);
        applyBeamSection();
    } else {
        inputs.youngsModulus = a.value[slotStiffness];
        inputs.shaftDiameter = a.value[slotDiameter];
        writeLineLoad(a);
        applyShaftSection();
    }
}

// Row of the first condition of F6 (w for a support and for the hinged and
// clamped right ends, M for a hinge and a free right end).
int conditionRow(const Action& a) {
    return (a.choice == midHinge || a.choice == rightFree) ? 3 : 1;
}

int solvedRow(const Action& a) {
    if (a.choice == rightFree) return 4;
    return a.choice == rightClamped ? 2 : 3;
}

const char* rowName(int row) {
    static constexpr const char* names[] = {"", "w", "psi", "M", "Q"};
    return names[row];
}

// Why the state stopped being finite after action a. Reads the bank as the
// action left it; divisorBefore is C2 at the condition's row before it ran.
const char* diagnose(const Action& a, double divisorBefore, bool seenLeftEnd) {
    switch (a.kind) {
        // The reader takes only positive stiffnesses; they can still be too
        // small for a double.
        case Kind::beamSection:
            if (std::isinf(1.0 / a.value[slotStiffness])) {
                return "the section's bending stiffness EI is too small: 1/EI is beyond the "
                       "range of a double";
            }
            break;
        case Kind::shaftSection:
            if (a.value[slotStiffness] * storedPi * std::pow(a.value[slotDiameter], 4.0) / 64.0 ==
                0.0) {
                return "the shaft's bending stiffness E*pi*d^4/64 underflows to 0";
            }
            break;
        case Kind::intermediate:
        case Kind::rightEnd: {
            if (!seenLeftEnd)
                return "a condition before the first left end (F1): there is no state to impose it "
                       "on";
            if (divisorBefore == 0.0) {
                if (a.choice == midHinge) {
                    return "a mechanism: M does not depend on the open unknown here, so the hinge "
                           "cannot be imposed (a hinge at a free end, beside another hinge or at a "
                           "hinged support?)";
                }
                if (a.choice == midSupport) {
                    return "w does not depend on the open unknown here, so the support cannot be "
                           "imposed (w is already fixed there, at a clamped end or another "
                           "support?)";
                }
                return conditionRow(a) == 1
                           ? "w does not depend on the open unknown here, so the right end cannot "
                             "fix it (a mechanism, or w already fixed there?)"
                           : "M does not depend on the open unknown here, so the right end cannot "
                             "fix it (a mechanism?)";
            }
            if (a.kind == Kind::rightEnd && R[solvedRow(a) + 4] == 0.0) {
                static char text[200];
                std::snprintf(text, sizeof text,
                              "a mechanism: %s at the right end does not depend on the remaining "
                              "unknown, so the right end cannot fix it (a hinge too many?)",
                              rowName(solvedRow(a)));
                return text;
            }
            break;
        }
        default:
            break;
    }
    return "a value beyond the range of a double (overflow)";
}

}  // namespace

void perform(const Action& a) {
    switch (a.kind) {
        case Kind::leftEnd:
            leftEnd(a);
            break;
        case Kind::spring:
            inputs.springStiffness = a.value[slotSpring];
            applySpring();
            break;
        case Kind::beamSection:
        case Kind::shaftSection:
            section(a, a.value[slotLength]);
            break;
        case Kind::pointLoad:
            pointLoad(a);
            break;
        case Kind::intermediate:
            intermediate(a);
            break;
        case Kind::rightEnd:
            rightEnd(a);
            break;
        case Kind::evaluate:
            evaluateState();
            break;
        case Kind::mass:
        case Kind::rotationalSpring:
        case Kind::shearHinge:
            break;  // no key: the engine never sees it (the keyed run refuses the last two)
    }
}

void performPart(const Action& a, double part) { section(a, part); }

bool stateIsFinite() {
    for (int k = 0; k <= lastRegister; ++k) {
        if (k == 13 || k == 14 || k == 17 || k == 18) continue;
        if (!std::isfinite(R[k])) return false;
    }
    return true;
}

bool resultsAreFinite() {
    return std::isfinite(resultW) && std::isfinite(resultPsi) && std::isfinite(resultM) &&
           std::isfinite(resultQ);
}

void performWatched(const Script& script, int index, Watch& watch) {
    const Action& a = script.actions[index];
    const bool conditionAction = a.kind == Kind::intermediate || a.kind == Kind::rightEnd;
    const double divisorBefore = conditionAction ? R[conditionRow(a) + 8] : 1.0;
    const bool seenLeftEnd = watch.seenLeftEnd;
    perform(a);
    if (a.kind == Kind::leftEnd) watch.seenLeftEnd = true;
    if (a.kind == Kind::evaluate) return;  // F7 only writes R14 and the results
    const bool finite = stateIsFinite();
    if (!finite && watch.finite) {
        watch.brokenAt = index;
        watch.cause = diagnose(a, divisorBefore, seenLeftEnd);
    } else if (finite) {
        watch.brokenAt = -1;
        watch.cause = nullptr;
    }
    watch.finite = finite;
}

}  // namespace velmora
