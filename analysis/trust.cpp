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

std::string number(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%g", x);
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

// The part of a lost-digits warning for the quantities of one place.
std::string lostDigits(const double* keyed, const double* general, const double* scale,
                       const char* const* names, int count, const char* where) {
    std::string values;
    int lost = 0;
    for (int k = 0; k < count; ++k) {
        if (!differs(keyed[k], general[k], scale[k])) continue;
        lost = std::max(lost, digitsLost(std::fabs(keyed[k] - general[k]), scale[k]));
        values += values.empty() ? "" : "; ";
        values += std::string(names[k]) + " = " + number(keyed[k]) +
                  ", where the general method gives " + number(general[k]);
    }
    if (values.empty()) return "";
    const std::string digits =
        lost >= 16 ? "all of its 16 digits" : "about " + std::to_string(lost) + " of its 16 digits";
    return "the reduction method lost " + digits + " " + where + ": " + values;
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
            take(solver::stateInside(section, solution.states[e], part));
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
        const std::string text =
            lostDigits(values.data(), e.state.data(), scales[b].data(), quantityNames, 4, "here");
        if (!text.empty()) notices.push_back({i, text});
    }
    return notices;
}

std::vector<Notice> checkReactions(const BeamModel& beam, const solver::Solution& solution,
                                   const Diagram& keyed) {
    std::vector<Notice> notices;
    if (solution.status != solver::Status::solved) return notices;
    Diagram general;
    computeGeneralDiagram(beam, solution, 0, general);
    if (general.reactions.size() != keyed.reactions.size()) return notices;
    const solver::State scale = scaleOf(beam, solution);
    const char* const names[] = {"F", "M"};
    const double scales[] = {scale[rowQ], scale[rowM]};
    for (size_t n = 0; n < keyed.reactions.size(); ++n) {
        const Reaction& k = keyed.reactions[n];
        const Reaction& r = general.reactions[n];
        const double kv[] = {k.force, k.moment};
        const double gv[] = {r.force, r.moment};
        if (!std::isfinite(k.force) || !std::isfinite(k.moment)) continue;
        const std::string text =
            lostDigits(kv, gv, scales, names, k.hasMoment ? 2 : 1, "in this reaction");
        if (!text.empty()) notices.push_back({k.action, text});
    }
    return notices;
}

}  // namespace velmora
