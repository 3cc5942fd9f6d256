// The two evaluators, and the one sampler of a diagram over either.
#include "analysis/evaluator.h"

#include <cmath>

#include "engine/engine.h"
#include "solver/field.h"

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

namespace {

bool isPlace(const Element& e) { return !(e.isSection() && e.length > 0.0); }

// The W each sample takes: inside and at the end of a section its own, just
// right of a point element that of the next section (the last one's after
// it), so that M / W is never a moment of one section over another's W.
std::vector<double> modulusAfter(const BeamModel& beam) {
    const int n = static_cast<int>(beam.elements.size());
    std::vector<double> after(n + 1, 0.0);
    int lastSection = -1;
    for (int k = 0; k < n; ++k) {
        if (beam.elements[k].isSection()) lastSection = k;
    }
    double next = lastSection >= 0 ? sectionModulus(beam.elements[lastSection]) : 0.0;
    for (int k = n - 1; k >= -1; --k) {
        if (k >= 0 && beam.elements[k].isSection()) next = sectionModulus(beam.elements[k]);
        after[k + 1] = next;
    }
    return after;
}

// N / A the same way: 0 where a section has no axial force or no area.
std::vector<double> axialAfter(const BeamModel& beam) {
    const int n = static_cast<int>(beam.elements.size());
    auto axial = [](const Element& e) {
        const double a = sectionArea(e);
        return e.axialForce != 0.0 && a > 0.0 ? e.axialForce / a : 0.0;
    };
    std::vector<double> after(n + 1, 0.0);
    int lastSection = -1;
    for (int k = 0; k < n; ++k) {
        if (beam.elements[k].isSection()) lastSection = k;
    }
    double next = lastSection >= 0 ? axial(beam.elements[lastSection]) : 0.0;
    for (int k = n - 1; k >= -1; --k) {
        if (k >= 0 && beam.elements[k].isSection()) next = axial(beam.elements[k]);
        after[k + 1] = next;
    }
    return after;
}

}  // namespace

void sampleDiagram(const BeamModel& beam, int points, Evaluator& evaluator, Diagram& d) {
    d.first = beam.leftTag;
    d.last = beam.rightTag;
    d.samples.clear();
    d.reactions.clear();
    d.allFinite = true;
    d.watch = Watch{};
    for (Extreme& e : d.extremes) e = Extreme{};
    d.stress = Extreme{};
    d.stressBeyond = StressOverflow{};
    d.hasStress = false;
    d.hasAxialStress = false;
    d.stressTop = Extreme{};
    const std::vector<double> modulus = modulusAfter(beam);
    const std::vector<double> axial = axialAfter(beam);
    for (const Element& e : beam.elements) {
        d.hasStress = d.hasStress || (e.isSection() && sectionModulus(e) > 0.0);
    }
    for (size_t k = 0; k < axial.size(); ++k) {
        d.hasAxialStress = d.hasAxialStress || (axial[k] != 0.0 && modulus[k] > 0.0);
    }
    // The vertical force of each node's state, whose jumps are the reactions.
    const std::vector<int> nodeSection = solver::nodeSections(beam);
    auto vertical = [&](int node, const State& s) {
        return solver::verticalForce(beam, nodeSection[node], s);
    };
    double w = modulus[0];
    double na = axial[0];
    // sigma = M / W of a finite M (N / A + M / W with an axial force), with
    // where it overflows.
    auto stressAt = [&](int action, double m, double x) {
        const double sigma = na == 0.0 ? m / w : na + m / w;
        consider(d.stress, sigma, x);
        if (d.hasAxialStress) consider(d.stressTop, na - m / w, x);
        if (std::isfinite(sigma) || !std::isfinite(m)) return;
        StressOverflow& o = d.stressBeyond;
        if (o.action < 0 || (o.action == action && std::fabs(m) > std::fabs(o.moment))) {
            o = StressOverflow{action, x, m, w};
        }
    };
    auto sample = [&](double x, int action, const State& s) {
        d.samples.push_back(Sample{x, s, action, w, na});
        if (!finite(s)) d.allFinite = false;
        for (int k = 0; k < rowCount; ++k) consider(d.extremes[k], s[k], x);
    };
    const int n = static_cast<int>(beam.elements.size());
    std::vector<size_t> afterSample(n, 0);
    std::vector<size_t> reactionOf(n, 0);

    // The left end, seen from inside the beam.
    double x = 0.0;
    sample(x, beam.leftTag, evaluator.start());
    if (beam.left != End::free) {
        const State& s = d.samples.back().value;
        addReaction(d, beam.leftTag, x, vertical(0, s),
                    beam.left == End::clamped || beam.left == End::guided, s[rowM]);
    }
    for (int k = 0; k < n; ++k) {
        const Element& e = beam.elements[k];
        const State before = d.samples.back().value;
        if (e.isSection()) {
            w = modulus[k + 1];
            na = axial[k + 1];
            const bool stress = w > 0.0;
            if (stress) stressAt(e.tag, before[rowM], x);
            for (int i = 1; i <= points; ++i) {
                const double part = e.length * (static_cast<double>(i) / (points + 1.0));
                sample(x + part, e.tag, evaluator.inside(k, part));
                if (stress) stressAt(e.tag, d.samples.back().value[rowM], x + part);
            }
            // Between the samples: where each quantity's derivative vanishes,
            // by the section's own transfer from its start. sigma = M / W
            // with W constant in the section has its extremes where M has.
            if (isPlainSection(e)) {
                for (int q = 0; q < rowCount; ++q) {
                    for (const double t : criticalPlaces(e, before, q)) {
                        const double v = solver::stateInside(e, before, t)[q];
                        consider(d.extremes[q], v, x + t);
                        if (stress && q == rowM) stressAt(e.tag, v, x + t);
                    }
                }
            } else {
                static const std::vector<State> none;
                const std::vector<State>* field = evaluator.field(k);
                const auto places = fieldCriticalPlaces(e, field ? *field : none, before);
                for (int q = 0; q < rowCount; ++q) {
                    for (const double t : places[q]) {
                        const double v = evaluator.inside(k, t)[q];
                        consider(d.extremes[q], v, x + t);
                        if (stress && q == rowM) stressAt(e.tag, v, x + t);
                    }
                }
                // Its own end: where the next section's N differs, the
                // state after it reports that section's Q.
                if (e.length > 0.0)
                    consider(d.extremes[rowQ], evaluator.inside(k, e.length)[rowQ], x + e.length);
            }
            x += e.length;
        }
        w = modulus[k + 1];
        na = axial[k + 1];
        sample(x, e.tag, evaluator.after(k));
        if (e.isSection() && e.foundation > 0.0) {
            // V' = k w - q: what the foundation takes is the jump of V over
            // the section and the load on it, exactly.
            const double load = e.q * e.length + e.qs * e.length * e.length / 2.0;
            const State& after = d.samples.back().value;
            d.foundations.push_back(FoundationForce{
                e.tag, x - e.length, x, vertical(k + 1, after) - vertical(k, before) + load});
        }
        if (e.isSection() && w > 0.0) stressAt(e.tag, d.samples.back().value[rowM], x);
        afterSample[k] = d.samples.size() - 1;
        if (e.takesForce() || e.takesMoment()) {
            // The jumps of Q and M across the place: a clamp takes both, a
            // rotational spring only its moment -c psi.
            const State& after = d.samples.back().value;
            reactionOf[k] = d.reactions.size();
            addReaction(d, e.tag, x, vertical(k + 1, after) - vertical(k, before), e.takesMoment(),
                        after[rowM] - before[rowM]);
        }
    }
    // The right end, seen from inside: the last sample is just left of it.
    if (beam.right != End::free) {
        const State& s = d.samples.back().value;
        // + 0.0: a guided end's exact 0 force prints as 0, not -0.
        addReaction(d, beam.rightTag, x, -vertical(n, s) + 0.0,
                    beam.right == End::clamped || beam.right == End::guided, -s[rowM] + 0.0);
    }
    d.length = x;
    // A hinge at the place of a support or spring: psi on both sides of the
    // place, all its point elements between.
    for (int k = 0; k < n; ++k) {
        if (!beam.elements[k].takesForce() && !beam.elements[k].takesMoment()) continue;
        int from = k, to = k;
        while (from > 0 && isPlace(beam.elements[from - 1])) --from;
        while (to + 1 < n && isPlace(beam.elements[to + 1])) ++to;
        bool hinge = false;
        for (int j = from; j <= to; ++j)
            hinge = hinge || beam.elements[j].kind == ElementKind::hinge;
        if (!hinge) continue;
        Reaction& r = d.reactions[reactionOf[k]];
        r.kinked = true;
        r.psi = d.samples[from == 0 ? 0 : afterSample[from - 1]].value[rowPsi];
        r.psiRight = d.samples[afterSample[to]].value[rowPsi];
    }
}

bool stressRepresentable(const Script& script, const Diagram& d, Problem& problem) {
    const StressOverflow& o = d.stressBeyond;
    if (o.action < 0) return true;
    const Action& a = script.actions[o.action];
    const bool shaft = a.kind == Kind::shaftSection;
    const int column = a.valueColumn[shaft ? slotDiameter : slotModulus];
    problem = Problem{a.line, column > 0 ? column : a.column,
                      std::string(shaft ? "W = pi d^3 / 32 = " : "W = ") + exactNumber(o.modulus) +
                          " is too small for the moments of this section: sigma = M / W is "
                          "beyond the range of a double (M = " +
                          exactNumber(o.moment) + " at x = " + exactNumber(o.x) + ")"};
    return false;
}

}  // namespace velmora
