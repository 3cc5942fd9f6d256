// velmora-batch --influence: influence lines of the last complete beam, each
// the deflection line of the unloaded beam under one imposed unit kink,
// offset, force or moment (the kinematic method), and the extreme values of
// the quantity under a moving live load.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "analysis/diagram.h"
#include "model/description.h"

namespace velmora {

// What one --influence option asks for.
struct InfluenceRequest {
    // A reaction is a support's force; a moment reaction the moment of a
    // clamped or guided end, a clamp or a rotational spring.
    enum What { moment, shear, deflection, slope, reaction, momentReaction } what = moment;
    std::string text;  // as given: "M@4.5", "Q@3-", "R@7", "MR@7"
    double x = 0.0;    // the place, for all but a reaction
    int side = 0;      // -1 just left of the point elements at x, +1 just right, 0 not said
    int line = 0;      // a reaction's line in the description
    bool atSupport() const { return what == reaction || what == momentReaction; }
};

// A live load of --live: a uniform load q over the unfavourable parts, or a
// single moving force P.
struct LiveLoad {
    bool uniform = true;
    double value = 0.0;
    std::string text;
};

struct LiveExtreme {
    double max = 0.0;
    double min = 0.0;
};

struct InfluenceLine {
    InfluenceRequest request;
    double place = 0.0;  // x of the cut, or of the support
    int action = -1;     // the support's action, for a reaction
    std::vector<double> x;
    std::vector<double> ordinate;
    std::vector<double> slope;  // psi at the same places, for the exact areas
    bool allFinite = true;
    Extreme extreme;
    double positiveArea = 0.0;
    double negativeArea = 0.0;      // 0 or less
    std::vector<LiveExtreme> live;  // one per live load, in their order
};

// The extreme of a line's quantity under one live load.
LiveExtreme liveExtreme(const InfluenceLine& line, const LiveLoad& live);

// The influence lines of the beam model (of its F1 to its right end in the
// script), all sampled at the same
// places: the diagram's samples, and two more at every cut (just left and
// just right of it). With `general` the beam is solved by the general
// solver, else by repeated runs. On a request the beam cannot answer (a place
// outside it, a line that holds no support) or a beam the general solver
// cannot solve, returns false with the problem. A keyed line with values
// that are not finite leaves its warning in `warning`.
bool computeInfluence(const Script& script, const BeamModel& beam, int points, bool general,
                      const std::vector<InfluenceRequest>& requests,
                      const std::vector<LiveLoad>& live, std::vector<InfluenceLine>& lines,
                      Problem& warning, Problem& problem);

}  // namespace velmora
