// The eight dialogs' decisions. Each `...Open` takes the saved copy of the
// choice memory and shows the current values; each `...Command` records a
// click at once, writes the dialog's outputs on OK and restores the memory on
// Cancel, so a cancelled dialog leaves everything as it found it.
#include "dialog_logic.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "../engine/engine.h"
#include "../resources/ids.h"

void formatFieldValue(double value, char (&text)[fieldBufferSize]) {
    std::snprintf(text, sizeof text, "%g", value);
}

double fieldTextValue(const char* text) {
    // What GetDlgItemTextA with a count of 30 leaves in the buffer.
    char number[fieldReadCount];
    int32_t n = 0;
    while (n < fieldReadCount - 1 && text[n] != '\0') {
        number[n] = text[n];
        ++n;
    }
    number[n] = '\0';

    // Only a decimal number counts, in both builds alike: the C libraries
    // differ on "inf", "nan" and "0x..." texts, which must read as 0 here.
    const auto isDigit = [&](int32_t k) {
        return std::isdigit(static_cast<unsigned char>(number[k]));
    };
    int32_t start = 0;
    while (std::isspace(static_cast<unsigned char>(number[start]))) ++start;
    int32_t end = start;
    if (number[end] == '+' || number[end] == '-') ++end;
    int32_t digits = 0;
    for (; isDigit(end); ++end) ++digits;
    if (number[end] == '.') {
        for (++end; isDigit(end); ++end) ++digits;
    }
    if (digits == 0) return 0.0;
    if (number[end] == 'e' || number[end] == 'E') {
        int32_t k = end + 1;
        if (number[k] == '+' || number[k] == '-') ++k;
        if (isDigit(k)) {
            while (isDigit(k)) ++k;
            end = k;
        }
    }
    number[end] = '\0';
    return std::atof(number + start);
}

namespace {

void showValue(const DialogControls& c, int32_t id, double value) {
    char text[fieldBufferSize];
    formatFieldValue(value, text);
    c.showText(c.dialog, id, text);
}

double readValue(const DialogControls& c, int32_t id) {
    char text[fieldBufferSize] = "";
    c.readText(c.dialog, id, text, fieldReadCount);
    text[fieldBufferSize - 1] = '\0';
    return fieldTextValue(text);
}

bool inRange(int32_t id, int32_t first, int32_t last) { return id >= first && id <= last; }

// The radio buttons of a dialog carry ids ten apart.
bool isRadio(int32_t id, int32_t first, int32_t last) {
    return inRange(id, first, last) && (id - first) % 10 == 0;
}

// What both section dialogs show first: the box and the length.
void openSection(const DialogControls& c) {
    memories.hasLineLoadSaved = inputs.hasLineLoad;
    c.setBox(c.dialog, IDC_SECTION_HAS_LOAD, inputs.hasLineLoad);
    showValue(c, IDC_SECTION_LENGTH, inputs.segLength);
}

void showLineLoad(const DialogControls& c) {
    showValue(c, IDC_SECTION_Q, inputs.lineLoad);
    showValue(c, IDC_SECTION_QS, inputs.lineLoadSlope);
}

// The line load is read only while the box is checked; what was typed into
// its fields otherwise is dropped.
void readLineLoad(const DialogControls& c) {
    if (inputs.hasLineLoad != 1) return;
    inputs.lineLoad = readValue(c, IDC_SECTION_Q);
    inputs.lineLoadSlope = readValue(c, IDC_SECTION_QS);
}

void recordBox(const DialogControls& c) {
    inputs.hasLineLoad = c.isBoxChecked(c.dialog, IDC_SECTION_HAS_LOAD);
}

}  // namespace

// ---------------------------------------------------------------------------
// DLG_F1, left end: the support fixes two quantities, the other two are the
// unknowns, selRow1 < selRow2.

int32_t leftEndOpen(const DialogControls& c) {
    memories.leftEndChoiceSaved = memories.leftEndChoice;
    c.checkRadio(c.dialog, IDC_LEFT_HINGED, IDC_LEFT_CLAMPED, memories.leftEndChoice);
    return IDC_OK;
}

int32_t leftEndCommand(const DialogControls&, int32_t id) {
    if (isRadio(id, IDC_LEFT_HINGED, IDC_LEFT_CLAMPED)) {
        memories.leftEndChoice = id;
        return commandHandled;
    }
    switch (id) {
        case IDC_OK:
            break;
        case IDC_CANCEL:
            memories.leftEndChoice = memories.leftEndChoiceSaved;
            definedFlags.defLeftEnd = 0;
            return commandEndsDialog;
        default:
            return commandIgnored;
    }
    switch (memories.leftEndChoice) {
        case IDC_LEFT_HINGED:  // w = M = 0: psi and Q unknown
            inputs.selRow1 = 2;
            inputs.selRow2 = 4;
            break;
        case IDC_LEFT_FREE:  // M = Q = 0: w and psi unknown
            inputs.selRow1 = 1;
            inputs.selRow2 = 2;
            break;
        case IDC_LEFT_CLAMPED:  // w = psi = 0: M and Q unknown
            inputs.selRow1 = 3;
            inputs.selRow2 = 4;
            break;
    }
    definedFlags.defLeftEnd = 1;
    return commandEndsDialog;
}

// ---------------------------------------------------------------------------
// DLG_F2, elastic support: the spring constant c.

int32_t springOpen(const DialogControls& c) {
    showValue(c, IDC_SPRING_C, inputs.springStiffness);
    return IDC_SPRING_C;
}

int32_t springCommand(const DialogControls& c, int32_t id) {
    switch (id) {
        case IDC_OK:
            inputs.springStiffness = readValue(c, IDC_SPRING_C);
            definedFlags.defSpring = 1;
            return commandEndsDialog;
        case IDC_CANCEL:
            definedFlags.defSpring = 0;
            return commandEndsDialog;
        default:
            return commandIgnored;
    }
}

// ---------------------------------------------------------------------------
// DLG_F3, beam section: length, EI and the optional line load.

int32_t beamSectionOpen(const DialogControls& c) {
    openSection(c);
    showValue(c, IDC_SECTION_EI, inputs.bendingStiffness);
    showLineLoad(c);
    return IDC_SECTION_LENGTH;
}

int32_t beamSectionCommand(const DialogControls& c, int32_t id) {
    switch (id) {
        case IDC_SECTION_HAS_LOAD:
            recordBox(c);
            return commandHandled;
        case IDC_OK:
            inputs.segLength = readValue(c, IDC_SECTION_LENGTH);
            inputs.bendingStiffness = readValue(c, IDC_SECTION_EI);
            readLineLoad(c);
            definedFlags.defBeamSection = 1;
            return commandEndsDialog;
        case IDC_CANCEL:
            inputs.hasLineLoad = memories.hasLineLoadSaved;
            definedFlags.defBeamSection = 0;
            return commandEndsDialog;
        default:
            return commandIgnored;
    }
}

// ---------------------------------------------------------------------------
// DLG_F4, point load: the row of the load column it acts on, and its value.
// selRow2 belongs to the last left or right end and is left alone.

int32_t pointLoadOpen(const DialogControls& c) {
    memories.loadKindChoiceSaved = memories.loadKindChoice;
    c.checkRadio(c.dialog, IDC_LOAD_FORCE, IDC_LOAD_OFFSET, memories.loadKindChoice);
    showValue(c, IDC_LOAD_VALUE, inputs.pointLoadValue);
    return IDC_LOAD_VALUE;
}

int32_t pointLoadCommand(const DialogControls& c, int32_t id) {
    if (isRadio(id, IDC_LOAD_FORCE, IDC_LOAD_OFFSET)) {
        memories.loadKindChoice = id;
        return commandHandled;
    }
    switch (id) {
        case IDC_OK:
            break;
        case IDC_CANCEL:
            definedFlags.defPointLoad = 0;
            memories.loadKindChoice = memories.loadKindChoiceSaved;
            return commandEndsDialog;
        default:
            return commandIgnored;
    }
    switch (memories.loadKindChoice) {
        case IDC_LOAD_FORCE:
            inputs.selRow1 = 4;
            break;
        case IDC_LOAD_MOMENT:
            inputs.selRow1 = 3;
            break;
        case IDC_LOAD_ANGLE:
            inputs.selRow1 = 2;
            break;
        case IDC_LOAD_OFFSET:
            inputs.selRow1 = 1;
            break;
    }
    definedFlags.defPointLoad = 1;
    inputs.pointLoadValue = readValue(c, IDC_LOAD_VALUE);
    return commandEndsDialog;
}

// ---------------------------------------------------------------------------
// DLG_F5, shaft section: length, Young's modulus, diameter and the optional
// line load; EI is the engine's business.

int32_t shaftSectionOpen(const DialogControls& c) {
    openSection(c);
    showValue(c, IDC_SECTION_E, inputs.youngsModulus);
    showValue(c, IDC_SECTION_D, inputs.shaftDiameter);
    showLineLoad(c);
    return IDC_SECTION_LENGTH;
}

int32_t shaftSectionCommand(const DialogControls& c, int32_t id) {
    switch (id) {
        case IDC_SECTION_HAS_LOAD:
            recordBox(c);
            return commandHandled;
        case IDC_OK:
            inputs.segLength = readValue(c, IDC_SECTION_LENGTH);
            inputs.youngsModulus = readValue(c, IDC_SECTION_E);
            inputs.shaftDiameter = readValue(c, IDC_SECTION_D);
            readLineLoad(c);
            definedFlags.defShaftSection = 1;
            return commandEndsDialog;
        case IDC_CANCEL:
            inputs.hasLineLoad = memories.hasLineLoadSaved;
            definedFlags.defShaftSection = 0;
            return commandEndsDialog;
        default:
            return commandIgnored;
    }
}

// ---------------------------------------------------------------------------
// DLG_F61, intermediate condition or right end. It has no Cancel: id 2 (the
// Escape key, the close box) is not handled, so the dialog stays open and the
// first step of F6 cannot be abandoned.

int32_t conditionKindOpen(const DialogControls& c) {
    c.checkRadio(c.dialog, IDC_KIND_INTERMEDIATE, IDC_KIND_RIGHT_END, memories.conditionKindChoice);
    return IDC_OK;
}

int32_t conditionKindCommand(const DialogControls&, int32_t id) {
    if (isRadio(id, IDC_KIND_INTERMEDIATE, IDC_KIND_RIGHT_END)) {
        memories.conditionKindChoice = id;
        return commandHandled;
    }
    if (id != IDC_OK) return commandIgnored;
    if (memories.conditionKindChoice == IDC_KIND_INTERMEDIATE) inputs.isRightEnd = 0;
    if (memories.conditionKindChoice == IDC_KIND_RIGHT_END) inputs.isRightEnd = 1;
    return commandEndsDialog;
}

// ---------------------------------------------------------------------------
// DLG_F62, intermediate condition: one prescribed zero, w at a support, M at
// a hinge. selRow2 and condValue2 are the right end's and are left alone.

int32_t intermediateOpen(const DialogControls& c) {
    memories.intermediateChoiceSaved = memories.intermediateChoice;
    c.checkRadio(c.dialog, IDC_MID_SUPPORT, IDC_MID_HINGE, memories.intermediateChoice);
    return IDC_OK;
}

int32_t intermediateCommand(const DialogControls&, int32_t id) {
    if (isRadio(id, IDC_MID_SUPPORT, IDC_MID_HINGE)) {
        memories.intermediateChoice = id;
        return commandHandled;
    }
    switch (id) {
        case IDC_OK:
            if (memories.intermediateChoice == IDC_MID_SUPPORT) {
                inputs.selRow1 = 1;
                inputs.condValue1 = 0.0;
            } else if (memories.intermediateChoice == IDC_MID_HINGE) {
                inputs.selRow1 = 3;
                inputs.condValue1 = 0.0;
            }
            definedFlags.defIntermediate = 1;
            return commandEndsDialog;
        case IDC_CANCEL:
            memories.intermediateChoice = memories.intermediateChoiceSaved;
            definedFlags.defIntermediate = 0;
            return commandEndsDialog;
        default:
            return commandIgnored;
    }
}

// ---------------------------------------------------------------------------
// DLG_F63, right end: two prescribed values. Each kind of end remembers its
// own fields, and only the fields of the checked kind are read.

int32_t rightEndOpen(const DialogControls& c) {
    memories.rightEndChoiceSaved = memories.rightEndChoice;
    c.checkRadio(c.dialog, IDC_RIGHT_HINGED, IDC_RIGHT_CLAMPED, memories.rightEndChoice);
    showValue(c, IDC_RIGHT_HINGED_M, memories.hingedEndMoment);
    showValue(c, IDC_RIGHT_FREE_M, memories.freeEndMoment);
    showValue(c, IDC_RIGHT_FREE_Q, memories.freeEndForce);
    return IDC_RIGHT_HINGED_M;
}

int32_t rightEndCommand(const DialogControls& c, int32_t id) {
    if (isRadio(id, IDC_RIGHT_HINGED, IDC_RIGHT_CLAMPED)) {
        memories.rightEndChoice = id;
        return commandHandled;
    }
    switch (id) {
        case IDC_OK:
            break;
        case IDC_CANCEL:
            memories.rightEndChoice = memories.rightEndChoiceSaved;
            definedFlags.defRightEnd = 0;
            return commandEndsDialog;
        default:
            return commandIgnored;
    }
    switch (memories.rightEndChoice) {
        case IDC_RIGHT_HINGED:  // w = 0, M = the end moment
            inputs.selRow1 = 1;
            inputs.condValue1 = 0.0;
            inputs.selRow2 = 3;
            memories.hingedEndMoment = readValue(c, IDC_RIGHT_HINGED_M);
            inputs.condValue2 = memories.hingedEndMoment;
            break;
        case IDC_RIGHT_FREE:  // M = the end moment, Q = the end force
            inputs.selRow1 = 3;
            memories.freeEndMoment = readValue(c, IDC_RIGHT_FREE_M);
            inputs.condValue1 = memories.freeEndMoment;
            inputs.selRow2 = 4;
            memories.freeEndForce = readValue(c, IDC_RIGHT_FREE_Q);
            inputs.condValue2 = memories.freeEndForce;
            break;
        case IDC_RIGHT_CLAMPED:  // w = psi = 0
            inputs.selRow1 = 1;
            inputs.condValue1 = 0.0;
            inputs.selRow2 = 2;
            inputs.condValue2 = 0.0;
            break;
    }
    definedFlags.defRightEnd = 1;
    return commandEndsDialog;
}
