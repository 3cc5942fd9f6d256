// Critical speeds of the last complete beam: its lowest natural bending
// frequencies, refused as the general method refuses a mechanism, and the
// mode shapes sampled where a diagram samples.
#pragma once

#include <vector>

#include "analysis/diagram.h"
#include "model/description.h"

namespace solver {
struct Mode;
}

namespace velmora {

constexpr int maxCritical = 1000;

struct CriticalSpeed {
    double omega = 0.0;  // radians per time unit of the user's units
    double f = 0.0;      // omega / 2 pi
    double n = 0.0;      // 60 f: per minute when time is in seconds
    // The mode shape, w and psi at the places of a diagram of the same
    // points, scaled so that the largest |w| is 1 and positive (the
    // largest |psi| when w is 0 throughout).
    std::vector<Sample> shape;
};

// The `count` lowest critical speeds of the beam of `script` (its actions
// named by the elements' tags). False with the problem at the line it
// concerns: a mechanism, a beam of no mass at all or of none that can move
// (every point mass where the beam is held). Fewer than `count` only
// when point masses on massless sections are all the beam's mass.
// A mode's shape (of vibration or buckling) sampled at the places of a
// diagram of `points` points and scaled so that the largest |w| is 1 and
// positive (the largest |psi| when w is 0 throughout).
std::vector<Sample> modeShape(const BeamModel& beam, const solver::Mode& mode, int points);

bool computeCritical(const Script& script, const BeamModel& beam, int count, int points,
                     std::vector<CriticalSpeed>& speeds, Problem& problem);

}  // namespace velmora
