// The exact transfer of an extended section: one with an axial force N, a
// foundation k, shear deformation or an imposed curvature kappa.
#pragma once

#include <array>
#include <vector>

#include "model/model.h"

namespace solver {

// Inside an extended section, with D = 1 + N / GAs (1 when rigid in shear),
//
//   w'   = psi + Q / GAs          psi' = -M / EI - kappa
//   M'   = Q                      V'   = -q - qs t + k w
//   V    = Q + N w' = D Q + N psi
//
// V is the vertical force: what a point load, a support or a spring makes
// jump, and what an end takes. Q, the force normal to the deformed axis,
// jumps with it, but also wherever N or GAs change, so the solver carries V
// in the fourth row of its unknowns and reports Q. Without N the two are the
// same and nothing is converted.
//
// The state (w, psi, M, V) then obeys y' = A y + b(t) with constant A, whose
// transfer over a length h is the matrix exponential of A h, taken with the
// load terms from the exponential of the augmented matrix. A section is cut
// into pieces so short that no exponent rate * h exceeds 1/2, where rate
// bounds every |r| with D EI r^4 - (N + k EI / GAs) r^2 + k = 0: on such a
// piece the Taylor series converges fast and nothing cancels, and the
// growing and decaying parts of a long section stay apart as unknowns of
// their own in the banded system.
class Field {
public:
    explicit Field(const velmora::Element& section);

    // False when the section's equations cannot be written (D = 0, or a
    // value that is not finite).
    bool valid() const { return valid_; }
    int pieces() const { return pieces_; }
    double pieceLength() const { return h_; }

    // The transfer over h of a piece starting at t0 into the section:
    // y(t0 + h) = t y(t0) + f0 + t0 f1.
    struct Step {
        std::array<std::array<double, 4>, 4> t{};
        velmora::State f0{};
        velmora::State f1{};
        velmora::State apply(const velmora::State& y, double t0) const;
    };
    Step step(double h) const;

    // Between Q in the fourth row and V.
    velmora::State vertical(const velmora::State& shearForm) const;
    velmora::State shearForm(const velmora::State& vertical) const;

    // y' at t, of a state with V in the fourth row.
    velmora::State slope(const velmora::State& vertical, double t) const;
    // d/dt of w, psi, M and Q at t, of a state with V in the fourth row.
    velmora::State rates(const velmora::State& vertical, double t) const;

    // The state (V form) at t from the states at the piece boundaries.
    velmora::State at(const std::vector<velmora::State>& boundaries, double t) const;
    // The state (V form) at t from the state at t0, piece by piece.
    velmora::State advance(velmora::State y, double t0, double t) const;

private:
    bool valid_ = true;
    double ei_ = 0.0, n_ = 0.0, k_ = 0.0, c_ = 0.0, kappa_ = 0.0, q_ = 0.0, qs_ = 0.0;
    double d_ = 1.0;
    double length_ = 0.0;
    int pieces_ = 1;
    double h_ = 0.0;
};

// The most pieces one section is cut into.
constexpr int maxFieldPieces = 1000000;

// For every node of a solution (0: just right of the left end, k + 1: just
// right of element k), the section whose Q its state reports: the next
// section from there to the right, so that a section's start state is its
// own, else the last one to its left (at the right end); -1 for a beam
// without sections.
std::vector<int> nodeSections(const velmora::BeamModel& beam);

// The vertical force V = D Q + N psi of a state whose Q is that of `section`
// (-1: none, V = Q).
double verticalForce(const velmora::BeamModel& beam, int section, const velmora::State& s);

}  // namespace solver
