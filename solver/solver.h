// The general solver: one complete beam, from its left end to its right end,
// as a single banded linear system solved at once, with no limit on its
// conditions. Plain data in and out; no state of its own.
#pragma once

#include <array>
#include <vector>

namespace solver {

// Rows of a state, as everywhere in the program: w, psi, M, Q. w and M are
// positive downwards and sagging, a line load q positive downwards.
enum Row { rowW = 0, rowPsi = 1, rowM = 2, rowQ = 3 };
using State = std::array<double, 4>;

enum class End { hinged, free, clamped };

enum class ElementKind { spring, beamSection, shaftSection, pointLoad, support, hinge };

struct Element {
    ElementKind kind = ElementKind::beamSection;
    double length = 0.0;     // a section's length l
    double stiffness = 0.0;  // EI of a beam section, E of a shaft section
    double diameter = 0.0;   // d of a shaft section
    double q = 0.0;          // line load at the section's start
    double qs = 0.0;         // its growth per unit length
    double value = 0.0;      // spring stiffness c, or the point load's value
    int loadRow = rowQ;      // the row a point load acts on: Q force, M moment, psi angle, w offset
    int tag = 0;             // the caller's name for the element, for messages
};

struct Beam {
    End left = End::hinged;
    int leftTag = 0;
    std::vector<Element> elements;
    End right = End::hinged;
    double endMoment = 0.0;  // M at a hinged or free right end
    double endForce = 0.0;   // Q at a free right end
    int rightTag = 0;
};

enum class Status {
    solved,
    mechanism,      // the beam can move without straining
    zeroStiffness,  // a section with EI = 0: its equations cannot be written
    notFinite,      // a value that is not finite, or a solution beyond the range of a double
    sharedSupport,  // two rigid supports at one place: how they share a force is open
    singular        // the equations are singular in working precision, though not a mechanism
};

// A part of the beam that a mechanism moves: the hinges that kink, and the
// ends that move or turn.
struct Mover {
    enum Kind { leftEnd, hinge, rightEnd } kind = hinge;
    int tag = 0;
};

struct Solution {
    Status status = Status::solved;
    // states[0] is the state just right of the left end, states[k + 1] the
    // state just right of element k; the last is just left of the right end.
    std::vector<State> states;
    // Normwise backward error of the solved (equilibrated) system: how much
    // its coefficients and right-hand side must change for the solution to fit.
    double backwardError = 0.0;
    // When not solved: the tags of the elements concerned (for a mechanism,
    // the element it can move about comes first).
    std::vector<int> tags;
    std::vector<Mover> movers;
    bool held = false;  // a mechanism: whether anything holds the beam at all
};

// Tolerance of the mechanism test, on places measured in units of the
// beam's length: two holding places closer than this count as one.
constexpr double mechanismTolerance = 1e-12;

Solution solve(const Beam& beam);

// Bending stiffness of a section: EI, or E * pi * d^4 / 64 of a solid shaft
// with the program's stored pi.
double sectionStiffness(const Element& section);

// The state at distance `part` into a section whose start state is `start`,
// by the same transfer and line-load terms as a whole section.
State stateInside(const Element& section, const State& start, double part);

}  // namespace solver
