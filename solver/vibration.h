// Natural bending frequencies and buckling loads of a beam, exactly: every section by its
// frequency-dependent dynamic stiffness, the roots counted by the
// Wittrick-Williams algorithm, so that none is missed or counted twice.
#pragma once

#include <vector>

#include "solver/solver.h"

namespace solver {

// The powers of two the vibration is solved in: lengths, stiffnesses and
// masses per length are divided by 2^length, 2^stiffness and 2^mass, so that
// the frequencies depend on no unit and scaling changes no digit.
struct VibrationScale {
    int length = 0;
    int stiffness = 0;
    int mass = 0;
};

// Where a part of a mode inside a section starts and its state there, in
// the scaled units: the section's shape from there on follows by the
// section's exact transfer over a part short enough to keep its digits.
struct ModeAnchor {
    int element = 0;
    double from = 0.0;
    State start{};
};

// One natural vibration: its circular frequency and its shape, as states
// (w, psi, M, Q) just right of the left end and just right of every element,
// like Solution::states. Not normalised.
struct Mode {
    double omega = 0.0;
    double factor = 0.0;    // a buckling mode's factor (omega is then 0)
    bool buckling = false;  // a buckling mode: scaledOmega is its factor
    std::vector<State> states;
    // For modeInside: the frequency in the scaled units, the scale, and the
    // anchors of every section in the order of the elements.
    double scaledOmega = 0.0;
    VibrationScale scale;
    std::vector<ModeAnchor> anchors;
};

struct Vibration {
    // Not solved: the checks of solve() failed (a mechanism, a value that
    // cannot be written), with their tags and movers as there.
    Solution check;
    bool noMass = false;  // no section carries mass and there is no point mass
    // Point masses there are, but none stands where the beam can move, and
    // no section carries mass.
    bool massHeld = false;
    // A frequency asked for lies beyond the range of a double, or below its
    // normal numbers, in the beam's units: modes holds those below it.
    bool outOfRange = false;
    // A root would need more pieces in a section than the count takes (a
    // compression at the section's shear limit, GAs): it cannot be told.
    bool uncertain = false;
    // The lowest modes asked for, ascending; fewer when the beam has fewer
    // (only point masses on massless sections). A root of multiplicity k
    // gives k modes with independent shapes, orthogonal in the mass.
    std::vector<Mode> modes;
};

struct Buckling {
    Solution check;              // as Vibration::check
    bool noCompression = false;  // no section carries a compressive axial force
    bool outOfRange = false;     // a factor asked for lies beyond the range of a double
    // Fewer factors than asked for lie below the compression at which a
    // section's shear stiffness gives way (lambda |N| = GAs), where they
    // crowd: modes holds those found below it.
    bool shearLimit = false;
    bool uncertain = false;  // as Vibration::uncertain
    // The lowest factors asked for, ascending; their shapes as a Mode's,
    // with the vertical force V = Q + N w' in the place of Q.
    std::vector<Mode> modes;
};

// The `count` lowest natural frequencies of the beam and their shapes. Loads
// do not enter; the ends, supports, springs, hinges, sections and point
// masses do. Sections of no mass bend statically.
Vibration vibrate(const Beam& beam, int count);

// The `count` lowest factors by which the sections' axial forces must be
// multiplied for the beam to buckle, and their shapes: the Wittrick-Williams
// count on the exact stiffness of every section with its axial force,
// foundation and shear stiffness. Loads and masses do not enter.
Buckling buckle(const Beam& beam, int count);

// The mode's state at distance `part` into the section that is element
// `element` of the beam.
State modeInside(const Element& section, int element, const Mode& mode, double part);

}  // namespace solver
