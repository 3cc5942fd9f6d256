// The keyed method's values held against the general solution, and the
// passes whose registers an F7 reads. A keyed F7 reads more than its own
// run: -U1 from the last right end, and the factor pair of the next
// condition from whichever pass wrote it last.
#include "analysis/trust.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "engine/engine.h"

namespace velmora {
namespace {

const char* const quantityNames[] = {"w", "psi", "M", "Q"};

std::string lineOf(const Script& script, int action) {
    return "line " + std::to_string(script.actions[action].line);
}

std::string number(double x, int digits = 6) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*g", digits, x);
    return text;
}

// How many of a double's 16 digits a value lost, when it is `difference`
// off on a quantity of this scale.
int digitsLost(double difference, double scale) {
    if (!(scale > 0.0)) return 16;
    const double lost = std::round(16.0 + std::log10(difference / scale));
    return static_cast<int>(std::clamp(lost, 1.0, 16.0));
}

bool differs(double keyed, double general, double scale) {
    return std::fabs(keyed - general) > keyedTolerance * scale;
}

// Keyed values of one place held against the general ones, each against its
// own scale: the digits the worst of them lost, and those that differ as a
// lost-digits warning lists them.
struct Held {
    int lost = 0;  // 0: none differs
    std::string values;

    // With the places of values that have one, " at x = ...": the general
    // one's only where it prints otherwise.
    void take(const std::string& name, double keyed, double general, double scale,
              const std::string& keyedAt = "", const std::string& generalAt = "") {
        if (!std::isfinite(keyed) || !differs(keyed, general, scale)) return;
        lost = std::max(lost, digitsLost(std::fabs(keyed - general), scale));
        // As the program prints them, or with the digits it takes to tell
        // them apart.
        int digits = 6;
        while (digits < 17 && number(keyed, digits) == number(general, digits)) ++digits;
        values += values.empty() ? "" : "; ";
        values += name + " = " + number(keyed, digits) + keyedAt +
                  ", where the general method gives " + number(general, digits) +
                  (generalAt == keyedAt ? "" : generalAt);
    }

    std::string text(const std::string& where) const {
        if (lost == 0) return "";
        const std::string digits = lost >= 16
                                       ? "all of its 16 digits"
                                       : "about " + std::to_string(lost) + " of its 16 digits";
        return "the reduction method lost " + digits + " " + where + ": " + values;
    }
};

std::string at(double x) { return " at x = " + number(x); }

// "line 4", "lines 4 and 6", "lines 4, 6, 9, 11 and 3 more".
std::string linesText(const std::vector<int>& lines) {
    constexpr size_t named = 4;
    std::string text = lines.size() == 1 ? "line " : "lines ";
    for (size_t n = 0; n < lines.size() && n < named; ++n) {
        const bool last = n + 1 == lines.size();
        text += n == 0 ? "" : last ? " and " : ", ";
        text += std::to_string(lines[n]);
    }
    if (lines.size() > named) text += " and " + std::to_string(lines.size() - named) + " more";
    return text;
}

// Which action of the description last wrote each register an F7 reads
// beside its own run's: the factor list and -U1. The factor pointer moves
// as the engine moves it: 20 at F1, two on at every condition, and a right
// end clears the pair after its own.
struct Writers {
    std::array<int, registerCount> pair;
    int firstUnknown = -1;
    int pointer = 0;
    Writers() { pair.fill(-1); }

    void take(const Action& a, int index) {
        if (a.kind == Kind::leftEnd) pointer = factorListStart;
        if (a.kind != Kind::intermediate && a.kind != Kind::rightEnd) return;
        write(pointer, index);
        pointer += 2;
        if (a.kind != Kind::rightEnd) return;
        firstUnknown = index;
        if (pointer >= factorListStart) write(pointer, index);
    }

    void write(int at, int index) {
        if (at >= 0 && at + 1 <= lastRegister) pair[at] = pair[at + 1] = index;
    }
};

}  // namespace

solver::State scaleOf(const solver::Beam& beam, const solver::Solution& solution) {
    solver::State scale{};
    auto take = [&](const solver::State& s) {
        for (int k = 0; k < rowCount; ++k) scale[k] = std::max(scale[k], std::fabs(s[k]));
    };
    for (const solver::State& s : solution.states) take(s);
    for (size_t e = 0; e < beam.elements.size(); ++e) {
        const solver::Element& section = beam.elements[e];
        if (section.kind != solver::ElementKind::beamSection &&
            section.kind != solver::ElementKind::shaftSection) {
            continue;
        }
        for (int k = 1; k <= defaultPoints; ++k) {
            const double part = section.length * (static_cast<double>(k) / (defaultPoints + 1.0));
            take(solver::stateInside(section, solution.fields[e], solution.states[e], part));
        }
    }
    return scale;
}

std::vector<Notice> checkKeyed(const Script& script, const GeneralReading& g,
                               const std::vector<Result>& keyed) {
    std::vector<Notice> notices;
    std::vector<int> runOf(script.count(), 0);
    for (int r = 0; r < static_cast<int>(g.runs.size()); ++r) {
        const RunReading& run = g.runs[r];
        for (int i = std::max(run.first, 0); i < run.end; ++i) runOf[i] = r;
    }
    // A register written by a run that keeps to a complete beam holds that
    // beam's value; any other pass leaves a value of no beam.
    auto wroteItsBeam = [&](int action) {
        const RunReading& run = g.runs[runOf[action]];
        return run.role != RunReading::orphan && (run.departs < 0 || action < run.departs);
    };
    auto passOf = [&](int action) {
        const RunReading& run = g.runs[runOf[action]];
        if (run.role == RunReading::orphan) {
            return std::string(run.first < 0 ? "before the first F1"
                                             : "by the run from " + lineOf(script, run.first) +
                                                   ", which reaches no complete beam");
        }
        if (run.departs == run.first) {
            return "by the run from " + lineOf(script, run.first) +
                   ", a beam that was never completed";
        }
        return "by the run from " + lineOf(script, run.first) +
               ", which departed from its beam on " + lineOf(script, run.departs);
    };
    std::vector<solver::State> scales(g.runs.size());
    std::vector<bool> scaled(g.runs.size(), false);

    Writers writers;
    size_t next = 0;  // the next F7 of the reading and of the keyed results
    std::vector<bool> departureTold(g.runs.size(), false);
    for (int i = 0; i < script.count(); ++i) {
        const Action& a = script.actions[i];
        if (a.kind != Kind::evaluate) {
            writers.take(a, i);
            continue;
        }
        if (next >= g.evaluations.size() || next >= keyed.size()) break;
        const Evaluation& e = g.evaluations[next];
        const Result& k = keyed[next];
        ++next;
        const int r = runOf[i];
        const RunReading& run = g.runs[r];
        if (run.role == RunReading::orphan) {
            notices.push_back({i,
                               "no beam has been described to its right end before this F7: its "
                               "values come from registers of no complete beam"});
            continue;
        }
        if (run.role == RunReading::beam && i < run.right) {
            notices.push_back({i, "this F7 comes before its beam's right end (" +
                                      lineOf(script, run.right) +
                                      ") has been computed: its values come from registers of no "
                                      "complete beam"});
            continue;
        }
        if (run.departs >= 0 && i > run.departs) {
            if (!departureTold[r]) {
                departureTold[r] = true;
                notices.push_back({run.departs, run.why + "; the F7 values after this line are not "
                                                          "values of that beam"});
            }
            continue;
        }
        const int pair = writers.pointer;
        const int readers[] = {pair >= 0 && pair <= lastRegister ? writers.pair[pair] : -1,
                               writers.firstUnknown};
        std::string stale;
        for (const int w : readers) {
            if (w >= 0 && !wroteItsBeam(w) && stale.empty()) {
                stale = lineOf(script, w) + " (" + passOf(w) + ")";
            }
        }
        if (!stale.empty()) {
            notices.push_back({i, "the factors this F7 reads were last written on " + stale +
                                      ": its values are not those of its beam"});
            continue;
        }
        const State& values = k.state;
        if (!e.solved || !std::all_of(std::begin(values), std::end(values),
                                      [](double v) { return std::isfinite(v); })) {
            continue;
        }
        const int b = run.beamRun;
        if (!scaled[b]) {
            scales[b] = scaleOf(g.runs[b].model, g.runs[b].solution);
            scaled[b] = true;
        }
        Held held;
        for (int q = 0; q < rowCount; ++q) {
            held.take(quantityNames[q], values[q], e.state[q], scales[b][q]);
        }
        if (held.lost > 0) notices.push_back({i, held.text("here")});
    }
    return notices;
}

namespace {

int lineOf(const BeamModel& beam, int tag) {
    if (tag == beam.leftTag) return beam.leftLine;
    if (tag == beam.rightTag) return beam.rightLine;
    for (const Element& e : beam.elements) {
        if (e.tag == tag) return e.line;
    }
    return 0;
}

// One kind of number at many places: the warning stands at the place that
// lost the most digits (the first of a tie) and names the others.
struct Worst {
    Held held;
    int action = -1;
    int line = 0;
    std::vector<int> others;  // the lines of the other places

    void take(const Held& h, int place, int placeLine) {
        if (h.lost == 0) return;
        if (h.lost <= held.lost) {
            others.push_back(placeLine);
            return;
        }
        if (action >= 0) others.push_back(line);
        held = h;
        action = place;
        line = placeLine;
    }
};

}  // namespace

std::vector<Notice> checkDiagram(const BeamModel& beam, const solver::Solution& solution,
                                 const Diagram& keyed, const Shown& shown) {
    std::vector<Notice> notices;
    if (solution.status != solver::Status::solved || keyed.first < 0) return notices;
    Diagram general;
    computeGeneralDiagram(beam, solution, shown.points, general);
    const solver::State scale = scaleOf(beam, solution);

    if (shown.reactions && general.reactions.size() == keyed.reactions.size()) {
        // Forces, moments and slopes: each kind its own warning.
        Worst kinds[3];
        for (size_t n = 0; n < keyed.reactions.size(); ++n) {
            const Reaction& k = keyed.reactions[n];
            const Reaction& g = general.reactions[n];
            Held held[3];
            held[0].take("F", k.force, g.force, scale[rowQ]);
            if (k.hasMoment) held[1].take("M", k.moment, g.moment, scale[rowM]);
            held[2].take(k.kinked ? "psi left" : "psi", k.psi, g.psi, scale[rowPsi]);
            if (k.kinked) held[2].take("psi right", k.psiRight, g.psiRight, scale[rowPsi]);
            for (int c = 0; c < 3; ++c) kinds[c].take(held[c], k.action, lineOf(beam, k.action));
        }
        const char* const names[] = {"F", "M", "psi"};
        for (int c = 0; c < 3; ++c) {
            Worst& w = kinds[c];
            if (w.action < 0) continue;
            std::sort(w.others.begin(), w.others.end());
            std::string text = w.held.text("in this reaction");
            if (!w.others.empty()) {
                text += "; " + std::string(names[c]) + " lost digits in " +
                        std::to_string(w.others.size()) + " more reaction" +
                        (w.others.size() > 1 ? "s" : "") + " too (" + linesText(w.others) + ")";
            }
            notices.push_back({w.action, text});
        }
    }

    if (shown.extremes) {
        Held held;
        for (int q = 0; q < rowCount; ++q) {
            const Extreme& k = keyed.extremes[q];
            const Extreme& g = general.extremes[q];
            if (!k.found || !g.found) continue;
            const std::string name = quantityNames[q];
            held.take(name + " max", k.max, g.max, scale[q], at(k.xMax), at(g.xMax));
            held.take(name + " min", k.min, g.min, scale[q], at(k.xMin), at(g.xMin));
        }
        if (held.lost > 0)
            notices.push_back({keyed.first, held.text("in the extremes of this beam")});
        const Extreme& k = keyed.stress;
        const Extreme& g = general.stress;
        if (keyed.hasStress && general.hasStress && k.found && g.found) {
            // sigma's scale: its largest magnitude along the beam.
            const double sigma = std::max(std::fabs(g.max), std::fabs(g.min));
            Held stress;
            stress.take("sigma max", k.max, g.max, sigma, at(k.xMax), at(g.xMax));
            stress.take("sigma min", k.min, g.min, sigma, at(k.xMin), at(g.xMin));
            if (stress.lost > 0) {
                notices.push_back(
                    {keyed.first, stress.text("in the extreme stresses of this beam")});
            }
        }
    }

    if (shown.points > 0 && general.samples.size() == keyed.samples.size()) {
        const double sigma = std::max(std::fabs(general.stress.max), std::fabs(general.stress.min));
        Held worst;
        size_t worstAt = 0;
        size_t count = 0;
        for (size_t n = 0; n < keyed.samples.size(); ++n) {
            const Sample& k = keyed.samples[n];
            const Sample& g = general.samples[n];
            Held held;
            for (int q = 0; q < rowCount; ++q) {
                held.take(quantityNames[q], k.value[q], g.value[q], scale[q]);
            }
            if (k.hasStress() && g.hasStress()) held.take("sigma", k.stress(), g.stress(), sigma);
            if (held.lost == 0) continue;
            ++count;
            if (held.lost > worst.lost) {
                worst = held;
                worstAt = n;
            }
        }
        if (count > 0) {
            const Sample& k = keyed.samples[worstAt];
            notices.push_back(
                {k.action, worst.text("in " + std::to_string(count) + " of the diagram's " +
                                      std::to_string(keyed.samples.size()) +
                                      " samples, the most at x = " + number(k.x))});
        }
    }
    return notices;
}

std::vector<Notice> checkInfluence(const std::vector<InfluenceLine>& keyed,
                                   const std::vector<InfluenceLine>& general,
                                   const std::vector<LiveLoad>& live, int action, bool ordinates) {
    std::vector<Notice> notices;
    for (size_t n = 0; n < keyed.size() && n < general.size(); ++n) {
        const InfluenceLine& k = keyed[n];
        const InfluenceLine& g = general[n];
        if (!k.allFinite || !g.allFinite || !k.extreme.found || !g.extreme.found) continue;
        const double eta = std::max(std::fabs(g.extreme.max), std::fabs(g.extreme.min));
        const double area = std::max(g.positiveArea, -g.negativeArea);
        Held held;
        held.take("max", k.extreme.max, g.extreme.max, eta, at(k.extreme.xMax), at(g.extreme.xMax));
        held.take("min", k.extreme.min, g.extreme.min, eta, at(k.extreme.xMin), at(g.extreme.xMin));
        held.take("positive area", k.positiveArea, g.positiveArea, area);
        held.take("negative area", k.negativeArea, g.negativeArea, area);
        for (size_t l = 0; l < k.live.size() && l < g.live.size() && l < live.size(); ++l) {
            const double scale = std::max(std::fabs(g.live[l].max), std::fabs(g.live[l].min));
            const std::string name = "live " + live[l].text + " max";
            held.take(name, k.live[l].max, g.live[l].max, scale);
            held.take(name.substr(0, name.size() - 3) + "min", k.live[l].min, g.live[l].min, scale);
        }
        // The ordinates: the one that lost the most, and how many did.
        size_t count = 0;
        Held worst;
        if (ordinates && k.ordinate.size() == g.ordinate.size()) {
            for (size_t i = 0; i < k.ordinate.size(); ++i) {
                Held one;
                one.take("eta", k.ordinate[i], g.ordinate[i], eta, at(k.x[i]));
                count += one.lost > 0;
                if (one.lost > worst.lost) worst = one;
            }
        }
        if (worst.lost > 0) {
            held.lost = std::max(held.lost, worst.lost);
            held.values += (held.values.empty() ? "" : "; ") + worst.values + " (" +
                           std::to_string(count) + " of its " + std::to_string(k.ordinate.size()) +
                           " ordinates lost digits)";
        }
        if (held.lost > 0) {
            notices.push_back({action, held.text("in the influence line " + k.request.text)});
        }
    }
    return notices;
}

std::vector<Notice> checkEnvelope(const Envelope& keyed, const Envelope& general, int action,
                                  bool samples) {
    std::vector<Notice> notices;
    if (!keyed.allFinite || !general.allFinite || keyed.max.size() != general.max.size()) {
        return notices;
    }
    State scale{};
    for (size_t n = 0; n < general.max.size(); ++n) {
        for (int q = 0; q < rowCount; ++q) {
            scale[q] =
                std::max({scale[q], std::fabs(general.max[n][q]), std::fabs(general.min[n][q])});
        }
    }
    if (keyed.reactions.size() == general.reactions.size()) {
        Worst worst;
        for (size_t n = 0; n < keyed.reactions.size(); ++n) {
            const EnvelopeReaction& k = keyed.reactions[n];
            const EnvelopeReaction& g = general.reactions[n];
            Held held;
            held.take("F max", k.max, g.max, scale[rowQ]);
            held.take("F min", k.min, g.min, scale[rowQ]);
            if (k.hasMoment) {
                held.take("M max", k.momentMax, g.momentMax, scale[rowM]);
                held.take("M min", k.momentMin, g.momentMin, scale[rowM]);
            }
            const int line = lineOf(keyed.beam, k.action);
            worst.take(held, line, line);
        }
        if (worst.action >= 0) {
            std::sort(worst.others.begin(), worst.others.end());
            std::string text =
                worst.held.text("in the envelope's reaction on line " + std::to_string(worst.line));
            if (!worst.others.empty()) {
                text += "; so did " + std::to_string(worst.others.size()) + " more reaction" +
                        (worst.others.size() > 1 ? "s (" : " (") + linesText(worst.others) + ")";
            }
            notices.push_back({action, text});
        }
    }
    Held extremes;
    for (int q = 0; q < rowCount; ++q) {
        const Extreme& k = keyed.extremes[q].extreme;
        const Extreme& g = general.extremes[q].extreme;
        if (!k.found || !g.found) continue;
        const std::string name = quantityNames[q];
        extremes.take(name + " max", k.max, g.max, scale[q], at(k.xMax), at(g.xMax));
        extremes.take(name + " min", k.min, g.min, scale[q], at(k.xMin), at(g.xMin));
    }
    if (extremes.lost > 0) notices.push_back({action, extremes.text("in the envelope's extremes")});
    if (!samples) return notices;
    Held worst;
    size_t worstAt = 0;
    size_t count = 0;
    for (size_t n = 0; n < keyed.max.size(); ++n) {
        Held held;
        for (int q = 0; q < rowCount; ++q) {
            const std::string name = quantityNames[q];
            held.take(name + " max", keyed.max[n][q], general.max[n][q], scale[q]);
            held.take(name + " min", keyed.min[n][q], general.min[n][q], scale[q]);
        }
        count += held.lost > 0;
        if (held.lost > worst.lost) {
            worst = held;
            worstAt = n;
        }
    }
    if (count > 0) {
        notices.push_back(
            {action, worst.text("in " + std::to_string(count) + " of the envelope's " +
                                std::to_string(keyed.max.size()) +
                                " samples, the most at x = " + number(keyed.x[worstAt]))});
    }
    return notices;
}

namespace {

// The largest magnitude of each quantity in an envelope: what a keyed
// value's lost digits are counted against.
State envelopeScale(const Envelope& e) {
    State scale{};
    for (size_t n = 0; n < e.max.size(); ++n) {
        for (int q = 0; q < rowCount; ++q) {
            scale[q] = std::max({scale[q], std::fabs(e.max[n][q]), std::fabs(e.min[n][q])});
        }
    }
    return scale;
}

// A span by where it runs, a section by its line.
std::string stretchName(const StretchExtremes& s) {
    if (s.line > 0) return "the section of line " + std::to_string(s.line);
    return std::string(s.overhang ? "the overhang" : "the span") + " from x = " + number(s.from) +
           " to " + number(s.to);
}

// The stretch whose values lost the most digits, by name, and how many
// others lost any.
struct WorstStretch {
    Worst worst;
    std::string name;

    void take(const Held& held, const StretchExtremes& stretch, int index) {
        const int before = worst.action;
        worst.take(held, index, stretch.line);
        if (worst.action != before) name = stretchName(stretch);
    }
};

// The extremes of w, M and Q of every stretch, as the span table prints them.
void takeStretches(const std::vector<StretchExtremes>& keyed,
                   const std::vector<StretchExtremes>& general, const State& scale,
                   WorstStretch& worst) {
    if (keyed.size() != general.size()) return;
    for (size_t n = 0; n < keyed.size(); ++n) {
        Held held;
        for (int q : {rowW, rowM, rowQ}) {
            const Extreme& k = keyed[n].extremes[q].extreme;
            const Extreme& g = general[n].extremes[q].extreme;
            if (!k.found || !g.found) continue;
            const std::string name = quantityNames[q];
            held.take(name + " max", k.max, g.max, scale[q]);
            held.take(name + " min", k.min, g.min, scale[q]);
        }
        worst.take(held, keyed[n], static_cast<int>(n));
    }
}

}  // namespace

std::vector<Notice> checkSpanTable(const Envelope& keyed, const Envelope& general, int action) {
    std::vector<Notice> notices;
    if (!keyed.allFinite || !general.allFinite) return notices;
    const State scale = envelopeScale(general);
    WorstStretch worst;
    takeStretches(keyed.spans, general.spans, scale, worst);
    takeStretches(keyed.sections, general.sections, scale, worst);
    if (worst.worst.action < 0) return notices;
    std::string text = worst.worst.held.text("in the span table, " + worst.name);
    const size_t others = worst.worst.others.size();
    if (others > 0) {
        text += "; so did " + std::to_string(others) + " more row" + (others > 1 ? "s" : "");
    }
    notices.push_back({action, text});
    return notices;
}

std::vector<Notice> checkLimitValues(const std::vector<Check>& keyed,
                                     const std::vector<Check>& general, int action) {
    std::vector<Notice> notices;
    if (keyed.size() != general.size()) return notices;
    WorstStretch worst;
    for (size_t n = 0; n < keyed.size(); ++n) {
        // Each value against the largest of its limit's: a check of a short
        // span is read beside the beam's others.
        double scale = 0.0;
        for (const Check& g : general) {
            if (g.limit == general[n].limit) scale = std::max(scale, std::fabs(g.value));
        }
        Held held;
        held.take("value", keyed[n].value, general[n].value, scale);
        worst.take(held, keyed[n].stretch, static_cast<int>(n));
    }
    if (worst.worst.action < 0) return notices;
    std::string text = worst.worst.held.text("in the check of " + worst.name);
    const size_t others = worst.worst.others.size();
    if (others > 0) {
        text += "; so did " + std::to_string(others) + " more check" + (others > 1 ? "s" : "");
    }
    notices.push_back({action, text});
    return notices;
}

}  // namespace velmora
