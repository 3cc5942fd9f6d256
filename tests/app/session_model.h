// A long random session of the window, as a model: seeded user actions
// (function keys, menu items and toolbar buttons; clicks, texts of every
// kind, every way to close a dialog) and what the window must make of each,
// worked out by driving the engine directly with the values the confirmed
// dialogs should write. Portable: the native tests replay the same actions
// on the engine alone under the sanitizers.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"

namespace session {

enum class Command { f1, f2, f3, f4, f5, f6, f7, info, exitQuestion, restart };
enum class Source { menu, key, toolbar };
enum class Close { okButton, enter, cancelButton, escape, closeBox };

// One dialog as the user works it: clicks on its radio buttons and check
// box, texts typed into its fields, a look at every field, and the close.
struct DialogWork {
    int dialog = 0;  // DLG_F1, F2, F3, F4, F5, F61, F62, F63: 0 to 7
    std::vector<int> clicks;
    std::vector<std::pair<int, std::string>> typed;
    std::vector<int> fields;     // every edit field of the dialog
    std::vector<Close> ignored;  // DLG_F61: Escape or the close box first
    Close close = Close::okButton;
};

struct Action {
    Command command = Command::f7;
    Source source = Source::menu;
    std::vector<DialogWork> dialogs;  // in the order they open
};

// The first value of the engine's state that differs, bit for bit, or ""
// when none does. The last refusal is left out: the window checks the bank
// before an F7 and only shows a refusal, which Outcome::refusal describes.
std::string difference(const EngineState& actual, const EngineState& expected);

struct Outcome {
    EngineState after;  // right after the action, before the repaint
    int32_t refusal = refusalNone;
    bool repaint = false;            // the whole window was invalidated
    std::string status;              // what the status line shows after the repaint
    std::vector<std::string> panel;  // F7: the four result lines
    // What each field holds when its dialog is closed, dialog by dialog.
    std::vector<std::pair<int, std::string>> fields;
};

class Model {
public:
    explicit Model(uint32_t seed) : random_(seed) {}
    Action next();
    // Works out the action from the engine's state, and leaves it as it was.
    Outcome apply(const Action& action);

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    std::string text();
    DialogWork work(int dialog, std::vector<int> clickable, std::vector<int> fields);
    bool runDialog(const DialogWork& work, Outcome& outcome);

    std::mt19937 random_;
    std::string status_;
    int withoutLeftEnd_ = 0;  // actions to come in which F1 is not chosen
};

// The dialog titles (Windows-1252), by DialogWork::dialog.
extern const char* const dialogTitles[8];

// The session's seed and length: VELMORA_SESSION_SEED and
// VELMORA_SESSION_STEPS when they are set, else fixed ones.
uint32_t seed();
int steps();

}  // namespace session
