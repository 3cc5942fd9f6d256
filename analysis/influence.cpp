// Influence lines by the kinematic method. The beam is copied without its
// loads; every section holding a cut is split there; and the unit
// deformation of the requested quantity is inserted as F4 loads: the
// ordinate at x is then the deflection w at x of that beam, which by the
// reciprocal theorem is the quantity at the cut under a unit downward force
// at x. The copy is sampled like a diagram, by repeated runs or by the
// general solver.
#include "analysis/influence.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "analysis/general.h"
#include "engine/engine.h"
#include "keyed/keys.h"
#include "text/report.h"

namespace velmora {
namespace {

// A place where a line is cut: inside section `action` at distance `part`
// from its start, or (part < 0) just right of action `action` as a whole.
struct Cut {
    int action = 0;
    double part = -1.0;
    double x = 0.0;
    bool operator==(const Cut& o) const { return action == o.action && part == o.part; }
};

// Where a sample of a copied beam is taken: just right of step `step`, or
// inside it at `part`.
struct Station {
    int step = 0;
    double part = -1.0;
    double x = 0.0;
};

// What each line inserts: at its cut, or around its support.
struct Plan {
    Cut cut;
    bool hasCut = false;
    std::vector<std::pair<Choice, double>> atCut;  // F4 kind and value
    int support = -1;                              // the support of a reaction
};

// Places closer than this, in units of the beam's length, are one place: a
// typed x should meet the end of a section that sums to it.
constexpr double sameplace = 1e-12;

std::string number(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%g", x);
    return text;
}

Action unitLoad(Choice choice, double value, const Action& near) {
    Action a;
    a.kind = Kind::pointLoad;
    a.choice = choice;
    a.value[slotLoad] = value;
    a.given[slotLoad] = true;
    a.line = near.line;
    a.column = near.column;
    return a;
}

// The action as the unloaded beam has it: no line load, point loads of
// value 0 (they keep their samples), no prescribed end values.
Action unloaded(const Action& original) {
    Action a = original;
    if (isSection(a)) {
        a.given[slotLineLoad] = a.given[slotLineSlope] = false;
        a.value[slotLineLoad] = a.value[slotLineSlope] = 0.0;
    } else if (a.kind == Kind::pointLoad) {
        a.value[slotLoad] = 0.0;
    } else if (a.kind == Kind::rightEnd) {
        a.value[slotEndMoment] = a.value[slotEndForce] = 0.0;
    }
    return a;
}

// The copied beam of one line, and where its samples lie.
struct Copy {
    std::vector<Action> steps;
    std::vector<Station> rows;
};

// Builds the unloaded copy of first..last for `plan`, split at every cut of
// `cuts` (sorted along the beam), with the rows of the diagram's samples and
// of every cut. Every line gets the same rows in the same order.
void buildCopy(const Script& script, int first, int last, int points, const std::vector<Cut>& cuts,
               const Plan& plan, Copy& copy) {
    auto& steps = copy.steps;
    auto& rows = copy.rows;
    auto row = [&](double x) {
        rows.push_back(Station{static_cast<int>(steps.size()) - 1, -1.0, x});
    };
    auto insert = [&](const std::vector<std::pair<Choice, double>>& loads, const Action& near) {
        for (const auto& load : loads) steps.push_back(unitLoad(load.first, load.second, near));
    };
    const bool leftReaction = plan.support == first;
    const bool rightReaction = plan.support == last;
    double x = 0.0;
    for (int i = first; i <= last; ++i) {
        const Action& original = script.actions[i];
        if (original.kind == Kind::evaluate) continue;
        const Action a = unloaded(original);
        if (isSection(a)) {
            const double l = a.value[slotLength];
            double start = 0.0;  // where the current piece starts in the section
            int k = 1;
            auto interior = [&](double upto, bool closed) {
                for (; k <= points; ++k) {
                    const double part = l * (static_cast<double>(k) / (points + 1.0));
                    if (part > upto || (!closed && part == upto)) break;
                    rows.push_back(
                        Station{static_cast<int>(steps.size()) - 1, part - start, x + part});
                }
            };
            for (const Cut& c : cuts) {
                if (c.action != i || c.part < 0.0) continue;
                Action piece = a;
                piece.value[slotLength] = c.part - start;
                steps.push_back(piece);
                interior(c.part, true);
                row(c.x);
                if (plan.hasCut && plan.cut == c) insert(plan.atCut, a);
                row(c.x);
                start = c.part;
            }
            Action piece = a;
            piece.value[slotLength] = l - start;
            steps.push_back(piece);
            interior(l, false);
            x += l;
            row(x);
        } else if (a.kind == Kind::rightEnd) {
            // The right end's settlement: w just left of it is 1.
            if (rightReaction) steps.push_back(unitLoad(loadOffset, 1.0, a));
            steps.push_back(a);
        } else if (i == plan.support && !leftReaction) {
            // A support or spring moved by 1: offsets on either side of it,
            // the sample taken outside them, where the beam is.
            steps.push_back(unitLoad(loadOffset, 1.0, a));
            steps.push_back(a);
            steps.push_back(unitLoad(loadOffset, -1.0, a));
            row(x);
        } else {
            steps.push_back(a);
            if (leftReaction && a.kind == Kind::leftEnd) {
                steps.push_back(unitLoad(loadOffset, -1.0, a));
            }
            row(x);
        }
        for (const Cut& c : cuts) {
            if (c.action != i || c.part >= 0.0) continue;
            if (plan.hasCut && plan.cut == c) insert(plan.atCut, a);
            row(c.x);
        }
    }
}

// Evaluation of a copy, one method each.

bool sampleKeyed(const Copy& copy, Script& beam, InfluenceLine& line, Watch& watch) {
    beam.actions = copy.steps;
    resetEngineState();
    watch = Watch{};
    for (int i = 0; i < beam.count(); ++i) performWatched(beam, i, watch);
    bool finite = true;
    // Rows lie in the order of their steps: each starts from a copy of the
    // state at its step, bit for bit a repeated run from F1.
    RepeatedRun run(beam, 0, -1, true);
    for (const Station& r : copy.rows) {
        run.toStartOf(r.step);
        if (r.part < 0.0) {
            perform(beam.actions[r.step]);
        } else {
            performPart(beam.actions[r.step], r.part);
        }
        evaluateState();
        if (!resultsAreFinite()) finite = false;
        line.ordinate.push_back(resultW);
        line.slope.push_back(resultPsi);
    }
    return finite;
}

solver::Solution sampleGeneral(const Copy& copy, Script& beam, InfluenceLine& line) {
    beam.actions = copy.steps;
    const solver::Beam b = beamOf(beam, 0, beam.count() - 1);
    const solver::Solution s = solver::solve(b);
    if (s.status != solver::Status::solved) return s;
    for (const Station& r : copy.rows) {
        const solver::State state =
            r.part < 0.0
                ? s.states[r.step]
                : solver::stateInside(b.elements[r.step - 1], s.states[r.step - 1], r.part);
        line.ordinate.push_back(state[solver::rowW]);
        line.slope.push_back(state[solver::rowPsi]);
    }
    return s;
}

// Between two samples at different places the unloaded beam's deflection
// is a cubic, fixed by the ordinates and slopes at both ends: its exact
// area and extremes follow, whatever the number of samples. In s = t / h:
// p(s) = c0 + c1 s + c2 s^2 + c3 s^3.
struct Cubic {
    double c[4];
    Cubic(double a, double ma, double b, double mb, double h)
        : c{a, h * ma, -3 * a - 2 * h * ma + 3 * b - h * mb, 2 * a + h * ma - 2 * b + h * mb} {}
    double at(double s) const { return c[0] + s * (c[1] + s * (c[2] + s * c[3])); }
    double integral(double s) const {
        return s * (c[0] + s * (c[1] / 2 + s * (c[2] / 3 + s * c[3] / 4)));
    }
    // Where p' = 0 inside (0, 1), in order.
    std::vector<double> stationary() const {
        std::vector<double> s;
        const double qa = 3 * c[3], qb = 2 * c[2], qc = c[1];
        if (qa == 0.0) {
            if (qb != 0.0) s.push_back(-qc / qb);
        } else {
            const double d = qb * qb - 4 * qa * qc;
            if (d >= 0.0) {
                // The root without cancellation, then the other through the product.
                const double r = -(qb + std::copysign(std::sqrt(d), qb)) / 2;
                if (r != 0.0) s.push_back(qc / r);
                s.push_back(r / qa);
            }
        }
        std::vector<double> inside;
        for (double v : s) {
            if (v > 0.0 && v < 1.0) inside.push_back(v);
        }
        std::sort(inside.begin(), inside.end());
        return inside;
    }
    // The root in [s0, s1], where p changes sign, by bisection.
    double root(double s0, double s1) const {
        const bool rising = at(s0) < 0.0;
        for (int i = 0; i < 200 && s0 < s1; ++i) {
            const double m = s0 + (s1 - s0) / 2;
            if (m <= s0 || m >= s1) break;
            ((at(m) < 0.0) == rising ? s0 : s1) = m;
        }
        return s0 + (s1 - s0) / 2;
    }
};

void measure(InfluenceLine& line) {
    Extreme& e = line.extreme;
    e = Extreme{};
    const auto& x = line.x;
    const auto& y = line.ordinate;
    const auto& m = line.slope;
    line.positiveArea = line.negativeArea = 0.0;
    for (size_t i = 0; i < y.size(); ++i) {
        consider(e, y[i], x[i]);
        if (i == 0) continue;
        const double h = x[i] - x[i - 1];
        if (!(h > 0.0) || !std::isfinite(y[i - 1] + m[i - 1] + y[i] + m[i])) continue;
        const Cubic p(y[i - 1], m[i - 1], y[i], m[i], h);
        // Pieces between the stationary points are monotone: each holds at
        // most one zero.
        std::vector<double> cuts{0.0};
        for (double s : p.stationary()) {
            consider(e, p.at(s), x[i - 1] + s * h);
            cuts.push_back(s);
        }
        cuts.push_back(1.0);
        for (size_t k = 1; k < cuts.size(); ++k) {
            double s0 = cuts[k - 1];
            const double s1 = cuts[k];
            if ((p.at(s0) < 0.0) != (p.at(s1) < 0.0)) {
                const double z = p.root(s0, s1);
                const double part = h * (p.integral(z) - p.integral(s0));
                (part > 0.0 ? line.positiveArea : line.negativeArea) += part;
                s0 = z;
            }
            const double part = h * (p.integral(s1) - p.integral(s0));
            (part > 0.0 ? line.positiveArea : line.negativeArea) += part;
        }
    }
}

void applyLive(InfluenceLine& line, const std::vector<LiveLoad>& live) {
    line.live.clear();
    for (const LiveLoad& l : live) {
        double a = 0.0;
        double b = 0.0;
        if (l.uniform) {
            a = l.value * line.positiveArea;
            b = l.value * line.negativeArea;
        } else if (line.extreme.found) {
            a = l.value * line.extreme.max;
            b = l.value * line.extreme.min;
        }
        line.live.push_back(LiveExtreme{std::max(a, b), std::min(a, b)});
    }
}

// ---------------------------------------------------------------------------
// Requests against the beam.

struct Resolver {
    const Script& script;
    int first;
    int last;
    Problem& problem;
    double length = 0.0;

    void fail(const Action& a, int column, const std::string& text) const {
        problem = Problem{a.line, column, text};
    }

    // The cut of a place x, or false with the message.
    bool cutOf(const InfluenceRequest& r, Cut& cut) const {
        const std::string what = "--influence " + r.text + ": ";
        const double tol = sameplace * length;
        if (!(r.x >= -tol && r.x <= length + tol)) {
            fail(script.actions[first], script.actions[first].column,
                 what + "x = " + number(r.x) +
                     " lies outside this beam, which runs from x = 0 to x = " + number(length) +
                     " (to its right end on line " + std::to_string(script.actions[last].line) +
                     ")");
            return false;
        }
        // Inside a section, the cut splits it. At a boundary, the block of
        // point elements (and sections of length 0) there lies between the
        // action `before` (F1, or the section ending there) and `blockLast`.
        double at = 0.0;
        int before = std::fabs(r.x) <= tol ? first : -1;
        for (int i = first + 1; i < last && before < 0; ++i) {
            const Action& a = script.actions[i];
            if (!isSection(a) || !(a.value[slotLength] > 0.0)) continue;
            const double l = a.value[slotLength];
            if (r.x > at + tol && r.x < at + l - tol) {
                cut = Cut{i, r.x - at, r.x};
                return true;
            }
            at += l;
            if (std::fabs(at - r.x) <= tol) before = i;
        }
        if (before < 0) {  // x within the tolerance of the right end, but past it
            before = last - 1;
            while (!isSection(script.actions[before]) ||
                   !(script.actions[before].value[slotLength] > 0.0))
                --before;
            at = length;
        }
        int blockLast = before;
        int jump = -1;
        for (int i = before + 1; i < last; ++i) {
            const Action& a = script.actions[i];
            if (isSection(a) && a.value[slotLength] > 0.0) break;
            if (a.kind == Kind::evaluate) continue;
            blockLast = i;
            const bool shearJumps = a.kind == Kind::spring || a.choice == midSupport;
            if (jump < 0 && r.what == InfluenceRequest::shear && shearJumps) jump = i;
            if (jump < 0 && r.what == InfluenceRequest::slope && a.choice == midHinge) jump = i;
        }
        if (jump >= 0 && r.side == 0) {
            const std::string bare = r.text.substr(0, r.text.find('@') + 1) + number(r.x);
            fail(script.actions[jump], script.actions[jump].column,
                 what + std::string(r.what == InfluenceRequest::shear ? "Q" : "psi") +
                     " jumps at this " + actionName(script.actions[jump]) + " (x = " + number(at) +
                     "): say " + bare + "- or " + bare + "+ for a side");
            return false;
        }
        cut = Cut{r.side < 0 ? before : blockLast, -1.0, at};
        return true;
    }

    bool supportOf(const InfluenceRequest& r, int& index, double& x) const {
        const std::string what = "--influence " + r.text + ": ";
        double at = 0.0;
        for (int i = first; i <= last; ++i) {
            const Action& a = script.actions[i];
            if (a.line != r.line) {
                if (isSection(a)) at += a.value[slotLength];
                continue;
            }
            const bool holds = (a.kind == Kind::leftEnd && a.choice != leftFree) ||
                               (a.kind == Kind::rightEnd && a.choice != rightFree) ||
                               a.kind == Kind::spring || a.choice == midSupport;
            if (!holds) {
                fail(a, a.column,
                     what + "this " + actionName(a) +
                         " holds no support: a reaction needs a supported end, an intermediate "
                         "support or a spring");
                return false;
            }
            index = i;
            x = at;
            return true;
        }
        const Action& f1 = script.actions[first];
        problem = Problem{r.line, 1,
                          what + "line " + std::to_string(r.line) +
                              " holds no action of the beam on lines " + std::to_string(f1.line) +
                              " to " + std::to_string(script.actions[last].line)};
        return false;
    }
};

}  // namespace

bool computeInfluence(const Script& script, int first, int last, int points, bool general,
                      const std::vector<InfluenceRequest>& requests,
                      const std::vector<LiveLoad>& live, std::vector<InfluenceLine>& lines,
                      Problem& warning, Problem& problem) {
    Resolver resolve{script, first, last, problem};
    for (int i = first; i <= last; ++i) {
        if (isSection(script.actions[i])) resolve.length += script.actions[i].value[slotLength];
    }
    std::vector<Plan> plans;
    std::vector<Cut> cuts;
    lines.assign(requests.size(), InfluenceLine{});
    for (size_t n = 0; n < requests.size(); ++n) {
        const InfluenceRequest& r = requests[n];
        Plan p;
        lines[n].request = r;
        if (r.what == InfluenceRequest::reaction) {
            if (!resolve.supportOf(r, p.support, lines[n].place)) return false;
            lines[n].action = p.support;
        } else {
            if (!resolve.cutOf(r, p.cut)) return false;
            p.hasCut = true;
            lines[n].place = p.cut.x;
            // Signs: each makes w at x the quantity at the cut under a unit
            // downward force at x, as the reciprocity test confirms.
            switch (r.what) {
                case InfluenceRequest::moment:
                    p.atCut.push_back({loadAngle, 1.0});
                    break;
                case InfluenceRequest::shear:
                    p.atCut.push_back({loadOffset, -1.0});
                    break;
                case InfluenceRequest::deflection:
                    p.atCut.push_back({loadForce, 1.0});
                    break;
                default:
                    p.atCut.push_back({loadMoment, -1.0});
                    break;
            }
            if (std::find(cuts.begin(), cuts.end(), p.cut) == cuts.end()) cuts.push_back(p.cut);
        }
        plans.push_back(p);
    }
    std::sort(cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) {
        return a.action != b.action ? a.action < b.action : a.part < b.part;
    });

    auto beam = std::make_unique<Script>();
    for (size_t n = 0; n < plans.size(); ++n) {
        Copy copy;
        buildCopy(script, first, last, points, cuts, plans[n], copy);
        if (copy.steps.size() > static_cast<size_t>(maxActions)) {
            problem =
                Problem{script.actions[first].line, 1,
                        "--influence " + requests[n].text + ": the beam with its cuts would take " +
                            std::to_string(copy.steps.size()) + " actions, more than " +
                            std::to_string(maxActions)};
            return false;
        }
        InfluenceLine& line = lines[n];
        for (const Station& r : copy.rows) line.x.push_back(r.x);
        if (general) {
            const solver::Solution s = sampleGeneral(copy, *beam, line);
            if (s.status != solver::Status::solved) {
                int tag = 0;
                const std::string text = solverMessage(*beam, s, tag);
                const Action& a = beam->actions[tag];
                problem =
                    Problem{a.line, a.column, "--influence " + requests[n].text + ": " + text};
                return false;
            }
        } else {
            Watch watch;
            line.allFinite = sampleKeyed(copy, *beam, line, watch);
            if (!line.allFinite && warning.text.empty()) {
                const std::string what = "the influence line " + requests[n].text;
                if (watch.brokenAt >= 0) {
                    const Action& culprit = beam->actions[watch.brokenAt];
                    // The copy has the beam's supports and hinges: what the
                    // general solver says of it holds for the beam.
                    std::string cause = watch.cause;
                    judgeBreak(*beam, 0, beam->count() - 1, watch.brokenAt, cause);
                    warning = Problem{culprit.line, culprit.column,
                                      what +
                                          " has values that are not finite; the state stopped "
                                          "being finite after this " +
                                          actionName(culprit) + ": " + cause};
                } else {
                    const Action& a = script.actions[first];
                    warning = Problem{a.line, a.column,
                                      what +
                                          " has values that are not finite: the evaluation "
                                          "overflowed the range of a double"};
                }
            }
        }
        measure(line);
        applyLive(line, live);
    }
    return true;
}

}  // namespace velmora
