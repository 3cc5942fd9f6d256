// The general solver: one complete beam, from its left end to its right end,
// as a single banded linear system solved at once, with no limit on its
// conditions. Plain data in and out; no state of its own.
#pragma once

#include <vector>

#include "model/model.h"

namespace solver {

// The solver reads the beam model as it is.
using Beam = velmora::BeamModel;
using velmora::Element;
using velmora::ElementKind;
using velmora::End;
using velmora::Row;
using velmora::rowM;
using velmora::rowPsi;
using velmora::rowQ;
using velmora::rowW;
using velmora::sectionStiffness;
using velmora::State;

enum class Status {
    solved,
    mechanism,      // the beam can move without straining
    zeroStiffness,  // a section with EI = 0: its equations cannot be written
    notFinite,      // a value that is not finite, or a solution beyond the range of a double
    sharedSupport,  // two rigid supports at one place: how they share a force is open
    sharedMoment,   // two places that hold psi rigidly at one place: so is how they share a moment
    singular        // the equations are singular in working precision, though not a mechanism
};

// A part of the beam that a mechanism moves: the hinges that kink, the shear
// hinges that shear, and the ends that move, turn or slide.
struct Mover {
    enum Kind { leftEnd, hinge, rightEnd, shearHinge } kind = hinge;
    int tag = 0;
};

struct Solution {
    Status status = Status::solved;
    // states[0] is the state just right of the left end, states[k + 1] the
    // state just right of element k; the last is just left of the right end.
    std::vector<State> states;
    // For each extended section (see field.h), the states at the boundaries
    // of its pieces from its start to its end, with the vertical force V in
    // the fourth row; empty for every other element.
    std::vector<std::vector<State>> fields;
    // Normwise backward error of the solved (equilibrated) system: how much
    // its coefficients and right-hand side must change for the solution to fit.
    double backwardError = 0.0;
    // When not solved: the tags of the elements concerned (for a mechanism,
    // the element it can move about comes first).
    std::vector<int> tags;
    std::vector<Mover> movers;
    bool held = false;  // a mechanism: whether anything takes a vertical force
    // A mechanism held by nothing but guided ends or rotational springs,
    // which hold its slope: it slides up and down as a whole.
    bool slides = false;
};

// Tolerance of the mechanism test, on places measured in units of the
// beam's length: two holding places closer than this count as one.
constexpr double mechanismTolerance = 1e-12;

Solution solve(const Beam& beam);

// Only the tests solve() makes before it writes the equations: values that
// cannot be written, a mechanism, two rigid supports at one place. `solved`
// (with no states) when the beam passes them.
Solution check(const Beam& beam);

// The state at distance `part` into a section whose start state is `start`,
// by the same transfer and line-load terms as a whole section.
State stateInside(const Element& section, const State& start, double part);

// The same from the section's solved piece states (Solution::fields): exact
// also far into a long section on a foundation, where carrying the start
// state across would swamp the decaying part.
State stateInside(const Element& section, const std::vector<State>& field, const State& start,
                  double part);

}  // namespace solver
