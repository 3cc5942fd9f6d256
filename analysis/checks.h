// Checks of a beam's results against the limits its description states:
// each span's deflection against its length, each section's stress against
// its material's yield strength.
#pragma once

#include <vector>

#include "analysis/cases.h"

namespace velmora {

// One limit on one stretch: a span for w, a section for sigma.
struct Check {
    int limit = 0;             // index into the book's limits
    StretchExtremes stretch;   // its extremes under the limit's combination
    double value = 0.0;        // the largest |w| or |sigma| on the stretch
    double x = 0.0;            // where it is
    double allowed = 0.0;      // L / divisor, or fy / divisor
    double utilisation = 0.0;  // value / allowed
    bool holds = false;
    Loading loading;  // what gives the value
};

// The limits of the book refused before anything is solved: a combination
// the book has not, a load case named where a combination is meant, no name
// where the book has combinations, a section without W or fy under a stress
// limit. False with the problem at the limit's line.
bool checkLimits(const Script& script, const BeamModel& beam, Problem& problem);

// Every limit of the book on every span (w) or section (sigma) of `beam`,
// in the order of the limits. False with the problem: what checkLimits
// refuses, or a beam that cannot be solved.
bool computeChecks(const Script& script, const BeamModel& beam, int points, bool general,
                   std::vector<Check>& checks, Problem& warning, Problem& problem);

}  // namespace velmora
