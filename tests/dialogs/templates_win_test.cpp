// The eight dialog templates as this program carries them: the bytes of each
// DLGTEMPLATE resource (styles, rectangles, ids, classes, texts, font), and
// each dialog as the dialog manager builds it from them (titles and texts as
// GetWindowTextA gives their bytes, classes, tab order, first focus, size).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/dialogs_win.h"
#include "engine/engine.h"
#include "tests/dialogs/dialog_harness_win.h"

namespace {

enum class Kind { groupBox, radio, checkBox, field, label, ok, cancel };

struct Expected {
    int id;
    Kind kind;
    const char* text;  // Windows-1252 bytes
    short x, y, cx, cy;
};

struct ExpectedDialog {
    const char* name;  // as the program requests it
    DLGPROC proc;
    const char* title;
    short cx, cy;
    int firstFocus;
    std::vector<Expected> controls;  // in template order
};

const std::vector<ExpectedDialog>& dialogs() {
    using K = Kind;
    static const std::vector<ExpectedDialog> all = {
        {"Dlg_F1",
         leftEndDlgProc,
         "linkes Tr\xe4gerende",
         95,
         90,
         1,
         {{-1, K::groupBox, "Lagerart", 6, 5, 85, 60},
          {310, K::radio, "gelenkiges Lager", 10, 20, 80, 10},
          {320, K::radio, "freies Ende", 10, 35, 80, 10},
          {330, K::radio, "Einspannung", 10, 50, 80, 10},
          {1, K::ok, "OK", 5, 70, 40, 14},
          {2, K::cancel, "Abbruch", 50, 70, 40, 14}}},
        {"Dlg_F2",
         springDlgProc,
         "elastisches Lager",
         100,
         60,
         350,
         {{340, K::label, "Federsteifigkeit c:", 20, 5, 70, 8},
          {350, K::field, "0", 5, 20, 85, 12},
          {1, K::ok, "OK", 5, 40, 40, 14},
          {2, K::cancel, "Abbruch", 55, 40, 40, 14}}},
        {"Dlg_F3",
         beamSectionDlgProc,
         "Tr\xe4gerabschnitt",
         200,
         110,
         450,
         {{-1, K::label, "L\xe4nge l", 10, 5, 60, 14},
          {450, K::field, "", 115, 5, 80, 12},
          {-1, K::label, "Biegesteifigkeit EI", 10, 20, 81, 13},
          {410, K::field, "", 115, 20, 80, 12},
          {420, K::checkBox, "Streckenlast ja/nein ?", 10, 40, 107, 12},
          {-1, K::label, "Streckenlast q", 10, 55, 64, 13},
          {430, K::field, "", 115, 55, 80, 12},
          {-1, K::label, "Steigung der Streckenlast qs", 10, 70, 104, 14},
          {440, K::field, "", 115, 70, 80, 12},
          {1, K::ok, "OK", 20, 90, 40, 14},
          {2, K::cancel, "Abbruch", 70, 90, 40, 14}}},
        {"Dlg_F4",
         pointLoadDlgProc,
         "Einzellast",
         150,
         125,
         400,
         {{-1, K::groupBox, "Lastart", 5, 5, 140, 75},
          {360, K::radio, "Kraft", 10, 20, 130, 10},
          {370, K::radio, "Moment", 10, 35, 115, 10},
          {380, K::radio, "Winkel", 10, 50, 105, 10},
          {390, K::radio, "Absenkung", 10, 65, 105, 10},
          {-1, K::label, "Wert der Last:", 5, 85, 70, 8},
          {400, K::field, "0", 60, 85, 85, 12},
          {1, K::ok, "OK", 15, 105, 40, 14},
          {2, K::cancel, "Abbruch", 95, 105, 40, 14}}},
        {"Dlg_F5",
         shaftSectionDlgProc,
         "Wellenabschnitt",
         200,
         125,
         450,
         {{-1, K::label, "L\xe4nge l", 10, 5, 60, 14},
          {450, K::field, "", 115, 5, 80, 12},
          {-1, K::label, "E-Modul E", 10, 20, 81, 13},
          {460, K::field, "", 115, 20, 80, 12},
          {-1, K::label, "Durchmesser d", 10, 35, 81, 13},
          {470, K::field, "", 115, 35, 80, 12},
          {420, K::checkBox, "Streckenlast ja/nein ?", 10, 55, 107, 12},
          {-1, K::label, "Streckenlast q", 10, 70, 64, 13},
          {430, K::field, "", 115, 70, 80, 12},
          {-1, K::label, "Steigung der Streckenlast qs", 10, 85, 104, 14},
          {440, K::field, "", 115, 85, 80, 12},
          {1, K::ok, "OK", 20, 105, 40, 14},
          {2, K::cancel, "Abbruch", 70, 105, 40, 14}}},
        {"Dlg_F61",
         conditionKindDlgProc,
         "Zwischenbed./rechtes Tr\xe4gerende",
         130,
         75,
         1,
         {{-1, K::groupBox, "Zwischenbed./rechtes Tr\xe4gerende", 5, 5, 120, 45},
          {480, K::radio, "Zwischenbedingung", 10, 20, 100, 10},
          {490, K::radio, "rechtes Tr\xe4gerende", 10, 35, 100, 10},
          {1, K::ok, "OK", 45, 55, 40, 14}}},
        {"Dlg_F62",
         intermediateDlgProc,
         "Zwischenbedingung",
         130,
         75,
         1,
         {{-1, K::groupBox, "Zwischenbedingung", 5, 5, 120, 45},
          {500, K::radio, "gelenkiges Lager", 10, 20, 100, 10},
          {510, K::radio, "Gelenk", 10, 35, 100, 10},
          {1, K::ok, "OK", 20, 55, 40, 14},
          {2, K::cancel, "Abbruch", 70, 55, 40, 14}}},
        {"Dlg_F63",
         rightEndDlgProc,
         "rechtes Tr\xe4gerende",
         350,
         90,
         550,
         {{-1, K::groupBox, "rechtes Tr\xe4gerende", 5, 5, 340, 60},
          {520, K::radio, "gelenkiges Lager", 10, 20, 70, 10},
          {530, K::radio, "freies Ende", 10, 35, 70, 10},
          {540, K::radio, "Einspannung", 10, 50, 70, 10},
          {-1, K::label, "M: 0 oder Wert:", 95, 20, 90, 8},
          {550, K::field, "0", 150, 20, 60, 12},
          {-1, K::label, "M: 0 oder Wert:", 95, 35, 90, 8},
          {560, K::field, "0", 150, 35, 60, 12},
          {-1, K::label, "Q: 0 oder Wert:", 220, 35, 90, 8},
          {570, K::field, "0", 275, 35, 60, 12},
          {1, K::ok, "OK", 10, 70, 40, 14},
          {2, K::cancel, "Abbruch", 95, 70, 40, 14}}},
    };
    return all;
}

const char* className(Kind k) {
    switch (k) {
        case Kind::field:
            return "edit";
        case Kind::label:
            return "static";
        default:
            return "button";
    }
}

// Class ordinals of a DLGTEMPLATE item.
WORD classOrdinal(Kind k) {
    switch (k) {
        case Kind::field:
            return 0x0081;
        case Kind::label:
            return 0x0082;
        default:
            return 0x0080;
    }
}

DWORD styleOf(Kind k) {
    const DWORD base = WS_CHILD | WS_VISIBLE;
    switch (k) {
        case Kind::groupBox:
            return base | BS_GROUPBOX;
        case Kind::radio:
            return base | BS_AUTORADIOBUTTON;
        case Kind::checkBox:
            return base | BS_AUTOCHECKBOX | WS_TABSTOP;
        case Kind::field:
            return base | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
        case Kind::label:
            return base | SS_LEFT;
        case Kind::ok:
            return base | BS_DEFPUSHBUTTON | WS_TABSTOP;
        case Kind::cancel:
            return base | BS_PUSHBUTTON | WS_TABSTOP;
    }
    return 0;
}

// Reads a DLGTEMPLATE (not the extended form) as the resource holds it.
struct TemplateReader {
    const BYTE* p;
    WORD word() {
        WORD w;
        memcpy(&w, p, 2);
        p += 2;
        return w;
    }
    DWORD dword() {
        DWORD d;
        memcpy(&d, p, 4);
        p += 4;
        return d;
    }
    short coordinate() { return static_cast<short>(word()); }
    // A zero-terminated UTF-16 string, returned as Windows-1252 bytes.
    std::string text() {
        std::wstring w;
        for (WORD c; (c = word()) != 0;) w += static_cast<wchar_t>(c);
        char bytes[256] = "";
        WideCharToMultiByte(1252, 0, w.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
        return bytes;
    }
    // Either 0xFFFF and an ordinal, or a string; ordinals come back as "#n".
    std::string nameOrOrdinal() {
        WORD first;
        memcpy(&first, p, 2);
        if (first == 0xFFFF) {
            word();
            return "#" + std::to_string(word());
        }
        return text();
    }
    void alignToDword(const BYTE* start) {
        while ((p - start) % 4) ++p;
    }
};

std::string hexBytes(const std::string& s) {
    std::string out;
    char b[4];
    for (unsigned char c : s) {
        snprintf(b, sizeof b, "%02x ", c);
        out += b;
    }
    return out;
}

TEST(Templates, ResourceBytesAreAsDesigned) {
    for (const ExpectedDialog& d : dialogs()) {
        SCOPED_TRACE(d.name);
        HRSRC found = FindResourceA(GetModuleHandleA(nullptr), d.name, RT_DIALOG);
        ASSERT_TRUE(found) << "found under its mixed-case name";
        const BYTE* start =
            static_cast<const BYTE*>(LockResource(LoadResource(GetModuleHandleA(nullptr), found)));
        TemplateReader r{start};
        EXPECT_EQ(r.dword(), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_VISIBLE |
                                                DS_MODALFRAME | DS_SETFONT))
            << "dialog style";
        EXPECT_EQ(r.dword(), 0u) << "extended style";
        const WORD count = r.word();
        EXPECT_EQ(count, d.controls.size());
        EXPECT_EQ(r.coordinate(), 80);
        EXPECT_EQ(r.coordinate(), 40);
        EXPECT_EQ(r.coordinate(), d.cx);
        EXPECT_EQ(r.coordinate(), d.cy);
        EXPECT_EQ(r.nameOrOrdinal(), "") << "no menu";
        EXPECT_EQ(r.nameOrOrdinal(), "") << "no window class of its own";
        const std::string title = r.text();
        EXPECT_EQ(title, d.title) << hexBytes(title);
        EXPECT_EQ(r.word(), 10) << "points";
        EXPECT_EQ(r.text(), "Arial");
        for (size_t i = 0; i < count && i < d.controls.size(); ++i) {
            const Expected& e = d.controls[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " id " << e.id);
            r.alignToDword(start);
            EXPECT_EQ(r.dword(), styleOf(e.kind)) << "style";
            EXPECT_EQ(r.dword(), 0u) << "extended style";
            EXPECT_EQ(r.coordinate(), e.x);
            EXPECT_EQ(r.coordinate(), e.y);
            EXPECT_EQ(r.coordinate(), e.cx);
            EXPECT_EQ(r.coordinate(), e.cy);
            EXPECT_EQ(r.word(), static_cast<WORD>(e.id));
            EXPECT_EQ(r.nameOrOrdinal(), "#" + std::to_string(classOrdinal(e.kind)));
            const std::string text = r.nameOrOrdinal();
            EXPECT_EQ(text, e.text) << hexBytes(text);
            EXPECT_EQ(r.word(), 0) << "no creation data";
        }
    }
}

TEST(Templates, TheTextsAreGermanWindows1252) {
    // The title of DLG_F1 reads back as the bytes of "linkes Trägerende".
    const std::string want = {'l',    'i', 'n', 'k', 'e', 's', ' ', 'T', 'r',
                              '\xe4', 'g', 'e', 'r', 'e', 'n', 'd', 'e'};
    resetEngineState();
    const std::vector<UserStep> steps = {look(), pressEscape()};
    const DialogRun run = runDialog("Dlg_F1", leftEndDlgProc, steps);
    ASSERT_EQ(run.views.size(), 1u);
    EXPECT_EQ(run.views[0].title, want) << hexBytes(run.views[0].title);
}

TEST(Templates, DialogsAsTheDialogManagerBuildsThem) {
    for (const ExpectedDialog& d : dialogs()) {
        SCOPED_TRACE(d.name);
        resetEngineState();
        const bool cancellable = d.controls.back().kind == Kind::cancel;
        const std::vector<UserStep> steps = {look(), cancellable ? pressEscape() : click(1)};
        const DialogRun run = runDialog(d.name, d.proc, steps);
        EXPECT_DIALOG_ENDED(run, steps);
        ASSERT_EQ(run.views.size(), 1u);
        const DialogView& v = run.views[0];

        EXPECT_EQ(v.title, d.title) << hexBytes(v.title);
        EXPECT_EQ(v.fontFace, "Arial");
        EXPECT_EQ(v.focusId, d.firstFocus) << "the first tab stop has the focus";
        ASSERT_EQ(v.controls.size(), d.controls.size());
        for (size_t i = 0; i < d.controls.size(); ++i) {
            const Expected& e = d.controls[i];
            const ControlView& c = v.controls[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " id " << e.id);
            EXPECT_EQ(c.id, static_cast<WORD>(e.id));
            EXPECT_EQ(lstrcmpiA(c.className.c_str(), className(e.kind)), 0) << c.className;
            // Fields show their value, all 0 at the start; the rest their text.
            const std::string text = e.kind == Kind::field ? "0" : e.text;
            EXPECT_EQ(c.text, text) << hexBytes(c.text);
            EXPECT_EQ(c.style & WS_GROUP, 0) << "one set of radio buttons per dialog";
            // Checking a radio button makes it a tab stop, the platform's way
            // of letting Tab reach the set at its checked button.
            const bool tabStop = (styleOf(e.kind) & WS_TABSTOP) ||
                                 (e.kind == Kind::radio && c.checked == BST_CHECKED);
            EXPECT_EQ((c.style & WS_TABSTOP) != 0, tabStop);
        }

        // Size of the client area in dialog units of Arial 10.
        RECT size = {0, 0, d.cx, d.cy};
        HWND probe = CreateDialogParamA(GetModuleHandleA(nullptr), d.name, run.owner, nullptr, 0);
        ASSERT_TRUE(probe);
        MapDialogRect(probe, &size);
        RECT origin = {80, 40, 0, 0};
        MapDialogRect(probe, &origin);
        DestroyWindow(probe);
        EXPECT_EQ(v.client.right, size.right);
        EXPECT_EQ(v.client.bottom, size.bottom);
        POINT ownerClient = {0, 0};
        ClientToScreen(run.owner, &ownerClient);
        EXPECT_EQ(v.clientOrigin.x - ownerClient.x, origin.left) << "80 dialog units right";
        EXPECT_EQ(v.clientOrigin.y - ownerClient.y, origin.top) << "40 dialog units down";
    }
}

TEST(Templates, TabOrderIsTemplateOrder) {
    const std::vector<std::pair<const char*, std::vector<int>>> orders = {
        {"Dlg_F3", {450, 410, 420, 430, 440, 1, 2}},
        {"Dlg_F5", {450, 460, 470, 420, 430, 440, 1, 2}},
        {"Dlg_F63", {550, 560, 570, 1, 2}},
        {"Dlg_F1", {1, 2}},
    };
    for (const auto& o : orders) {
        SCOPED_TRACE(o.first);
        HWND dialog =
            CreateDialogParamA(GetModuleHandleA(nullptr), o.first, harnessOwner(), nullptr, 0);
        ASSERT_TRUE(dialog);
        std::vector<int> seen;
        HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
        HWND c = first;
        do {
            seen.push_back(GetDlgCtrlID(c));
            c = GetNextDlgTabItem(dialog, c, FALSE);
        } while (c && c != first && seen.size() < 20);
        DestroyWindow(dialog);
        EXPECT_EQ(seen, o.second);
    }
}

}  // namespace
