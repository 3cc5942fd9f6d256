// A user at a dialog: runs one of the program's dialogs modally with
// DialogBoxParamA, from the templates linked into this test program, and
// works it step by step from a thread timer that the modal loop dispatches:
// clicks on buttons, typing into fields, the Enter and Escape keys and the
// close box, as the dialog manager receives them. A guard ends a dialog that
// stays open after the last step, so a test fails instead of hanging.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum class Act {
    look,      // record what the dialog shows now
    click,     // BM_CLICK on the control `id` (radio button, check box, push button)
    type,      // focus field `id` as Tab does (all selected), delete, type `text`
    enter,     // WM_KEYDOWN VK_RETURN to the control that has the focus
    escape,    // WM_KEYDOWN VK_ESCAPE to the control that has the focus
    closeBox,  // WM_SYSCOMMAND SC_CLOSE, as a click on the close box sends it
};

struct UserStep {
    Act act;
    int id = 0;
    const char* text = "";
};

inline UserStep look() { return {Act::look}; }
inline UserStep click(int id) { return {Act::click, id}; }
inline UserStep type(int id, const char* text) { return {Act::type, id, text}; }
inline UserStep pressEnter() { return {Act::enter}; }
inline UserStep pressEscape() { return {Act::escape}; }
inline UserStep closeBox() { return {Act::closeBox}; }

struct ControlView {
    int id;  // as GetDlgCtrlID gives it, low 16 bits
    std::string className;
    std::string text;  // bytes as GetWindowTextA gives them
    LONG style;
    int checked;  // BM_GETCHECK for buttons, -1 otherwise
};

struct DialogView {
    std::string title;
    int focusId = 0;  // control with the keyboard focus, 0 if none
    RECT window{}, client{};
    POINT clientOrigin{};  // screen position of the client area's corner
    std::string fontFace;
    std::vector<ControlView> controls;  // in z-order, which is template order

    const ControlView* control(int id) const;
    std::string text(int id) const;
    int checked(int id) const;
    int checkedAmong(std::initializer_list<int> ids) const;  // the one checked id, 0 if not one
};

struct DialogRun {
    INT_PTR result = -2;
    bool appeared = false;
    int stepsDone = 0;        // steps performed before the dialog ended
    bool guardEnded = false;  // still open after the last step: ended by the guard
    std::vector<DialogView> views;
    HWND owner = nullptr;

    // The dialog ended by itself, right after its last step.
    bool endedAfterAll(size_t steps) const {
        return appeared && !guardEnded && stepsDone == static_cast<int>(steps);
    }
};

// The main window stand-in that owns every dialog: 305 x 185 at 50, 50.
HWND harnessOwner();

DialogRun runDialog(const char* templateName, DLGPROC proc, const std::vector<UserStep>& steps);

// Runs the steps and expects the dialog to have ended on the last one.
#define EXPECT_DIALOG_ENDED(run, steps)                                                  \
    EXPECT_TRUE((run).endedAfterAll((steps).size()))                                     \
        << "appeared " << (run).appeared << ", steps done " << (run).stepsDone << " of " \
        << (steps).size() << ", ended by the guard " << (run).guardEnded
