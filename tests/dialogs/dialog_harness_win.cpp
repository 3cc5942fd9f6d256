// The user at a dialog: see dialog_harness_win.h.
#include "dialog_harness_win.h"

namespace {

constexpr UINT tickMs = 15;
// Ticks a dialog may stay open after the last step before the guard ends it.
// Timer ticks come only when the dialog's queue is empty, so a dialog that a
// step ends is gone before the next tick; the margin is for safety only.
constexpr int guardTicks = 20;

struct Session {
    const std::vector<UserStep>* steps = nullptr;
    DialogRun* run = nullptr;
    UINT_PTR timer = 0;
    int idleTicks = 0;
} session;

BOOL CALLBACK findOwnedDialog(HWND window, LPARAM found) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0 && GetWindow(window, GW_OWNER) == harnessOwner() &&
        IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND openDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findOwnedDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string windowText(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

DialogView lookAt(HWND dialog) {
    DialogView v;
    v.title = windowText(dialog);
    HWND focus = GetFocus();
    v.focusId = focus && IsChild(dialog, focus) ? LOWORD(GetDlgCtrlID(focus)) : 0;
    GetWindowRect(dialog, &v.window);
    GetClientRect(dialog, &v.client);
    ClientToScreen(dialog, &v.clientOrigin);
    LOGFONTA font{};
    if (GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font,
                   &font))
        v.fontFace = font.lfFaceName;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        ControlView cv;
        cv.id = LOWORD(GetDlgCtrlID(c));
        char name[64] = "";
        GetClassNameA(c, name, sizeof name);
        cv.className = name;
        cv.text = windowText(c);
        cv.style = GetWindowLongA(c, GWL_STYLE);
        cv.checked = lstrcmpiA(name, "Button") == 0
                         ? static_cast<int>(SendMessageA(c, BM_GETCHECK, 0, 0))
                         : -1;
        v.controls.push_back(cv);
    }
    return v;
}

void postKey(HWND dialog, WPARAM key, UINT scanCode) {
    HWND target = GetFocus();
    if (!target || !IsChild(dialog, target)) target = dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1 | scanCode << 16);
    PostMessageA(target, WM_KEYUP, key, 1 | scanCode << 16 | 0xC0000000u);
}

void perform(HWND dialog, const UserStep& step) {
    switch (step.act) {
        case Act::look:
            session.run->views.push_back(lookAt(dialog));
            break;
        case Act::click:
            SendMessageA(GetDlgItem(dialog, step.id), BM_CLICK, 0, 0);
            break;
        case Act::type: {
            HWND field = GetDlgItem(dialog, step.id);
            // Focus as the Tab key gives it: the whole text selected, so that the
            // first key typed replaces it.
            SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
            PostMessageA(field, WM_CHAR, VK_BACK, 1);
            for (const char* p = step.text; *p; ++p)
                PostMessageA(field, WM_CHAR, static_cast<unsigned char>(*p), 1);
            break;
        }
        case Act::enter:
            postKey(dialog, VK_RETURN, 0x1C);
            break;
        case Act::escape:
            postKey(dialog, VK_ESCAPE, 0x01);
            break;
        case Act::closeBox:
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
    }
}

void CALLBACK onTick(HWND, UINT, UINT_PTR timer, DWORD) {
    if (timer != session.timer || !session.run) return;
    HWND dialog = openDialog();
    if (!dialog) return;
    session.run->appeared = true;
    DialogRun& run = *session.run;
    if (run.stepsDone < static_cast<int>(session.steps->size())) {
        perform(dialog, (*session.steps)[run.stepsDone++]);
        return;
    }
    if (++session.idleTicks > guardTicks) {
        run.guardEnded = true;
        EndDialog(dialog, 0);
    }
}

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

const ControlView* DialogView::control(int id) const {
    for (const ControlView& c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

std::string DialogView::text(int id) const {
    const ControlView* c = control(id);
    return c ? c->text : "<no control " + std::to_string(id) + ">";
}

int DialogView::checked(int id) const {
    const ControlView* c = control(id);
    return c ? c->checked : -1;
}

int DialogView::checkedAmong(std::initializer_list<int> ids) const {
    int found = 0;
    for (int id : ids) {
        if (checked(id) == BST_CHECKED) {
            if (found) return 0;
            found = id;
        }
    }
    return found;
}

HWND harnessOwner() {
    static HWND owner = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ownerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "VelmoraDialogOwner";
        RegisterClassA(&wc);
        return CreateWindowA("VelmoraDialogOwner", "VELMORA-Reduktionsverfahren",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 305, 185, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    }();
    return owner;
}

DialogRun runDialog(const char* templateName, DLGPROC proc, const std::vector<UserStep>& steps) {
    DialogRun run;
    run.owner = harnessOwner();
    session.steps = &steps;
    session.run = &run;
    session.idleTicks = 0;
    session.timer = SetTimer(nullptr, 0, tickMs, onTick);
    run.result = DialogBoxParamA(GetModuleHandleA(nullptr), templateName, run.owner, proc, 0);
    KillTimer(nullptr, session.timer);
    session.timer = 0;
    session.run = nullptr;
    // Let the owner take back what the dialog left in the queue.
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    return run;
}
