// One run of a description's keys on a freshly started engine, as the
// window runs them, with the engine's refusals and the first result that is
// not finite in words.
#pragma once

#include <string>
#include <vector>

#include "keyed/keys.h"
#include "model/description.h"

namespace velmora {

// One run of a description's keys on a freshly started engine, as the window
// runs them: the results of every F7 up to an operation the engine refuses.
struct KeyedRun {
    std::vector<Result> results;
    bool refused = false;
    Problem refusal;  // why, at the refused action
    // The first F7 whose result is not finite: the action after which the
    // state broke (or the F7 itself) and why, as a warning's words.
    struct {
        int action = -1;
        std::string text;
    } broken;
    Watch watch;
};

KeyedRun runKeys(const Script& script);

}  // namespace velmora
