// The main window under Wine, in process: the real window procedure, the real
// dialogs from the program's resources, worked from a thread timer as a user
// would work them, and what the window drew read back from its pixels.
#include <gtest/gtest.h>
#include <windows.h>
// The common controls need the Windows types first.
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app_win.h"
#include "app/texts.h"
#include "display/display.h"
#include "engine/engine.h"
#include "resources/ids.h"
#include "tests/app/ui_script_win.h"
#include "tests/display/canvas_win.h"
#include "tests/engine_steps.h"

namespace {

constexpr COLORREF lightBlueBand = RGB(128, 128, 255);
constexpr COLORREF yellowBand = RGB(255, 255, 0);
constexpr COLORREF orangeBand = RGB(255, 128, 0);

const char* const leftEndTitle = "linkes Tr\xe4gerende";
const char* const springTitle = "elastisches Lager";
const char* const beamTitle = "Tr\xe4gerabschnitt";
const char* const pointLoadTitle = "Einzellast";
const char* const shaftTitle = "Wellenabschnitt";
const char* const kindTitle = "Zwischenbed./rechtes Tr\xe4gerende";
const char* const intermediateTitle = "Zwischenbedingung";
const char* const rightEndTitle = "rechtes Tr\xe4gerende";

// Removes the quit messages that closing or destroying a window posted.
int takeQuit() {
    MSG message;
    int code = -1;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        code = static_cast<int>(message.wParam);
    }
    return code;
}

// Lets the window process what is queued (repaints included).
void settle() {
    MSG message;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

struct BankSnapshot {
    double registers[registerCount];
    int32_t solved;
    BankSnapshot() {
        std::memcpy(registers, R, sizeof registers);
        solved = solvedFlag;
    }
    bool unchanged() const {
        return std::memcmp(registers, R, sizeof registers) == 0 && solved == solvedFlag;
    }
};

// ---------------------------------------------------------------------------
// What the user does in each dialog.

ui::Step confirmLeftEnd(int choice) {
    return {leftEndTitle, [choice](HWND d) {
                ui::click(d, choice);
                ui::click(d, IDOK);
            }};
}

ui::Step confirmBeam(const char* length, const char* stiffness, const char* q, const char* qs) {
    return {beamTitle, [=](HWND d) {
                ui::type(d, IDC_SECTION_LENGTH, length);
                ui::type(d, IDC_SECTION_EI, stiffness);
                const bool wantLoad = q != nullptr;
                if ((IsDlgButtonChecked(d, IDC_SECTION_HAS_LOAD) == BST_CHECKED) != wantLoad) {
                    ui::click(d, IDC_SECTION_HAS_LOAD);
                }
                if (wantLoad) {
                    ui::type(d, IDC_SECTION_Q, q);
                    ui::type(d, IDC_SECTION_QS, qs);
                }
                ui::press(d, VK_RETURN);
            }};
}

ui::Step chooseKind(int kind) {
    return {kindTitle, [kind](HWND d) {
                ui::click(d, kind);
                ui::click(d, IDOK);
            }};
}

ui::Step confirmIntermediate(int choice) {
    return {intermediateTitle, [choice](HWND d) {
                ui::click(d, choice);
                ui::click(d, IDOK);
            }};
}

ui::Step confirmRightHinged(const char* moment) {
    return {rightEndTitle, [moment](HWND d) {
                ui::click(d, IDC_RIGHT_HINGED);
                ui::type(d, IDC_RIGHT_HINGED_M, moment);
                ui::click(d, IDOK);
            }};
}

ui::Step confirmForce(const char* value) {
    return {pointLoadTitle, [value](HWND d) {
                ui::click(d, IDC_LOAD_FORCE);
                ui::type(d, IDC_LOAD_VALUE, value);
                ui::click(d, IDOK);
            }};
}

ui::Step confirmRightFree(const char* moment, const char* force) {
    return {rightEndTitle, [=](HWND d) {
                ui::click(d, IDC_RIGHT_FREE);
                ui::type(d, IDC_RIGHT_FREE_M, moment);
                ui::type(d, IDC_RIGHT_FREE_Q, force);
                ui::click(d, IDOK);
            }};
}

ui::Step cancel(const char* title) {
    return {title, [](HWND d) { ui::click(d, IDCANCEL); }};
}

// ---------------------------------------------------------------------------

class MainWindow : public testing::Test {
protected:
    static void SetUpTestSuite() {
        appInstance = GetModuleHandleA(nullptr);
        registerMainClass(appInstance);
        InitCommonControls();
        accelTable = LoadAcceleratorsA(appInstance, "VELMORA");
    }

    void SetUp() override {
        resetEngineState();
        lineText[0] = '\0';
        lineLength = 0;
        clientWidth = 305;
        clientHeight = 185;
        mainWindow = createMainWindow(appInstance);
        ASSERT_NE(mainWindow, nullptr);
        ShowWindow(mainWindow, SW_SHOWNORMAL);
        UpdateWindow(mainWindow);
        settle();
    }

    void TearDown() override {
        DestroyWindow(mainWindow);
        takeQuit();
    }

    // Sends a command and works the dialogs it opens with the given steps.
    static std::string run(WPARAM id, std::vector<ui::Step> steps) {
        ui::Script script(std::move(steps));
        SendMessageA(mainWindow, WM_COMMAND, id, 0);
        return script.done() && script.failures().empty() ? "" : script.report();
    }

    static std::string status() {
        UpdateWindow(mainWindow);
        return std::string(lineText, static_cast<size_t>(lineLength));
    }

    static bool repaintPending() { return GetUpdateRect(mainWindow, nullptr, FALSE) != 0; }

    // The client area as the window shows it now.
    static void grab(Canvas& canvas) {
        HDC dc = GetDC(mainWindow);
        canvas.copyFrom(dc, 0, 0);
        ReleaseDC(mainWindow, dc);
    }

    static RECT client() {
        RECT r = {};
        GetClientRect(mainWindow, &r);
        return r;
    }

    // The typical use up to the right end: a simply supported beam of length
    // 1, EI 1, uniform line load 1.
    static void describeSimplySupportedBeam() {
        ASSERT_EQ(run(IDM_F1, {confirmLeftEnd(IDC_LEFT_HINGED)}), "");
        ASSERT_EQ(run(IDM_F3, {confirmBeam("1", "1", "1", "0")}), "");
        ASSERT_EQ(run(IDM_F6, {chooseKind(IDC_KIND_RIGHT_END), confirmRightHinged("0")}), "");
    }
};

// ---------------------------------------------------------------------------
// Creation and the message table.

TEST_F(MainWindow, CreationClearsR1ToR30AndLeavesR0) {
    for (double& r : R) r = 2.385;
    HWND second = createMainWindow(appInstance);
    EXPECT_EQ(R[0], 2.385);
    for (int k = 1; k <= lastRegister; ++k) EXPECT_EQ(R[k], 0.0) << "R" << k;
    DestroyWindow(second);
    takeQuit();
}

TEST_F(MainWindow, OpensAtFiftyFiftyWithTheOuterSizeAndClassMenu) {
    RECT outer = {};
    GetWindowRect(mainWindow, &outer);
    EXPECT_EQ(outer.left, 50);
    EXPECT_EQ(outer.top, 50);
    EXPECT_EQ(outer.right - outer.left, 305);
    EXPECT_EQ(outer.bottom - outer.top, 185);
    EXPECT_EQ(ui::windowText(mainWindow), "VELMORA-Reduktionsverfahren");
    HMENU menu = GetMenu(mainWindow);
    ASSERT_NE(menu, nullptr) << "the class menu";
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    const RECT inside = client();
    EXPECT_EQ(clientWidth, inside.right) << "WM_SIZE stored the client size";
    EXPECT_EQ(clientHeight, inside.bottom);
    EXPECT_EQ(GetClassLongA(mainWindow, GCL_STYLE), CS_VREDRAW | CS_HREDRAW);
    LOGBRUSH background = {};
    GetObjectA(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(mainWindow, GCLP_HBRBACKGROUND)),
               sizeof background, &background);
    EXPECT_EQ(background.lbColor, 0x00FF8080u) << "light blue: red 128, green 128, blue 255";
    EXPECT_NE(GetClassLongPtrA(mainWindow, GCLP_HICON), 0) << "icon 10";
}

TEST_F(MainWindow, ToolbarHasSevenButtonsInTableOrder) {
    ASSERT_NE(toolbarWindow, nullptr);
    EXPECT_EQ(GetParent(toolbarWindow), mainWindow);
    EXPECT_EQ(GetDlgCtrlID(toolbarWindow), 1);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(toolbarWindow, GWL_STYLE));
    EXPECT_EQ(style & 0x54800301u, 0x54800301u);
    EXPECT_EQ(windowInstance, appInstance);
    ASSERT_EQ(SendMessageA(toolbarWindow, TB_BUTTONCOUNT, 0, 0), 7);
    for (int i = 0; i < 7; ++i) {
        TBBUTTON button = {};
        SendMessageA(toolbarWindow, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.iBitmap, i) << "button " << i;
        EXPECT_EQ(button.idCommand, 200 + 5 * i) << "button " << i;
        EXPECT_EQ(button.fsState & TBSTATE_ENABLED, TBSTATE_ENABLED) << "button " << i;
        EXPECT_EQ(button.fsStyle, TBSTYLE_BUTTON) << "button " << i;
        EXPECT_EQ(button.iString, 0) << "button " << i << " carries no text";
    }
}

TEST_F(MainWindow, MoveIsSwallowedAndSizeStoresUnsignedWords) {
    EXPECT_EQ(mainWndProc(mainWindow, WM_MOVE, 0, MAKELPARAM(7, 9)), 0);
    EXPECT_EQ(mainWndProc(mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(0xFFFF, 0x8001)), 0);
    EXPECT_EQ(clientWidth, 65535);
    EXPECT_EQ(clientHeight, 32769);
    mainWndProc(mainWindow, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(clientWidth, 0);
    EXPECT_EQ(clientHeight, 0);
    SetWindowPos(mainWindow, nullptr, 0, 0, 411, 263, SWP_NOMOVE | SWP_NOZORDER);
    const RECT inside = client();
    EXPECT_EQ(clientWidth, inside.right);
    EXPECT_EQ(clientHeight, inside.bottom);
    EXPECT_GT(clientWidth, 300);
}

TEST_F(MainWindow, CommandsOutsideTheTableArePassedOnAndDoNothing) {
    const BankSnapshot before;
    ValidateRect(mainWindow, nullptr);
    ui::Script noDialog({});
    for (WORD id : {0, 99, 101, 104, 106, 111, 141, 199, 201, 231, 235, 1000, 0xFFFF}) {
        EXPECT_EQ(SendMessageA(mainWindow, WM_COMMAND, id, 0), 0) << id;
    }
    settle();
    EXPECT_TRUE(noDialog.failures().empty()) << noDialog.report();
    EXPECT_TRUE(before.unchanged());
    EXPECT_FALSE(repaintPending());
}

TEST_F(MainWindow, OnlyTheLowWordOfWParamIsTheCommand) {
    // An accelerator sends 1 in the high word, a control its notification.
    EXPECT_EQ(run(MAKEWPARAM(IDM_F2, 1), {cancel(springTitle)}), "");
    EXPECT_EQ(run(MAKEWPARAM(IDT_F2, BN_CLICKED), {cancel(springTitle)}), "");
}

TEST_F(MainWindow, TooltipTextsByButtonIdAsBytes) {
    const std::pair<UINT_PTR, const char*> expected[] = {
        {200, "linkes Tr\xe4gerende"},     {205, "Zwischenbedingung: elastisches Lager"},
        {210, "Tr\xe4gerabschnitt"},       {215, "Einzellast"},
        {220, "Wellenabschnitt"},          {225, "Lager, Gelenke, rechtes Tr\xe4gerende"},
        {230, "Berechne w, psi, M und Q"},
    };
    char marker[] = "unchanged";
    for (const auto& [id, text] : expected) {
        TOOLTIPTEXTA tip = {};
        tip.hdr.code = TTN_NEEDTEXTA;
        tip.hdr.idFrom = id;
        tip.lpszText = marker;
        tip.hinst = reinterpret_cast<HINSTANCE>(0x1234);
        EXPECT_EQ(SendMessageA(mainWindow, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&tip)), 0);
        EXPECT_EQ(std::string(tip.szText), text) << "button " << id;
        EXPECT_EQ(tip.lpszText, marker) << "the text pointer is left alone";
        EXPECT_EQ(tip.hinst, reinterpret_cast<HINSTANCE>(0x1234));
    }
}

TEST_F(MainWindow, TooltipRequestForAnotherIdOrCodeCopiesNothing) {
    for (UINT_PTR id : {0u, 110u, 201u, 235u}) {
        TOOLTIPTEXTA tip = {};
        tip.hdr.code = TTN_NEEDTEXTA;
        tip.hdr.idFrom = id;
        std::strcpy(tip.szText, "as it came");
        EXPECT_EQ(SendMessageA(mainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip)), 0);
        EXPECT_STREQ(tip.szText, "as it came") << "id " << id;
    }
    TOOLTIPTEXTA wide = {};
    wide.hdr.code = TTN_NEEDTEXTW;
    wide.hdr.idFrom = 215;
    std::strcpy(wide.szText, "as it came");
    EXPECT_EQ(SendMessageA(mainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&wide)), 0);
    EXPECT_STREQ(wide.szText, "as it came") << "only TTN_NEEDTEXTA is answered";
}

TEST_F(MainWindow, CloseEndsTheLoopWithZeroAndKeepsTheWindow) {
    EXPECT_EQ(SendMessageA(mainWindow, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(takeQuit(), 0);
    EXPECT_TRUE(IsWindow(mainWindow)) << "closing does not destroy the window";
    DestroyWindow(mainWindow);
    EXPECT_EQ(takeQuit(), 0) << "destruction ends the loop with 0 too";
}

// ---------------------------------------------------------------------------
// Routing: menu items, function keys and toolbar buttons.

struct ActionSources {
    WORD menu;
    WORD key;  // the command the accelerator table gives the function key
    WORD button;
};

// Where each of the seven actions comes from, read from the real resources
// and the real toolbar rather than from the program's own table.
std::vector<ActionSources> actionSources() {
    std::vector<ActionSources> sources(7);
    HMENU actions = GetSubMenu(GetMenu(mainWindow), 1);
    ACCEL table[16] = {};
    const int entries = CopyAcceleratorTableA(accelTable, table, 16);
    for (int i = 0; i < 7; ++i) {
        sources[i].menu = static_cast<WORD>(GetMenuItemID(actions, i));
        for (int e = 0; e < entries; ++e) {
            if (table[e].key == VK_F1 + i && (table[e].fVirt & (FSHIFT | FCONTROL | FALT)) == 0) {
                sources[i].key = table[e].cmd;
            }
        }
        TBBUTTON button = {};
        SendMessageA(toolbarWindow, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        sources[i].button = static_cast<WORD>(button.idCommand);
    }
    return sources;
}

TEST_F(MainWindow, EveryElementActionAnswersItsMenuItemKeyAndButton) {
    const std::vector<std::vector<ui::Step>> dialogs = {
        {cancel(leftEndTitle)}, {cancel(springTitle)},
        {cancel(beamTitle)},    {cancel(pointLoadTitle)},
        {cancel(shaftTitle)},   {chooseKind(IDC_KIND_RIGHT_END), cancel(rightEndTitle)},
    };
    const std::vector<ActionSources> sources = actionSources();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(run(sources[i].menu, dialogs[i]), "") << "menu item of F" << i + 1;
        EXPECT_EQ(run(sources[i].key, dialogs[i]), "") << "key F" << i + 1;
        EXPECT_EQ(run(sources[i].button, dialogs[i]), "") << "button " << i + 1;
    }
    // F7 opens nothing; each of its sources prints the panel.
    for (WORD id : {sources[6].menu, sources[6].key, sources[6].button}) {
        resultQ = 2.385;
        EXPECT_EQ(run(id, {}), "");
        EXPECT_EQ(resultQ, 0.0) << "command " << id << " evaluated";
    }
}

TEST_F(MainWindow, PointLoadBehavesAlikeFromKeyMenuAndButton) {
    steps::leftEnd(steps::End::clamped);
    auto moment = ui::Step{pointLoadTitle, [](HWND d) {
                               ui::click(d, IDC_LOAD_MOMENT);
                               ui::type(d, IDC_LOAD_VALUE, "2.385");
                               ui::press(d, VK_RETURN);
                           }};
    // The function key goes through the program's own message loop and its
    // accelerator translation.
    PostMessageA(mainWindow, WM_KEYDOWN, VK_F4, 0x003E0001);
    {
        ui::Script script({moment, {"", [](HWND) { PostQuitMessage(0); }}});
        EXPECT_EQ(runMessageLoop(), 0);
        EXPECT_TRUE(script.done() && script.failures().empty()) << script.report();
    }
    EXPECT_EQ(R[3], -2.385) << "the moment row of the load column";
    EXPECT_EQ(status(), "Einzellast definiert");

    lineLength = 0;
    EXPECT_EQ(run(IDM_F4, {moment}), "");
    EXPECT_EQ(R[3], -2.385 - 2.385);
    EXPECT_EQ(status(), "Einzellast definiert");

    lineLength = 0;
    EXPECT_EQ(run(IDT_F4, {moment}), "");
    EXPECT_EQ(R[3], -2.385 - 2.385 - 2.385);
    EXPECT_EQ(status(), "Einzellast definiert");
}

TEST_F(MainWindow, ClickOnTheFourthButtonOpensThePointLoad) {
    RECT button = {};
    SendMessageA(toolbarWindow, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&button));
    const LPARAM centre =
        MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    PostMessageA(toolbarWindow, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageA(toolbarWindow, WM_LBUTTONUP, 0, centre);
    ui::Script script({cancel(pointLoadTitle), {"", [](HWND) { PostQuitMessage(0); }}});
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_TRUE(script.done() && script.failures().empty()) << script.report();
}

TEST_F(MainWindow, FunctionKeyWithShiftOrCtrlDoesNothing) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    for (BYTE modifier : {VK_SHIFT, VK_CONTROL}) {
        BYTE held[256];
        std::memcpy(held, keys, sizeof held);
        held[modifier] = 0x80;
        SetKeyboardState(held);
        PostMessageA(mainWindow, WM_KEYDOWN, VK_F1, 0x003B0001);
        ui::Script script({{"", [](HWND) {}}, {"", [](HWND) { PostQuitMessage(0); }}});
        EXPECT_EQ(runMessageLoop(), 0);
        EXPECT_TRUE(script.failures().empty())
            << "modifier " << int(modifier) << ": " << script.report();
    }
    SetKeyboardState(keys);
    EXPECT_EQ(definedFlags.defLeftEnd, 0);
}

TEST_F(MainWindow, FunctionKeysDoNothingWhileADialogIsOpen) {
    // The dialog's own loop translates no accelerators: F4 pressed in the
    // open spring dialog must not start the point load.
    EXPECT_EQ(run(IDM_F2, {{springTitle, [](HWND d) { ui::press(d, VK_F4); }},
                           {springTitle, [](HWND d) { ui::press(d, VK_F7); }},
                           cancel(springTitle)}),
              "");
    EXPECT_EQ(definedFlags.defPointLoad, 0);
    EXPECT_EQ(lineLength, 0) << "and F7 printed nothing";
}

// ---------------------------------------------------------------------------
// Cancelled dialogs.

TEST_F(MainWindow, CancelledDialogsLeaveTheBankButRepaint) {
    steps::leftEnd(steps::End::hinged);
    steps::beam(1.5, 2.385, 0.75, 0.125);
    std::strcpy(lineText, "Tr\xe4gerabschnitt definiert");
    lineLength = 25;
    struct Case {
        WORD id;
        std::vector<ui::Step> steps;
    };
    const Case cases[] = {
        {IDM_F1,
         {{leftEndTitle,
           [](HWND d) {
               ui::click(d, IDC_LEFT_CLAMPED);
               ui::click(d, IDCANCEL);
           }}}},
        {IDM_F2,
         {{springTitle,
           [](HWND d) {
               ui::type(d, IDC_SPRING_C, "2.385");
               ui::press(d, VK_ESCAPE);
           }}}},
        {IDM_F3,
         {{beamTitle,
           [](HWND d) {
               ui::type(d, IDC_SECTION_LENGTH, "7.5");
               ui::closeBox(d);
           }}}},
        {IDM_F4, {cancel(pointLoadTitle)}},
        {IDM_F5, {cancel(shaftTitle)}},
        {IDM_F6, {chooseKind(IDC_KIND_INTERMEDIATE), cancel(intermediateTitle)}},
        {IDM_F6,
         {chooseKind(IDC_KIND_RIGHT_END),
          {rightEndTitle,
           [](HWND d) {
               ui::type(d, IDC_RIGHT_HINGED_M, "2.385");
               ui::press(d, VK_ESCAPE);
           }}}},
    };
    for (const Case& c : cases) {
        const BankSnapshot before;
        UpdateWindow(mainWindow);
        ASSERT_FALSE(repaintPending());
        EXPECT_EQ(run(c.id, c.steps), "") << "command " << c.id;
        EXPECT_TRUE(before.unchanged()) << "command " << c.id;
        EXPECT_TRUE(repaintPending()) << "command " << c.id << " asks for a repaint";
        EXPECT_EQ(status(), "Tr\xe4gerabschnitt definiert") << "command " << c.id;
    }
    EXPECT_EQ(solvedFlag, 0);
}

// ---------------------------------------------------------------------------
// What the window shows.

TEST_F(MainWindow, StatusBandYellowBeforeAndOrangeAfterTheRightEnd) {
    const RECT inside = client();
    ASSERT_EQ(run(IDM_F1, {confirmLeftEnd(IDC_LEFT_HINGED)}), "");
    UpdateWindow(mainWindow);
    Canvas first(inside.right, inside.bottom, 0);
    grab(first);
    EXPECT_EQ(textMismatch(first, 10, 80, 120, yellowBand, lightBlueBand,
                           "linkes Tr\xe4gerende definiert"),
              0);

    ASSERT_EQ(run(IDM_F3, {confirmBeam("1", "1", "1", "0")}), "");
    ASSERT_EQ(run(IDM_F6, {chooseKind(IDC_KIND_RIGHT_END), confirmRightHinged("0")}), "");
    UpdateWindow(mainWindow);
    Canvas solved(inside.right, inside.bottom, 0);
    grab(solved);
    EXPECT_EQ(textMismatch(solved, 10, 80, 120, orangeBand, lightBlueBand,
                           "rechtes Tr\xe4gerende definiert"),
              0);

    ASSERT_EQ(run(IDT_F1, {confirmLeftEnd(IDC_LEFT_HINGED)}), "");
    UpdateWindow(mainWindow);
    Canvas again(inside.right, inside.bottom, 0);
    grab(again);
    EXPECT_EQ(textMismatch(again, 10, 80, 120, orangeBand, lightBlueBand,
                           "linkes Tr\xe4gerende definiert"),
              0)
        << "a new left end after a solved beam still stands on orange";
    EXPECT_EQ(again.count(yellowBand, 0, 45, inside.right, inside.bottom), 0)
        << "no yellow below the toolbar";
}

TEST_F(MainWindow, TypicalUseAndARepeatedRunToMidSpan) {
    describeSimplySupportedBeam();
    const RECT inside = client();
    const RECT panel = {0, 45, inside.right, inside.bottom};
    ASSERT_EQ(run(IDM_F7, {}), "");
    Canvas end(inside.right, inside.bottom, 0);
    grab(end);
    EXPECT_EQ(end.count(lightBlueBand, 0, 45, inside.right, inside.bottom), 0)
        << "orange from 45 to the bottom of the client area";
    EXPECT_NE(end.pixel(0, 44), orangeBand) << "the panel starts at 45";
    const char* atEnd[] = {"w  = 0", "psi= -0.0416667", "M  = 0", "Q  = -0.5"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(textMismatch(end, 10, 50 + 20 * i, 140, orangeBand, orangeBand, atEnd[i], panel),
                  0)
            << atEnd[i];
    }

    // The same left end, half the section, F7: the state at mid-span.
    ASSERT_EQ(run(IDT_F1, {confirmLeftEnd(IDC_LEFT_HINGED)}), "");
    ASSERT_EQ(run(IDT_F3, {confirmBeam("0.5", "1", "1", "0")}), "");
    UpdateWindow(mainWindow);
    ASSERT_EQ(run(IDT_F7, {}), "");
    Canvas middle(inside.right, inside.bottom, 0);
    grab(middle);
    const char* atMiddle[] = {"w  = 0.0130208", "psi= 0", "M  = 0.125", "Q  = 0"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(
            textMismatch(middle, 10, 50 + 20 * i, 140, orangeBand, orangeBand, atMiddle[i], panel),
            0)
            << atMiddle[i];
    }

    // Covering and uncovering: the panel is gone, the Q line is the status.
    InvalidateRect(mainWindow, nullptr, TRUE);
    UpdateWindow(mainWindow);
    Canvas after(inside.right, inside.bottom, 0);
    grab(after);
    EXPECT_EQ(textMismatch(after, 10, 80, 120, orangeBand, lightBlueBand, "Q  = 0"), 0);
    EXPECT_EQ(after.pixel(0, 45), lightBlueBand);
}

// A right end leaves no pair of an earlier beam behind it: the cantilever
// after the two-span beam of the README shows its own values.
TEST_F(MainWindow, SecondBeamAfterARightEndShowsItsOwnValues) {
    const RECT inside = client();
    const RECT panel = {0, 45, inside.right, inside.bottom};
    auto expectPanel = [&](const char* const(&shown)[4]) {
        Canvas drawn(inside.right, inside.bottom, 0);
        grab(drawn);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(
                textMismatch(drawn, 10, 50 + 20 * i, 140, orangeBand, orangeBand, shown[i], panel),
                0)
                << shown[i];
        }
    };
    ASSERT_EQ(run(IDM_F1, {confirmLeftEnd(IDC_LEFT_HINGED)}), "");
    ASSERT_EQ(run(IDM_F3, {confirmBeam("4", "21000", "10", "0")}), "");
    ASSERT_EQ(
        run(IDM_F6, {chooseKind(IDC_KIND_INTERMEDIATE), confirmIntermediate(IDC_MID_SUPPORT)}), "");
    ASSERT_EQ(run(IDM_F3, {confirmBeam("2", "21000", "10", "0")}), "");
    ASSERT_EQ(run(IDM_F4, {confirmForce("25")}), "");
    ASSERT_EQ(run(IDM_F3, {confirmBeam("2", "21000", "10", "0")}), "");
    ASSERT_EQ(run(IDM_F6, {chooseKind(IDC_KIND_RIGHT_END), confirmRightHinged("0")}), "");
    UpdateWindow(mainWindow);
    ASSERT_EQ(run(IDM_F7, {}), "");
    expectPanel({"w  = 0", "psi= -0.00152778", "M  = 0", "Q  = -25.1562"});

    ASSERT_EQ(run(IDT_F1, {confirmLeftEnd(IDC_LEFT_CLAMPED)}), "");
    ASSERT_EQ(run(IDT_F3, {confirmBeam("2.5", "8400", nullptr, nullptr)}), "");
    ASSERT_EQ(run(IDT_F4, {confirmForce("12")}), "");
    ASSERT_EQ(run(IDT_F6, {chooseKind(IDC_KIND_RIGHT_END), confirmRightFree("0", "0")}), "");
    UpdateWindow(mainWindow);
    ASSERT_EQ(run(IDT_F7, {}), "");
    expectPanel({"w  = 0.00744048", "psi= 0.00446429", "M  = 0", "Q  = 0"});
}

// ---------------------------------------------------------------------------
// The Info box and the exit question.

std::string messageText(HWND box) {
    // The longest static text of the box is its message.
    std::string longest;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0) {
            const std::string text = ui::windowText(child);
            if (text.size() > longest.size()) longest = text;
        }
    }
    return longest;
}

TEST_F(MainWindow, InfoBoxShowsTheTenLinesWithoutOwner) {
    std::strcpy(lineText, "Einzellast definiert");
    lineLength = 20;
    std::string shown;
    HWND owner = reinterpret_cast<HWND>(1);
    bool mainEnabled = false;
    EXPECT_EQ(run(IDM_INFO, {{"VELMORA",
                              [&](HWND box) {
                                  shown = messageText(box);
                                  owner = GetWindow(box, GW_OWNER);
                                  mainEnabled = IsWindowEnabled(mainWindow) != 0;
                                  ui::click(box, IDOK);
                              }}}),
              "");
    EXPECT_EQ(shown.substr(0, shown.find('\n')),
              "\xdc"
              "bertragungsprogramm VELMORA fuer Windows");
    EXPECT_NE(shown.find("\n\nAnleitung vgl. VELMORA.PDF\n\n"), std::string::npos);
    size_t lines = 1;
    for (char c : shown) lines += c == '\n' ? 1 : 0;
    EXPECT_EQ(lines, 10u);
    EXPECT_EQ(owner, nullptr);
    EXPECT_TRUE(mainEnabled) << "a box without owner leaves the main window usable";
    EXPECT_EQ(status(), "Einzellast definiert") << "the Info box changes nothing";
}

TEST_F(MainWindow, ExitQuestionCancelKeepsRunningOkQuitsWithZero) {
    std::string shown;
    bool hasCancel = false;
    EXPECT_EQ(run(IDM_EXIT, {{"VELMORA",
                              [&](HWND box) {
                                  shown = messageText(box);
                                  hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
                                  ui::click(box, IDCANCEL);
                              }}}),
              "");
    EXPECT_EQ(shown, "VELMORA beenden ?");
    EXPECT_TRUE(hasCancel);
    EXPECT_EQ(takeQuit(), -1) << "Cancel posts no quit";
    EXPECT_TRUE(IsWindow(mainWindow));

    EXPECT_EQ(run(IDM_EXIT, {{"VELMORA", [](HWND box) { ui::click(box, IDOK); }}}), "");
    EXPECT_EQ(takeQuit(), 0) << "OK posts the quit message with 0";
}

// ---------------------------------------------------------------------------
// The engine's limit, told to the user.

class FullBeam : public MainWindow {
protected:
    // A left end and five intermediate supports: the factor list is full.
    void fiveConditions() {
        steps::leftEnd(steps::End::clamped);
        for (int i = 0; i < 5; ++i) {
            steps::beam(1.25, 2.385, 0.5, 0.0);
            steps::support();
        }
        steps::beam(1.25, 2.385, 0.5, 0.0);
        ASSERT_EQ(R[15], 30.0);
        std::strcpy(lineText, "Tr\xe4gerabschnitt definiert");
        lineLength = 25;
    }

    static ui::Step refusal(HWND* owner, std::string* text) {
        return {"VELMORA", [=](HWND box) {
                    *owner = GetWindow(box, GW_OWNER);
                    *text = messageText(box);
                    ui::press(box, VK_RETURN);
                }};
    }
};

TEST_F(FullBeam, SixthIntermediateConditionIsRefused) {
    fiveConditions();
    const BankSnapshot before;
    HWND owner = nullptr;
    std::string text;
    EXPECT_EQ(run(IDM_F6, {chooseKind(IDC_KIND_INTERMEDIATE), confirmIntermediate(IDC_MID_SUPPORT),
                           refusal(&owner, &text)}),
              "");
    EXPECT_EQ(owner, mainWindow) << "the message is owned by the main window";
    EXPECT_EQ(text, refusalText(refusalFactorListFull));
    EXPECT_TRUE(before.unchanged()) << "nothing applied";
    EXPECT_EQ(status(), "Tr\xe4gerabschnitt definiert") << "no claim that it was defined";
}

TEST_F(FullBeam, SixthConditionAsRightEndLeavesTheBeamUnsolved) {
    fiveConditions();
    const BankSnapshot before;
    HWND owner = nullptr;
    std::string text;
    EXPECT_EQ(run(IDT_F6, {chooseKind(IDC_KIND_RIGHT_END), confirmRightHinged("0"),
                           refusal(&owner, &text)}),
              "");
    EXPECT_EQ(owner, mainWindow);
    EXPECT_TRUE(before.unchanged());
    EXPECT_EQ(solvedFlag, 0);
    EXPECT_EQ(status(), "Tr\xe4gerabschnitt definiert");
    const RECT inside = client();
    Canvas band(inside.right, inside.bottom, 0);
    grab(band);
    EXPECT_EQ(
        textMismatch(band, 10, 80, 120, yellowBand, lightBlueBand, "Tr\xe4gerabschnitt definiert"),
        0)
        << "still yellow: the beam is not solved";
}

TEST_F(FullBeam, EvaluationPastTheBankIsRefusedAndDrawsNothing) {
    fiveConditions();
    UpdateWindow(mainWindow);
    resultW = 2.385;
    const BankSnapshot before;
    HWND owner = nullptr;
    std::string text;
    EXPECT_EQ(run(IDM_F7, {refusal(&owner, &text)}), "");
    EXPECT_EQ(owner, mainWindow);
    EXPECT_EQ(text, refusalText(refusalEvaluationPastBank));
    EXPECT_TRUE(before.unchanged());
    EXPECT_EQ(resultW, 2.385) << "no evaluation";
    EXPECT_EQ(std::string(lineText, lineLength), "Tr\xe4gerabschnitt definiert")
        << "no result line printed";
    UpdateWindow(mainWindow);
    const RECT inside = client();
    Canvas shown(inside.right, inside.bottom, 0);
    grab(shown);
    EXPECT_EQ(shown.count(orangeBand, 0, 45, inside.right, inside.bottom), 0) << "no panel";
}

TEST_F(FullBeam, EighthConditionBeforeTheFirstLeftEndIsRefused) {
    for (int i = 0; i < 7; ++i) steps::support();
    ASSERT_EQ(R[15], 14.0);
    std::strcpy(lineText, "Zwischenbedingung definiert");
    lineLength = 27;
    const BankSnapshot before;
    for (WORD id : {IDM_F6, IDT_F6}) {
        HWND owner = nullptr;
        std::string text;
        EXPECT_EQ(run(id, {chooseKind(IDC_KIND_INTERMEDIATE), confirmIntermediate(IDC_MID_HINGE),
                           refusal(&owner, &text)}),
                  "");
        EXPECT_EQ(owner, mainWindow);
        EXPECT_EQ(text, refusalText(refusalPairOnWorkingRegisters));
        EXPECT_TRUE(before.unchanged()) << "nothing applied";
        EXPECT_EQ(status(), "Zwischenbedingung definiert") << "the refused one is not claimed";
    }
    EXPECT_EQ(run(IDM_F1, {confirmLeftEnd(IDC_LEFT_HINGED)}), "");
    EXPECT_EQ(run(IDM_F6, {chooseKind(IDC_KIND_RIGHT_END), confirmRightHinged("0")}), "")
        << "after F1 the beam takes its conditions again";
    EXPECT_EQ(R[15], 22.0);
}

TEST_F(FullBeam, FifthConditionAndTheEvaluationBeforeItAreStillAccepted) {
    steps::leftEnd(steps::End::clamped);
    for (int i = 0; i < 4; ++i) {
        steps::beam(1.25, 2.385, 0.5, 0.0);
        steps::support();
    }
    steps::beam(1.25, 2.385, 0.5, 0.0);
    ASSERT_EQ(R[15], 28.0);
    EXPECT_EQ(run(IDM_F7, {}), "") << "the pair R28/R29 lies inside the bank";
    EXPECT_EQ(
        run(IDM_F6, {chooseKind(IDC_KIND_INTERMEDIATE), confirmIntermediate(IDC_MID_SUPPORT)}), "");
    EXPECT_EQ(R[15], 30.0);
    EXPECT_EQ(status(), "Zwischenbedingung definiert");
}

// ---------------------------------------------------------------------------
// The whole start-up and message loop, as the start routine runs them.

TEST(WinMain, RunsUntilTheExitQuestionIsConfirmedAndReturnsZero) {
    resetEngineState();
    clientWidth = 305;  // as at program start: the outer size of the new window
    clientHeight = 185;
    RECT outer = {};
    bool normal = false;
    bool stillRunning = false;
    ui::Script script({
        {"",
         [&](HWND) {
             GetWindowRect(mainWindow, &outer);
             normal = IsWindowVisible(mainWindow) && !IsIconic(mainWindow) && !IsZoomed(mainWindow);
             PostMessageA(mainWindow, WM_KEYDOWN, VK_F2, 0x003C0001);
         }},
        {springTitle,
         [](HWND d) {
             ui::type(d, IDC_SPRING_C, "2.385");
             ui::press(d, VK_RETURN);
         }},
        {"", [](HWND) { PostMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0); }},
        cancel("VELMORA"),
        {"",
         [&](HWND) {
             stillRunning = IsWindow(mainWindow) != 0;
             PostMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0);
         }},
        {"VELMORA", [](HWND box) { ui::click(box, IDOK); }},
    });
    const int code =
        WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWNORMAL);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(script.done() && script.failures().empty()) << script.report();
    EXPECT_EQ(outer.left, 50);
    EXPECT_EQ(outer.top, 50);
    EXPECT_EQ(outer.right - outer.left, 305);
    EXPECT_EQ(outer.bottom - outer.top, 185);
    EXPECT_TRUE(normal);
    EXPECT_TRUE(stillRunning) << "Cancel kept the program running";
    EXPECT_EQ(inputs.springStiffness, 2.385) << "F2 reached the dialog through the accelerator";
    EXPECT_TRUE(IsWindow(mainWindow)) << "the loop ends with the window still there";
    DestroyWindow(mainWindow);
    takeQuit();
}

}  // namespace
