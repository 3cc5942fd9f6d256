// The main window procedure, the command table and the actions it routes to.
#include "app_win.h"

// The common controls need the Windows types first.
#include <commctrl.h>

#include "app/texts.h"
#include "dialogs/dialogs_win.h"
#include "display/display.h"
#include "display/display_win.h"
#include "resources/ids.h"

HWND toolbarWindow = nullptr;
HINSTANCE windowInstance = nullptr;

namespace {

// ---------------------------------------------------------------------------
// Actions.

// Runs one dialog modally and, when it was confirmed, its engine operation.
// When the engine refuses the element, the user is told, and the flag is
// cleared so the status line does not claim the element was defined.
void runDialogStep(HWND window, const DialogStep& step) {
    DialogBoxParamA(appInstance, step.templateName, window, step.dialogProc, 0);
    if (definedFlags.*step.definedFlag != 1) return;
    step.operation();
    if (engineRefusal != refusalNone) {
        definedFlags.*step.definedFlag = 0;
        MessageBoxA(window, refusalText(engineRefusal), appName, MB_OK | MB_ICONEXCLAMATION);
    }
}

// F1 to F5: the dialog, the operation if confirmed, and a repaint either way.
void runElement(HWND window, const Command& command) {
    runDialogStep(window, command.dialog);
    InvalidateRect(window, nullptr, TRUE);
}

constexpr DialogStep rightEndStep = {"Dlg_F63", rightEndDlgProc, &DefinedFlags::defRightEnd,
                                     applyRightEnd};
constexpr DialogStep intermediateStep = {
    "Dlg_F62", intermediateDlgProc, &DefinedFlags::defIntermediate, applyIntermediateCondition};

// F6: first the kind of condition, then the right end or the intermediate
// condition; only the second dialog's confirmation applies anything.
void runCondition(HWND window, const Command& command) {
    DialogBoxParamA(appInstance, command.dialog.templateName, window, command.dialog.dialogProc, 0);
    runDialogStep(window, inputs.isRightEnd != 0 ? rightEndStep : intermediateStep);
    InvalidateRect(window, nullptr, TRUE);
}

// F7: no dialog and no repaint; the panel goes straight onto the window.
// An evaluation whose factor pair lies past the bank is refused before
// anything is drawn.
void runEvaluation(HWND window, const Command&) {
    if (!evaluationFits()) {
        MessageBoxA(window, refusalText(refusalEvaluationPastBank), appName,
                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    HDC dc = GetDC(window);
    paintResultPanel(dc, clientWidth, clientHeight);
    ReleaseDC(window, dc);
}

// The two message boxes have no owner: the main window stays usable.
void runInfo(HWND, const Command&) {
    MessageBoxA(nullptr, aboutText, appName, MB_OK | MB_ICONINFORMATION);
}

void runExitQuestion(HWND, const Command&) {
    if (MessageBoxA(nullptr, exitQuestion, appName, MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
        PostQuitMessage(0);
    }
}

// ---------------------------------------------------------------------------
// Messages.

LRESULT onCreate(HWND window) {
    windowInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    toolbarWindow = createToolbar(window);
    resetRegisterBank();
    return 0;
}

// Closing and destruction both end the message loop with exit code 0.
LRESULT onQuit() {
    PostQuitMessage(0);
    return 0;
}

LRESULT onSize(LPARAM lParam) {
    clientHeight = HIWORD(lParam);
    clientWidth = LOWORD(lParam);
    return 0;
}

LRESULT onPaint(HWND window) {
    PAINTSTRUCT paint = {};
    HDC dc = BeginPaint(window, &paint);
    paintStatusLine(dc);
    EndPaint(window, &paint);
    return 0;
}

LRESULT onNotify(LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code != TTN_NEEDTEXTA) return 0;
    const char* text = tooltipFor(static_cast<WORD>(header->idFrom));
    if (text != nullptr) lstrcpyA(reinterpret_cast<TOOLTIPTEXTA*>(lParam)->szText, text);
    return 0;
}

LRESULT onCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Command* command = findCommand(LOWORD(wParam));
    if (command == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    command->action(window, *command);
    return 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// The command table.

const Command commands[commandCount] = {
    {IDM_INFO, 0, runInfo, {}, nullptr},
    {IDM_EXIT, 0, runExitQuestion, {}, nullptr},
    {IDM_F1,
     IDT_F1,
     runElement,
     {"Dlg_F1", leftEndDlgProc, &DefinedFlags::defLeftEnd, applyLeftEnd},
     "linkes Tr\xe4gerende"},
    {IDM_F2,
     IDT_F2,
     runElement,
     {"Dlg_F2", springDlgProc, &DefinedFlags::defSpring, applySpring},
     "Zwischenbedingung: elastisches Lager"},
    {IDM_F3,
     IDT_F3,
     runElement,
     {"Dlg_F3", beamSectionDlgProc, &DefinedFlags::defBeamSection, applyBeamSection},
     "Tr\xe4gerabschnitt"},
    {IDM_F4,
     IDT_F4,
     runElement,
     {"Dlg_F4", pointLoadDlgProc, &DefinedFlags::defPointLoad, applyPointLoad},
     "Einzellast"},
    {IDM_F5,
     IDT_F5,
     runElement,
     {"Dlg_F5", shaftSectionDlgProc, &DefinedFlags::defShaftSection, applyShaftSection},
     "Wellenabschnitt"},
    {IDM_F6,
     IDT_F6,
     runCondition,
     {"Dlg_F61", conditionKindDlgProc, nullptr, nullptr},
     "Lager, Gelenke, rechtes Tr\xe4gerende"},
    {IDM_F7, IDT_F7, runEvaluation, {}, "Berechne w, psi, M und Q"},
};

const Command* findCommand(WORD id) {
    for (const Command& command : commands) {
        if (command.menuId == id || (command.toolbarId != 0 && command.toolbarId == id)) {
            return &command;
        }
    }
    return nullptr;
}

const char* tooltipFor(WORD toolbarId) {
    for (const Command& command : commands) {
        if (command.toolbarId != 0 && command.toolbarId == toolbarId) return command.tooltip;
    }
    return nullptr;
}

LRESULT CALLBACK mainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return onCreate(window);
        case WM_DESTROY:
            return onQuit();
        case WM_MOVE:
            return 0;
        case WM_SIZE:
            return onSize(lParam);
        case WM_PAINT:
            return onPaint(window);
        case WM_CLOSE:
            return onQuit();
        case WM_NOTIFY:
            return onNotify(lParam);
        case WM_COMMAND:
            return onCommand(window, message, wParam, lParam);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND createToolbar(HWND parent) {
    // Button i shows image i and sends the toolbar id of the table's i-th
    // button row; the buttons carry no text.
    TBBUTTON toolbarButtons[toolbarButtonCount] = {};
    int button = 0;
    for (const Command& command : commands) {
        if (command.toolbarId == 0 || button == toolbarButtonCount) continue;
        toolbarButtons[button].iBitmap = button;
        toolbarButtons[button].idCommand = command.toolbarId;
        toolbarButtons[button].fsState = TBSTATE_ENABLED;
        toolbarButtons[button].fsStyle = TBSTYLE_BUTTON;
        ++button;
    }
    return CreateToolbarEx(parent, toolbarStyle, toolbarControlId, toolbarButtonCount,
                           windowInstance, IDB_TOOLBAR, toolbarButtons, toolbarButtonCount,
                           toolbarImageSize, toolbarImageSize, toolbarImageSize, toolbarImageSize,
                           sizeof(TBBUTTON));
}
