// Exact extremes of w, psi, M and Q inside a section, from its closed form.
#pragma once

#include <array>
#include <vector>

#include "solver/solver.h"

namespace velmora {

// The distances t in (0, l) from the section's start where the derivative of
// `quantity` (solver::rowW, rowPsi, rowM or rowQ) vanishes, ascending, each
// once: every real root, also one where the derivative only touches zero.
// None when that derivative is identically zero, and none for a section of
// no length, of zero stiffness, or with values that are not finite. The
// ends of the section and the jumps at them are the caller's to consider.
std::vector<double> criticalPlaces(const solver::Element& section, const solver::State& start,
                                   int quantity);

// The same for an extended section (axial force, foundation, shear
// deformation, imposed curvature), whose quantities are no polynomials: the
// places where the derivative of each of w, psi, M and Q changes sign, from
// the section's solved piece states `field` (solver::Solution::fields; empty:
// carried from `start`). The derivative, exact from the section's equations,
// is bracketed on a grid of at least 64 cells per section and 8 per piece
// (each cell's exponent rate * h at most 1/16), and each bracket refined by a
// safeguarded secant (Brent's method) on the exact state. Every sign change
// between neighbouring grid points is found; what the grid cannot see is a
// pair of sign changes inside one cell, whose extreme differs from the
// cell's sampled values by the quantity's tiny variation over that cell.
std::array<std::vector<double>, 4> fieldCriticalPlaces(const solver::Element& section,
                                                       const std::vector<solver::State>& field,
                                                       const solver::State& start);

// A quantity inside a section as a polynomial in t, the distance from the
// section's start: coefficients in ascending powers, degree -1 when it is
// identically zero. w under a growing line load is of degree 5.
struct SectionPolynomial {
    std::array<double, 6> c{};
    int degree = -1;
    double operator()(double t) const;
    SectionPolynomial derivative() const;
};

// `quantity` inside `section` from its start state, by the closed form of
// the section's transfer. False for what criticalPlaces finds nothing in,
// and for an extended section, which has no such polynomial.
bool sectionPolynomial(const solver::Element& section, const solver::State& start, int quantity,
                       SectionPolynomial& p);

// The real roots of p in (lo, hi), ascending, each once, also one where p
// only touches zero; none when p is identically zero or not finite.
std::vector<double> realRoots(const SectionPolynomial& p, double lo, double hi);

// The largest and smallest value of a quantity and their places.
struct Extreme {
    bool found = false;  // false when no value of the quantity is finite
    double max = 0.0;
    double xMax = 0.0;
    double min = 0.0;
    double xMin = 0.0;
};

// Takes the value at x into the extremes if it is finite; on a tie the place
// considered first stays.
void consider(Extreme& extreme, double value, double x);

}  // namespace velmora
