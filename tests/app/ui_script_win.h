// Works the program's modal dialogs and message boxes as a user would, from a
// thread timer that fires inside their modal loops: it waits for a window of
// a given title, then clicks, types or presses keys in it. A step that does
// not come within its time is recorded as a failure and whatever dialog is
// open is closed, so that no test can hang.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

struct Step {
    // Title of the dialog or message box to wait for; empty: no window, the
    // step runs at the next tick on the main window's side.
    std::string title;
    std::function<void(HWND)> work;
};

inline std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline std::string itemText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

inline BOOL CALLBACK findDialog(HWND window, LPARAM found) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The topmost enabled dialog or message box of this thread, if any.
inline HWND openDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// What a user does inside a dialog.
inline void click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline void type(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }
// A key pressed in the control that has the focus, through the dialog's own
// message loop (Enter is OK, Escape is Cancel).
inline void press(HWND dialog, WPARAM key) {
    HWND focus = GetFocus();
    if (focus == nullptr || (focus != dialog && !IsChild(dialog, focus))) focus = dialog;
    PostMessageA(focus, WM_KEYDOWN, key, 1);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}
inline void closeBox(HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }

class Script {
public:
    explicit Script(std::vector<Step> steps, int ticksPerStep = 300)
        : steps_(std::move(steps)), ticksPerStep_(ticksPerStep) {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 15, tick);
    }
    ~Script() {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    bool done() const { return next_ == steps_.size(); }
    const std::vector<std::string>& failures() const { return failures_; }
    std::string report() const {
        std::string text;
        for (const std::string& f : failures_) text += f + "\n";
        if (!done()) text += "stopped before step " + std::to_string(next_ + 1) + "\n";
        return text;
    }
    // Titles of the windows met, in order, whether expected or not.
    const std::vector<std::string>& seen() const { return seen_; }

    // Pumps this thread's messages until the script has run or failed.
    void pumpUntilDone() {
        MSG message;
        while (!done() && !stopped_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

private:
    static Script*& current() {
        static Script* script = nullptr;
        return script;
    }

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        Script* self = current();
        if (self == nullptr || self->busy_) return;
        self->busy_ = true;
        self->step();
        self->busy_ = false;
    }

    void step() {
        HWND dialog = openDialog();
        if (stopped_ || done()) {
            if (dialog != nullptr) rescue(dialog, "a window nobody expected");
            return;
        }
        Step& s = steps_[next_];
        if (s.title.empty()) {
            if (dialog != nullptr) {
                rescue(dialog, "a window before step " + std::to_string(next_ + 1));
                return;
            }
            ++next_;
            waited_ = 0;
            s.work(nullptr);
            return;
        }
        if (dialog != nullptr) {
            const std::string title = windowText(dialog);
            if (title == s.title) {
                seen_.push_back(title);
                ++next_;
                waited_ = 0;
                s.work(dialog);
                return;
            }
            rescue(dialog, "expected \"" + s.title + "\"");
            return;
        }
        if (++waited_ > ticksPerStep_) {
            failures_.push_back("timed out waiting for \"" + s.title + "\"");
            stopped_ = true;
        }
    }

    // Records the stray window and closes it: Cancel first, then OK for the
    // dialogs that have no Cancel.
    void rescue(HWND dialog, const std::string& why) {
        const std::string title = windowText(dialog);
        if (rescued_ != dialog) {
            seen_.push_back(title);
            failures_.push_back("unexpected \"" + title + "\" (" + why + ")");
            stopped_ = true;
            rescued_ = dialog;
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        } else {
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
    }

    std::vector<Step> steps_;
    int ticksPerStep_;
    size_t next_ = 0;
    int waited_ = 0;
    bool busy_ = false;
    bool stopped_ = false;
    HWND rescued_ = nullptr;
    UINT_PTR timer_ = 0;
    std::vector<std::string> failures_;
    std::vector<std::string> seen_;
};

}  // namespace ui
