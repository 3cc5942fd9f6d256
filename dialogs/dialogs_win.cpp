// The eight dialog procedures. Each only hands the dialog manager's calls to
// the portable logic and turns its answer into the procedure's result.
#include "dialogs_win.h"

#include "dialog_logic.h"

namespace {

HWND asWindow(void* dialog) { return static_cast<HWND>(dialog); }

void checkRadio(void* dialog, int32_t first, int32_t last, int32_t checked) {
    CheckRadioButton(asWindow(dialog), first, last, checked);
}

void setBox(void* dialog, int32_t id, int32_t checked) {
    CheckDlgButton(asWindow(dialog), id, checked == 1 ? BST_CHECKED : BST_UNCHECKED);
}

int32_t isBoxChecked(void* dialog, int32_t id) {
    return IsDlgButtonChecked(asWindow(dialog), id) == BST_CHECKED ? 1 : 0;
}

void showText(void* dialog, int32_t id, const char* text) {
    SetDlgItemTextA(asWindow(dialog), id, text);
}

void readText(void* dialog, int32_t id, char* text, int32_t count) {
    GetDlgItemTextA(asWindow(dialog), id, text, count);
}

using OpenLogic = int32_t (*)(const DialogControls&);
using CommandLogic = int32_t (*)(const DialogControls&, int32_t);

INT_PTR handleMessage(HWND dialog, UINT message, WPARAM wParam, OpenLogic open,
                      CommandLogic command) {
    const DialogControls controls = {dialog, checkRadio, setBox, isBoxChecked, showText, readText};
    switch (message) {
        case WM_INITDIALOG:
            // The focus goes to the template's first tab stop. The dialog
            // manager would pick the checked radio button instead, which
            // became a tab stop when it was checked; so the focus is set here
            // as Tab sets it (an edit field's text all selected).
            SendMessageA(dialog, WM_NEXTDLGCTL,
                         reinterpret_cast<WPARAM>(GetDlgItem(dialog, open(controls))), TRUE);
            return FALSE;
        case WM_COMMAND:
            switch (command(controls, LOWORD(wParam))) {
                case commandEndsDialog:
                    EndDialog(dialog, 0);
                    return TRUE;
                case commandHandled:
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK leftEndDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return handleMessage(dialog, message, wParam, leftEndOpen, leftEndCommand);
}

INT_PTR CALLBACK springDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return handleMessage(dialog, message, wParam, springOpen, springCommand);
}

INT_PTR CALLBACK beamSectionDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return handleMessage(dialog, message, wParam, beamSectionOpen, beamSectionCommand);
}

INT_PTR CALLBACK pointLoadDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return handleMessage(dialog, message, wParam, pointLoadOpen, pointLoadCommand);
}

INT_PTR CALLBACK shaftSectionDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return handleMessage(dialog, message, wParam, shaftSectionOpen, shaftSectionCommand);
}

INT_PTR CALLBACK conditionKindDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return handleMessage(dialog, message, wParam, conditionKindOpen, conditionKindCommand);
}

INT_PTR CALLBACK intermediateDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return handleMessage(dialog, message, wParam, intermediateOpen, intermediateCommand);
}

INT_PTR CALLBACK rightEndDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return handleMessage(dialog, message, wParam, rightEndOpen, rightEndCommand);
}
