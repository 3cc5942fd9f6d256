// Buckling factors over the solver's eigenvalue search, and their shapes
// through the one sampler of a diagram.
#include "analysis/buckling.h"

#include <cmath>
#include <cstdio>

#include "analysis/critical.h"
#include "analysis/general.h"
#include "solver/vibration.h"

namespace velmora {
namespace {

const char* const outOfRange =
    "a buckling factor lies beyond the range of numbers (above 1.8e308 or below 2.2e-308)";

}  // namespace

bool computeBuckling(const Script& script, const BeamModel& beam, int count, int points,
                     std::vector<BucklingMode>& modes, Problem& problem) {
    modes.clear();
    const solver::Buckling b = solver::buckle(beam, count);
    if (b.check.status != solver::Status::solved) {
        int tag = beam.leftTag;
        const std::string text = solverMessage(script, b.check, tag);
        problem = Problem{script.actions[tag].line, script.actions[tag].column, text};
        return false;
    }
    if (b.noCompression) {
        problem = Problem{beam.leftLine, beam.leftColumn,
                          "no section is in compression: buckling needs an axial force N < 0 "
                          "in at least one section"};
        return false;
    }
    if (b.outOfRange) {
        problem = Problem{beam.leftLine, beam.leftColumn, outOfRange};
        return false;
    }
    if (b.uncertain || (b.shearLimit && b.modes.empty())) {
        problem = Problem{beam.leftLine, beam.leftColumn,
                          "the buckling factors crowd below the compression at which a "
                          "section's shear stiffness gives way (N = -GAs): none can be told "
                          "apart there"};
        return false;
    }
    for (const solver::Mode& mode : b.modes) {
        if (!(std::isfinite(mode.factor) && mode.factor >= 0x1p-1022)) {
            problem = Problem{beam.leftLine, beam.leftColumn, outOfRange};
            modes.clear();
            return false;
        }
        BucklingMode m;
        m.factor = mode.factor;
        if (!mode.states.empty()) m.shape = modeShape(beam, mode, points);
        modes.push_back(std::move(m));
    }
    return true;
}

Stability checkStability(const BeamModel& beam, Problem& warning) {
    bool compressed = false;
    for (const Element& e : beam.elements)
        compressed = compressed || (e.isSection() && e.axialForce < 0.0);
    if (!compressed) return Stability::stable;
    const solver::Buckling b = solver::buckle(beam, 1);
    if (b.check.status != solver::Status::solved || b.modes.empty() || b.uncertain) {
        return Stability::stable;
    }
    const double factor = b.modes[0].factor;
    if (!(factor <= 1.0 + 1e-10)) return Stability::stable;
    char text[320];
    if (std::fabs(factor - 1.0) <= 1e-10) {
        std::snprintf(text, sizeof text,
                      "the axial forces are the first buckling load (factor %.10g): the static "
                      "equations have no solution",
                      factor);
        warning = Problem{beam.leftLine, beam.leftColumn, text};
        return Stability::singular;
    }
    std::snprintf(text, sizeof text,
                  "the axial forces reach the first buckling load (factor %.10g <= 1): the "
                  "results describe no stable state",
                  factor);
    warning = Problem{beam.leftLine, beam.leftColumn, text};
    return Stability::beyond;
}

}  // namespace velmora
