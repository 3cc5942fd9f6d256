// The end-to-end tests' eyes: a Win32 program run in the same Wine session as
// velmora.exe. It finds the program's windows, tells where controls and
// toolbar buttons are on the screen, and reads what the program drew by
// copying the screen's pixels and comparing them with the expected lines
// rendered in the same font. It never sends the program input; the driver
// types and clicks from outside, as a user does.
//
// Commands, one per line on standard input; each answers one line starting
// with "ok" or "fail":
//   find                                  the main window: client origin and size
//   wait-dialog TITLE                     a dialog or message box is up
//   wait-gone TITLE                       it has gone
//   control TITLE ID                      screen centre of a control of a dialog
//   checked TITLE ID                      is the check box or radio button checked?
//   absent TITLE                          no such dialog is open now
//   message TITLE                         the message text of a message box
//   owner TITLE                           is the box owned by the main window?
//   button I                              screen centre of toolbar button I (0..6)
//   text X Y TENTHS BAND BACKGROUND TEXT  the client area shows TEXT there
//   results W PSI M Q                     the orange panel with the four lines
//   no-panel                              no orange below the toolbar
//   normal                                the main window is neither minimised nor maximised
//   exited                                the main window is gone
// Colours: yellow, orange, blue. Waiting commands give up after a while, so
// a missing window fails the test instead of hanging it.
#include <windows.h>
// The common controls need the Windows types first.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_win.h"
#include "tests/display/canvas_win.h"

namespace {

constexpr DWORD patience = 15000;  // ms a waiting command waits at most
constexpr COLORREF blueColour = RGB(128, 128, 255);
constexpr COLORREF yellowColour = RGB(255, 255, 0);
constexpr COLORREF orangeColour = RGB(255, 128, 0);

HWND program = nullptr;

void reply(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

// Polls `check` until it returns true or the patience runs out.
template <typename Check>
bool waitFor(Check check) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (check()) return true;
        if (GetTickCount() - start > patience) return false;
        Sleep(50);
    }
}

HWND dialogNamed(const std::string& title) {
    HWND window = FindWindowA("#32770", title.c_str());
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

COLORREF colourNamed(const std::string& name) {
    if (name == "yellow") return yellowColour;
    if (name == "orange") return orangeColour;
    return blueColour;
}

RECT clientOnScreen() {
    RECT client = {};
    GetClientRect(program, &client);
    POINT origin = {0, 0};
    ClientToScreen(program, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

// The client area as it is on the screen now, not as the program would
// repaint it: the result panel exists only on the screen.
void grabClient(Canvas& canvas) {
    const RECT client = clientOnScreen();
    HDC screen = GetDC(nullptr);
    canvas.copyFrom(screen, client.left, client.top);
    ReleaseDC(nullptr, screen);
}

std::string centreOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return "ok " + std::to_string((r.left + r.right) / 2) + " " +
           std::to_string((r.top + r.bottom) / 2);
}

// Splits off the first blank-separated word of `rest`.
std::string word(std::string& rest) {
    const size_t end = rest.find(' ');
    std::string first = rest.substr(0, end);
    rest = end == std::string::npos ? "" : rest.substr(end + 1);
    return first;
}

void find() {
    const bool found = waitFor([] {
        program = FindWindowA("VELMORA", "VELMORA-Reduktionsverfahren");
        return program != nullptr && IsWindowVisible(program);
    });
    if (!found) return reply("fail no main window");
    const RECT client = clientOnScreen();
    reply("ok " + std::to_string(client.left) + " " + std::to_string(client.top) + " " +
          std::to_string(client.right - client.left) + " " +
          std::to_string(client.bottom - client.top));
}

// The toolbar buttons' places, asked of a toolbar made exactly as the program
// makes its own, inside a hidden window of this process.
void button(int index) {
    static HWND twin = nullptr;
    if (twin == nullptr) {
        InitCommonControls();
        HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        windowInstance = GetModuleHandleA(nullptr);
        twin = createToolbar(host);
    }
    HWND toolbar = FindWindowExA(program, nullptr, TOOLBARCLASSNAMEA, nullptr);
    RECT item = {};
    if (toolbar == nullptr ||
        !SendMessageA(twin, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item))) {
        return reply("fail no toolbar button " + std::to_string(index));
    }
    POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(toolbar, &centre);
    reply("ok " + std::to_string(centre.x) + " " + std::to_string(centre.y));
}

int textMismatchNow(int x, int y, int tenths, COLORREF band, COLORREF background,
                    const std::string& text, const RECT& within) {
    const RECT client = clientOnScreen();
    Canvas drawn(client.right - client.left, client.bottom - client.top, 0);
    grabClient(drawn);
    return textMismatch(drawn, x, y, tenths, band, background, text, within);
}

std::string describe(int mismatch, const std::string& text) {
    if (mismatch < 0) return "the font draws nothing for \"" + text + "\"";
    return std::to_string(mismatch) + " pixels differ from \"" + text + "\"";
}

void text(std::string rest) {
    const int x = std::atoi(word(rest).c_str());
    const int y = std::atoi(word(rest).c_str());
    const int tenths = std::atoi(word(rest).c_str());
    const COLORREF band = colourNamed(word(rest));
    const COLORREF background = colourNamed(word(rest));
    int mismatch = 0;
    const bool same = waitFor([&] {
        mismatch = textMismatchNow(x, y, tenths, band, background, rest, RECT{});
        return mismatch == 0;
    });
    reply(same ? "ok" : "fail " + describe(mismatch, rest));
}

void results(std::string rest) {
    const char* names[4] = {"w  = ", "psi= ", "M  = ", "Q  = "};
    std::string lines[4];
    for (int i = 0; i < 4; ++i) lines[i] = names[i] + word(rest);
    std::string failure;
    const bool same = waitFor([&] {
        const RECT client = clientOnScreen();
        const int width = client.right - client.left;
        const int height = client.bottom - client.top;
        Canvas drawn(width, height, 0);
        grabClient(drawn);
        const RECT panel = {0, 45, width, height};
        // The panel: orange to the corner of the client area.
        if (drawn.count(orangeColour, 0, height - 4, width, height) != 4 * width) {
            failure = "no orange panel down to the corner";
            return false;
        }
        for (int i = 0; i < 4; ++i) {
            const int n = textMismatch(drawn, 10, 50 + 20 * i, 140, orangeColour, orangeColour,
                                       lines[i], panel);
            if (n != 0) {
                failure = describe(n, lines[i]);
                return false;
            }
        }
        return true;
    });
    reply(same ? "ok" : "fail " + failure);
}

void noPanel() {
    const RECT client = clientOnScreen();
    Canvas drawn(client.right - client.left, client.bottom - client.top, 0);
    grabClient(drawn);
    const int orange = drawn.count(orangeColour, 0, 45, drawn.width(), drawn.height());
    const int band = drawn.count(orangeColour, 0, 80, drawn.width(), 100);
    reply(orange == band ? "ok" : "fail " + std::to_string(orange - band) + " orange pixels");
}

void run(std::string line) {
    const std::string command = word(line);
    if (command == "find") return find();
    if (command == "wait-dialog") {
        HWND dialog = nullptr;
        const bool up = waitFor([&] {
            dialog = dialogNamed(line);
            return dialog != nullptr && IsWindowEnabled(dialog);
        });
        return reply(up ? "ok" : "fail no window \"" + line + "\"");
    }
    if (command == "wait-gone") {
        return reply(waitFor([&] { return dialogNamed(line) == nullptr; })
                         ? "ok"
                         : "fail still open: \"" + line + "\"");
    }
    if (command == "control") {
        const int id = std::atoi(word(line).c_str());
        HWND dialog = dialogNamed(line);
        HWND control = dialog ? GetDlgItem(dialog, id) : nullptr;
        return reply(control ? centreOf(control) : "fail no control " + std::to_string(id));
    }
    if (command == "checked") {
        const int id = std::atoi(word(line).c_str());
        HWND dialog = dialogNamed(line);
        if (dialog == nullptr) return reply("fail no dialog \"" + line + "\"");
        return reply(IsDlgButtonChecked(dialog, id) == BST_CHECKED ? "ok 1" : "ok 0");
    }
    if (command == "absent") {
        return reply(dialogNamed(line) == nullptr ? "ok" : "fail open: \"" + line + "\"");
    }
    if (command == "message" || command == "owner") {
        HWND box = dialogNamed(line);
        if (box == nullptr) return reply("fail no box \"" + line + "\"");
        if (command == "owner") {
            return reply(GetWindow(box, GW_OWNER) == program ? "ok" : "fail other owner");
        }
        std::string longest;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char className[16] = {};
            char text[1024] = {};
            GetClassNameA(child, className, sizeof className);
            GetWindowTextA(child, text, sizeof text);
            if (lstrcmpiA(className, "Static") == 0 && std::strlen(text) > longest.size()) {
                longest = text;
            }
        }
        for (char& c : longest) c = c == '\n' ? '|' : c;
        return reply("ok " + longest);
    }
    if (command == "button") return button(std::atoi(line.c_str()));
    if (command == "text") return text(line);
    if (command == "results") return results(line);
    if (command == "no-panel") return noPanel();
    if (command == "normal") {
        return reply(!IsIconic(program) && !IsZoomed(program) ? "ok" : "fail not normal");
    }
    if (command == "exited") {
        return reply(waitFor([] { return !IsWindow(program); }) ? "ok" : "fail still running");
    }
    reply("fail unknown command " + command);
}

}  // namespace

int main() {
    char line[1024];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (text == "quit") break;
        run(text);
    }
    return 0;
}
