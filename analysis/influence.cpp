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

#include "analysis/evaluator.h"
#include "analysis/general.h"
#include "solver/field.h"

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

// Where a sample of a copied beam is taken: just right of element
// `element` (-1: of the left end), or inside it at `part`.
struct Station {
    int element = -1;
    double part = -1.0;
    double x = 0.0;
};

// What each line inserts: at its cut, or around its support.
struct Plan {
    Cut cut;
    bool hasCut = false;
    std::vector<std::pair<int, double>> atCut;  // the row of a unit load, and its value
    int support = -1;                           // the support of a reaction
    bool turn = false;                          // a moment reaction: the support turned, not moved
};

// Places closer than this, in units of the beam's length, are one place: a
// typed x should meet the end of a section that sums to it.
constexpr double sameplace = 1e-12;

// A place in a message, in the digits that tell it apart.
std::string number(double x) { return exactNumber(x); }

// A unit load of the copy, named by the action it stands beside.
Element unitLoad(int row, double value, int near) {
    Element e;
    e.kind = ElementKind::pointLoad;
    e.loadRow = row;
    e.value = value;
    e.tag = near;
    return e;
}

// The action as the unloaded beam has it: no line load, point loads of
// value 0 (they keep their samples), no prescribed end values.
Action unloaded(const Action& original) {
    Action a = original;
    if (isSection(a)) {
        a.given[slotLineLoad] = a.given[slotLineSlope] = false;
        a.value[slotLineLoad] = a.value[slotLineSlope] = 0.0;
        a.given[slotCurvature] = false;
        a.value[slotCurvature] = 0.0;
    } else if (a.kind == Kind::pointLoad) {
        a.value[slotLoad] = 0.0;
    } else if (a.kind == Kind::rightEnd) {
        a.value[slotEndMoment] = a.value[slotEndForce] = 0.0;
    }
    return a;
}

// The copied beam of one line, and where its samples lie.
struct Copy {
    BeamModel beam;
    std::vector<Station> rows;
};

// Builds the unloaded copy of `beam` for `plan`, split at every cut of
// `cuts` (sorted along the beam), with the rows of the diagram's samples and
// of every cut. Every line gets the same rows in the same order.
void buildCopy(const BeamModel& beam, int points, const std::vector<Cut>& cuts, const Plan& plan,
               Copy& copy) {
    BeamModel& to = copy.beam;
    to.left = beam.left;
    to.leftTag = beam.leftTag;
    to.right = beam.right;
    to.rightTag = beam.rightTag;
    auto& elements = to.elements;
    auto& rows = copy.rows;
    auto last = [&] { return static_cast<int>(elements.size()) - 1; };
    auto row = [&](double x) { rows.push_back(Station{last(), -1.0, x}); };
    auto insert = [&](const std::vector<std::pair<int, double>>& loads, int near) {
        for (const auto& load : loads) elements.push_back(unitLoad(load.first, load.second, near));
    };
    auto cutsAfter = [&](int tag) {
        for (const Cut& c : cuts) {
            if (c.action != tag || c.part >= 0.0) continue;
            if (plan.hasCut && plan.cut == c) insert(plan.atCut, tag);
            row(c.x);
        }
    };
    // A moment reaction turns its support by -1 against the beam: by the
    // reciprocal theorem w at x is then the support's moment (the jump of M
    // there) under a unit downward force at x.
    const int moved = plan.turn ? rowPsi : rowW;
    // The left end's settlement: w just right of it is 1 (psi -1 for a turn).
    if (plan.support == beam.leftTag) {
        elements.push_back(unitLoad(moved, plan.turn ? 1.0 : -1.0, beam.leftTag));
    }
    row(0.0);
    cutsAfter(beam.leftTag);
    double x = 0.0;
    for (Element e : beam.elements) {
        e.q = e.qs = 0.0;
        e.curvature = 0.0;  // an imposed curvature loads the beam
        e.loaded = false;
        if (e.kind == ElementKind::pointLoad) e.value = 0.0;
        if (e.isSection()) {
            const double l = e.length;
            double start = 0.0;  // where the current piece starts in the section
            int k = 1;
            auto interior = [&](double upto, bool closed) {
                for (; k <= points; ++k) {
                    const double part = l * (static_cast<double>(k) / (points + 1.0));
                    if (part > upto || (!closed && part == upto)) break;
                    rows.push_back(Station{last(), part - start, x + part});
                }
            };
            for (const Cut& c : cuts) {
                if (c.action != e.tag || c.part < 0.0) continue;
                Element piece = e;
                piece.length = c.part - start;
                elements.push_back(piece);
                interior(c.part, true);
                row(c.x);
                if (plan.hasCut && plan.cut == c) insert(plan.atCut, e.tag);
                row(c.x);
                start = c.part;
            }
            Element piece = e;
            piece.length = l - start;
            elements.push_back(piece);
            interior(l, false);
            x += l;
            row(x);
        } else if (e.kind == ElementKind::otherKey) {
            // A right end the keyed run passes: pressed, but not sampled.
            if (plan.support == beam.rightTag) {
                elements.push_back(unitLoad(moved, plan.turn ? -1.0 : 1.0, e.tag));
            }
            elements.push_back(e);
        } else if (e.tag == plan.support) {
            // A support or spring moved by 1 (turned by -1): offsets on
            // either side of it, the sample taken outside them, where the
            // beam is.
            const double sign = plan.turn ? -1.0 : 1.0;
            elements.push_back(unitLoad(moved, sign, e.tag));
            elements.push_back(e);
            elements.push_back(unitLoad(moved, -sign, e.tag));
            row(x);
        } else {
            elements.push_back(e);
            row(x);
        }
        cutsAfter(e.tag);
    }
    // The right end's settlement: w just left of it is 1 (psi -1 for a turn).
    if (plan.support == beam.rightTag) {
        elements.push_back(unitLoad(moved, plan.turn ? -1.0 : 1.0, beam.rightTag));
    }
}

// Evaluation of a copy, one method each.

// The ordinates and slopes of a copy at its rows, by either method; false
// where one is not finite.
bool sample(const Copy& copy, Evaluator& evaluator, InfluenceLine& line) {
    bool finite = true;
    for (const Station& r : copy.rows) {
        const State state = r.part >= 0.0   ? evaluator.inside(r.element, r.part)
                            : r.element < 0 ? evaluator.start()
                                            : evaluator.after(r.element);
        finite = finite && std::isfinite(state[rowW]) && std::isfinite(state[rowPsi]);
        line.ordinate.push_back(state[rowW]);
        line.slope.push_back(state[rowPsi]);
    }
    return finite;
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

// The places where the copy's extended sections run (field.h): there the
// deflection is no cubic, and measureFields() takes the line's measure.
struct FieldSpan {
    int element = 0;
    double from = 0.0, to = 0.0;
};

void measure(InfluenceLine& line, const std::vector<FieldSpan>& fields) {
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
        const double middle = x[i - 1] + h / 2.0;
        bool inField = false;
        for (const FieldSpan& f : fields) inField = inField || (middle > f.from && middle < f.to);
        if (inField) continue;
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

// The copy's extended sections, where the general solution gives the line.
std::vector<FieldSpan> fieldSpans(const BeamModel& beam) {
    std::vector<FieldSpan> spans;
    double x = 0.0;
    for (size_t k = 0; k < beam.elements.size(); ++k) {
        const Element& e = beam.elements[k];
        if (!e.isSection()) continue;
        if (!isPlainSection(e) && e.length > 0.0) {
            spans.push_back(FieldSpan{static_cast<int>(k), x, x + e.length});
        }
        x += e.length;
    }
    return spans;
}

// Over the extended sections: the extremes where w' changes sign
// (fieldCriticalPlaces), and the areas between the zeros of w, each
// stretch integrated by 8-point Gauss-Legendre on cells of exponent rate *
// h of at most 1/16, whose error lies far below rounding.
void measureFields(const std::vector<FieldSpan>& spans, const BeamModel& beam,
                   const solver::Solution& s, InfluenceLine& line) {
    static const double node[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                   0.9602898564975363};
    static const double weight[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                     0.1012285362903763};
    for (const FieldSpan& span : spans) {
        const Element& e = beam.elements[span.element];
        const std::vector<State>& field = s.fields[span.element];
        const State& start = s.states[span.element];
        const auto w = [&](double t) { return solver::stateInside(e, field, start, t)[rowW]; };
        const auto places = fieldCriticalPlaces(e, field, start);
        for (const double t : places[rowW]) {
            consider(line.extreme, w(t), span.from + t);
        }
        const solver::Field f(e);
        const int cells = std::max(8, (64 + f.pieces() - 1) / f.pieces()) * f.pieces();
        const double l = e.length;
        auto integrate = [&](double a, double b) {
            const double c = (a + b) / 2.0, r = (b - a) / 2.0;
            double sum = 0.0;
            for (int i = 0; i < 4; ++i)
                sum += weight[i] * (w(c - r * node[i]) + w(c + r * node[i]));
            return sum * r;
        };
        double a = 0.0, wa = w(0.0);
        for (int j = 1; j <= cells; ++j) {
            const double b = l * (static_cast<double>(j) / cells);
            const double wb = w(b);
            double from = a;
            if ((wa < 0.0 && wb > 0.0) || (wa > 0.0 && wb < 0.0)) {
                // The zero between, by bisection: each side keeps its sign.
                double lo = a, hi = b;
                for (int i = 0; i < 200 && lo < hi; ++i) {
                    const double mid = lo + (hi - lo) / 2.0;
                    if (mid <= lo || mid >= hi) break;
                    ((w(mid) < 0.0) == (wa < 0.0) ? lo : hi) = mid;
                }
                const double part = integrate(a, lo);
                (part > 0.0 ? line.positiveArea : line.negativeArea) += part;
                from = lo;
            }
            const double part = integrate(from, b);
            (part > 0.0 ? line.positiveArea : line.negativeArea) += part;
            a = b, wa = wb;
        }
    }
}

void applyLive(InfluenceLine& line, const std::vector<LiveLoad>& live) {
    line.live.clear();
    for (const LiveLoad& l : live) line.live.push_back(liveExtreme(line, l));
}

}  // namespace

LiveExtreme liveExtreme(const InfluenceLine& line, const LiveLoad& l) {
    double a = 0.0;
    double b = 0.0;
    if (l.uniform) {
        a = l.value * line.positiveArea;
        b = l.value * line.negativeArea;
    } else if (line.extreme.found) {
        a = l.value * line.extreme.max;
        b = l.value * line.extreme.min;
    }
    return LiveExtreme{std::max(a, b), std::min(a, b)};
}

namespace {

// ---------------------------------------------------------------------------
// Requests against the beam.

struct Resolver {
    const Script& script;
    const BeamModel& beam;
    Problem& problem;

    void fail(const Action& a, int column, const std::string& text) const {
        problem = Problem{a.line, column, text};
    }

    // The cut of a place x, or false with the message.
    bool cutOf(const InfluenceRequest& r, Cut& cut) const {
        const std::string what = "--influence " + r.text + ": ";
        const double length = beam.length;
        const double tol = sameplace * length;
        if (!(r.x >= -tol && r.x <= length + tol)) {
            problem = Problem{
                beam.leftLine, beam.leftColumn,
                what + "x = " + number(r.x) +
                    " lies outside this beam, which runs from x = 0 to x = " + number(length) +
                    " (to its right end on line " + std::to_string(beam.rightLine) + ")"};
            return false;
        }
        // Inside a section, the cut splits it. At a boundary, the block of
        // point elements (and sections of length 0) there lies between the
        // element `before` (-1: the left end; or the section ending there)
        // and `blockLast`.
        const auto& elements = beam.elements;
        const int n = static_cast<int>(elements.size());
        auto long_ = [&](int k) { return elements[k].isSection() && elements[k].length > 0.0; };
        double at = 0.0;
        int before = std::fabs(r.x) <= tol ? -1 : -2;
        for (int k = 0; k < n && before == -2; ++k) {
            if (!long_(k)) continue;
            const Element& e = elements[k];
            if (r.x > e.x + tol && r.x < e.x + e.length - tol) {
                cut = Cut{e.tag, r.x - e.x, r.x};
                return true;
            }
            at = e.x + e.length;
            if (std::fabs(at - r.x) <= tol) before = k;
        }
        if (before == -2) {  // x within the tolerance of the right end, but past it
            before = n - 1;
            while (!long_(before)) --before;
            at = length;
        }
        int blockLast = before;
        int jump = -1;
        for (int k = before + 1; k < n && !long_(k); ++k) {
            const Element& e = elements[k];
            blockLast = k;
            const bool jumps =
                (r.what == InfluenceRequest::shear && e.takesForce()) ||
                (r.what == InfluenceRequest::slope && e.kind == ElementKind::hinge) ||
                (r.what == InfluenceRequest::moment && e.takesMoment()) ||
                (r.what == InfluenceRequest::deflection && e.kind == ElementKind::shearHinge);
            if (jump < 0 && jumps) jump = k;
        }
        if (jump >= 0 && r.side == 0) {
            const std::string head = r.text.substr(0, r.text.find('@'));
            const std::string bare = head + "@" + number(r.x);
            const Action& a = script.actions[elements[jump].tag];
            fail(a, a.column,
                 what + head + " jumps at this " + actionName(a) + " (x = " + number(at) +
                     "): say " + bare + "- or " + bare + "+ for a side");
            return false;
        }
        const int k = r.side < 0 ? before : blockLast;
        cut = Cut{k < 0 ? beam.leftTag : elements[k].tag, -1.0, at};
        return true;
    }

    bool supportOf(const InfluenceRequest& r, int& index, double& x) const {
        const std::string what = "--influence " + r.text + ": ";
        const bool turn = r.what == InfluenceRequest::momentReaction;
        auto holdsNone = [&](int tag) {
            const Action& a = script.actions[tag];
            fail(a, a.column,
                 what + "this " + actionName(a) +
                     (turn ? " takes no moment: a moment reaction needs a clamped or guided end, "
                             "an intermediate clamp or a rotational spring"
                           : " holds no support: a reaction needs a supported end, an "
                             "intermediate support or a spring"));
            return false;
        };
        // What an end holds: w at a hinged or clamped one, psi at a clamped
        // or guided one.
        auto holds = [&](End end) {
            return turn ? end == End::clamped || end == End::guided
                        : end == End::hinged || end == End::clamped;
        };
        auto found = [&](int tag, double at) {
            index = tag;
            x = at;
            return true;
        };
        if (r.line == beam.leftLine) {
            return holds(beam.left) ? found(beam.leftTag, 0.0) : holdsNone(beam.leftTag);
        }
        for (const Element& e : beam.elements) {
            if (e.line != r.line) continue;
            return (turn ? e.takesMoment() : e.takesForce()) ? found(e.tag, e.x) : holdsNone(e.tag);
        }
        if (r.line == beam.rightLine) {
            return holds(beam.right) ? found(beam.rightTag, beam.length) : holdsNone(beam.rightTag);
        }
        // An F7 among the beam's lines holds nothing either.
        for (int i = beam.leftTag; i <= beam.rightTag; ++i) {
            if (script.actions[i].line == r.line) return holdsNone(i);
        }
        problem = Problem{
            r.line, 1,
            what + "line " + std::to_string(r.line) + " holds no action of the beam on lines " +
                std::to_string(beam.leftLine) + " to " + std::to_string(beam.rightLine)};
        return false;
    }
};

// The section whose Q a cut's state reports (solver::nodeSections): the one
// it lies in, else the next one from the place on, else the last; null for
// a beam without sections.
const Element* cutSection(const BeamModel& beam, const Cut& cut) {
    const auto& elements = beam.elements;
    const int n = static_cast<int>(elements.size());
    int from = 0;
    for (int k = 0; k < n; ++k) {
        if (elements[k].tag != cut.action) continue;
        if (cut.part >= 0.0) return &elements[k];
        from = k + 1;
        break;
    }
    for (int k = from; k < n; ++k) {
        if (elements[k].isSection()) return &elements[k];
    }
    for (int k = n - 1; k >= 0; --k) {
        if (elements[k].isSection()) return &elements[k];
    }
    return nullptr;
}

}  // namespace

bool computeInfluence(const Script& script, const BeamModel& beam, int points, bool general,
                      const std::vector<InfluenceRequest>& requests,
                      const std::vector<LiveLoad>& live, std::vector<InfluenceLine>& lines,
                      Problem& warning, Problem& problem) {
    const int first = beam.leftTag;
    Resolver resolve{script, beam, problem};
    std::vector<Plan> plans;
    std::vector<Cut> cuts;
    lines.assign(requests.size(), InfluenceLine{});
    for (size_t n = 0; n < requests.size(); ++n) {
        const InfluenceRequest& r = requests[n];
        Plan p;
        lines[n].request = r;
        if (r.atSupport()) {
            if (!resolve.supportOf(r, p.support, lines[n].place)) return false;
            p.turn = r.what == InfluenceRequest::momentReaction;
            lines[n].action = p.support;
        } else {
            if (!resolve.cutOf(r, p.cut)) return false;
            p.hasCut = true;
            lines[n].place = p.cut.x;
            // Signs: each makes w at x the quantity at the cut under a unit
            // downward force at x, as the reciprocity test confirms.
            switch (r.what) {
                case InfluenceRequest::moment:
                    p.atCut.push_back({rowPsi, 1.0});
                    break;
                case InfluenceRequest::shear: {
                    // The unit offset gives the vertical force V; with an
                    // axial force Q = (V - N psi) / D, so psi's line joins in.
                    const Element* e = cutSection(beam, p.cut);
                    const double n = e ? e->axialForce : 0.0;
                    if (n == 0.0) {
                        p.atCut.push_back({rowW, -1.0});
                        break;
                    }
                    const double gas = sectionShearStiffness(*e);
                    const double d = gas == 0.0 ? 1.0 : 1.0 + n / gas;
                    p.atCut.push_back({rowW, -1.0 / d});
                    p.atCut.push_back({rowM, n / d});
                    break;
                }
                case InfluenceRequest::deflection:
                    p.atCut.push_back({rowQ, 1.0});
                    break;
                default:
                    p.atCut.push_back({rowM, -1.0});
                    break;
            }
            if (std::find(cuts.begin(), cuts.end(), p.cut) == cuts.end()) cuts.push_back(p.cut);
        }
        plans.push_back(p);
    }
    std::sort(cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) {
        return a.action != b.action ? a.action < b.action : a.part < b.part;
    });

    Script unloadedScript = script;
    for (Action& a : unloadedScript.actions) a = unloaded(a);
    for (size_t n = 0; n < plans.size(); ++n) {
        Copy copy;
        buildCopy(beam, points, cuts, plans[n], copy);
        const size_t actions = copy.beam.elements.size() + 2;
        if (actions > static_cast<size_t>(maxActions)) {
            problem = Problem{script.actions[first].line, 1,
                              "--influence " + requests[n].text +
                                  ": the beam with its cuts would take " + std::to_string(actions) +
                                  " actions, more than " + std::to_string(maxActions)};
            return false;
        }
        InfluenceLine& line = lines[n];
        std::vector<FieldSpan> spans;
        for (const Station& r : copy.rows) line.x.push_back(r.x);
        if (general) {
            const solver::Solution s = solver::solve(copy.beam);
            if (s.status != solver::Status::solved) {
                int tag = 0;
                const std::string text = solverMessage(script, s, tag);
                const Action& a = script.actions[tag];
                problem =
                    Problem{a.line, a.column, "--influence " + requests[n].text + ": " + text};
                return false;
            }
            GeneralEvaluator evaluator(copy.beam, s);
            line.allFinite = sample(copy, evaluator, line);
            spans = fieldSpans(copy.beam);
            measure(line, spans);
            measureFields(spans, copy.beam, s, line);
        } else {
            // The keys of the copy, as a user would press them.
            const Script keys = keysOf(copy.beam, unloadedScript);
            BeamModel pressed = copy.beam;
            pressed.leftTag = 0;
            for (size_t k = 0; k < pressed.elements.size(); ++k) {
                pressed.elements[k].tag = static_cast<int>(k) + 1;
            }
            pressed.rightTag = keys.count() - 1;
            KeyedEvaluator evaluator(keys, pressed, true);
            line.allFinite = sample(copy, evaluator, line);
            const Watch& watch = evaluator.watch();
            if (!line.allFinite && warning.text.empty()) {
                const std::string what = "the influence line " + requests[n].text;
                if (watch.brokenAt >= 0) {
                    const Action& culprit = keys.actions[watch.brokenAt];
                    // The copy has the beam's supports and hinges: what the
                    // general solver says of it holds for the beam.
                    std::string cause = watch.cause;
                    judgeBreak(keys, 0, keys.count() - 1, watch.brokenAt, cause);
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
        if (!general) measure(line, spans);
        applyLive(line, live);
    }
    return true;
}

}  // namespace velmora
