// Start-up: the window class, the main window, the accelerators and the one
// message loop.
#include <windows.h>
// The common controls need the Windows types first.
#include <commctrl.h>

#include "app/app_win.h"
#include "app/texts.h"
#include "resources/ids.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
HACCEL accelTable = nullptr;
int32_t clientWidth = 305;
int32_t clientHeight = 185;

void registerMainClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = mainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VELMORA));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(lightBlue);
    windowClass.lpszMenuName = appName;
    windowClass.lpszClassName = appName;
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VELMORA));
    RegisterClassExA(&windowClass);
}

// Until the first WM_SIZE, clientWidth and clientHeight hold the outer size.
HWND createMainWindow(HINSTANCE instance) {
    return CreateWindowExA(0, appName, mainWindowTitle, WS_OVERLAPPEDWINDOW, windowX, windowY,
                           clientWidth, clientHeight, nullptr, nullptr, instance, nullptr);
}

// Accelerators are offered for the main window whatever window of the thread
// the message is for, so F1 to F7 work while the toolbar has the focus too.
int runMessageLoop() {
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0)) {
        if (TranslateAcceleratorA(mainWindow, accelTable, &message) == 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    appInstance = instance;
    registerMainClass(instance);
    mainWindow = createMainWindow(instance);
    InitCommonControls();
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    accelTable = LoadAcceleratorsA(instance, appName);
    return runMessageLoop();
}
