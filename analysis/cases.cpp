// Load cases by superposition. One geometry serves every case: the beam's
// sections split wherever a placed load starts or ends, a placed point load
// an element of its own. Each case's beam is that geometry with the case's
// loads alone, so all of them are sampled at the same places.
#include "analysis/cases.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>

#include "analysis/evaluator.h"
#include "analysis/general.h"

namespace velmora {
namespace {

// Places closer than this, in units of the beam's length, are one place,
// as for influence lines.
constexpr double sameplace = 1e-12;

// A placed load of a case, with the stretch it covers on this beam.
struct Placed {
    int loadCase = 0;
    const PlacedLoad* load = nullptr;
    double from = 0.0;
    double to = 0.0;
    bool point() const { return load->type != PlacedLoad::lineLoad; }
};

std::vector<Placed> placedLoads(const BeamModel& beam, const CaseBook& book,
                                const std::vector<bool>& used) {
    std::vector<Placed> loads;
    for (size_t c = 1; c < book.cases.size(); ++c) {
        if (!used[c]) continue;
        for (const PlacedLoad& l : book.cases[c].loads) {
            Placed p{static_cast<int>(c), &l, l.from, l.to};
            if (!l.hasFrom) p.from = 0.0;
            if (!l.hasTo) p.to = beam.length;
            loads.push_back(p);
        }
    }
    return loads;
}

// The geometry of all placed loads: the elements (the beam's own loads
// kept), which placed point load each inserted element is, and the span of
// every element.
struct Layout {
    BeamModel model;
    std::vector<int> placed;    // per element: index into the placed loads, or -1
    std::vector<int> span;      // per element: the span it lies in
    std::vector<double> edges;  // the spans' ends: the beam's ends and every holding place
};

int spanOf(const std::vector<double>& edges, double a, double tol) {
    const int n = static_cast<int>(edges.size()) - 1;
    for (int p = 0; p < n; ++p) {
        if (a <= edges[p + 1] + tol) return p;
    }
    return n - 1;
}

Layout layoutOf(const BeamModel& beam, const std::vector<Placed>& loads) {
    Layout lay;
    const double tol = sameplace * beam.length;
    std::vector<double> cuts;
    for (const Placed& p : loads) {
        cuts.push_back(p.from);
        if (!p.point()) cuts.push_back(p.to);
    }
    std::sort(cuts.begin(), cuts.end());
    BeamModel& m = lay.model;
    m = beam;
    m.elements.clear();
    std::vector<bool> done(loads.size(), false);
    auto push = [&](const Element& e, int placed) {
        m.elements.push_back(e);
        lay.placed.push_back(placed);
    };
    // The placed point loads at x, just right of the section ending there.
    auto insertAt = [&](double x, int tag) {
        for (size_t i = 0; i < loads.size(); ++i) {
            if (done[i] || !loads[i].point() || std::fabs(loads[i].from - x) > tol) continue;
            Element e;
            e.kind = ElementKind::pointLoad;
            e.loadRow = loads[i].load->type == PlacedLoad::force ? rowQ : rowM;
            e.tag = tag;
            e.line = loads[i].load->line;
            e.column = loads[i].load->column;
            push(e, static_cast<int>(i));
            done[i] = true;
        }
    };
    insertAt(0.0, beam.leftTag);
    for (const Element& e : beam.elements) {
        if (!e.isSection() || !(e.length > 0.0)) {
            push(e, -1);
            continue;
        }
        double start = 0.0;  // where the current piece starts in the section
        for (const double c : cuts) {
            const double part = c - e.x;
            if (!(part > start + tol) || !(part < e.length - tol)) continue;
            Element piece = e;
            piece.length = part - start;
            piece.q = e.q + e.qs * start;
            push(piece, -1);
            insertAt(c, e.tag);
            start = part;
        }
        Element piece = e;
        piece.length = e.length - start;
        piece.q = start > 0.0 ? e.q + e.qs * start : e.q;
        push(piece, -1);
        insertAt(e.x + e.length, e.tag);
    }
    insertAt(beam.length, beam.leftTag);  // only on a beam of no length
    placeElements(m);

    lay.edges.push_back(0.0);
    for (const Element& e : m.elements) {
        if (e.takesForce()) lay.edges.push_back(e.x);
    }
    lay.edges.push_back(m.length);
    std::sort(lay.edges.begin(), lay.edges.end());
    std::vector<double> edges{lay.edges.front()};
    for (const double x : lay.edges) {
        if (x > edges.back() + tol) edges.push_back(x);
    }
    if (edges.size() < 2) edges.push_back(m.length);
    lay.edges = edges;
    for (size_t k = 0; k < m.elements.size(); ++k) {
        const Element& e = m.elements[k];
        const double x = lay.placed[k] >= 0 ? loads[lay.placed[k]].from : e.x;
        lay.span.push_back(spanOf(lay.edges, e.isSection() ? e.x + e.length : x, tol));
    }
    return lay;
}

// A case with a factor, over one span or (span -1) the whole beam.
struct Weight {
    int loadCase = 0;
    int span = -1;
    double factor = 1.0;
};

// The layout's geometry carrying the weighted loads.
BeamModel loadedModel(const Layout& lay, const std::vector<Placed>& loads,
                      const std::vector<Weight>& weights) {
    BeamModel m = lay.model;
    const double tol = sameplace * m.length;
    double own = 0.0;
    bool hasOwn = false;
    for (const Weight& w : weights) {
        if (w.loadCase == 0) own += w.factor, hasOwn = true;
    }
    auto applies = [&](const Weight& w, int loadCase, size_t k) {
        return w.loadCase == loadCase && (w.span < 0 || w.span == lay.span[k]);
    };
    for (size_t k = 0; k < m.elements.size(); ++k) {
        Element& e = m.elements[k];
        if (e.isSection()) {
            e.q *= own;
            e.qs *= own;
            e.loaded = e.loaded && hasOwn;
            for (const Placed& p : loads) {
                if (p.point() || !(e.x >= p.from - tol && e.x + e.length <= p.to + tol)) continue;
                for (const Weight& w : weights) {
                    if (!applies(w, p.loadCase, k)) continue;
                    e.q += w.factor * (p.load->q + p.load->qs * (e.x - p.from));
                    e.qs += w.factor * p.load->qs;
                    e.loaded = true;
                }
            }
        } else if (e.kind == ElementKind::pointLoad) {
            if (lay.placed[k] < 0) {
                e.value *= own;
                continue;
            }
            const Placed& p = loads[lay.placed[k]];
            e.value = 0.0;
            for (const Weight& w : weights) {
                if (applies(w, p.loadCase, k)) e.value += w.factor * p.load->value;
            }
        }
    }
    m.endMoment *= own;
    m.endForce *= own;
    return m;
}

// A place in a message, in the digits that tell it apart.
std::string number(double x) { return exactNumber(x); }

// The diagram of one beam of the layout, by the chosen method.
bool solveBeam(const Script& script, const BeamModel& model, int points, bool general,
               const std::string& what, Diagram& d, Problem& warning, Problem& problem) {
    Script keys;
    BeamModel pressed;
    pressBeam(model, script, keys, pressed);
    if (general) {
        const solver::Solution s = solver::solve(pressed);
        if (s.status != solver::Status::solved) {
            int tag = 0;
            const std::string text = solverMessage(keys, s, tag);
            problem = Problem{keys.actions[tag].line, keys.actions[tag].column, what + ": " + text};
            return false;
        }
        computeGeneralDiagram(pressed, s, points, d);
        return true;
    }
    computeDiagram(keys, pressed, points, d);
    if (!d.allFinite && warning.text.empty()) {
        const Action& f1 = keys.actions[0];
        warning = Problem{f1.line, f1.column,
                          what +
                              " has values that are not finite by the keyed method; "
                              "the general method solves every stable beam"};
    }
    return true;
}

// The sampled values of one solved case or span.
struct Unit {
    int loadCase = 0;
    int span = -1;
    Diagram diagram;
    BeamModel model;
};

// A combination's terms as the envelope reads them; without combinations,
// every case with factor 1 (a spanwise one only where it harms).
std::vector<Combination> combinationsOf(const CaseBook& book) {
    if (!book.combinations.empty()) return book.combinations;
    Combination all;
    for (size_t c = 0; c < book.cases.size(); ++c) {
        Term t;
        t.loadCase = static_cast<int>(c);
        t.factor = Factor{1.0, book.cases[c].spanwise ? 0.0 : 1.0};
        all.terms.push_back(t);
    }
    return {all};
}

// Where one term's units lie in the list of units.
struct TermUnits {
    std::vector<int> units;
};

// The largest (or smallest) value of one combination at one sample, given
// each unit's value there; and, when asked, how it is made up and the
// factor each unit takes.
template <class Value>
double combine(const Combination& c, const std::vector<TermUnits>& termUnits,
               const std::vector<Unit>& units, bool largest, const Value& value, Loading* loading,
               std::vector<double>* weights = nullptr) {
    double sum = 0.0;
    std::vector<int> spans;
    for (size_t t = 0; t < c.terms.size(); ++t) {
        const Factor f = c.terms[t].factor;
        spans.clear();
        double taken = f.better;
        for (const int u : termUnits[t].units) {
            const double v = value(u);
            const double a = f.worse * v;
            const double b = f.better * v;
            const bool harm = largest ? a > b : a < b;
            sum += harm ? a : b;
            if (weights) (*weights)[u] += harm ? f.worse : f.better;
            if (harm) taken = f.worse;
            if (loading && harm && units[u].span >= 0) spans.push_back(units[u].span + 1);
        }
        if (loading) {
            loading->factors.push_back(taken);
            loading->spans.push_back(spans);
        }
    }
    return sum;
}

// Between the samples of a section: every loading that gives the envelope
// at one of them is followed along the section's closed form (its start
// state and line load are the loading's sums), and its extremes there are
// taken when they go beyond the sampled ones. Each such value is one the
// loading reaches, so the extremes stay attainable.
// `winner` holds, per sample, the combination of the largest value of each
// quantity, then of the smallest.
void followSections(const std::vector<Combination>& combinations,
                    const std::vector<std::vector<TermUnits>>& termUnits,
                    const std::vector<Unit>& units,
                    const std::vector<std::array<int, 2 * rowCount>>& winner, bool named,
                    Envelope& env) {
    const std::vector<Sample>& samples = units[0].diagram.samples;
    const std::vector<Element>& elements = units[0].model.elements;
    size_t i = 0;
    for (size_t k = 0; k < elements.size(); ++k) {
        const int tag = static_cast<int>(k) + 1;  // the pressed beam's
        while (i < samples.size() && samples[i].action != tag) ++i;
        size_t end = i;
        while (end < samples.size() && samples[end].action == tag) ++end;
        if (!elements[k].isSection() || i == 0 || i == samples.size()) continue;
        for (int r = 0; r < rowCount; ++r) {
            for (const bool largest : {true, false}) {
                std::vector<std::vector<double>> seen;
                for (size_t j = i - 1; j < end; ++j) {
                    const auto value = [&](int u) { return units[u].diagram.samples[j].value[r]; };
                    const int best = winner[j][largest ? r : rowCount + r];
                    std::vector<double> weights(units.size(), 0.0);
                    combine(combinations[best], termUnits[best], units, largest, value, nullptr,
                            &weights);
                    if (std::find(seen.begin(), seen.end(), weights) != seen.end()) continue;
                    seen.push_back(weights);
                    Loading loading;
                    combine(combinations[best], termUnits[best], units, largest, value, &loading);
                    loading.combination = named ? best : -1;
                    Element e = elements[k];
                    e.q = e.qs = 0.0;
                    State start{};
                    for (size_t u = 0; u < units.size(); ++u) {
                        const Element& own = units[u].model.elements[k];
                        e.q += weights[u] * own.q;
                        e.qs += weights[u] * own.qs;
                        for (int q = 0; q < rowCount; ++q) {
                            start[q] += weights[u] * units[u].diagram.samples[i - 1].value[q];
                        }
                    }
                    EnvelopeExtreme& x = env.extremes[r];
                    for (const double t : criticalPlaces(e, start, r)) {
                        const double v = solver::stateInside(e, start, t)[r];
                        if (!std::isfinite(v)) continue;
                        if (largest && v > x.extreme.max) {
                            x.extreme.max = v, x.extreme.xMax = e.x + t, x.atMax = loading;
                        } else if (!largest && v < x.extreme.min) {
                            x.extreme.min = v, x.extreme.xMin = e.x + t, x.atMin = loading;
                        }
                    }
                }
            }
        }
        i = end;
    }
}

}  // namespace

bool findLoadState(const CaseBook& book, const std::string& name, LoadState& state) {
    state = LoadState{book.findCase(name), book.findCombination(name)};
    return state.loadCase >= 0 || state.combination >= 0;
}

bool checkCases(const BeamModel& beam, const CaseBook& book, Problem& problem) {
    const double tol = sameplace * beam.length;
    const std::vector<bool> all(book.cases.size(), true);
    for (const Placed& p : placedLoads(beam, book, all)) {
        const PlacedLoad& l = *p.load;
        const bool inside = p.from >= -tol && p.to <= beam.length + tol;
        if (!inside) {
            problem = Problem{
                l.line, l.placeColumn,
                std::string(p.point() ? "this load" : "this line load") +
                    " lies outside the beam, which runs from x = 0 to x = " + number(beam.length) +
                    " (to its right end on line " + std::to_string(beam.rightLine) + ")"};
            return false;
        }
        if (!p.point() && !(p.to - p.from > tol)) {
            problem = Problem{l.line, l.placeColumn,
                              "this line load has no length on the beam: von must lie before bis "
                              "(x = " +
                                  number(p.from) + " to " + number(p.to) + ")"};
            return false;
        }
    }
    return true;
}

void pressBeam(const BeamModel& model, const Script& script, Script& keys, BeamModel& pressed) {
    keys = keysOf(model, script);
    pressed = model;
    pressed.leftTag = 0;
    for (size_t k = 0; k < pressed.elements.size(); ++k) {
        pressed.elements[k].tag = static_cast<int>(k) + 1;
    }
    pressed.rightTag = keys.count() - 1;
}

BeamModel stateBeam(const BeamModel& beam, const CaseBook& book, const LoadState& state) {
    std::vector<bool> used(book.cases.size(), false);
    std::vector<Weight> weights;
    if (state.combination >= 0) {
        for (const Term& t : book.combinations[state.combination].terms) {
            used[t.loadCase] = true;
            weights.push_back(Weight{t.loadCase, -1, t.factor.worse});
        }
    } else {
        used[state.loadCase] = true;
        weights.push_back(Weight{state.loadCase, -1, 1.0});
    }
    const std::vector<Placed> loads = placedLoads(beam, book, used);
    return loadedModel(layoutOf(beam, loads), loads, weights);
}

bool stateResults(const Script& script, const BeamModel& beam, const BeamModel& stateModel,
                  bool general, std::vector<Result>& results, Problem& problem) {
    Script keys;
    BeamModel pressed;
    pressBeam(stateModel, script, keys, pressed);
    solver::Solution solution;
    std::unique_ptr<Evaluator> evaluator;
    if (general) {
        solution = solver::solve(pressed);
        if (solution.status != solver::Status::solved) {
            int tag = 0;
            const std::string text = solverMessage(keys, solution, tag);
            problem = Problem{keys.actions[tag].line, keys.actions[tag].column, text};
            return false;
        }
        evaluator.reset(new GeneralEvaluator(pressed, solution));
    } else {
        evaluator.reset(new KeyedEvaluator(keys, pressed, false));
    }
    const double tol = sameplace * beam.length;
    const int n = static_cast<int>(pressed.elements.size());
    for (Result& r : results) {
        int first = 0;
        int last = 0;
        if (!beamAround(script, r.action, first, last) || first != beam.leftTag ||
            last != beam.rightTag) {
            continue;
        }
        int run = r.action;
        while (script.actions[run].kind != Kind::leftEnd) --run;
        // Where the run stands: at x, just right of its last action.
        double x = 0.0;
        Kind lastKind = Kind::leftEnd;
        int atPlace = 0;  // point elements of the run at x so far
        for (int i = run + 1; i < r.action; ++i) {
            const Action& a = script.actions[i];
            if (a.kind == Kind::evaluate) continue;
            if (isSection(a)) {
                x += a.value[slotLength];
                if (a.value[slotLength] > 0.0) atPlace = 0;
            } else if (a.kind != Kind::rightEnd) {
                ++atPlace;
            }
            lastKind = a.kind;
        }
        State state{};
        bool found = true;
        if (lastKind == Kind::leftEnd) {
            state = evaluator->start();
        } else if (lastKind == Kind::rightEnd) {
            state = evaluator->before(n);
        } else if (lastKind == Kind::beamSection || lastKind == Kind::shaftSection) {
            found = false;
            for (int k = 0; k < n && !found; ++k) {
                const Element& e = pressed.elements[k];
                if (!e.isSection()) continue;
                if (x > e.x + tol && x < e.x + e.length - tol) {
                    state = evaluator->inside(k, x - e.x);
                    found = true;
                } else if (std::fabs(e.x + e.length - x) <= tol) {
                    state = evaluator->after(k);
                    found = true;
                }
            }
        } else {
            // The beam's own point element of that rank at x.
            found = false;
            int tag = -1;
            for (const Element& e : beam.elements) {
                if (!e.isSection() && std::fabs(e.x - x) <= tol && --atPlace == 0) {
                    tag = e.tag;
                    break;
                }
            }
            for (int k = 0; k < n && tag >= 0 && !found; ++k) {
                if (!stateModel.elements[k].isSection() && stateModel.elements[k].tag == tag) {
                    state = evaluator->after(k);
                    found = true;
                }
            }
        }
        if (found) r.state = state;
    }
    return true;
}

bool computeEnvelope(const Script& script, const BeamModel& beam, int points, bool general,
                     Envelope& env, Problem& warning, Problem& problem) {
    const CaseBook& book = script.cases;
    const std::vector<bool> all(book.cases.size(), true);
    const std::vector<Placed> loads = placedLoads(beam, book, all);
    const Layout lay = layoutOf(beam, loads);
    const double tol = sameplace * beam.length;
    env = Envelope{};
    env.spanEdges = lay.edges;
    const int spans = static_cast<int>(lay.edges.size()) - 1;

    // One beam per case, and per span of a spanwise case that holds a load.
    std::vector<Unit> units;
    for (size_t c = 0; c < book.cases.size(); ++c) {
        if (!book.cases[c].spanwise) {
            units.push_back(Unit{static_cast<int>(c), -1, {}, {}});
            continue;
        }
        for (int s = 0; s < spans; ++s) {
            const double a = lay.edges[s];
            const double b = lay.edges[s + 1];
            bool loaded = false;
            for (size_t k = 0; k < lay.placed.size() && !loaded; ++k) {
                const int p = lay.placed[k];
                loaded = p >= 0 && loads[p].loadCase == static_cast<int>(c) && lay.span[k] == s;
            }
            for (const Placed& p : loads) {
                loaded = loaded || (p.loadCase == static_cast<int>(c) && !p.point() &&
                                    p.from < b - tol && p.to > a + tol);
            }
            if (loaded) units.push_back(Unit{static_cast<int>(c), s, {}, {}});
        }
    }
    for (Unit& u : units) {
        u.model = loadedModel(lay, loads, {Weight{u.loadCase, u.span, 1.0}});
        const BeamModel& m = u.model;
        std::string what = "the load case " + book.cases[u.loadCase].name;
        if (u.span >= 0) what += " on span " + std::to_string(u.span + 1);
        if (!solveBeam(script, m, points, general, what, u.diagram, warning, problem)) {
            return false;
        }
        env.allFinite = env.allFinite && u.diagram.allFinite;
    }
    env.solved = static_cast<int>(units.size());
    {
        Script keys;
        pressBeam(loadedModel(lay, loads, {Weight{0, -1, 1.0}}), script, keys, env.beam);
        // The sketch shows the own loads: the other cases' point loads go.
        std::vector<Element> kept;
        for (size_t k = 0; k < lay.placed.size(); ++k) {
            if (lay.placed[k] < 0) kept.push_back(env.beam.elements[k]);
        }
        env.beam.elements = kept;
    }

    // The envelope: at every sample, each combination's largest and
    // smallest sum, each term's factor and each span chosen on its own.
    const std::vector<Combination> combinations = combinationsOf(book);
    std::vector<std::vector<TermUnits>> termUnits(combinations.size());
    for (size_t c = 0; c < combinations.size(); ++c) {
        for (const Term& t : combinations[c].terms) {
            TermUnits tu;
            for (size_t u = 0; u < units.size(); ++u) {
                if (units[u].loadCase == t.loadCase) tu.units.push_back(static_cast<int>(u));
            }
            termUnits[c].push_back(tu);
        }
    }
    const std::vector<Sample>& base = units[0].diagram.samples;
    const size_t count = base.size();
    env.x.resize(count);
    env.max.resize(count);
    env.min.resize(count);
    struct Best {
        int combination = 0;
        size_t at = 0;
    };
    Best bestMax[rowCount];
    Best bestMin[rowCount];
    std::vector<std::array<int, 2 * rowCount>> winner(count);
    for (size_t i = 0; i < count; ++i) {
        env.x[i] = base[i].x;
        for (int r = 0; r < rowCount; ++r) {
            const auto value = [&](int u) { return units[u].diagram.samples[i].value[r]; };
            double high = 0.0;
            double low = 0.0;
            for (size_t c = 0; c < combinations.size(); ++c) {
                const double a =
                    combine(combinations[c], termUnits[c], units, true, value, nullptr);
                const double b =
                    combine(combinations[c], termUnits[c], units, false, value, nullptr);
                if (c == 0 || a > high) high = a, bestMax[r].combination = static_cast<int>(c);
                if (c == 0 || b < low) low = b, bestMin[r].combination = static_cast<int>(c);
            }
            env.max[i][r] = high;
            env.min[i][r] = low;
            winner[i][r] = bestMax[r].combination;
            winner[i][rowCount + r] = bestMin[r].combination;
            // The extremes along the beam, with the combination that gives them.
            Extreme& e = env.extremes[r].extreme;
            const bool newMax = std::isfinite(high) && (!e.found || high > e.max);
            const bool newMin = std::isfinite(low) && (!e.found || low < e.min);
            consider(e, high, env.x[i]);
            consider(e, low, env.x[i]);
            if (newMax)
                env.extremes[r].atMax.combination = bestMax[r].combination, bestMax[r].at = i;
            if (newMin)
                env.extremes[r].atMin.combination = bestMin[r].combination, bestMin[r].at = i;
        }
    }
    // How each extreme is made up, at its sample.
    const bool named = !book.combinations.empty();
    auto loadingAt = [&](size_t i, int r, int c, bool largest) {
        Loading l;
        const auto value = [&](int u) { return units[u].diagram.samples[i].value[r]; };
        combine(combinations[c], termUnits[c], units, largest, value, &l);
        l.combination = named ? c : -1;
        return l;
    };
    for (int r = 0; r < rowCount; ++r) {
        EnvelopeExtreme& e = env.extremes[r];
        if (!e.extreme.found) continue;
        e.atMax = loadingAt(bestMax[r].at, r, e.atMax.combination, true);
        e.atMin = loadingAt(bestMin[r].at, r, e.atMin.combination, false);
    }
    followSections(combinations, termUnits, units, winner, named, env);

    // The reactions, each over the same choices.
    const std::vector<Reaction>& reactions = units[0].diagram.reactions;
    for (size_t k = 0; k < reactions.size(); ++k) {
        EnvelopeReaction er;
        er.action = reactions[k].action;
        er.x = reactions[k].x;
        er.hasMoment = reactions[k].hasMoment;
        for (int part = 0; part < (er.hasMoment ? 2 : 1); ++part) {
            const auto value = [&](int u) {
                const Reaction& rr = units[u].diagram.reactions[k];
                return part == 0 ? rr.force : rr.moment;
            };
            for (size_t c = 0; c < combinations.size(); ++c) {
                Loading high;
                Loading low;
                const double a = combine(combinations[c], termUnits[c], units, true, value, &high);
                const double b = combine(combinations[c], termUnits[c], units, false, value, &low);
                high.combination = low.combination = named ? static_cast<int>(c) : -1;
                if (part == 1) {
                    if (c == 0 || a > er.momentMax) er.momentMax = a;
                    if (c == 0 || b < er.momentMin) er.momentMin = b;
                    continue;
                }
                if (c == 0 || a > er.max) er.max = a, er.atMax = high;
                if (c == 0 || b < er.min) er.min = b, er.atMin = low;
            }
        }
        env.reactions.push_back(er);
    }
    return true;
}

}  // namespace velmora
