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

#include "analysis/cases.h"
#include "analysis/diagram.h"
#include "model/description.h"
#include "model/model.h"
#include "solver/solver.h"

namespace velmora {

class Beam;

// Load cases: the loads given on the beam's elements are one case, named
// "G" unless ownCase names it; loadCase starts another, whose loads are
// placed by position from the left end through this handle.
class LoadCaseLoads {
public:
    // A line load q (growing by qs per length) from `from` to `to`; without
    // them over the whole beam.
    LoadCaseLoads& line(double q, double qs = 0.0);
    LoadCaseLoads& line(double q, double qs, double from, double to);
    LoadCaseLoads& force(double value, double x);
    LoadCaseLoads& moment(double value, double x);

private:
    friend class Beam;
    LoadCaseLoads(Beam& beam, int index) : beam_(beam), index_(index) {}
    LoadCaseLoads& add(PlacedLoad load);
    Beam& beam_;
    int index_;
};

// A case's factors in a combination: `worse` where it does harm, `better`
// where it helps (on a spanwise case, span by span).
struct CaseFactor {
    std::string loadCase;
    double worse = 1.0;
    double better = 1.0;
};

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

    // Load cases and combinations (see LoadCaseLoads). A name given twice
    // or a combination of an unknown case makes every Solution of the beam
    // unsolved, with the reason.
    Beam& ownCase(const std::string& name);
    LoadCaseLoads loadCase(const std::string& name, bool spanwise = false);
    Beam& combination(const std::string& name, const std::vector<CaseFactor>& factors);
    const std::string& caseProblem() const { return caseProblem_; }

private:
    friend class LoadCaseLoads;
    Beam& add(Kind kind, Choice choice, std::vector<double> values);
    bool nameFree(const std::string& name);
    Script script_;
    std::string caseProblem_;
};

enum class Method { general, keyed };

// A solved beam. The keyed method gives, bit for bit, what the program
// prints for the same keys; the general method solves every stable beam.
class Solution {
public:
    Solution(const Beam& beam, Method method = Method::general);
    // One load case or combination (each factor taken where it harms);
    // unsolved when the beam has no state of that name.
    Solution(const Beam& beam, const std::string& state, Method method = Method::general);

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

    // The largest and smallest w, psi, M and Q at every sample and the
    // extreme reactions over all combinations of the beam (without any, of
    // all its cases together), each factor and each span of a spanwise case
    // chosen for the worst; false with the reason when a beam cannot be
    // solved.
    bool envelope(Envelope& envelope, std::string& problem, int points = defaultPoints) const;

private:
    void solve(const BeamModel& beam);
    void sample(int points, Diagram& diagram) const;
    Script description_;  // as the beam was built, cases included
    Script script_;
    BeamModel beam_;
    Method method_;
    solver::Solution general_;
    Diagram summary_;
    std::string problem_;
};

}  // namespace velmora
