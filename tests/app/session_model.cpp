// The session's user and its model of the window.
#include "tests/app/session_model.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <regex>

namespace session {

const char* const dialogTitles[8] = {"linkes Tr\xe4gerende", "elastisches Lager",
                                     "Tr\xe4gerabschnitt",   "Einzellast",
                                     "Wellenabschnitt",      "Zwischenbed./rechtes Tr\xe4gerende",
                                     "Zwischenbedingung",    "rechtes Tr\xe4gerende"};

namespace {

constexpr int f1 = 0, f2 = 1, f3 = 2, f4 = 3, f5 = 4, f61 = 5, f62 = 6, f63 = 7;

const char* const statusTexts[8] = {
    "linkes Tr\xe4gerende definiert", "elastisches Lager definiert",
    "Tr\xe4gerabschnitt definiert",   "Einzellast definiert",
    "Wellenabschnitt definiert",      "",
    "Zwischenbedingung definiert",    "rechtes Tr\xe4gerende definiert"};

std::string shown(double value) {
    char text[80];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// A field's value as OK reads it: its first 29 characters, white space, then
// the longest decimal number at their start; 0 when there is none.
double valueOf(const std::string& field) {
    static const std::regex number(
        "^[ \t\n\v\f\r]*([+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?)");
    std::smatch m;
    const std::string head = field.substr(0, 29);
    return std::regex_search(head, m, number) ? std::atof(m.str(1).c_str()) : 0.0;
}

double* fieldVariable(int id) {
    switch (id) {
        case IDC_SPRING_C:
            return &inputs.springStiffness;
        case IDC_SECTION_LENGTH:
            return &inputs.segLength;
        case IDC_SECTION_EI:
            return &inputs.bendingStiffness;
        case IDC_SECTION_Q:
            return &inputs.lineLoad;
        case IDC_SECTION_QS:
            return &inputs.lineLoadSlope;
        case IDC_LOAD_VALUE:
            return &inputs.pointLoadValue;
        case IDC_SECTION_E:
            return &inputs.youngsModulus;
        case IDC_SECTION_D:
            return &inputs.shaftDiameter;
        case IDC_RIGHT_HINGED_M:
            return &memories.hingedEndMoment;
        case IDC_RIGHT_FREE_M:
            return &memories.freeEndMoment;
        default:
            return &memories.freeEndForce;
    }
}

// The radio buttons' memory, its saved copy and the defined flag of a dialog.
struct Memory {
    int32_t* choice;
    int32_t* saved;
    int32_t* flag;
};

Memory memoryOf(int dialog) {
    ChoiceMemories& m = memories;
    DefinedFlags& d = definedFlags;
    const Memory table[8] = {
        {&m.leftEndChoice, &m.leftEndChoiceSaved, &d.defLeftEnd},
        {nullptr, nullptr, &d.defSpring},
        {nullptr, nullptr, &d.defBeamSection},
        {&m.loadKindChoice, &m.loadKindChoiceSaved, &d.defPointLoad},
        {nullptr, nullptr, &d.defShaftSection},
        {&m.conditionKindChoice, nullptr, nullptr},
        {&m.intermediateChoice, &m.intermediateChoiceSaved, &d.defIntermediate},
        {&m.rightEndChoice, &m.rightEndChoiceSaved, &d.defRightEnd},
    };
    return table[dialog];
}

void (*const operations[8])() = {
    applyLeftEnd,      applySpring, applyBeamSection,           applyPointLoad,
    applyShaftSection, nullptr,     applyIntermediateCondition, applyRightEnd};

uint64_t bitsOf(double x) {
    uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof x);
    return bits;
}

uint64_t bitsOf(int32_t x) { return static_cast<uint32_t>(x); }

int environment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    return static_cast<int>(text != nullptr && *text != '\0' ? std::strtol(text, nullptr, 10)
                                                             : fallback);
}

}  // namespace

uint32_t seed() { return static_cast<uint32_t>(environment("VELMORA_SESSION_SEED", 20240917)); }
int steps() { return environment("VELMORA_SESSION_STEPS", 2000); }

std::string difference(const EngineState& actual, const EngineState& expected) {
    std::string first;
    forEachField(
        [&first](const char* name, auto a, auto e) {
            if (!first.empty() || bitsOf(a) == bitsOf(e) ||
                std::strcmp(name, "engineRefusal") == 0) {
                return;
            }
            char text[160];
            std::snprintf(text, sizeof text, "%s is 0x%llx, expected 0x%llx", name,
                          static_cast<unsigned long long>(bitsOf(a)),
                          static_cast<unsigned long long>(bitsOf(e)));
            first = text;
        },
        actual, expected);
    return first;
}

// ---------------------------------------------------------------------------
// The user.

std::string Model::text() {
    // clang-format off
    static const char* const fixed[] = {
        "0", "1", "2.385", "-1.5", "1000", "", "abc", "kN", "L\xe4nge", "x1", "-", " ",
        "1e400", "-1e400", "1e-400", "1e308", "4.9e-324", "-0", "1e-320", "\t3.25", "\x01" "7",
        "5\x1b", "\x7f" "2", "\x08" "1.5", "4\r\n5", "\n2", "7 kN", "   0.125", "+.5e1x",
        "1.5e3", "2E-2", "1e", ".5", "5.", "-.e3", "0x1A", "inf", "nan", "-INF",
        "1000000000000000000000000000000", "0.000000000000000000000000001234"};
    // clang-format on
    switch (pick(10)) {
        case 0:
        case 1:
        case 2:
        case 3: {  // a number of any precision and size, rarely round
            const double mantissa = std::uniform_real_distribution<double>(1.0, 10.0)(random_);
            char t[64];
            std::snprintf(t, sizeof t, "%s%.*ge%d", pick(4) ? "" : "-", 1 + pick(17), mantissa,
                          pick(9) - 4);
            return t;
        }
        case 4:
            return std::to_string(pick(10)) + "," + std::to_string(pick(100));
        case 5: {  // ten thousand characters
            const char* starts[] = {"1", "2.5", " ", "x"};
            return std::string(starts[pick(4)]) + std::string(9999, "0 9"[pick(3)]);
        }
        default:
            return fixed[pick(static_cast<int>(std::size(fixed)))];
    }
}

DialogWork Model::work(int dialog, std::vector<int> clickable, std::vector<int> fields) {
    static const Close closes[] = {Close::okButton, Close::okButton, Close::okButton,
                                   Close::enter,    Close::enter,    Close::cancelButton,
                                   Close::escape,   Close::closeBox};
    DialogWork w;
    w.dialog = dialog;
    for (int n = clickable.empty() ? 0 : pick(4); n > 0; --n) {
        w.clicks.push_back(clickable[pick(static_cast<int>(clickable.size()))]);
    }
    for (int id : fields) {
        if (pick(2)) w.typed.emplace_back(id, text());
    }
    w.fields = std::move(fields);
    w.close = closes[pick(8)];
    return w;
}

Action Model::next() {
    static const Command commands[] = {
        Command::f1, Command::f1,   Command::f1,          Command::f2, Command::f2, Command::f3,
        Command::f3, Command::f3,   Command::f3,          Command::f4, Command::f4, Command::f5,
        Command::f5, Command::f5,   Command::f6,          Command::f6, Command::f6, Command::f6,
        Command::f6, Command::f6,   Command::f6,          Command::f7, Command::f7, Command::f7,
        Command::f7, Command::info, Command::exitQuestion};
    Action a;
    if (pick(120) == 0) {
        // A fresh start, sometimes followed by many conditions before an F1.
        a.command = Command::restart;
        withoutLeftEnd_ = pick(2) ? 16 : 0;
        return a;
    }
    do {
        a.command = commands[pick(static_cast<int>(std::size(commands)))];
    } while (withoutLeftEnd_ > 0 && a.command == Command::f1);
    if (withoutLeftEnd_ > 0) --withoutLeftEnd_;
    if (a.command <= Command::f7) a.source = static_cast<Source>(pick(3));
    switch (a.command) {
        case Command::f1:
            a.dialogs = {work(f1, {IDC_LEFT_HINGED, IDC_LEFT_FREE, IDC_LEFT_CLAMPED}, {})};
            break;
        case Command::f2:
            a.dialogs = {work(f2, {}, {IDC_SPRING_C})};
            break;
        case Command::f3:
            a.dialogs = {work(f3, {IDC_SECTION_HAS_LOAD},
                              {IDC_SECTION_LENGTH, IDC_SECTION_EI, IDC_SECTION_Q, IDC_SECTION_QS})};
            break;
        case Command::f4:
            a.dialogs = {work(f4,
                              {IDC_LOAD_FORCE, IDC_LOAD_MOMENT, IDC_LOAD_ANGLE, IDC_LOAD_OFFSET},
                              {IDC_LOAD_VALUE})};
            break;
        case Command::f5:
            a.dialogs = {work(
                f5, {IDC_SECTION_HAS_LOAD},
                {IDC_SECTION_LENGTH, IDC_SECTION_E, IDC_SECTION_D, IDC_SECTION_Q, IDC_SECTION_QS})};
            break;
        case Command::f6: {
            // DLG_F61 has no Cancel: Escape and the close box must do nothing.
            DialogWork kind = work(f61, {IDC_KIND_INTERMEDIATE, IDC_KIND_RIGHT_END}, {});
            for (int n = pick(3); n > 0; --n)
                kind.ignored.push_back(pick(2) ? Close::escape : Close::closeBox);
            kind.close = pick(2) ? Close::okButton : Close::enter;
            int32_t chosen = memories.conditionKindChoice;
            if (!kind.clicks.empty()) chosen = kind.clicks.back();
            a.dialogs = {kind,
                         chosen == IDC_KIND_INTERMEDIATE
                             ? work(f62, {IDC_MID_SUPPORT, IDC_MID_HINGE}, {})
                             : work(f63, {IDC_RIGHT_HINGED, IDC_RIGHT_FREE, IDC_RIGHT_CLAMPED},
                                    {IDC_RIGHT_HINGED_M, IDC_RIGHT_FREE_M, IDC_RIGHT_FREE_Q})};
            break;
        }
        default:
            break;
    }
    return a;
}

// ---------------------------------------------------------------------------
// The model: what the dialogs write and what the window then does.

bool Model::runDialog(const DialogWork& w, Outcome& o) {
    const Memory memory = memoryOf(w.dialog);
    const bool section = w.dialog == f3 || w.dialog == f5;
    if (memory.saved) *memory.saved = *memory.choice;
    if (section) memories.hasLineLoadSaved = inputs.hasLineLoad;
    std::map<int, std::string> field;
    for (int id : w.fields) field[id] = shown(*fieldVariable(id));
    for (int id : w.clicks) {
        if (id == IDC_SECTION_HAS_LOAD) {
            inputs.hasLineLoad = 1 - inputs.hasLineLoad;
        } else {
            *memory.choice = id;
        }
    }
    for (const auto& [id, typed] : w.typed) field[id] = typed;
    for (int id : w.fields) o.fields.emplace_back(id, field[id]);
    if (w.close != Close::okButton && w.close != Close::enter) {
        if (memory.saved) *memory.choice = *memory.saved;
        if (section) inputs.hasLineLoad = memories.hasLineLoadSaved;
        if (memory.flag) *memory.flag = 0;
        return false;
    }
    auto value = [&](int id) { return valueOf(field[id]); };
    const int32_t choice = memory.choice ? *memory.choice : 0;
    switch (w.dialog) {
        case f1:
            inputs.selRow1 = choice == IDC_LEFT_FREE ? 1 : choice == IDC_LEFT_CLAMPED ? 3 : 2;
            inputs.selRow2 = choice == IDC_LEFT_FREE ? 2 : 4;
            break;
        case f2:
            inputs.springStiffness = value(IDC_SPRING_C);
            break;
        case f3:
        case f5:
            inputs.segLength = value(IDC_SECTION_LENGTH);
            if (w.dialog == f3) inputs.bendingStiffness = value(IDC_SECTION_EI);
            if (w.dialog == f5) inputs.youngsModulus = value(IDC_SECTION_E);
            if (w.dialog == f5) inputs.shaftDiameter = value(IDC_SECTION_D);
            if (inputs.hasLineLoad == 1) {
                inputs.lineLoad = value(IDC_SECTION_Q);
                inputs.lineLoadSlope = value(IDC_SECTION_QS);
            }
            break;
        case f4:
            inputs.selRow1 = 4 - (choice - IDC_LOAD_FORCE) / 10;
            inputs.pointLoadValue = value(IDC_LOAD_VALUE);
            break;
        case f61:
            inputs.isRightEnd = choice == IDC_KIND_INTERMEDIATE ? 0 : 1;
            break;
        case f62:
            inputs.selRow1 = choice == IDC_MID_HINGE ? 3 : 1;
            inputs.condValue1 = 0.0;
            break;
        case f63:
            inputs.selRow1 = choice == IDC_RIGHT_FREE ? 3 : 1;
            inputs.condValue1 = 0.0;
            inputs.selRow2 = choice == IDC_RIGHT_FREE ? 4 : choice == IDC_RIGHT_CLAMPED ? 2 : 3;
            inputs.condValue2 = 0.0;
            if (choice == IDC_RIGHT_HINGED) {
                inputs.condValue2 = memories.hingedEndMoment = value(IDC_RIGHT_HINGED_M);
            } else if (choice == IDC_RIGHT_FREE) {
                inputs.condValue1 = memories.freeEndMoment = value(IDC_RIGHT_FREE_M);
                inputs.condValue2 = memories.freeEndForce = value(IDC_RIGHT_FREE_Q);
            }
            break;
    }
    if (memory.flag) *memory.flag = 1;
    return true;
}

Outcome Model::apply(const Action& a) {
    const EngineState before = saveEngineState();
    Outcome o;
    switch (a.command) {
        case Command::restart:
            resetEngineState();
            status_.clear();
            break;
        case Command::info:
        case Command::exitQuestion:
            break;
        case Command::f7: {
            evaluateState();
            o.refusal = engineRefusal;
            if (o.refusal != refusalNone) break;
            const char* formats[4] = {"w  = %g", "psi= %g", "M  = %g", "Q  = %g"};
            const double values[4] = {resultW, resultPsi, resultM, resultQ};
            for (int i = 0; i < 4; ++i) {
                char line[64];
                // Every NaN prints as "nan", whatever its sign bit.
                std::snprintf(line, sizeof line, formats[i],
                              values[i] != values[i] ? NAN : values[i]);
                o.panel.push_back(line);
            }
            status_ = o.panel.back();
            break;
        }
        default: {
            o.repaint = true;
            for (const DialogWork& w : a.dialogs) {
                if (!runDialog(w, o) || w.dialog == f61) continue;
                operations[w.dialog]();
                o.refusal = engineRefusal;
                if (o.refusal == refusalNone) {
                    status_ = statusTexts[w.dialog];
                } else {
                    *memoryOf(w.dialog).flag = 0;
                }
            }
            break;
        }
    }
    o.after = saveEngineState();
    o.status = status_;
    restoreEngineState(before);
    return o;
}

}  // namespace session
