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
#include "solver/field.h"

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
            e.curvature *= own;  // an imposed curvature is a load of the own case
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
               const std::string& what, Diagram& d, std::vector<std::vector<State>>& fields,
               Problem& warning, Problem& problem) {
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
        fields = s.fields;
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
    std::vector<std::vector<State>> fields;  // of its extended sections (solver::Solution)
};

// The combinations the envelope takes, with their indices in the book
// (-1: without combinations, every case with factor 1, a spanwise one only
// where it harms).
struct Chosen {
    std::vector<Combination> combinations;
    std::vector<int> index;
};

Chosen combinationsOf(const CaseBook& book, const std::vector<int>& asked) {
    Chosen chosen;
    if (!book.combinations.empty()) {
        for (size_t c = 0; c < book.combinations.size(); ++c) {
            const bool taken = asked.empty() || std::find(asked.begin(), asked.end(),
                                                          static_cast<int>(c)) != asked.end();
            if (!taken) continue;
            chosen.combinations.push_back(book.combinations[c]);
            chosen.index.push_back(static_cast<int>(c));
        }
        return chosen;
    }
    Combination all;
    for (size_t c = 0; c < book.cases.size(); ++c) {
        Term t;
        t.loadCase = static_cast<int>(c);
        t.factor = Factor{1.0, book.cases[c].spanwise ? 0.0 : 1.0};
        all.terms.push_back(t);
    }
    chosen.combinations.push_back(all);
    chosen.index.push_back(-1);
    return chosen;
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

// The extremes inside extended section k, whose quantities are no
// polynomials: each combination's largest and smallest value on a grid of
// the section (at least 64 cells, 8 per piece of its exact transfer), each
// grid extreme refined by golden-section search on the units' exact states
// between its neighbours.
void fieldSectionExtremes(const Chosen& chosen,
                          const std::vector<std::vector<TermUnits>>& termUnits,
                          const std::vector<Unit>& units, size_t k, size_t before,
                          const std::vector<EnvelopeExtreme*>& targets) {
    const Element& section = units[0].model.elements[k];
    const solver::Field field(section);
    if (!field.valid() || !(section.length > 0.0)) return;
    const int cells = std::max(8, (64 + field.pieces() - 1) / field.pieces()) * field.pieces();
    const size_t n = units.size();
    auto states = [&](double t) {
        std::vector<State> s(n);
        for (size_t u = 0; u < n; ++u) {
            const std::vector<State> none;
            const auto& f = k < units[u].fields.size() ? units[u].fields[k] : none;
            s[u] = solver::stateInside(units[u].model.elements[k], f,
                                       units[u].diagram.samples[before].value, t);
        }
        return s;
    };
    std::vector<double> at(cells + 1);
    std::vector<std::vector<State>> grid(cells + 1);
    for (int j = 0; j <= cells; ++j) {
        at[j] = section.length * (static_cast<double>(j) / cells);
        grid[j] = states(at[j]);
    }
    for (size_t c = 0; c < chosen.combinations.size(); ++c) {
        const Combination& combination = chosen.combinations[c];
        for (int r = 0; r < rowCount; ++r) {
            for (const bool largest : {true, false}) {
                const double sign = largest ? 1.0 : -1.0;
                auto value = [&](const std::vector<State>& s, Loading* loading) {
                    const auto of = [&](int u) { return s[u][r]; };
                    return combine(combination, termUnits[c], units, largest, of, loading);
                };
                std::vector<double> v(cells + 1);
                for (int j = 0; j <= cells; ++j) v[j] = sign * value(grid[j], nullptr);
                for (int j = 1; j < cells; ++j) {
                    if (!(v[j] > v[j - 1] && v[j] >= v[j + 1])) continue;
                    // Golden-section search for the largest sign * value.
                    double a = at[j - 1], b = at[j + 1];
                    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
                    double x1 = b - g * (b - a), x2 = a + g * (b - a);
                    double f1 = sign * value(states(x1), nullptr);
                    double f2 = sign * value(states(x2), nullptr);
                    for (int i = 0; i < 80 && b - a > 4e-16 * section.length; ++i) {
                        if (f1 < f2) {
                            a = x1, x1 = x2, f1 = f2, x2 = a + g * (b - a);
                            f2 = sign * value(states(x2), nullptr);
                        } else {
                            b = x2, x2 = x1, f2 = f1, x1 = b - g * (b - a);
                            f1 = sign * value(states(x1), nullptr);
                        }
                    }
                    double t = f1 > f2 ? x1 : x2;
                    std::vector<State> s = states(t);
                    if (!(sign * value(s, nullptr) >= v[j])) t = at[j], s = grid[j];
                    Loading loading;
                    const double best = value(s, &loading);
                    if (!std::isfinite(best)) continue;
                    loading.combination = chosen.index[c];
                    const double place = section.x + t;
                    for (EnvelopeExtreme* target : targets) {
                        EnvelopeExtreme& x = target[r];
                        if (!x.extreme.found) {
                            x.extreme = Extreme{true, best, place, best, place};
                            x.atMax = x.atMin = loading;
                        } else if (largest && best > x.extreme.max) {
                            x.extreme.max = best, x.extreme.xMax = place, x.atMax = loading;
                        } else if (!largest && best < x.extreme.min) {
                            x.extreme.min = best, x.extreme.xMin = place, x.atMin = loading;
                        }
                    }
                }
            }
        }
    }
}

// The extremes inside the sections, exact. There each unit's value of a
// quantity is a polynomial c(t), and a combination's largest value is the
// sum over its units of max(worse c, better c): one polynomial between
// neighbouring roots of the c whose factors differ. Each such piece has its
// extremes at its ends or where its derivative vanishes, and the largest
// over the combinations is the largest of theirs. The sections' ends are
// samples already.
void sectionExtremes(const Chosen& chosen, const std::vector<std::vector<TermUnits>>& termUnits,
                     const std::vector<Unit>& units,
                     const std::vector<std::vector<EnvelopeExtreme*>>& elementTargets) {
    const std::vector<Sample>& samples = units[0].diagram.samples;
    const std::vector<Element>& elements = units[0].model.elements;
    const size_t n = units.size();
    std::vector<std::array<SectionPolynomial, rowCount>> poly(n);
    std::vector<std::array<std::vector<double>, rowCount>> zeros(n);
    std::vector<std::array<bool, rowCount>> known(n);
    std::vector<double> weights(n);
    std::vector<double> values(n);
    std::vector<double> edges;
    size_t i = 0;
    for (size_t k = 0; k < elements.size(); ++k) {
        const int tag = static_cast<int>(k) + 1;  // the pressed beam's
        while (i < samples.size() && samples[i].action != tag) ++i;
        size_t end = i;
        while (end < samples.size() && samples[end].action == tag) ++end;
        const double l = elements[k].length;
        const bool inside = elements[k].isSection() && l > 0.0 && i > 0 && i < samples.size();
        const size_t before = i - 1;  // the section's start
        i = end;
        if (!inside) continue;
        if (!isPlainSection(elements[k])) {
            fieldSectionExtremes(chosen, termUnits, units, k, before, elementTargets[k]);
            continue;
        }
        for (size_t u = 0; u < n; ++u) {
            const State& start = units[u].diagram.samples[before].value;
            for (int r = 0; r < rowCount; ++r) {
                known[u][r] = sectionPolynomial(units[u].model.elements[k], start, r, poly[u][r]);
                zeros[u][r] = known[u][r] ? realRoots(poly[u][r], 0.0, l) : std::vector<double>{};
            }
        }
        for (size_t c = 0; c < chosen.combinations.size(); ++c) {
            const Combination& combination = chosen.combinations[c];
            for (int r = 0; r < rowCount; ++r) {
                edges.assign({0.0, l});
                bool finite = true;
                for (size_t t = 0; t < combination.terms.size(); ++t) {
                    const Factor f = combination.terms[t].factor;
                    for (const int u : termUnits[c][t].units) {
                        finite = finite && known[u][r];
                        if (f.worse != f.better) {
                            edges.insert(edges.end(), zeros[u][r].begin(), zeros[u][r].end());
                        }
                    }
                }
                if (!finite) continue;
                std::sort(edges.begin(), edges.end());
                edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
                for (size_t p = 0; p + 1 < edges.size(); ++p) {
                    const double a = edges[p], b = edges[p + 1];
                    const double middle = a + (b - a) / 2.0;
                    for (size_t u = 0; u < n; ++u) values[u] = known[u][r] ? poly[u][r](middle) : 0;
                    const auto value = [&](int u) { return values[u]; };
                    for (const bool largest : {true, false}) {
                        std::fill(weights.begin(), weights.end(), 0.0);
                        combine(combination, termUnits[c], units, largest, value, nullptr,
                                &weights);
                        SectionPolynomial piece;
                        for (size_t u = 0; u < n; ++u) {
                            if (weights[u] == 0.0 || !known[u][r]) continue;
                            piece.degree = std::max(piece.degree, poly[u][r].degree);
                            for (int d = 0; d <= poly[u][r].degree; ++d) {
                                piece.c[d] += weights[u] * poly[u][r].c[d];
                            }
                        }
                        std::vector<double> at = realRoots(piece.derivative(), a, b);
                        if (a > 0.0) at.push_back(a);
                        if (b < l) at.push_back(b);
                        for (EnvelopeExtreme* target : elementTargets[k]) {
                            EnvelopeExtreme& x = target[r];
                            for (const double t : at) {
                                const double v = piece(t);
                                const bool better =
                                    !x.extreme.found ||
                                    (largest ? v > x.extreme.max : v < x.extreme.min);
                                if (!std::isfinite(v) || !better) continue;
                                Loading loading;
                                combine(combination, termUnits[c], units, largest, value, &loading);
                                loading.combination = chosen.index[c];
                                if (!x.extreme.found) {
                                    x.extreme =
                                        Extreme{true, v, elements[k].x + t, v, elements[k].x + t};
                                    x.atMax = x.atMin = loading;
                                } else if (largest) {
                                    x.extreme.max = v, x.extreme.xMax = elements[k].x + t;
                                    x.atMax = loading;
                                } else {
                                    x.extreme.min = v, x.extreme.xMin = elements[k].x + t;
                                    x.atMin = loading;
                                }
                            }
                        }
                    }
                }
            }
        }
    }
}

// The spans between the layout's edges and the beam's sections of length,
// their extremes still to find.
void stretchesOf(const BeamModel& beam, Envelope& env) {
    const double tol = sameplace * beam.length;
    // A free or guided end holds no force: the span that reaches it hangs over.
    bool heldAtStart = false;
    bool heldAtEnd = false;
    for (const Element& e : beam.elements) {
        if (!e.takesForce()) continue;
        heldAtStart = heldAtStart || e.x <= tol;
        heldAtEnd = heldAtEnd || e.x >= beam.length - tol;
    }
    const auto holds = [](End end) { return end == End::hinged || end == End::clamped; };
    const size_t spans = env.spanEdges.size() - 1;
    env.spans.resize(spans);
    for (size_t s = 0; s < spans; ++s) {
        StretchExtremes& x = env.spans[s];
        x.from = env.spanEdges[s];
        x.to = env.spanEdges[s + 1];
        x.overhang = (s == 0 && !holds(beam.left) && !heldAtStart) ||
                     (s + 1 == spans && !holds(beam.right) && !heldAtEnd);
    }
    for (const Element& e : beam.elements) {
        if (!e.isSection() || !(e.length > 0.0)) continue;
        StretchExtremes x;
        x.from = e.x;
        x.to = e.x + e.length;
        x.action = e.tag;
        x.line = e.line;
        env.sections.push_back(x);
    }
}

}  // namespace

bool findLoadState(const CaseBook& book, const std::string& name, LoadState& state) {
    state = LoadState{book.findCase(name), book.findCombination(name)};
    return state.loadCase >= 0 || state.combination >= 0;
}

bool namedCombinations(const CaseBook& book, const std::vector<std::string>& names,
                       std::vector<int>& chosen, std::string& why) {
    chosen.clear();
    std::string written;
    for (const Combination& c : book.combinations) {
        written += (written.empty() ? "" : ", ") + c.name;
    }
    const std::string has =
        written.empty() ? "the beam has none: its envelope is of all its load cases together"
                        : "the beam has " + written;
    for (const std::string& name : names) {
        const int c = book.findCombination(name);
        if (c >= 0) {
            if (std::find(chosen.begin(), chosen.end(), c) == chosen.end()) chosen.push_back(c);
            continue;
        }
        why = book.findCase(name) >= 0
                  ? "'" + name +
                        "' is a load case, not a combination: an envelope is of combinations (" +
                        has + ")"
                  : "no combination '" + name + "' (" + has + ")";
        chosen.clear();
        return false;
    }
    std::sort(chosen.begin(), chosen.end());
    return true;
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
                     Envelope& env, Problem& warning, Problem& problem,
                     const std::vector<int>& asked) {
    const CaseBook& book = script.cases;
    const Chosen chosen = combinationsOf(book, asked);
    const std::vector<Combination>& combinations = chosen.combinations;
    // The own case always: its beam gives the samples' places and the reactions.
    std::vector<bool> taken(book.cases.size(), false);
    taken[0] = true;
    for (const Combination& c : combinations) {
        for (const Term& t : c.terms) taken[t.loadCase] = true;
    }
    const std::vector<bool> all(book.cases.size(), true);
    const std::vector<Placed> loads = placedLoads(beam, book, all);
    const Layout lay = layoutOf(beam, loads);
    const double tol = sameplace * beam.length;
    env = Envelope{};
    env.spanEdges = lay.edges;
    const int spans = static_cast<int>(lay.edges.size()) - 1;

    // One beam per case taken, and per span of a spanwise case that holds a load.
    std::vector<Unit> units;
    for (size_t c = 0; c < book.cases.size(); ++c) {
        if (!taken[c]) continue;
        if (!book.cases[c].spanwise) {
            units.push_back(Unit{static_cast<int>(c), -1, {}, {}, {}});
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
            if (loaded) units.push_back(Unit{static_cast<int>(c), s, {}, {}, {}});
        }
    }
    for (Unit& u : units) {
        u.model = loadedModel(lay, loads, {Weight{u.loadCase, u.span, 1.0}});
        const BeamModel& m = u.model;
        std::string what = "the load case " + book.cases[u.loadCase].name;
        if (u.span >= 0) what += " on span " + std::to_string(u.span + 1);
        if (!solveBeam(script, m, points, general, what, u.diagram, u.fields, warning, problem)) {
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
    for (const int c : chosen.index) {
        if (c >= 0) env.combinations.push_back(c);
    }
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
    const std::vector<Element>& elements = units[0].model.elements;
    const size_t count = base.size();
    env.x.resize(count);
    env.max.resize(count);
    env.min.resize(count);
    stretchesOf(beam, env);
    // Where every sample and every section counts: the whole beam, its span
    // and its section.
    std::vector<std::vector<EnvelopeExtreme*>> sampleTargets(count);
    std::vector<std::vector<EnvelopeExtreme*>> elementTargets(elements.size());
    {
        std::vector<int> sectionIndex(beam.elements.size() + 1, -1);
        for (size_t k = 0; k < env.sections.size(); ++k) {
            for (size_t e = 0; e < beam.elements.size(); ++e) {
                if (beam.elements[e].tag == env.sections[k].action)
                    sectionIndex[e] = static_cast<int>(k);
            }
        }
        auto sectionOf = [&](const Element& e) {
            for (size_t k = 0; k < beam.elements.size(); ++k) {
                if (beam.elements[k].tag == e.tag && sectionIndex[k] >= 0)
                    return &env.sections[sectionIndex[k]].extremes[0];
            }
            return static_cast<EnvelopeExtreme*>(nullptr);
        };
        int span = 0;
        for (size_t i = 0; i < count; ++i) {
            const int k = base[i].action - 1;  // the pressed beam's element
            const Element* e =
                k >= 0 && k < static_cast<int>(elements.size()) ? &elements[k] : nullptr;
            // Past a holding place the next span begins.
            if (e && e->takesForce()) {
                for (size_t p = 0; p + 1 < env.spanEdges.size(); ++p) {
                    if (std::fabs(env.spanEdges[p] - e->x) <= tol) span = static_cast<int>(p);
                }
            }
            sampleTargets[i] = {env.extremes, env.spans[span].extremes};
            if (e && e->isSection() && e->length > 0.0) {
                if (EnvelopeExtreme* s = sectionOf(*e)) {
                    sampleTargets[i].push_back(s);
                    // A section's start is the sample before its first.
                    if (i > 0 && base[i - 1].action != base[i].action) {
                        sampleTargets[i - 1].push_back(s);
                    }
                }
            }
        }
        for (size_t k = 0; k < elements.size(); ++k) {
            elementTargets[k] = {env.extremes, env.spans[lay.span[k]].extremes};
            if (EnvelopeExtreme* s = sectionOf(elements[k])) elementTargets[k].push_back(s);
        }
    }
    // The best sample and combination of every target's extremes.
    struct Best {
        int combination = 0;
        size_t at = 0;
    };
    struct Tracked {
        EnvelopeExtreme* target;
        Best max[rowCount];
        Best min[rowCount];
    };
    std::vector<Tracked> tracked;
    auto trackOf = [&](EnvelopeExtreme* target) -> Tracked& {
        for (Tracked& t : tracked) {
            if (t.target == target) return t;
        }
        tracked.push_back(Tracked{target, {}, {}});
        return tracked.back();
    };
    trackOf(env.extremes);
    for (StretchExtremes& s : env.spans) trackOf(s.extremes);
    for (StretchExtremes& s : env.sections) trackOf(s.extremes);
    std::vector<Tracked*> trackedOf;
    for (size_t i = 0; i < count; ++i) {
        env.x[i] = base[i].x;
        trackedOf.clear();
        for (EnvelopeExtreme* t : sampleTargets[i]) trackedOf.push_back(&trackOf(t));
        for (int r = 0; r < rowCount; ++r) {
            const auto value = [&](int u) { return units[u].diagram.samples[i].value[r]; };
            double high = 0.0;
            double low = 0.0;
            int highAt = 0;
            int lowAt = 0;
            for (size_t c = 0; c < combinations.size(); ++c) {
                const double a =
                    combine(combinations[c], termUnits[c], units, true, value, nullptr);
                const double b =
                    combine(combinations[c], termUnits[c], units, false, value, nullptr);
                if (c == 0 || a > high) high = a, highAt = static_cast<int>(c);
                if (c == 0 || b < low) low = b, lowAt = static_cast<int>(c);
            }
            env.max[i][r] = high;
            env.min[i][r] = low;
            // The extremes along the beam and its stretches, with the
            // combination that gives them.
            for (Tracked* t : trackedOf) {
                EnvelopeExtreme& x = t->target[r];
                Extreme& e = x.extreme;
                const bool newMax = std::isfinite(high) && (!e.found || high > e.max);
                const bool newMin = std::isfinite(low) && (!e.found || low < e.min);
                consider(e, high, env.x[i]);
                consider(e, low, env.x[i]);
                if (newMax) x.atMax.combination = highAt, t->max[r] = Best{highAt, i};
                if (newMin) x.atMin.combination = lowAt, t->min[r] = Best{lowAt, i};
            }
        }
    }
    // How each extreme is made up, at its sample.
    auto loadingAt = [&](size_t i, int r, int c, bool largest) {
        Loading l;
        const auto value = [&](int u) { return units[u].diagram.samples[i].value[r]; };
        combine(combinations[c], termUnits[c], units, largest, value, &l);
        l.combination = chosen.index[c];
        return l;
    };
    for (const Tracked& t : tracked) {
        for (int r = 0; r < rowCount; ++r) {
            EnvelopeExtreme& e = t.target[r];
            if (!e.extreme.found) continue;
            e.atMax = loadingAt(t.max[r].at, r, t.max[r].combination, true);
            e.atMin = loadingAt(t.min[r].at, r, t.min[r].combination, false);
        }
    }
    sectionExtremes(chosen, termUnits, units, elementTargets);

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
                high.combination = low.combination = chosen.index[c];
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
