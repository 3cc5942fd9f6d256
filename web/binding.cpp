// The page's binding (embind): a description's text in, the library's
// results out as plain JavaScript objects. Nothing is computed here; the
// binding only translates the library's answers for the page, and every C++
// exception leaves as a JavaScript Error with its message.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cctype>
#include <cstdio>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/general.h"
#include "library/velmora.h"
#include "text/cases_text.h"
#include "text/influence_text.h"
#include "text/reader.h"
#include "text/report.h"

using emscripten::val;
using namespace velmora;

namespace {

const char* const quantities[rowCount] = {"w", "psi", "M", "Q"};

val extremeObject(const Extreme& e) {
    if (!e.found) return val::null();
    val o = val::object();
    o.set("max", e.max);
    o.set("xMax", e.xMax);
    o.set("min", e.min);
    o.set("xMin", e.xMin);
    return o;
}

val problemObject(const Problem& p, const char* kind) {
    val o = val::object();
    o.set("line", p.line);
    o.set("column", p.column);
    o.set("message", p.text);
    o.set("kind", std::string(kind));
    return o;
}

const char* kindName(Failure::Kind kind) {
    switch (kind) {
        case Failure::description:
            return "description";
        case Failure::mechanism:
            return "mechanism";
        case Failure::keyed:
            return "keyed";
        case Failure::unsolvable:
            return "unsolvable";
        default:
            return "none";
    }
}

// Runs a call of the page; a C++ exception leaves it as a JavaScript Error
// with its message, not as the bare number Emscripten would throw.
template <class Call>
auto guarded(Call call) -> decltype(call()) {
    try {
        return call();
    } catch (const std::exception& e) {
        val::global("Error").new_(std::string(e.what())).throw_();
    } catch (...) {
        val::global("Error").new_(std::string("an unknown failure of the library")).throw_();
    }
}

template <class T, class F>
val array(const std::vector<T>& items, F convert) {
    val a = val::array();
    for (size_t i = 0; i < items.size(); ++i) a.set(i, convert(items[i]));
    return a;
}

// One description on the page: read, its F7 results, and the last complete
// beam solved for the drawing, as velmora-batch shows it.
class Page {
public:
    // The page's calls, each guarded; what each gives is said at its body
    // below. load() reads and solves a text with the method ("general" or
    // "keyed") at `points` samples inside every section.
    val load(const std::string& text, const std::string& method, int points) {
        return guarded([&] { return loadText(text, method, points); });
    }
    std::string svg() const { return svg_; }
    val at(double x, bool left) const {
        return guarded([&] { return atNow(x, left); });
    }
    val influence(const std::string& request) const {
        return guarded([&] { return influenceNow(request); });
    }
    val critical(int count) const {
        return guarded([&] { return criticalNow(count); });
    }
    val envelope() const {
        return guarded([&] { return envelopeNow(); });
    }
    std::string json() const {
        return guarded([&] { return jsonNow(); });
    }
    std::string csv() const {
        return guarded([&] { return csvNow(); });
    }

private:
    // The state at x; at a point element `left` chooses the state before it.
    val atNow(double x, bool left) const {
        if (!solution_) return val::null();
        State state{};
        Failure failure;
        if (!solution_->at(x, left ? Side::left : Side::right, state, failure)) {
            return failureObject(failure);
        }
        val o = val::object();
        o.set("x", x);
        for (int r = 0; r < rowCount; ++r) o.set(quantities[r], state[r]);
        return o;
    }

    // An influence line of "M@X", "Q@X", "w@X", "psi@X" or "R@LINE" (LINE as
    // the editor numbers it) with its drawing.
    val influenceNow(const std::string& request) const {
        if (!solution_) return val::null();
        InfluenceLine line;
        Failure failure;
        if (!solution_->influence(beamRequest(request), points_, line, failure)) {
            return failureObject(failure);
        }
        val o = val::object();
        o.set("request", request);
        o.set("place", line.place);
        o.set("extreme", extremeObject(line.extreme));
        o.set("positiveArea", line.positiveArea);
        o.set("negativeArea", line.negativeArea);
        const BeamModel shown = editorModel();
        line.request.text = request;
        o.set("svg", writtenText([&](FILE* f) { writeInfluenceSvg(f, shown, {line}); }));
        o.set("csv", writtenText([&](FILE* f) { writeInfluenceTable(f, {line}); }));
        return o;
    }

    // The `count` lowest critical speeds of the beam, and the drawing with
    // their mode shapes.
    val criticalNow(int count) const {
        if (!beam_) return val::null();
        const Critical c = velmora::critical(*beam_, count, points_);
        if (!c.solved()) return failureObject(c.failure);
        val o = val::object();
        o.set("speeds", array(c.speeds, [](const CriticalSpeed& s) {
                  val v = val::object();
                  v.set("omega", s.omega);
                  v.set("f", s.f);
                  v.set("n", s.n);
                  return v;
              }));
        if (solution_) {
            const Diagram d = diagram();
            const BeamModel shown = editorModel();
            o.set("svg",
                  writtenText([&](FILE* f) { writeSvg(f, shown, d, &c.speeds, script_.units); }));
        }
        o.set("csv", writtenText([&](FILE* f) { writeModes(f, c.speeds, script_.units); }));
        return o;
    }

    // The envelope of every combination of the beam's load cases (without
    // any, of the cases together), as velmora-batch --envelope prints and
    // draws it; null for a beam of its own loads alone.
    val envelopeNow() const {
        if (!solution_ || !solution_->cases().any()) return val::null();
        Envelope env;
        Failure failure;
        if (!solution_->envelope(points_, env, failure)) return failureObject(failure);
        env.beam.leftLine = editorLine(env.beam.leftLine);
        env.beam.rightLine = editorLine(env.beam.rightLine);
        for (Element& e : env.beam.elements) e.line = editorLine(e.line);
        const CaseBook& book = solution_->cases();
        val o = val::object();
        o.set("text", writtenText([&](FILE* f) { printEnvelope(f, book, env, script_.units); }));
        o.set("svg", writtenText([&](FILE* f) { writeEnvelopeSvg(f, env, script_.units); }));
        o.set("csv", writtenText([&](FILE* f) { writeEnvelopeTable(f, env, script_.units); }));
        return o;
    }

    // The files velmora-batch --general --json --summary and --table write.
    std::string jsonNow() const {
        const BeamModel shown = editorModel();
        const Diagram d = diagram();
        const std::string more = checksNow();
        return writtenText([&](FILE* f) {
            printJson(f, results_.data(), static_cast<int>(results_.size()),
                      solution_ ? &shown : nullptr, solution_ ? &d : nullptr, nullptr, nullptr,
                      nullptr, script_.units, more.empty() ? nullptr : more.c_str());
        });
    }
    // The limits' checks as velmora-batch adds them to its JSON; empty
    // without limits or when they cannot be checked.
    std::string checksNow() const {
        if (!solution_ || script_.cases.limits.empty()) return {};
        // As velmora-batch studies the description for its summary.
        Study s;
        s.script = script_;
        StudyRequest request;
        request.method = method_;
        request.points = points_;
        request.summary = true;
        if (!study(request, s) || s.checks.empty()) return {};
        return ",\n  \"checks\": " + checksJson(s.checked, script_.cases, s.checks);
    }
    std::string csvNow() const {
        if (!solution_) return {};
        const Diagram d = diagram();
        return writtenText([&](FILE* f) { writeTable(f, d, script_.units); });
    }
    val loadText(const std::string& text, const std::string& method, int points) {
        solution_.reset();
        beam_.reset();
        results_.clear();
        svg_.clear();
        lines_.clear();
        places_.clear();
        script_ = Script{};
        points_ = points;
        const Method how = method == "keyed" ? Method::keyed : Method::general;
        method_ = how;
        val o = val::object();
        o.set("status", std::string("solved"));

        // The text as read: its actions for the element list, or the first
        // problem (and the others) with their places.
        std::vector<Problem> problems;
        readScript(text, script_, problems);
        o.set("actions", array(script_.actions, [](const Action& a) {
                  val v = val::object();
                  v.set("line", a.line);
                  v.set("column", a.column);
                  v.set("name", std::string(actionName(a)));
                  v.set("choice", std::string(choiceName(a.choice)));
                  return v;
              }));
        if (!problems.empty()) {
            o.set("status", std::string("error"));
            o.set("error", problemObject(problems.front(), "description"));
            o.set("problems", array(problems, [](const Problem& p) {
                      return problemObject(p, "description");
                  }));
            return o;
        }

        // Every F7, and every beam solved or refused as velmora-batch does.
        RunOutput run;
        Failure failure;
        if (!velmora::run(text, how, run, failure)) return refused(o, failure.where, failure.kind);
        results_ = run.results;
        o.set("results", array(run.results, [](const Result& r) {
                  val v = val::object();
                  v.set("line", r.line);
                  for (int k = 0; k < rowCount; ++k) v.set(quantities[k], r.state[k]);
                  return v;
              }));
        val warnings =
            array(run.warnings, [](const Problem& p) { return problemObject(p, "warning"); });

        // The last complete beam: the drawing's, as velmora-batch draws it.
        std::vector<Beam> beams;
        if (!velmora::parse(text, beams, failure)) return refused(o, failure.where, failure.kind);
        if (beams.empty()) {
            o.set("warnings", warnings);
            return refused(o,
                           Problem{script_.lines > 0 ? script_.lines : 1, 1,
                                   "the drawing needs a complete beam: F1, the sections and "
                                   "elements, and F6 rechtes Tr\xc3\xa4gerende"},
                           Failure::description);
        }
        beam_ = beams.back();
        findPlaces();
        const Script& keys = beam_->actions();
        const long needed = samplesNeeded(keys, 0, keys.count() - 1, points);
        const long limit = how == Method::general ? maxGeneralSamples : maxSamples;
        if (needed > limit) {
            return refused(o,
                           Problem{start_.first, start_.second,
                                   "the diagram would take " + std::to_string(needed) +
                                       " samples, more than " + std::to_string(limit)},
                           Failure::description, false);
        }
        Solution solution(*beam_, how);
        if (!solution.solved())
            return refused(o, solution.failure().where, solution.failure().kind);
        solution_ = std::move(solution);
        for (const Problem& p : solution_->warnings()) {
            warnings.call<void>("push", problemObject(editorProblem(p), "warning"));
        }
        o.set("warnings", warnings);

        const BeamModel shown = editorModel();
        o.set("length", shown.length);
        o.set("reactions", array(solution_->reactions(), [&](const Reaction& r) {
                  val v = val::object();
                  v.set("line", lineOfTag(shown, r.action));
                  v.set("x", r.x);
                  v.set("force", r.force);
                  if (r.hasMoment) v.set("moment", r.moment);
                  v.set("psi", r.psi);
                  if (r.kinked) v.set("psiRight", r.psiRight);
                  v.set("place", std::string(placeOfTag(shown, r.action)));
                  return v;
              }));
        o.set("foundations", array(solution_->foundations(), [&](const FoundationForce& f) {
                  val v = val::object();
                  v.set("line", lineOfTag(shown, f.action));
                  v.set("from", f.from);
                  v.set("to", f.to);
                  v.set("force", f.force);
                  return v;
              }));
        val extremes = val::object();
        for (int k = 0; k < rowCount; ++k) {
            extremes.set(quantities[k], extremeObject(solution_->extreme(static_cast<Row>(k))));
        }
        if (solution_->hasStress()) extremes.set("sigma", extremeObject(solution_->stress()));
        if (solution_->hasAxialStress()) {
            extremes.set("sigma_top", extremeObject(solution_->stressTop()));
        }
        o.set("extremes", extremes);
        svg_ = solution_->svg(points);
        o.set("svg", svg_);
        return o;
    }

    // A refusal at its place in the editor.
    val refused(val o, const Problem& where, Failure::Kind kind, bool beamPlace = true) const {
        o.set("status", std::string("error"));
        o.set("error", problemObject(beamPlace ? editorProblem(where) : where, kindName(kind)));
        return o;
    }

    val failureObject(const Failure& f) const {
        val o = val::object();
        o.set("error", problemObject(editorProblem(f.where), kindName(f.kind)));
        return o;
    }

    // The last complete beam's places in the editor. The library names the
    // places of a beam by describe()'s text of it; the editor's text has the
    // same actions, cases and combinations at places of its own.
    void findPlaces() {
        lines_.clear();
        places_.clear();
        std::vector<int> origin;
        GeneralReading reading;
        readGeneral(script_, reading);
        for (const RunReading& r : reading.runs) {
            if (r.role != RunReading::beam) continue;
            origin.clear();
            for (int i = r.first; i <= r.right; ++i) {
                if (script_.actions[i].kind != Kind::evaluate) origin.push_back(i);
            }
        }
        if (!origin.empty())
            start_ = {script_.actions[origin[0]].line, script_.actions[origin[0]].column};
        Script described;
        std::vector<Problem> problems;
        if (readScript(beam_->describe(), described, problems) != 0 ||
            described.count() != static_cast<int>(origin.size())) {
            return;
        }
        auto tie = [this](int line, int column, int editorLine, int editorColumn) {
            if (line <= 0) return;
            lines_[line] = editorLine;
            places_[{line, column}] = {editorLine, editorColumn};
        };
        for (size_t i = 0; i < origin.size(); ++i) {
            const Action& d = described.actions[i];
            const Action& e = script_.actions[origin[i]];
            tie(d.line, d.column, e.line, e.column);
            for (int k = 0; k < slotCount; ++k) {
                if (d.valueColumn[k] > 0)
                    places_[{d.line, d.valueColumn[k]}] = {e.line, e.valueColumn[k]};
            }
        }
        const CaseBook& d = described.cases;
        const CaseBook& e = script_.cases;
        if (d.cases.size() == e.cases.size()) {
            for (size_t c = 0; c < d.cases.size(); ++c) {
                tie(d.cases[c].line, d.cases[c].column, e.cases[c].line, e.cases[c].column);
                const auto& dl = d.cases[c].loads;
                const auto& el = e.cases[c].loads;
                for (size_t k = 0; k < dl.size() && k < el.size(); ++k) {
                    tie(dl[k].line, dl[k].column, el[k].line, el[k].column);
                    tie(dl[k].line, dl[k].placeColumn, el[k].line, el[k].placeColumn);
                }
            }
        }
        if (d.combinations.size() == e.combinations.size()) {
            for (size_t c = 0; c < d.combinations.size(); ++c) {
                tie(d.combinations[c].line, d.combinations[c].column, e.combinations[c].line,
                    e.combinations[c].column);
                const auto& dt = d.combinations[c].terms;
                const auto& et = e.combinations[c].terms;
                for (size_t k = 0; k < dt.size() && k < et.size(); ++k) {
                    tie(dt[k].line, dt[k].column, et[k].line, et[k].column);
                }
            }
        }
    }

    int editorLine(int line) const {
        const auto found = lines_.find(line);
        return found == lines_.end() ? line : found->second;
    }

    // A problem of the beam at its place in the editor, and every "line N"
    // of its text too.
    Problem editorProblem(const Problem& p) const {
        if (lines_.empty()) return p;
        Problem q = p;
        q.line = editorLine(p.line);
        const auto place = places_.find({p.line, p.column});
        if (place != places_.end()) q.column = place->second.second;
        q.text.clear();
        const std::string& t = p.text;
        const std::string word = "line ";
        size_t from = 0;
        for (size_t at; (at = t.find(word, from)) != std::string::npos;) {
            size_t end = at + word.size();
            while (end < t.size() && std::isdigit(static_cast<unsigned char>(t[end]))) ++end;
            q.text += t.substr(from, at + word.size() - from);
            if (end > at + word.size() && end - at - word.size() < 9) {
                q.text += std::to_string(editorLine(std::stoi(t.substr(at + word.size()))));
            } else {
                q.text += t.substr(at + word.size(), end - at - word.size());
            }
            from = end;
        }
        q.text += t.substr(from);
        return q;
    }

    // "R@LINE" names the support by its line in the editor.
    std::string beamRequest(const std::string& request) const {
        if (request.size() < 3 || request.compare(0, 2, "R@") != 0) return request;
        int line = 0;
        for (size_t i = 2; i < request.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(request[i]))) return request;
            line = line * 10 + (request[i] - '0');
            if (line > 1000000) return request;
        }
        for (const auto& [described, editor] : lines_) {
            if (editor == line) return "R@" + std::to_string(described);
        }
        return request;
    }

    // The solved beam with the editor's lines, for the writers.
    BeamModel editorModel() const {
        BeamModel m = solution_ ? solution_->model() : BeamModel{};
        m.leftLine = editorLine(m.leftLine);
        m.rightLine = editorLine(m.rightLine);
        for (Element& e : m.elements) e.line = editorLine(e.line);
        return m;
    }

    static int lineOfTag(const BeamModel& m, int tag) {
        if (tag == m.leftTag) return m.leftLine;
        if (tag == m.rightTag) return m.rightLine;
        for (const Element& e : m.elements) {
            if (e.tag == tag) return e.line;
        }
        return 0;
    }

    static const char* placeOfTag(const BeamModel& m, int tag) {
        if (tag == m.leftTag) return "left end";
        if (tag == m.rightTag) return "right end";
        for (const Element& e : m.elements) {
            if (e.tag == tag) return e.kind == ElementKind::spring ? "spring" : "support";
        }
        return "";
    }

    // The diagram the writers take, of the library's own samples, reactions
    // and extremes.
    Diagram diagram() const {
        Diagram d;
        if (!solution_) return d;
        d.length = solution_->model().length;
        d.samples = solution_->diagram(points_);
        d.reactions = solution_->reactions();
        d.foundations = solution_->foundations();
        for (int k = 0; k < rowCount; ++k) d.extremes[k] = solution_->extreme(static_cast<Row>(k));
        d.hasStress = solution_->hasStress();
        d.stress = solution_->stress();
        d.hasAxialStress = solution_->hasAxialStress();
        d.stressTop = solution_->stressTop();
        return d;
    }

    Script script_;
    std::pair<int, int> start_{1, 1};  // the line and column of its F1 in the editor
    std::map<int, int> lines_;         // describe()'s lines of the beam: the editor's
    std::map<std::pair<int, int>, std::pair<int, int>> places_;  // and (line, column)s
    std::optional<Beam> beam_;
    std::optional<Solution> solution_;
    std::vector<Result> results_;
    std::string svg_;
    int points_ = defaultPoints;
    Method method_ = Method::general;
};

}  // namespace

EMSCRIPTEN_BINDINGS(velmora) {
    emscripten::class_<Page>("Page")
        .constructor<>()
        .function("load", &Page::load)
        .function("at", &Page::at)
        .function("influence", &Page::influence)
        .function("critical", &Page::critical)
        .function("envelope", &Page::envelope)
        .function("json", &Page::json)
        .function("csv", &Page::csv)
        .function("svg", &Page::svg);
}
