// The description read as beams for the general solver. A run starts at an
// F1; a run that reaches a right end is a complete beam and is solved at
// once, every other run repeats the complete beam before it and must follow
// it element by element.
#include "analysis/general.h"

#include <cmath>

#include "analysis/evaluator.h"

namespace velmora {
namespace {

bool report(Problem& problem, const Action& a, const std::string& text) {
    problem = Problem{a.line, a.column, text};
    return false;
}

std::string lineText(const Script& script, int index) {
    return "line " + std::to_string(script.actions[index].line);
}

// How a mechanism moves one part of the beam, in words.
std::string movement(const Script& script, const solver::Mover& m) {
    const Action& a = script.actions[m.tag];
    const std::string where = lineText(script, m.tag);
    switch (m.kind) {
        case solver::Mover::hinge:
            return "kinking at the hinge on " + where;
        case solver::Mover::shearHinge:
            return "shearing at the shear hinge on " + where;
        case solver::Mover::leftEnd:
            return a.choice == leftFree     ? "moving its free left end (" + where + ")"
                   : a.choice == leftGuided ? "sliding at its guided left end (" + where + ")"
                                            : "turning about its left end (" + where + ")";
        case solver::Mover::rightEnd:
            return a.choice == rightFree     ? "moving its free right end (" + where + ")"
                   : a.choice == rightGuided ? "sliding at its guided right end (" + where + ")"
                                             : "turning about its right end (" + where + ")";
    }
    return "";
}

// ---------------------------------------------------------------------------
// Runs of the description.

// Splits the description at every F1. Reports an action before the first F1
// and an element after a right end, which belong to no beam.
bool checkRuns(const Script& script, Problem& problem) {
    int right = -1;
    bool inRun = false;
    for (int i = 0; i < script.count(); ++i) {
        const Action& a = script.actions[i];
        if (a.kind == Kind::leftEnd) {
            inRun = true;
            right = -1;
            continue;
        }
        if (!inRun) {
            report(problem, a,
                   "with the general method every action belongs to a beam: start it with F1 "
                   "(the left end)");
            return false;
        }
        if (right >= 0 && a.kind != Kind::evaluate) {
            report(problem, a,
                   "only F7 may follow the right end (line " +
                       std::to_string(script.actions[right].line) +
                       "): start a new beam, or a repeated run, with F1");
            return false;
        }
        if (a.kind == Kind::rightEnd) right = i;
    }
    return true;
}

// Node k of a solution is the state just right of element k - 1.
int elementCount(const Script& script, int first, int upto) {
    int count = 0;
    for (int i = first + 1; i <= upto; ++i) {
        const Kind k = script.actions[i].kind;
        if (k != Kind::evaluate && k != Kind::rightEnd) ++count;
    }
    return count;
}

// ---------------------------------------------------------------------------
// A repeated run, followed along its beam.

bool nearlyEqual(double a, double b, double scale) {
    return a == b || std::fabs(a - b) <= 1e-9 * scale;
}

// A value for a message: what is left of a cancellation below 1e-12 of its
// scale reads as the 0 it stands for.
std::string shown(double x, double scale) {
    char text[40];
    std::snprintf(text, sizeof text, "%g", std::fabs(x) < 1e-12 * scale ? 0.0 : x);
    return text;
}

const char* valueName(const Action& a) {
    if (a.kind == Kind::pointLoad) return choiceName(a.choice);
    return a.kind == Kind::mass ? "m or J" : "c";
}

class Follower {
public:
    Follower(const Script& script, const solver::Beam& beam, const solver::Solution* solution,
             int beamFirst)
        : script_(script), beam_(beam), solution_(solution), beamFirst_(beamFirst) {}

    // Takes the next action of the run; false, with the reason, where the
    // run departs from the beam.
    bool take(const Action& a, std::string& why) {
        const int n = static_cast<int>(beam_.elements.size());
        if (a.kind == Kind::evaluate) return true;
        if (a.kind == Kind::leftEnd) {
            if (endOf(a.choice) == beam_.left) return true;
            why = "this repeated run starts with another left end than its beam (" +
                  lineText(script_, beamFirst_) + ")";
            return false;
        }
        if (a.kind == Kind::rightEnd) return takeRightEnd(a, why);
        if (element_ >= n) {
            why = "this repeated run goes on past its beam: the beam's right end (" +
                  lineText(script_, beam_.rightTag) + ") stands here";
            return false;
        }
        const solver::Element& e = beam_.elements[element_];
        const Action& expected = script_.actions[e.tag];
        const solver::Element mine = elementOf(a, 0);
        const std::string there = " (" + lineText(script_, e.tag) + ")";
        if (a.kind != expected.kind || a.choice != expected.choice) {
            why = std::string("a repeated run must repeat its beam: here the beam has ") +
                  actionName(expected) + there;
            return false;
        }
        const bool section = a.kind == Kind::beamSection || a.kind == Kind::shaftSection;
        if (!section) {
            if (mine.value != e.value || mine.inertia != e.inertia) {
                why = std::string("a repeated run must repeat its beam: this ") + valueName(a) +
                      " is " + shown(mine.value, 0.0) + " where the beam has " +
                      shown(e.value, 0.0) + there;
                return false;
            }
            ++element_;
            return true;
        }
        if (mine.stiffness != e.stiffness || mine.diameter != e.diameter) {
            const bool shaft = a.kind == Kind::shaftSection;
            auto stiffness = [&](const solver::Element& s) {
                return shaft
                           ? "E = " + shown(s.stiffness, 0.0) + " and d = " + shown(s.diameter, 0.0)
                           : "EI = " + shown(s.stiffness, 0.0);
            };
            why = "this part of a section has another stiffness than the section" + there +
                  ": it has " + stiffness(mine) + " where the section has " + stiffness(e);
            return false;
        }
        if (mine.mass != e.mass || mine.modulus != e.modulus) {
            why = "this part of a section has another mass or section modulus than the section" +
                  there;
            return false;
        }
        if (mine.axialForce != e.axialForce || mine.foundation != e.foundation ||
            mine.shear != e.shear || mine.curvature != e.curvature || mine.area != e.area) {
            why =
                "this part of a section has another N, k, shear stiffness, kappa or A than the "
                "section" +
                there;
            return false;
        }
        // The later part of a split section continues its line load.
        const double qHere = e.q + e.qs * offset_;
        const double loadScale =
            std::max(std::fabs(e.q), std::fabs(e.q + e.qs * e.length)) + std::fabs(e.qs);
        if (!nearlyEqual(mine.q, qHere, loadScale) ||
            !nearlyEqual(mine.qs, e.qs, std::fabs(e.qs))) {
            why = "this part of a section does not continue the section's line load" + there +
                  ": it has q = " + shown(mine.q, loadScale) +
                  " and qs = " + shown(mine.qs, loadScale) +
                  " where the section goes on with q = " + shown(qHere, loadScale) +
                  " and qs = " + shown(e.qs, loadScale);
            return false;
        }
        const double reach = offset_ + mine.length;
        if (nearlyEqual(reach, e.length, std::fabs(e.length))) {
            ++element_;
            offset_ = 0.0;
            return true;
        }
        if (mine.length < 0.0 || reach > e.length) {
            why = "this part runs past the end of the section" + there;
            return false;
        }
        offset_ = reach;
        return true;
    }

    // The solved state where the run stands; false without a solution.
    bool here(solver::State& state) const {
        if (!solution_) return false;
        if (offset_ == 0.0) {
            state = solution_->states[element_];
        } else {
            state = solver::stateInside(beam_.elements[element_], solution_->fields[element_],
                                        solution_->states[element_], offset_);
        }
        return true;
    }

private:
    // The run's right end must be its beam's, where the beam's stands.
    bool takeRightEnd(const Action& a, std::string& why) {
        const int n = static_cast<int>(beam_.elements.size());
        const Action& expected = script_.actions[beam_.rightTag];
        const std::string there = " (" + lineText(script_, beam_.rightTag) + ")";
        if (element_ < n || offset_ != 0.0) {
            why = "this repeated run ends before its beam's right end" + there;
            return false;
        }
        if (a.choice != expected.choice ||
            a.value[slotEndMoment] != expected.value[slotEndMoment] ||
            a.value[slotEndForce] != expected.value[slotEndForce]) {
            why = "this repeated run ends with another right end than its beam" + there;
            return false;
        }
        return true;
    }

    const Script& script_;
    const solver::Beam& beam_;
    const solver::Solution* solution_;
    int beamFirst_;
    int element_ = 0;      // the next element of the beam
    double offset_ = 0.0;  // how far into it, when it is a section
};

// Whether run first..end (with its right end at `right`) repeats `beam`
// through its right end, splits included.
bool repeatsBeam(const Script& script, const solver::Beam& beam, int beamFirst, int first,
                 int right) {
    Follower follow(script, beam, nullptr, beamFirst);
    std::string why;
    for (int i = first; i <= right; ++i) {
        if (!follow.take(script.actions[i], why)) return false;
    }
    return true;
}

}  // namespace

namespace {

// The first section of the beam around action `index` whose equations
// overflow the range of a double (its terms taken from unit states), or -1.
int overflowingSection(const Script& script, int index) {
    int first = 0;
    int last = 0;
    if (!beamAround(script, index, first, last)) return -1;
    for (int i = first + 1; i < last; ++i) {
        if (!isSection(script.actions[i])) continue;
        const solver::Element e = elementOf(script.actions[i], i);
        // An extended section is cut into pieces: no piece overflows.
        if (!isPlainSection(e)) continue;
        for (int row = 0; row < 4; ++row) {
            solver::State unit{};
            unit[row] = 1.0;
            for (double v : solver::stateInside(e, unit, e.length)) {
                if (!std::isfinite(v)) return i;
            }
        }
    }
    return -1;
}

}  // namespace

std::string solverMessage(const Script& script, const solver::Solution& s, int& tag) {
    // Without tags of its own the message stays at the caller's action.
    if (!s.tags.empty()) tag = s.tags.front();
    switch (s.status) {
        case solver::Status::solved:
            return "";
        case solver::Status::mechanism: {
            std::vector<solver::Mover> movers;
            // The hinges first: they are what a mechanism turns about.
            auto joint = [](const solver::Mover& m) {
                return m.kind == solver::Mover::hinge || m.kind == solver::Mover::shearHinge;
            };
            for (const auto& m : s.movers) {
                if (joint(m)) movers.push_back(m);
            }
            for (const auto& m : s.movers) {
                if (!joint(m)) movers.push_back(m);
            }
            if (!movers.empty()) tag = movers.front().tag;
            if (s.slides) {
                return "the beam is a mechanism: nothing takes a vertical force, so it can slide "
                       "up and down as a whole (its guided ends and rotational springs hold only "
                       "its slope)";
            }
            if (!s.held) {
                return "the beam is a mechanism: nothing holds it, so it can move as a whole "
                       "(no support, no clamped or hinged end, no spring)";
            }
            std::string text = "the beam is a mechanism: it can move without straining";
            for (size_t i = 0; i < movers.size(); ++i) {
                text += i == 0 ? ", " : (i + 1 == movers.size() ? " and " : ", ");
                text += movement(script, movers[i]);
            }
            return text;
        }
        case solver::Status::zeroStiffness:
            return "the shaft's bending stiffness E*pi*d^4/64 underflows to 0: its equations "
                   "cannot be written";
        case solver::Status::notFinite:
            return "a value that is not finite, or a solution beyond the range of a double";
        case solver::Status::sharedSupport:
            if (s.tags.size() > 1) tag = s.tags[1];
            return "two rigid supports at one place (with " + lineText(script, s.tags.front()) +
                   "): no equation says how they share the force";
        case solver::Status::sharedMoment:
            if (s.tags.size() > 1) tag = s.tags[1];
            return "two places that hold the slope at one place (with " +
                   lineText(script, s.tags.front()) +
                   "): no equation says how they share the moment";
        case solver::Status::singular: {
            // Terms beyond a double make the equations meaningless rather
            // than singular: name the overflow and its section.
            const int section = overflowingSection(script, tag);
            if (section >= 0) {
                tag = section;
                return "a value beyond the range of a double (overflow) in this section's "
                       "equations: its length, stiffness and line load are too far apart";
            }
            return "the beam's equations are singular in working precision, though it cannot "
                   "move freely (negative or cancelling stiffnesses?)";
        }
    }
    return "";
}

void readGeneral(const Script& script, GeneralReading& g) {
    g = GeneralReading{};
    // The runs: the actions before the first F1, then one per F1.
    for (int i = 0; i < script.count(); ++i) {
        if (script.actions[i].kind == Kind::leftEnd) {
            if (!g.runs.empty()) g.runs.back().end = i;
            RunReading run;
            run.first = i;
            g.runs.push_back(run);
        } else if (g.runs.empty()) {
            RunReading run;
            run.end = script.count();
            g.runs.push_back(run);
        }
        RunReading& run = g.runs.back();
        run.end = script.count();
        if (script.actions[i].kind == Kind::rightEnd && run.right < 0) run.right = i;
    }
    int current = -1;  // the last complete beam
    for (int r = 0; r < static_cast<int>(g.runs.size()); ++r) {
        RunReading& run = g.runs[r];
        if (run.first < 0) {
            run.role = RunReading::orphan;
        } else if (run.right >= 0 &&
                   !(current >= 0 && repeatsBeam(script, g.runs[current].model,
                                                 g.runs[current].first, run.first, run.right))) {
            run.role = RunReading::beam;
            run.model = beamOf(script, run.first, run.right);
            run.solution = solver::solve(run.model);
            current = r;
        } else {
            run.role = current >= 0 ? RunReading::repeat : RunReading::orphan;
        }
        run.beamRun =
            run.role == RunReading::beam ? r : (run.role == RunReading::repeat ? current : -1);
        const int from = run.first < 0 ? 0 : run.first;
        if (run.role == RunReading::orphan) {
            for (int i = from; i < run.end; ++i) {
                if (script.actions[i].kind == Kind::evaluate)
                    g.evaluations.push_back({i, r, false, {}});
            }
            continue;
        }
        const RunReading& beamRun = g.runs[run.beamRun];
        const solver::Solution* solution =
            beamRun.solution.status == solver::Status::solved ? &beamRun.solution : nullptr;
        if (run.role == RunReading::beam) {
            for (int i = from + 1; i < run.end; ++i) {
                const Action& a = script.actions[i];
                if (i > run.right && a.kind != Kind::evaluate && run.departs < 0) {
                    run.departs = i;
                    run.why = "only F7 may follow the right end (" + lineText(script, run.right) +
                              "): start a new beam, or a repeated run, with F1";
                }
                if (a.kind != Kind::evaluate) continue;
                Evaluation e{i, r, false, {}};
                if (solution && run.departs < 0) {
                    e.solved = true;
                    e.state = solution->states[elementCount(script, run.first, i)];
                }
                g.evaluations.push_back(e);
            }
            continue;
        }
        Follower follow(script, beamRun.model, solution, beamRun.first);
        for (int i = from; i < run.end; ++i) {
            const Action& a = script.actions[i];
            if (run.departs < 0 && !follow.take(a, run.why)) run.departs = i;
            if (a.kind != Kind::evaluate) continue;
            Evaluation e{i, r, false, {}};
            if (run.departs < 0) e.solved = follow.here(e.state);
            g.evaluations.push_back(e);
        }
    }
}

bool runGeneral(const Script& script, const GeneralReading& g, std::vector<Result>& results,
                Problem& problem) {
    if (!checkRuns(script, problem)) return false;
    results.clear();
    size_t next = 0;  // the next F7
    for (int r = 0; r < static_cast<int>(g.runs.size()); ++r) {
        const RunReading& run = g.runs[r];
        if (run.role == RunReading::beam && run.solution.status != solver::Status::solved) {
            int tag = run.first;
            const std::string text = solverMessage(script, run.solution, tag);
            const Action& a = script.actions[tag];
            report(problem, a, text);
            return false;
        }
        if (run.role == RunReading::orphan) {
            const Action& f1 = script.actions[run.first];
            report(problem, f1,
                   "this run has no right end, and no complete beam comes before it for it to "
                   "repeat: describe the beam to its right end first");
            return false;
        }
        if (run.departs >= 0) {
            const Action& a = script.actions[run.departs];
            report(problem, a, run.why);
            return false;
        }
        for (; next < g.evaluations.size() && g.evaluations[next].run == r; ++next) {
            const Evaluation& e = g.evaluations[next];
            results.push_back(Result{e.action, e.state, script.actions[e.action].line});
        }
    }
    return true;
}

void computeGeneralDiagram(const Script& script, int first, int last, int points,
                           const solver::Solution& solution, Diagram& d) {
    computeGeneralDiagram(beamOf(script, first, last), solution, points, d);
}

void computeGeneralDiagram(const BeamModel& beam, const solver::Solution& solution, int points,
                           Diagram& d) {
    GeneralEvaluator general(beam, solution);
    size_t samples = 1;
    for (const Element& e : beam.elements) samples += e.isSection() ? points + 1 : 1;
    d.samples.reserve(samples);
    sampleDiagram(beam, points, general, d);
}

void judgeBreak(const Script& script, int first, int last, int culprit, std::string& cause) {
    if (culprit < first || culprit > last) return;
    const solver::Solution s = solver::solve(beamOf(script, first, last));
    if (s.status == solver::Status::mechanism) {
        int tag = 0;
        cause = solverMessage(script, s, tag);
        if (script.actions[tag].line != script.actions[culprit].line) {
            cause += " (see line " + std::to_string(script.actions[tag].line) + ")";
        }
    } else if (s.status == solver::Status::solved) {
        cause = "the beam is stable, but the reduction method cannot eliminate at line " +
                std::to_string(script.actions[culprit].line) + "; the general method solves it";
    }
}

bool beamAround(const Script& script, int index, int& first, int& last) {
    first = last = -1;
    int runFirst = -1;
    for (int i = 0; i < script.count(); ++i) {
        const Kind k = script.actions[i].kind;
        if (k == Kind::leftEnd) {
            if (i > index) break;
            runFirst = i;
        } else if (k == Kind::rightEnd && runFirst >= 0) {
            // A right end at or after the action makes its own run a beam;
            // an earlier one gives the beam a later repeated run repeats.
            first = runFirst;
            last = i;
            if (i >= index) break;
        }
    }
    return first >= 0 && last > first;
}

}  // namespace velmora
