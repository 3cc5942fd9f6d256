// Natural bending frequencies of a beam, exactly: every section by its
// frequency-dependent dynamic stiffness, the roots counted by the
// Wittrick-Williams algorithm, so that none is missed or counted twice.
#pragma once

#include <vector>

#include "solver/solver.h"

namespace solver {

// One natural vibration: its circular frequency and its shape, as states
// (w, psi, M, Q) just right of the left end and just right of every element,
// like Solution::states. w and psi are exact at every place; M and Q at the
// ends of the sections. Not normalised.
struct Mode {
    double omega = 0.0;
    std::vector<State> states;
};

struct Vibration {
    // Not solved: the checks of solve() failed (a mechanism, a value that
    // cannot be written), with their tags and movers as there.
    Solution check;
    bool noMass = false;  // no section carries mass and there is no point mass
    // The lowest modes asked for, ascending; fewer when the beam has fewer
    // (only point masses on massless sections).
    std::vector<Mode> modes;
};

// The `count` lowest natural frequencies of the beam and their shapes. Loads
// do not enter; the ends, supports, springs, hinges, sections and point
// masses do. Sections of no mass bend statically.
Vibration vibrate(const Beam& beam, int count);

// The mode's state at distance `part` into a section whose start state is
// `start`, by the section's exact transfer at frequency omega.
State modeInside(const Element& section, const State& start, double omega, double part);

}  // namespace solver
