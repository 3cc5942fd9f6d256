// velmora-batch --general: every complete beam of a description solved at
// once by the general solver, F7 anywhere, repeated runs checked against
// their beam; and the diagnosis of values the keyed method cannot give.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "diagram.h"
#include "report.h"
#include "script.h"
#include "solver/solver.h"

namespace batch {

// The beam from the F1 at `first` to the right end at `last`, in the
// solver's terms; every element's tag is its action's index in the script.
solver::Beam beamOf(const Script& script, int first, int last);

// Why the solver could not solve a beam, as "LINE:COLUMN: message" would
// finish it; `tag` is the action the message belongs to.
std::string solverMessage(const Script& script, const solver::Solution& solution, int& tag);

// Runs the description with the general solver and gives the results of
// every F7. On a beam it cannot solve, a repeated run that departs from its
// beam, or an action outside any beam, reports FILE:LINE:COLUMN on err and
// returns false. `solution` is that of the last complete beam.
bool runGeneral(const Script& script, const char* name, std::vector<Result>& results,
                solver::Solution& solution, FILE* err);

// The diagram of the beam first..last from its solution: the same samples
// as the repeated runs take, in closed form inside each section.
void computeGeneralDiagram(const Script& script, int first, int last, int points,
                           const solver::Solution& solution, Diagram& diagram);

// For the keyed method's warnings: the F1 and right end of the complete beam
// whose run holds action `index` (its own, or the one a repeated run
// repeats). False when there is none.
bool beamAround(const Script& script, int index, int& first, int& last);

}  // namespace batch
