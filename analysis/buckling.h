// Buckling loads of the last complete beam: the lowest factors on its axial
// forces, refused as the general method refuses a mechanism, their shapes
// sampled where a diagram samples, and whether the given forces are stable.
#pragma once

#include <vector>

#include "analysis/diagram.h"
#include "model/description.h"

namespace velmora {

constexpr int maxBuckling = 1000;

struct BucklingMode {
    // The factor by which every section's axial force must be multiplied
    // for the beam to buckle.
    double factor = 0.0;
    // The buckling shape, w and psi at the places of a diagram of the same
    // points, scaled as a critical speed's mode shape.
    std::vector<Sample> shape;
};

// The `count` lowest buckling factors of the beam of `script`. False with
// the problem at the line it concerns: a mechanism, a beam with no section
// in compression, factors beyond the range of a double. Fewer than `count`
// only where the factors crowd below a section's shear limit (lambda |N| =
// GAs) and no more of them are sought.
bool computeBuckling(const Script& script, const BeamModel& beam, int count, int points,
                     std::vector<BucklingMode>& modes, Problem& problem);

// Whether the beam's axial forces reach its first buckling load. `beyond`
// when the first factor is at most 1 (the static results describe no stable
// state): `warning` says so with the factor. `singular` when the factor is
// 1 to within 1e-10: the static equations then have no solution, and
// `warning` says that. `stable` too for a beam without compression, or one
// whose factors cannot be found.
enum class Stability { stable, beyond, singular };
Stability checkStability(const BeamModel& beam, Problem& warning);

}  // namespace velmora
