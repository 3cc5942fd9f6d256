// velmora-batch --general: every complete beam of a description solved at
// once by the general solver, F7 anywhere, repeated runs checked against
// their beam; and the diagnosis of values the keyed method cannot give.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "analysis/diagram.h"
#include "model/description.h"
#include "solver/solver.h"

namespace velmora {

// Why the solver could not solve a beam, as "LINE:COLUMN: message" would
// finish it; `tag` is the action the message belongs to.
std::string solverMessage(const Script& script, const solver::Solution& solution, int& tag);

// How the general method reads a description, run by run: the actions
// before the first F1, then each F1 with what follows it up to the next. A
// run that reaches a right end is a complete beam, unless it repeats the
// complete beam before it (sections may be split); every other run is a
// repeated run of the last complete beam before it, or has none to repeat.
struct RunReading {
    enum Role { beam, repeat, orphan } role = orphan;
    int first = -1;      // its F1; -1 for the actions before the first F1
    int end = 0;         // one past its last action
    int right = -1;      // its first right end, or -1
    int beamRun = -1;    // the run of the complete beam it is or repeats
    int departs = -1;    // the action where it departs from that beam, or -1
    std::string why;     // and why, as a message
    solver::Beam model;  // a complete beam's, and its solution
    solver::Solution solution;
};

// One F7: the solved state at its place, where its run follows a beam the
// solver solved.
struct Evaluation {
    int action = 0;
    int run = 0;
    bool solved = false;
    solver::State state{};
};

struct GeneralReading {
    std::vector<RunReading> runs;
    std::vector<Evaluation> evaluations;  // in the order of the description
};

// Reads the whole description, whatever it holds; nothing is reported.
void readGeneral(const Script& script, GeneralReading& reading);

// The general solution of a beam model, sampled like a diagram.
void computeGeneralDiagram(const BeamModel& beam, const solver::Solution& solution, int points,
                           Diagram& diagram);

// Runs the description with the general solver and gives the results of
// every F7. On a beam it cannot solve, a repeated run that departs from its
// beam, or an action outside any beam, returns false with the problem.
bool runGeneral(const Script& script, const GeneralReading& reading, std::vector<Result>& results,
                Problem& problem);

// The diagram of the beam first..last from its solution: the same samples
// as the repeated runs take, in closed form inside each section.
void computeGeneralDiagram(const Script& script, int first, int last, int points,
                           const solver::Solution& solution, Diagram& diagram);

// What the general solver says of the beam first..last, whose keyed values
// stopped being finite after action `culprit`: a mechanism, or a stable beam
// the reduction method cannot eliminate in its order. Other causes (a zero
// stiffness, an overflow) keep the keyed diagnosis in `cause`.
void judgeBreak(const Script& script, int first, int last, int culprit, std::string& cause);

// For the keyed method's warnings: the F1 and right end of the complete beam
// whose run holds action `index` (its own, or the one a repeated run
// repeats). False when there is none.
bool beamAround(const Script& script, int index, int& first, int& last);

}  // namespace velmora
