// Driving the engine as the window does: each action writes the engine
// inputs exactly as its confirmed dialog would and then calls the same
// operation the window procedure calls for that key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "model/description.h"

namespace velmora {

// One action, as a user pressing its key and confirming its dialog.
void perform(const Action& action);

// The first part, of length `part`, of a section split in two as a user
// would split it: the same stiffness and line load q, qs from its start.
void performPart(const Action& section, double part);

// Keeps an eye on the state while actions run: remembers after which action
// it stopped being finite, and the likely cause.
struct Watch {
    bool finite = true;
    bool seenLeftEnd = false;
    int brokenAt = -1;  // index of the action after which the state broke
    const char* cause = nullptr;
};

// perform(), watched.
void performWatched(const Script& script, int index, Watch& watch);

// True when every register that carries the state is finite (the working
// registers R13, R14, R17 and R18 excepted).
bool stateIsFinite();

bool resultsAreFinite();

}  // namespace velmora
