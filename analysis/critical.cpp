// Critical speeds over the vibration solver, and their mode shapes through
// the one sampler of a diagram.
#include "analysis/critical.h"

#include <algorithm>
#include <cmath>

#include "analysis/evaluator.h"
#include "analysis/general.h"
#include "solver/vibration.h"

namespace velmora {
namespace {

// A mode's states between the elements, and its exact transfer inside.
class ModeEvaluator final : public Evaluator {
public:
    ModeEvaluator(const BeamModel& beam, const solver::Mode& mode) : beam_(beam), mode_(mode) {}
    State start() override { return mode_.states[0]; }
    State after(int element) override { return mode_.states[element + 1]; }
    State inside(int element, double part) override {
        return solver::modeInside(beam_.elements[element], element, mode_, part);
    }

private:
    const BeamModel& beam_;
    const solver::Mode& mode_;
};

void normalise(std::vector<Sample>& shape) {
    for (const int row : {rowW, rowPsi}) {
        double largest = 0.0;
        double sign = 1.0;
        for (const Sample& s : shape) {
            if (std::fabs(s.value[row]) > largest) {
                largest = std::fabs(s.value[row]);
                sign = s.value[row] < 0.0 ? -1.0 : 1.0;
            }
        }
        if (!(largest > 0.0) || !std::isfinite(largest)) continue;
        // + 0.0: a zero printed as 0, whatever the sign it was scaled by.
        for (Sample& s : shape) {
            for (double& v : s.value) v = v * sign / largest + 0.0;
        }
        return;
    }
}

}  // namespace

std::vector<Sample> modeShape(const BeamModel& beam, const solver::Mode& mode, int points) {
    // The places, W and N / A of a diagram's samples, without the exact
    // extremes, reactions and stresses a diagram also finds: the scale
    // needs only the samples, and the extremes cost most of the time.
    const int n = static_cast<int>(beam.elements.size());
    auto axialOf = [](const Element& e) {
        const double a = sectionArea(e);
        return e.axialForce != 0.0 && a > 0.0 ? e.axialForce / a : 0.0;
    };
    // Inside a section and at its end its own W, just right of a point
    // element the next section's, after the last section that one's.
    int last = n - 1;
    while (last >= 0 && !beam.elements[last].isSection()) --last;
    std::vector<double> modulus(n + 1, 0.0), axial(n + 1, 0.0);
    double nextW = last >= 0 ? sectionModulus(beam.elements[last]) : 0.0;
    double nextAxial = last >= 0 ? axialOf(beam.elements[last]) : 0.0;
    for (int k = n - 1; k >= -1; --k) {
        if (k >= 0 && beam.elements[k].isSection()) {
            nextW = sectionModulus(beam.elements[k]);
            nextAxial = axialOf(beam.elements[k]);
        }
        modulus[k + 1] = nextW;
        axial[k + 1] = nextAxial;
    }
    ModeEvaluator evaluator(beam, mode);
    std::vector<Sample> shape;
    shape.reserve(static_cast<size_t>(n) * (points + 1) + 1);
    double x = 0.0;
    shape.push_back(Sample{x, evaluator.start(), beam.leftTag, modulus[0], axial[0]});
    for (int k = 0; k < n; ++k) {
        const Element& e = beam.elements[k];
        if (e.isSection()) {
            for (int i = 1; i <= points; ++i) {
                const double part = e.length * (static_cast<double>(i) / (points + 1.0));
                shape.push_back(Sample{x + part, evaluator.inside(k, part), e.tag, modulus[k + 1],
                                       axial[k + 1]});
            }
            x += e.length;
        }
        shape.push_back(Sample{x, evaluator.after(k), e.tag, modulus[k + 1], axial[k + 1]});
    }
    normalise(shape);
    return shape;
}

bool computeCritical(const Script& script, const BeamModel& beam, int count, int points,
                     std::vector<CriticalSpeed>& speeds, Problem& problem) {
    speeds.clear();
    const solver::Vibration v = solver::vibrate(beam, count);
    if (v.check.status != solver::Status::solved) {
        int tag = beam.leftTag;
        const std::string text = solverMessage(script, v.check, tag);
        problem = Problem{script.actions[tag].line, script.actions[tag].column, text};
        return false;
    }
    if (v.noMass || v.massHeld) {
        // Point masses there may be, but none where the beam can move.
        for (const Element& e : beam.elements) {
            if (e.kind == ElementKind::mass && (e.value > 0.0 || e.inertia > 0.0)) {
                problem = Problem{e.line, e.column,
                                  "no mass can move: each point mass stands where the beam is "
                                  "held (w fixed for m, psi too for J); give m=, rho= or a Masse "
                                  "where the beam can move"};
                return false;
            }
        }
        problem = Problem{beam.leftLine, beam.leftColumn, "no mass: give m=, rho= or Masse"};
        return false;
    }
    if (v.uncertain) {
        problem = Problem{beam.leftLine, beam.leftColumn,
                          "a critical speed's shape would need a section cut into more pieces "
                          "than the count takes (a compression near the section's shear "
                          "stiffness GAs): it cannot be told"};
        return false;
    }
    if (v.outOfRange) {
        problem = Problem{beam.leftLine, beam.leftColumn,
                          "a critical speed lies beyond the range of numbers in these units "
                          "(above 1.8e308 or below 2.2e-308): give the beam in other units"};
        return false;
    }
    constexpr double twoPi = 2.0 * 3.14159265358979323846;
    for (const solver::Mode& mode : v.modes) {
        CriticalSpeed c;
        c.omega = mode.omega;
        c.f = mode.omega / twoPi;
        c.n = 60.0 * c.f;
        if (!std::isfinite(c.n)) {
            problem = Problem{beam.leftLine, beam.leftColumn,
                              "a critical speed lies beyond the range of numbers in these units "
                              "(above 1.8e308 or below 2.2e-308): give the beam in other units"};
            speeds.clear();
            return false;
        }
        if (!mode.states.empty()) c.shape = modeShape(beam, mode, points);
        speeds.push_back(std::move(c));
    }
    return true;
}

}  // namespace velmora
