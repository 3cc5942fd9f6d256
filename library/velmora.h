// VELMORA as a C++ library: describe a beam from left to right, solve it by
// the general method or by the program's own keyed method, and read its
// diagram, support reactions and extremes.
//
// Units are the user's own, consistent ones. w and M are positive downwards
// and sagging, a load positive downwards; psi and Q as the program prints
// them. A reaction is positive when it acts against a positive load.
#pragma once

#include <string>
#include <vector>

#include "analysis/critical.h"
#include "analysis/diagram.h"
#include "model/description.h"
#include "model/model.h"
#include "solver/solver.h"

namespace velmora {

// A beam, element by element from its left end; every call returns the beam.
class Beam {
public:
    explicit Beam(End left = End::hinged);

    Beam& section(double l, double ei);  // a beam section without line load
    Beam& section(double l, double ei, double q, double qs = 0.0);
    Beam& shaft(double l, double e, double d);  // EI = E pi d^4 / 64
    Beam& shaft(double l, double e, double d, double q, double qs = 0.0);
    Beam& spring(double c);
    Beam& force(double value);   // a point force
    Beam& moment(double value);  // a point moment
    Beam& angle(double value);   // an imposed kink
    Beam& offset(double value);  // an imposed offset
    Beam& support();             // an intermediate hinged support
    Beam& hinge();
    // The right end: M at a hinged or free end, Q at a free end.
    Beam& end(End right, double moment = 0.0, double force = 0.0);

    // The beam as the keys that describe it, one action per element.
    const Script& actions() const { return script_; }

    // --- Masses and section moduli: stresses and critical speeds ---
    // A point mass m with its transverse mass moment of inertia J (a disc,
    // a gear, a coupling); no load, the keyed method ignores it.
    Beam& mass(double m, double j = 0.0);
    // Of the section added last: its mass per length m (a beam section), its
    // density rho (a shaft section: m = rho pi d^2 / 4), its section modulus
    // W (a beam section; a shaft's is pi d^3 / 32).
    Beam& massPerLength(double m);
    Beam& density(double rho);
    Beam& modulus(double w);
    // Why a call above did not fit (no section of that kind before it), or
    // empty; a solution of such a beam is refused with it.
    const std::string& misuse() const { return misuse_; }

private:
    Beam& add(Kind kind, Choice choice, std::vector<double> values);
    Beam& last(Kind kind, int slot, double value, const char* call);
    Script script_;
    std::string misuse_;
};

enum class Method { general, keyed };

// A solved beam. The keyed method gives, bit for bit, what the program
// prints for the same keys; the general method solves every stable beam.
class Solution {
public:
    Solution(const Beam& beam, Method method = Method::general);

    // False, with the reason, when the beam has no finite solution by the
    // method (a mechanism, a beam the keyed method cannot eliminate).
    bool solved() const { return problem_.empty(); }
    const std::string& problem() const { return problem_; }

    // w, psi, M and Q at `points` places inside every section, at every
    // section's end and on both sides of every point element.
    std::vector<Sample> diagram(int points = defaultPoints) const;
    const std::vector<Reaction>& reactions() const { return summary_.reactions; }
    // The largest and smallest value of a quantity along the beam, exact.
    const Extreme& extreme(Row quantity) const { return summary_.extremes[quantity]; }

    // --- Bending stress ---
    // sigma = M / W where sections have a W (shafts always): its largest and
    // smallest value along the beam, exact; each Sample gives its own.
    bool hasStress() const { return summary_.hasStress; }
    const Extreme& stress() const { return summary_.stress; }

private:
    void sample(int points, Diagram& diagram) const;
    Script script_;
    BeamModel beam_;
    Method method_;
    solver::Solution general_;
    Diagram summary_;
    std::string problem_;
};

// --- Critical speeds ---
// The `count` lowest bending natural frequencies of the non-rotating beam
// (Euler-Bernoulli, no gyroscopic effect), with their mode shapes sampled at
// `points` places inside every section. Loads do not enter. A mechanism or a
// beam of no mass is refused with the reason in `problem`.
struct Critical {
    std::string problem;
    std::vector<CriticalSpeed> speeds;
    bool solved() const { return problem.empty(); }
};
Critical critical(const Beam& beam, int count, int points = defaultPoints);

}  // namespace velmora
