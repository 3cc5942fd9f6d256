// A long random session of the real window under Wine, in process: the
// window procedure, dialogs, message boxes and resources of the program,
// worked by a seeded user (session_model.h). After every action the engine's
// state, the status line and its band, every F7 panel and every field must
// be what the model says, and no GDI object or device context may outlive
// the paint or F7 that made it. A failure names the seed and the step.
#include <gtest/gtest.h>
#include <windows.h>
// The common controls need the Windows types first.
#include <commctrl.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "app/app_win.h"
#include "app/texts.h"
#include "display/display.h"
#include "tests/app/session_model.h"
#include "tests/app/ui_script_win.h"
#include "tests/display/canvas_win.h"

namespace {

// ---------------------------------------------------------------------------
// Counting GDI objects: the program's calls go through this program's import
// table, which is pointed at counting wrappers. Wine 8 does not implement
// GetGuiResources.

struct Ledger {
    bool on = false;
    std::set<HGDIOBJ> live;  // made while counting and not yet deleted
    std::set<HGDIOBJ> seen;
    int failedDeletes = 0;
    int openDCs = 0;  // GetDC and BeginPaint less ReleaseDC and EndPaint
} ledger;

template <typename F>
F* original;

HGDIOBJ made(HGDIOBJ object) {
    if (ledger.on && object != nullptr) ledger.live.insert(object), ledger.seen.insert(object);
    return object;
}

HFONT WINAPI countFont(const LOGFONTA* f) {
    return static_cast<HFONT>(made(original<decltype(CreateFontIndirectA)>(f)));
}
HPEN WINAPI countPen(int style, int width, COLORREF c) {
    return static_cast<HPEN>(made(original<decltype(CreatePen)>(style, width, c)));
}
HBRUSH WINAPI countBrush(COLORREF c) {
    return static_cast<HBRUSH>(made(original<decltype(CreateSolidBrush)>(c)));
}
BOOL WINAPI countDelete(HGDIOBJ object) {
    const BOOL deleted = original<decltype(DeleteObject)>(object);
    if (ledger.on && ledger.live.erase(object) == 1 && !deleted) ++ledger.failedDeletes;
    return deleted;
}
HDC WINAPI countGetDC(HWND w) {
    ledger.openDCs += ledger.on;
    return original<decltype(GetDC)>(w);
}
int WINAPI countReleaseDC(HWND w, HDC dc) {
    ledger.openDCs -= ledger.on;
    return original<decltype(ReleaseDC)>(w, dc);
}
HDC WINAPI countBeginPaint(HWND w, PAINTSTRUCT* p) {
    ledger.openDCs += ledger.on;
    return original<decltype(BeginPaint)>(w, p);
}
BOOL WINAPI countEndPaint(HWND w, const PAINTSTRUCT* p) {
    ledger.openDCs -= ledger.on;
    return original<decltype(EndPaint)>(w, p);
}

// Points this program's import of `dll`!`name` at `hook`.
template <typename F>
bool hook(const char* dll, const char* name, F* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; d->Name != 0; ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), name) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            original<F> = reinterpret_cast<F*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<decltype(slots->u1.Function)>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// The user at the window.

constexpr COLORREF lightBlue = RGB(128, 128, 255);
constexpr WORD menuIds[7] = {IDM_F1, IDM_F2, IDM_F3, IDM_F4, IDM_F5, IDM_F6, IDM_F7};
constexpr WORD buttonIds[7] = {IDT_F1, IDT_F2, IDT_F3, IDT_F4, IDT_F5, IDT_F6, IDT_F7};

std::string fieldText(HWND dialog, int id) {
    std::string text(GetWindowTextLengthA(GetDlgItem(dialog, id)) + 1, '\0');
    text.resize(GetDlgItemTextA(dialog, id, &text[0], static_cast<int>(text.size())));
    return text;
}

// The longest static text of a message box is its message.
std::string messageText(HWND box) {
    std::string longest;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        const std::string text = ui::windowText(child);
        if (lstrcmpiA(className, "Static") == 0 && text.size() > longest.size()) longest = text;
    }
    return longest;
}

void close(HWND d, session::Close how) {
    switch (how) {
        case session::Close::okButton:
            return ui::click(d, IDOK);
        case session::Close::enter:
            return ui::press(d, VK_RETURN);
        case session::Close::cancelButton:
            return ui::click(d, IDCANCEL);
        case session::Close::escape:
            return ui::press(d, VK_ESCAPE);
        case session::Close::closeBox:
            return ui::closeBox(d);
    }
}

// The windows the action must open, worked as the action says; what the
// fields hold and what the boxes say goes into `seen`.
std::vector<ui::Step> userSteps(const session::Action& a, const session::Outcome& expected,
                                std::vector<std::pair<int, std::string>>& fields,
                                std::string& message) {
    std::vector<ui::Step> steps;
    for (const session::DialogWork& w : a.dialogs) {
        const char* title = session::dialogTitles[w.dialog];
        for (session::Close ignored : w.ignored) {
            steps.push_back({title, [ignored](HWND d) { close(d, ignored); }});
        }
        steps.push_back({title, [&w, &fields](HWND d) {
                             for (int id : w.clicks) ui::click(d, id);
                             for (const auto& [id, text] : w.typed) ui::type(d, id, text.c_str());
                             for (int id : w.fields) fields.emplace_back(id, fieldText(d, id));
                             close(d, w.close);
                         }});
    }
    const bool box = a.command == session::Command::info ||
                     a.command == session::Command::exitQuestion || expected.refusal != refusalNone;
    if (box) {
        // Info is confirmed, the exit question answered "Abbruch".
        const bool cancel = a.command == session::Command::exitQuestion;
        steps.push_back({appName, [cancel, &message](HWND d) {
                             message = messageText(d);
                             ui::click(d, cancel ? IDCANCEL : IDOK);
                         }});
    }
    return steps;
}

class Session : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(hook("gdi32.dll", "CreateFontIndirectA", countFont));
        ASSERT_TRUE(hook("gdi32.dll", "CreatePen", countPen));
        ASSERT_TRUE(hook("gdi32.dll", "CreateSolidBrush", countBrush));
        ASSERT_TRUE(hook("gdi32.dll", "DeleteObject", countDelete));
        ASSERT_TRUE(hook("user32.dll", "GetDC", countGetDC));
        ASSERT_TRUE(hook("user32.dll", "ReleaseDC", countReleaseDC));
        ASSERT_TRUE(hook("user32.dll", "BeginPaint", countBeginPaint));
        ASSERT_TRUE(hook("user32.dll", "EndPaint", countEndPaint));
        appInstance = GetModuleHandleA(nullptr);
        registerMainClass(appInstance);
        InitCommonControls();
        accelTable = LoadAcceleratorsA(appInstance, "VELMORA");
    }

    // As the program starts: every global at its start value, a new window.
    static void start() {
        if (mainWindow != nullptr) DestroyWindow(mainWindow);
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        resetEngineState();
        lineText[0] = '\0';
        lineLength = 0;
        clientWidth = 305;
        clientHeight = 185;
        ledger.on = true;
        mainWindow = createMainWindow(appInstance);
        ShowWindow(mainWindow, SW_SHOWNORMAL);
        UpdateWindow(mainWindow);
        ledger.on = false;
    }

    static void send(const session::Action& a) {
        const int i = static_cast<int>(a.command);
        if (a.command == session::Command::info) {
            SendMessageA(mainWindow, WM_COMMAND, IDM_INFO, 0);
        } else if (a.command == session::Command::exitQuestion) {
            SendMessageA(mainWindow, WM_COMMAND, IDM_EXIT, 0);
        } else if (a.source == session::Source::key) {
            // As the message loop passes the key to the accelerator table.
            MSG key = {mainWindow, WM_KEYDOWN, static_cast<WPARAM>(VK_F1 + i), 1, 0, {}};
            ASSERT_TRUE(TranslateAcceleratorA(mainWindow, accelTable, &key)) << "F" << i + 1;
        } else {
            const WORD id = a.source == session::Source::menu ? menuIds[i] : buttonIds[i];
            SendMessageA(mainWindow, WM_COMMAND, id, 0);
        }
    }

    // The client area as the window shows it now.
    static std::unique_ptr<Canvas> shown() {
        RECT client = {};
        GetClientRect(mainWindow, &client);
        auto canvas = std::make_unique<Canvas>(client.right, client.bottom, 0);
        HDC dc = GetDC(mainWindow);
        canvas->copyFrom(dc, 0, 0);
        ReleaseDC(mainWindow, dc);
        return canvas;
    }

    // Everything the window must show and hold after the action.
    static std::string check(const session::Outcome& expected,
                             const std::vector<std::pair<int, std::string>>& fields,
                             const std::string& message) {
        std::string d = session::difference(saveEngineState(), expected.after);
        if (!d.empty()) return "engine state: " + d;
        if (fields != expected.fields) return "a field does not hold what was shown and typed";
        if (expected.refusal != refusalNone && message != refusalText(expected.refusal)) {
            return "refusal message: " + message;
        }
        RECT client = {};
        GetClientRect(mainWindow, &client);
        if (!expected.panel.empty()) {
            const std::unique_ptr<Canvas> panel = shown();
            const RECT area = {0, panelTop, client.right, client.bottom};
            for (int i = 0; i < 4; ++i) {
                if (textMismatch(*panel, resultX, resultY[i], panelHeightTenths, orange, orange,
                                 expected.panel[i], area) != 0) {
                    return "the panel does not show \"" + expected.panel[i] + "\"";
                }
            }
        }
        ledger.on = true;
        UpdateWindow(mainWindow);
        ledger.on = false;
        if (std::string(lineText, lineLength) != expected.status) {
            return "status line \"" + std::string(lineText, lineLength) + "\", expected \"" +
                   expected.status + "\"";
        }
        EngineState repainted = expected.after;
        repainted.definedFlags = DefinedFlags{};
        d = session::difference(saveEngineState(), repainted);
        if (!d.empty()) return "after the repaint: " + d;
        if (expected.repaint) {
            const COLORREF band = expected.after.solvedFlag ? orange : yellow;
            if (textMismatch(*shown(), statusX, statusY, statusHeightTenths, band, lightBlue,
                             expected.status) != 0) {
                return "the status line is not \"" + expected.status + "\" on its band";
            }
        }
        if (!ledger.live.empty() || ledger.failedDeletes != 0 || ledger.openDCs != 0) {
            return std::to_string(ledger.live.size()) + " GDI objects and " +
                   std::to_string(ledger.openDCs) + " device contexts outlived their paint";
        }
        return "";
    }
};

TEST_F(Session, ThousandsOfUserActionsAgreeWithTheModel) {
    const uint32_t seed = session::seed();
    const int steps = session::steps();
    std::printf("session: seed %u, %d actions\n", seed, steps);
    const auto begin = std::chrono::steady_clock::now();
    start();
    session::Model model(seed);
    int step = 0;
    for (; step < steps; ++step) {
        const session::Action a = model.next();
        const session::Outcome expected = model.apply(a);
        std::vector<std::pair<int, std::string>> fields;
        std::string message;
        std::string failure;
        if (a.command == session::Command::restart) {
            start();
        } else {
            ui::Script user(userSteps(a, expected, fields, message));
            ledger.on = true;
            send(a);
            ledger.on = false;
            if (!user.done() || !user.failures().empty()) failure = "windows: " + user.report();
        }
        if (failure.empty()) failure = check(expected, fields, message);
        if (!failure.empty()) {
            ADD_FAILURE() << "seed " << seed << ", step " << step + 1 << " ("
                          << static_cast<int>(a.command) << "): " << failure;
            break;
        }
    }
    EXPECT_EQ(step, steps);
    DestroyWindow(mainWindow);
    int alive = 0;
    for (HGDIOBJ object : ledger.seen) alive += GetObjectType(object) != 0;
    EXPECT_GT(ledger.seen.size(), 0u);
    EXPECT_EQ(alive, 0) << "of " << ledger.seen.size() << " GDI objects the session made";
    std::printf("session: %d actions in %.1f s, %zu GDI objects made and deleted\n", step,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count(),
                ledger.seen.size());
}

}  // namespace
