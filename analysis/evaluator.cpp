// The two evaluators, and the one sampler of a diagram over either.
#include "analysis/evaluator.h"

#include <cmath>

#include "engine/engine.h"

namespace velmora {
namespace {

State evaluated() {
    evaluateState();
    return State{resultW, resultPsi, resultM, resultQ};
}

bool finite(const State& s) {
    for (const double v : s) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

// The last sample is taken after the last element: its repeated run is the
// one made from F1.
int lastStart(const BeamModel& beam) {
    return beam.elements.empty() ? beam.leftTag + 1 : beam.elements.back().tag + 1;
}

}  // namespace

KeyedEvaluator::KeyedEvaluator(const Script& script, const BeamModel& beam, bool fromCopies)
    : script_(script), beam_(beam), run_(script, beam.leftTag, lastStart(beam), fromCopies) {
    resetEngineState();
    for (int i = beam.leftTag; i <= beam.rightTag; ++i) {
        if (script.actions[i].kind != Kind::evaluate) performWatched(script, i, watch_);
    }
}

State KeyedEvaluator::start() {
    run_.toStartOf(beam_.leftTag + 1);
    return evaluated();
}

State KeyedEvaluator::after(int element) {
    run_.toStartOf(beam_.elements[element].tag + 1);
    return evaluated();
}

State KeyedEvaluator::inside(int element, double part) {
    const int tag = beam_.elements[element].tag;
    run_.toStartOf(tag);
    performPart(script_.actions[tag], part);
    return evaluated();
}

State stateAt(const BeamModel& beam, Evaluator& evaluator, double x, bool left) {
    const double near = 1e-12 * beam.length;
    const int n = static_cast<int>(beam.elements.size());
    for (int k = 0; k < n; ++k) {
        const Element& e = beam.elements[k];
        if (e.isSection() && x > e.x + near && x < e.x + e.length - near) {
            return evaluator.inside(k, x - e.x);
        }
    }
    // At a boundary: before the first element at or past x, or, on the right
    // side, before the first element past x or the first section going on
    // from x.
    for (int k = 0; k < n; ++k) {
        const Element& e = beam.elements[k];
        const bool reached =
            left ? e.x >= x - near
                 : e.x > x + near || (e.isSection() && e.length > 0.0 && e.x >= x - near);
        if (reached) return evaluator.before(k);
    }
    return n == 0 ? evaluator.start() : evaluator.after(n - 1);
}

void sampleDiagram(const BeamModel& beam, int points, Evaluator& evaluator, Diagram& d) {
    d.first = beam.leftTag;
    d.last = beam.rightTag;
    d.samples.clear();
    d.reactions.clear();
    d.allFinite = true;
    d.watch = Watch{};
    for (Extreme& e : d.extremes) e = Extreme{};
    auto sample = [&](double x, int action, const State& s) {
        d.samples.push_back(Sample{x, s, action});
        if (!finite(s)) d.allFinite = false;
        for (int k = 0; k < rowCount; ++k) consider(d.extremes[k], s[k], x);
    };

    // The left end, seen from inside the beam.
    double x = 0.0;
    sample(x, beam.leftTag, evaluator.start());
    if (beam.left != End::free) {
        const State& s = d.samples.back().value;
        addReaction(d, beam.leftTag, x, s[rowQ], beam.left == End::clamped, s[rowM]);
    }
    for (int k = 0; k < static_cast<int>(beam.elements.size()); ++k) {
        const Element& e = beam.elements[k];
        const State before = d.samples.back().value;
        if (e.isSection()) {
            for (int n = 1; n <= points; ++n) {
                const double part = e.length * (static_cast<double>(n) / (points + 1.0));
                sample(x + part, e.tag, evaluator.inside(k, part));
            }
            // Between the samples: where each quantity's derivative vanishes,
            // by the section's own transfer from its start.
            for (int q = 0; q < rowCount; ++q) {
                for (const double t : criticalPlaces(e, before, q)) {
                    consider(d.extremes[q], solver::stateInside(e, before, t)[q], x + t);
                }
            }
            x += e.length;
        }
        sample(x, e.tag, evaluator.after(k));
        if (e.takesForce()) {
            addReaction(d, e.tag, x, d.samples.back().value[rowQ] - before[rowQ], false, 0.0);
        }
    }
    // The right end, seen from inside: the last sample is just left of it.
    if (beam.right != End::free) {
        const State& s = d.samples.back().value;
        addReaction(d, beam.rightTag, x, -s[rowQ], beam.right == End::clamped, -s[rowM]);
    }
    d.length = x;
}

}  // namespace velmora
