// The decision logic of the eight input dialogs: what each one checks and
// shows when it opens, what a click records, what OK writes and what Cancel
// restores. It works on the engine's globals (inputs, definedFlags, memories)
// and sees the controls only through DialogControls, so the same logic runs
// under the Win32 dialog manager and in the native tests.
// Portable C++: no platform header may be included here.
#pragma once

#include <cstdint>

// Every edit field has a text buffer of this many characters; the value is
// shown in it with "%g" and read back into it with a count of 30, that is at
// most 29 characters and the terminating zero.
constexpr int32_t fieldBufferSize = 80;
constexpr int32_t fieldReadCount = 30;

// The display text of a field's value: "%g", six significant digits.
void formatFieldValue(double value, char (&text)[fieldBufferSize]);

// The value of a field's text as OK reads it: only the first 29 characters
// count, leading white space is skipped, and the longest leading decimal
// number (sign, digits, point, exponent) is converted with atof; anything
// after it is ignored, and a text that does not begin with a number gives 0.
double fieldTextValue(const char* text);

// The controls of one open dialog, as the logic sees them. The Win32 layer
// fills in the dialog manager's calls, a test its own recording fake.
struct DialogControls {
    void* dialog;
    // Checks `checked` and unchecks every other radio button in first..last.
    void (*checkRadio)(void* dialog, int32_t first, int32_t last, int32_t checked);
    void (*setBox)(void* dialog, int32_t id, int32_t checked);
    int32_t (*isBoxChecked)(void* dialog, int32_t id);  // 0 or 1
    void (*showText)(void* dialog, int32_t id, const char* text);
    // Copies at most count - 1 characters of the field and a terminating zero.
    void (*readText)(void* dialog, int32_t id, char* text, int32_t count);
};

// What a command id did: the dialog procedure returns 0 for the first, 1 for
// the others, and ends the dialog (with 0) for the last.
constexpr int32_t commandIgnored = 0;
constexpr int32_t commandHandled = 1;
constexpr int32_t commandEndsDialog = 2;

// Per dialog: `...Open` answers WM_INITDIALOG and returns the id of the
// control that gets the keyboard focus, the first tab stop of the template;
// `...Command` answers a WM_COMMAND with the control id (the low 16 bits of
// wParam).
int32_t leftEndOpen(const DialogControls& controls);  // DLG_F1
int32_t leftEndCommand(const DialogControls& controls, int32_t id);
int32_t springOpen(const DialogControls& controls);  // DLG_F2
int32_t springCommand(const DialogControls& controls, int32_t id);
int32_t beamSectionOpen(const DialogControls& controls);  // DLG_F3
int32_t beamSectionCommand(const DialogControls& controls, int32_t id);
int32_t pointLoadOpen(const DialogControls& controls);  // DLG_F4
int32_t pointLoadCommand(const DialogControls& controls, int32_t id);
int32_t shaftSectionOpen(const DialogControls& controls);  // DLG_F5
int32_t shaftSectionCommand(const DialogControls& controls, int32_t id);
int32_t conditionKindOpen(const DialogControls& controls);  // DLG_F61
int32_t conditionKindCommand(const DialogControls& controls, int32_t id);
int32_t intermediateOpen(const DialogControls& controls);  // DLG_F62
int32_t intermediateCommand(const DialogControls& controls, int32_t id);
int32_t rightEndOpen(const DialogControls& controls);  // DLG_F63
int32_t rightEndCommand(const DialogControls& controls, int32_t id);
