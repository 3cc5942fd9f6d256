// A whole description studied at once: the result of every F7 and, of its
// last complete beam, what the request asks, each computed once and checked
// before anything is shown.
#include <algorithm>
#include <string>
#include <vector>

#include "analysis/evaluator.h"
#include "analysis/general.h"
#include "analysis/keyed_run.h"
#include "analysis/trust.h"
#include "library/velmora.h"
#include "text/reader.h"
#include "text/report.h"

namespace velmora {
namespace {

// What the steps share beside the study's outputs.
struct Work {
    Work(const StudyRequest& r, Study& s)
        : request(r), study(s), general(r.method == Method::general) {}
    const StudyRequest& request;
    Study& study;
    bool general;
    GeneralReading reading;     // the description's beams, each built and solved once
    Watch watch;                // the keyed run's
    solver::Solution solution;  // the general solution of study.beam
    LoadState state;            // the state shown, when it is not the beam's own loads
    bool ownState = true;
    Script stateKeys;         // the keys of that state's beam, which study.beam then is
    std::vector<int> chosen;  // the combinations the envelope is of (none: all)
};

bool fail(Work& w, Problem where, Asked asked = Asked::nothing,
          Failure::Kind kind = Failure::description) {
    w.study.failure = Failure{kind, std::move(where)};
    w.study.asked = asked;
    return false;
}

// What needs a beam the description lacks, refused after its last line.
bool noBeam(Work& w, Asked asked) {
    static const struct {
        Asked asked;
        const char* what;
    } subjects[] = {{Asked::diagram, "a diagram needs"},
                    {Asked::influence, "influence lines need"},
                    {Asked::critical, "critical speeds need"},
                    {Asked::buckling, "buckling factors need"},
                    {Asked::spans, "a span table needs"},
                    {Asked::cases, "a load case shown and an envelope need"}};
    std::string text;
    for (const auto& s : subjects) {
        if (s.asked == asked) text = s.what;
    }
    const Script& script = w.study.script;
    return fail(w,
                Problem{script.lines > 0 ? script.lines : 1, 1,
                        text + " a complete beam: F1, the sections and elements, and F6 "
                               "rechtes Tr\xc3\xa4gerende"},
                asked);
}

bool finiteLength(const BeamModel& beam) {
    return beam.length > 0.0 && beam.length - beam.length == 0.0;
}

std::string cause(const Script& script, int index, int culprit, const char* keyed) {
    std::string text = keyed;
    int first = 0;
    int last = 0;
    if (beamAround(script, index, first, last)) judgeBreak(script, first, last, culprit, text);
    return text;
}

// The results of every F7, by the chosen method.
bool computeResults(Work& w) {
    Study& s = w.study;
    readGeneral(s.script, w.reading);
    Problem problem;
    if (w.general) {
        return runGeneral(s.script, w.reading, s.results, problem) || fail(w, problem);
    }
    KeyedRun keyed = runKeys(s.script);
    s.results = std::move(keyed.results);
    w.watch = keyed.watch;
    if (keyed.refused) return fail(w, keyed.refusal, Asked::nothing, Failure::keyed);
    if (keyed.broken.action >= 0) {
        const Action& culprit = s.script.actions[keyed.broken.action];
        s.warnings.push_back(Problem{culprit.line, culprit.column, keyed.broken.text});
    }
    return true;
}

// The diagram's beam, checked; then its samples.
bool computeDiagram(Work& w) {
    const StudyRequest& r = w.request;
    Study& s = w.study;
    const Script& script = s.script;
    if (!findBeam(script, s.first, s.last)) {
        const bool diagram = r.table || r.drawing || r.summary;
        return noBeam(w, diagram ? Asked::diagram : Asked::influence);
    }
    // The beam as the reading built and solved it, unless a repeated run
    // that splits its sections reached the right end: that run's own.
    s.beam = BeamModel{};
    for (const RunReading& run : w.reading.runs) {
        if (run.role == RunReading::beam && run.first == s.first && run.right == s.last) {
            s.beam = run.model;
            w.solution = run.solution;
        }
    }
    if (s.beam.rightTag != s.last) {
        s.beam = beamOf(script, s.first, s.last);
        w.solution = solver::solve(s.beam);
    }
    if (!w.ownState) {
        const BeamModel model = stateBeam(s.beam, script.cases, w.state);
        pressBeam(model, script, w.stateKeys, s.beam);
        w.solution = solver::solve(s.beam);
    }
    const Script& keys = w.ownState ? script : w.stateKeys;
    if (w.general && w.solution.status != solver::Status::solved) {
        int tag = s.beam.leftTag;  // the action the message concerns
        const std::string text = solverMessage(keys, w.solution, tag);
        const Action& a = keys.actions[tag];
        return fail(w, Problem{a.line, a.column, text}, Asked::nothing,
                    w.solution.status == solver::Status::mechanism ? Failure::mechanism
                                                                   : Failure::unsolvable);
    }
    if (!finiteLength(s.beam)) {
        const Action& f1 = script.actions[s.first];
        return fail(w, Problem{f1.line, f1.column,
                               "a diagram needs a beam of finite, positive length: this beam's "
                               "sections add up to none"});
    }
    const long needed = samplesNeeded(script, s.first, s.last, r.points);
    const int limit = w.general ? maxGeneralSamples : maxSamples;
    if (needed > limit) {
        return fail(w,
                    Problem{0, 0,
                            "the diagram would take " + std::to_string(needed) +
                                " samples, more than " + std::to_string(limit)},
                    Asked::points);
    }
    // A table and a drawing show the influence lines when there are any.
    if (!r.influence.empty() && !r.summary) return true;
    Problem problem;
    if (w.general) {
        computeGeneralDiagram(s.beam, w.solution, r.points, s.diagram);
        return stressRepresentable(keys, s.diagram, problem) || fail(w, problem);
    }
    velmora::computeDiagram(keys, s.beam, r.points, s.diagram);
    if (!stressRepresentable(keys, s.diagram, problem)) return fail(w, problem);
    if (s.diagram.allFinite) return true;
    const Watch& watch = s.diagram.watch;
    const bool told = !s.warnings.empty() && w.watch.brokenAt == watch.brokenAt;
    if (watch.brokenAt >= 0 && !told) {
        const Action& culprit = keys.actions[watch.brokenAt];
        s.warnings.push_back(Problem{
            culprit.line, culprit.column,
            std::string("the diagram has values that are not finite; the state stopped being "
                        "finite after this ") +
                actionName(culprit) + ": " +
                (w.ownState ? cause(script, s.last, watch.brokenAt, watch.cause) : watch.cause)});
    } else if (watch.brokenAt < 0) {
        const Action& f1 = script.actions[s.first];
        s.warnings.push_back(Problem{f1.line, f1.column,
                                     "the diagram has values that are not finite: the "
                                     "evaluation overflowed the range of a double"});
    }
    return true;
}

// The last complete beam for the critical speeds or the buckling factors:
// the diagram's when it is that beam.
bool lastBeam(Work& w, Asked asked, BeamModel& beam) {
    Study& s = w.study;
    int first = -1;
    int last = -1;
    if (!findBeam(s.script, first, last)) return noBeam(w, asked);
    beam =
        s.beam.rightTag == last && s.beam.leftTag == first ? s.beam : beamOf(s.script, first, last);
    if (s.beam.rightTag != last) s.beam = beam;
    return true;
}

// The critical speeds of the last complete beam. Loads do not enter, so
// the beam need not be solved; a mechanism is refused as the general method
// refuses it.
bool computeCritical(Work& w) {
    const StudyRequest& r = w.request;
    Study& s = w.study;
    if (!r.critical) return true;
    BeamModel beam;
    if (!lastBeam(w, Asked::critical, beam)) return false;
    if (!finiteLength(beam)) {
        const Action& f1 = s.script.actions[beam.leftTag];
        return fail(w, Problem{f1.line, f1.column,
                               "critical speeds need a beam of finite, positive length: this "
                               "beam's sections add up to none"});
    }
    Problem problem;
    return velmora::computeCritical(s.script, beam, r.critical, r.points, s.critical, problem) ||
           fail(w, problem);
}

// The buckling factors of the last complete beam, found as its critical
// speeds are.
bool computeBuckling(Work& w) {
    const StudyRequest& r = w.request;
    Study& s = w.study;
    if (!r.buckling) return true;
    BeamModel beam;
    if (!lastBeam(w, Asked::buckling, beam)) return false;
    Problem problem;
    return velmora::computeBuckling(s.script, beam, r.buckling, r.points, s.buckling, problem) ||
           fail(w, problem);
}

// Axial forces that reach a beam's first buckling load: its results
// describe no stable state (a warning), and at that load none (refused).
bool checkBuckling(Work& w) {
    for (const RunReading& run : w.reading.runs) {
        if (run.role != RunReading::beam) continue;
        Problem warning;
        const Stability stability = checkStability(run.model, warning);
        if (stability == Stability::singular) {
            return fail(w, warning, Asked::nothing, Failure::unsolvable);
        }
        if (stability == Stability::beyond) w.study.warnings.push_back(warning);
    }
    return true;
}

// The names an envelope takes: separated by commas, unless the whole is one name.
std::vector<std::string> envelopeNames(const CaseBook& book, const std::string& all) {
    std::vector<std::string> names;
    if (book.findCombination(all) >= 0 || book.findCase(all) >= 0) {
        names.push_back(all);
        return names;
    }
    for (size_t at = 0, comma; at <= all.size(); at = comma + 1) {
        comma = std::min(all.find(',', at), all.size());
        names.push_back(all.substr(at, comma - at));
    }
    return names;
}

// The load cases: checked against the last beam; with a state the F7
// values of that state; with an envelope the envelope of the combinations
// it names, or of all.
bool computeCases(Work& w) {
    const StudyRequest& r = w.request;
    Study& s = w.study;
    const Script& script = s.script;
    const CaseBook& book = script.cases;
    const bool envelope = r.envelope || r.spans;
    const bool state = !r.state.empty();
    if (!book.any() && !state && !envelope) return true;
    int first = -1;
    int last = -1;
    if (!findBeam(script, first, last)) {
        if (!state && !envelope) return true;
        return noBeam(w, r.spans && !r.envelope && !state ? Asked::spans : Asked::cases);
    }
    const BeamModel beam = beamOf(script, first, last);
    Problem problem;
    if (!checkCases(beam, book, problem)) return fail(w, problem);
    if (state) {
        if (!findLoadState(book, r.state, w.state)) {
            std::string names;
            for (const LoadCase& c : book.cases) names += (names.empty() ? "" : ", ") + c.name;
            for (const Combination& c : book.combinations) names += ", " + c.name;
            return fail(w,
                        Problem{0, 0,
                                "the description has no load case or combination of that "
                                "name; it has " +
                                    names},
                        Asked::state);
        }
        w.ownState = w.state.loadCase == 0;
        if (!w.ownState && !stateResults(script, beam, stateBeam(beam, book, w.state), w.general,
                                         s.results, problem)) {
            return fail(w, problem);
        }
    }
    if (!envelope) return true;
    std::vector<int>& chosen = w.chosen;
    if (!r.combinations.empty()) {
        std::string why;
        if (!namedCombinations(book, envelopeNames(book, r.combinations), chosen, why)) {
            return fail(w, Problem{0, 0, why}, Asked::combinations);
        }
    }
    if (!finiteLength(beam)) {
        const Action& f1 = script.actions[first];
        return fail(w, Problem{f1.line, f1.column,
                               "an envelope needs a beam of finite, positive length: this "
                               "beam's sections add up to none"});
    }
    // Every case taken, and every span of a case placed span by span, keeps
    // its own samples.
    std::vector<bool> taken(book.cases.size(), book.combinations.empty());
    taken[0] = true;
    for (size_t c = 0; c < book.combinations.size(); ++c) {
        const bool asked = chosen.empty() || std::find(chosen.begin(), chosen.end(),
                                                       static_cast<int>(c)) != chosen.end();
        if (!asked) continue;
        for (const Term& t : book.combinations[c].terms) taken[t.loadCase] = true;
    }
    long beams = 0;
    long spans = 1;
    for (const Element& e : beam.elements) spans += e.takesForce() ? 1 : 0;
    for (size_t c = 0; c < book.cases.size(); ++c) {
        if (taken[c]) beams += book.cases[c].spanwise ? spans : 1;
    }
    const long needed = samplesNeeded(script, first, last, r.points) * beams;
    const int limit = w.general ? maxGeneralSamples : maxSamples;
    if (needed > limit) {
        return fail(
            w,
            Problem{0, 0,
                    "the envelope would take " + std::to_string(needed) + " samples over its " +
                        std::to_string(beams) + " beams, more than " + std::to_string(limit)},
            Asked::points);
    }
    s.beam = beam;
    Problem warning;
    if (!computeEnvelope(script, beam, r.points, w.general, s.envelope, warning, problem, chosen)) {
        return fail(w, problem);
    }
    if (!warning.text.empty()) s.warnings.push_back(warning);
    return true;
}

// The limits the description states, on its last beam, with the summary,
// the envelope or the span table.
bool computeChecks(Work& w) {
    const StudyRequest& r = w.request;
    Study& s = w.study;
    if (s.script.cases.limits.empty() || !(r.summary || r.envelope || r.spans)) return true;
    int first = -1;
    int last = -1;
    if (!findBeam(s.script, first, last)) return true;
    s.checked = beamOf(s.script, first, last);
    Problem problem;
    if (!checkCases(s.checked, s.script.cases, problem)) return fail(w, problem);
    Problem warning;
    if (!velmora::computeChecks(s.script, s.checked, r.points, w.general, s.checks, warning,
                                problem)) {
        return fail(w, problem);
    }
    if (!warning.text.empty()) s.warnings.push_back(warning);
    return true;
}

// The influence lines of the state shown.
bool computeLines(Work& w) {
    const StudyRequest& r = w.request;
    Study& s = w.study;
    if (r.influence.empty()) return true;
    Problem warning;
    Problem problem;
    if (!computeInfluence(w.ownState ? s.script : w.stateKeys, s.beam, r.points, w.general,
                          r.influence, r.live, s.influence, warning, problem)) {
        return fail(w, problem);
    }
    if (!warning.text.empty()) s.warnings.push_back(warning);
    return true;
}

// The keyed values shown, checked against the general method's: the F7
// results of the beam's own loads, the diagram and the influence lines of
// the state shown, the envelope, its span table and the checks.
void checkKeyedValues(Work& w) {
    const StudyRequest& r = w.request;
    Study& s = w.study;
    auto warn = [&s](const Script& keys, const std::vector<Notice>& notices) {
        for (const Notice& n : notices) {
            const Action& a = keys.actions[n.action];
            s.warnings.push_back(Problem{a.line, a.column, n.text});
        }
    };
    if (w.ownState) warn(s.script, checkKeyed(s.script, w.reading, s.results));
    const Script& keys = w.ownState ? s.script : w.stateKeys;
    // With influence lines, a table and a drawing show those.
    const bool samples = r.table || r.drawing;
    if (s.diagram.first >= 0) {
        Shown shown;
        shown.reactions = r.summary;
        shown.extremes = r.summary || (r.drawing && r.influence.empty());
        shown.points = samples && r.influence.empty() ? r.points : 0;
        warn(keys, checkDiagram(s.beam, w.solution, s.diagram, shown));
    }
    std::vector<InfluenceLine> general;
    Problem unused;
    if (!s.influence.empty() && computeInfluence(keys, s.beam, r.points, true, r.influence, r.live,
                                                 general, unused, unused)) {
        warn(keys, checkInfluence(s.influence, general, r.live, s.beam.leftTag, samples));
    }
    // The general envelope of the same combinations, for the envelope and
    // its span table.
    Envelope envelope;
    if ((r.envelope || r.spans) &&
        computeEnvelope(s.script, s.beam, r.points, true, envelope, unused, unused, w.chosen)) {
        if (r.envelope) {
            warn(s.script, checkEnvelope(s.envelope, envelope, s.beam.leftTag, samples));
        }
        if (r.spans) warn(s.script, checkSpanTable(s.envelope, envelope, s.beam.leftTag));
    }
    std::vector<Check> checks;
    if (!s.checks.empty() &&
        computeChecks(s.script, s.checked, r.points, true, checks, unused, unused)) {
        warn(s.script, checkLimitValues(s.checks, checks, s.checked.leftTag));
    }
}

}  // namespace

bool study(const StudyRequest& request, Study& s) {
    Script script = std::move(s.script);
    s = Study{};
    s.script = std::move(script);
    Work w(request, s);
    if (!computeResults(w)) return false;
    if (w.general && !checkBuckling(w)) return false;
    if (!computeCases(w) || !computeChecks(w)) return false;
    if (request.report) {
        Failure failure;
        if (!velmora::report(s.script, request.text, request.method, request.points, s.report,
                             failure)) {
            s.failure = failure;
            return false;
        }
    }
    const bool diagram =
        (request.table || request.drawing || request.summary || !request.influence.empty()) &&
        !request.envelope && !request.spans;
    if (diagram && !computeDiagram(w)) return false;
    if (!computeCritical(w) || !computeBuckling(w) || !computeLines(w)) return false;
    if (!w.general) checkKeyedValues(w);
    return true;
}

bool study(const std::string& text, const StudyRequest& request, Study& s) {
    s = Study{};
    std::vector<Problem> problems;
    if (readScript(text, s.script, problems) != 0) {
        s.failure = Failure{Failure::description, problems.front()};
        return false;
    }
    return study(request, s);
}

}  // namespace velmora
