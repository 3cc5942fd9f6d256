// The application shell: start-up, the main window procedure, the command
// table that drives routing, toolbar buttons and tooltips, and the toolbar.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/engine.h"

// Process-wide values of the shell; they live for the whole run.
extern HINSTANCE appInstance;     // the program's module: icon, accelerators, dialogs
extern HWND mainWindow;           // the one main window
extern HACCEL accelTable;         // the function keys F1 to F7
extern int32_t clientWidth;       // outer width at creation, then the client width
extern int32_t clientHeight;      // outer height at creation, then the client height
extern HINSTANCE windowInstance;  // the module of the toolbar bitmap
extern HWND toolbarWindow;

constexpr int windowX = 50;
constexpr int windowY = 50;
constexpr COLORREF lightBlue = 0x00FF8080;  // the class background
constexpr int toolbarControlId = 1;
constexpr DWORD toolbarStyle = 0x54800301;  // child, visible, clip siblings, border,
                                            // wrapable, tooltips, top
constexpr int toolbarButtonCount = 7;
constexpr int toolbarImageSize = 32;

// One dialog and what follows it: the engine operation runs only when the
// dialog left its defined flag at 1.
struct DialogStep {
    const char* templateName;
    DLGPROC dialogProc;
    int32_t DefinedFlags::*definedFlag;
    void (*operation)();
};

struct Command;
using CommandAction = void (*)(HWND window, const Command& command);

// One row per thing a command can do. The same row answers the menu item,
// its function key and its toolbar button, builds the button and names its
// tooltip.
struct Command {
    WORD menuId;     // menu item and accelerator
    WORD toolbarId;  // toolbar button, 0 for none
    CommandAction action;
    DialogStep dialog;  // the action's dialog, if it has one
    const char* tooltip;
};

constexpr int commandCount = 9;
extern const Command commands[commandCount];

// The command table's row for a menu, accelerator or toolbar id; nullptr
// for an id the program does not know.
const Command* findCommand(WORD id);

// The tooltip of a toolbar button id; nullptr for any other id.
const char* tooltipFor(WORD toolbarId);

LRESULT CALLBACK mainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND createToolbar(HWND parent);

// Start-up, in the order WinMain uses them.
void registerMainClass(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);
int runMessageLoop();
