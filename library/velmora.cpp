// The C++ library's beam and solution, over the analysis: a beam is kept as
// the keys that describe it, so both methods read it as the program would.
#include "library/velmora.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "analysis/evaluator.h"
#include "analysis/general.h"
#include "analysis/keyed_run.h"
#include "analysis/trust.h"
#include "text/cases_text.h"
#include "text/describe.h"
#include "text/html_report.h"
#include "text/influence_text.h"
#include "text/named.h"
#include "text/reader.h"
#include "text/report.h"

namespace velmora {
namespace {

Failure failureAt(Failure::Kind kind, const Action& a, std::string text) {
    return Failure{kind, Problem{a.line, a.column, std::move(text)}};
}

// The general solver's refusal of a beam, at the action it concerns.
Failure solverFailure(const Script& script, const solver::Solution& s, int tag) {
    const std::string text = solverMessage(script, s, tag);
    return failureAt(
        s.status == solver::Status::mechanism ? Failure::mechanism : Failure::unsolvable,
        script.actions[tag], text);
}

}  // namespace

Beam::Beam(End left) {
    add(Kind::leftEnd,
        left == End::free      ? leftFree
        : left == End::clamped ? leftClamped
        : left == End::guided  ? leftGuided
                               : leftHinged,
        {});
}

Beam& Beam::add(Kind kind, Choice choice, std::vector<double> values) {
    Action a;
    a.kind = kind;
    a.choice = choice;
    for (size_t k = 0; k < values.size() && k < slotCount; ++k) {
        if (std::isnan(values[k])) continue;  // not given
        if (!std::isfinite(values[k])) {
            throw std::invalid_argument("a value must be a finite number");
        }
        a.value[k] = values[k];
        a.given[k] = true;
    }
    return push(a);
}

Beam& Beam::push(Action a) {
    if (complete()) throw std::invalid_argument("the beam already has its right end");
    if (script_.count() == maxActions) {
        throw std::invalid_argument("a description holds at most " + std::to_string(maxActions) +
                                    " actions");
    }
    int slot = 0;
    if (const char* why = valueProblem(a, slot)) throw std::invalid_argument(why);
    // Messages name an element by its line in describe(): the left end is line 1.
    a.line = script_.count() + 1;
    a.column = 1;
    script_.actions.push_back(a);
    script_.lines = a.line;
    return *this;
}

namespace {
constexpr double none = NAN;  // a value not given
}

Beam& Beam::section(double l, double ei) { return add(Kind::beamSection, noChoice, {l, ei}); }

Beam& Beam::section(double l, double ei, double q, double qs) {
    return add(Kind::beamSection, noChoice, {l, ei, none, q, qs});
}

Beam& Beam::section(const NamedSection& s) {
    Action a;
    a.kind = Kind::beamSection;
    const std::pair<int, double> values[] = {
        {slotLength, s.l},   {slotStiffness, s.ei}, {slotYoung, s.e},   {slotSecondMoment, s.i},
        {slotLineLoad, s.q}, {slotLineSlope, s.qs}, {slotModulus, s.w}, {slotMass, s.m},
        {slotArea, s.a},     {slotYield, s.fy}};
    for (const auto& [slot, value] : values) {
        if (std::isnan(value)) continue;
        if (!std::isfinite(value)) throw std::invalid_argument("a value must be a finite number");
        a.value[slot] = value;
        a.given[slot] = true;
    }
    // The checks of each value come first, as the reader makes them.
    int slot = 0;
    if (const char* why = valueProblem(a, slot); why && slot != slotStiffness) {
        throw std::invalid_argument(why);
    }
    std::string problem;
    if (!s.profile.empty() && !readProfile(s.profile, a.named, problem)) {
        throw std::invalid_argument(problem);
    }
    a.named.weakAxis = s.weakAxis;
    a.named.material = s.material;
    a.named.selfWeight = s.selfWeight;
    const bool stiffness =
        a.given[slotStiffness] || a.given[slotYoung] || a.given[slotSecondMoment] || a.named.any();
    if (!stiffness) throw std::invalid_argument("F3 needs EI=<number>");
    int column = 0;
    if (!applyNamed(a, script_.units, problem, column)) throw std::invalid_argument(problem);
    return push(a);
}

Beam& Beam::units(const Units& units) {
    script_.units = units;
    return *this;
}

Beam& Beam::shaft(double l, double e, double d) {
    return add(Kind::shaftSection, noChoice, {l, e, d});
}

Beam& Beam::shaft(double l, double e, double d, double q, double qs) {
    return add(Kind::shaftSection, noChoice, {l, e, d, q, qs});
}

Beam& Beam::spring(double c) { return add(Kind::spring, noChoice, {c}); }
Beam& Beam::force(double value) { return add(Kind::pointLoad, loadForce, {value}); }
Beam& Beam::moment(double value) { return add(Kind::pointLoad, loadMoment, {value}); }
Beam& Beam::angle(double value) { return add(Kind::pointLoad, loadAngle, {value}); }
Beam& Beam::offset(double value) { return add(Kind::pointLoad, loadOffset, {value}); }
Beam& Beam::support() { return add(Kind::intermediate, midSupport, {}); }
Beam& Beam::hinge() { return add(Kind::intermediate, midHinge, {}); }
Beam& Beam::hinge(double c) { return add(Kind::intermediate, midHinge, {c}); }
Beam& Beam::rotationalSpring(double c) { return add(Kind::rotationalSpring, noChoice, {c}); }
Beam& Beam::shearHinge() { return add(Kind::shearHinge, noChoice, {}); }
Beam& Beam::clamp() { return add(Kind::intermediate, midClamp, {}); }

namespace {

// The first bytes of a text, cut before a character, not inside one.
std::string cut(const std::string& text, size_t bytes) {
    if (text.size() <= bytes) return text;
    while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
    return text.substr(0, bytes) + "...";
}

// A name in a message: its line ends and other control characters escaped,
// so that the message stays one line, and a long one cut.
std::string quotedName(const std::string& name) {
    std::string q = "'";
    for (const char c : cut(name, 64)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            q += "\\n";
        } else if (c == '\t') {
            q += "\\t";
        } else if (c == '\r') {
            q += "\\r";
        } else if (byte < 0x20 || byte == 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            q += code;
        } else {
            q += c;
        }
    }
    return q + "'";
}

// A name the description can hold, on a line no longer than it reads.
void checkName(const std::string& name, const std::string& line) {
    if (const char* why = caseNameProblem(name)) {
        throw std::invalid_argument(quotedName(name) +
                                    " cannot name a load case or combination: " + why);
    }
    if (line.size() > static_cast<size_t>(maxLineBytes)) {
        throw std::invalid_argument("the line '" + cut(line, 40) + "' would be longer than " +
                                    std::to_string(maxLineBytes) +
                                    " bytes, more than a line of a description holds");
    }
}

}  // namespace

bool Beam::nameFree(const std::string& name) {
    const CaseBook& book = script_.cases;
    const bool taken = book.findCase(name) >= 0 || book.findCombination(name) >= 0;
    if (taken && !caseFailure_) {
        caseFailure_ =
            Failure{Failure::description, Problem{0, 0, "'" + name + "' is named twice"}};
    }
    return !taken;
}

Beam& Beam::ownCase(const std::string& name) {
    LoadCase own;
    own.name = name;
    checkName(name, caseLine(own));
    if (name == script_.cases.cases[0].name || nameFree(name)) script_.cases.cases[0].name = name;
    return *this;
}

LoadCaseLoads Beam::loadCase(const std::string& name, bool spanwise) {
    LoadCase c;
    c.name = name;
    c.spanwise = spanwise;
    c.line = script_.lines;
    checkName(name, caseLine(c));
    // A case named twice takes its loads nowhere: the beam is unsolved anyway.
    if (!nameFree(name)) return LoadCaseLoads(*this, -1);
    script_.cases.cases.push_back(c);
    return LoadCaseLoads(*this, static_cast<int>(script_.cases.cases.size()) - 1);
}

Beam& Beam::combination(const std::string& name, const std::vector<CaseFactor>& factors) {
    checkName(name, "");
    if (factors.empty()) throw std::invalid_argument("a combination needs at least one case");
    for (size_t k = 0; k < factors.size(); ++k) {
        if (!std::isfinite(factors[k].worse) || !std::isfinite(factors[k].better)) {
            throw std::invalid_argument("a factor must be a finite number");
        }
        for (size_t j = 0; j < k; ++j) {
            if (factors[j].loadCase == factors[k].loadCase) {
                throw std::invalid_argument("'" + factors[k].loadCase +
                                            "' appears twice in this combination");
            }
        }
    }
    if (!nameFree(name)) return *this;
    Combination c;
    c.name = name;
    for (const CaseFactor& f : factors) {
        Term t;
        t.loadCase = script_.cases.findCase(f.loadCase);
        t.factor = Factor{f.worse, f.better};
        if (t.loadCase < 0 && !caseFailure_) {
            caseFailure_ = Failure{
                Failure::description,
                Problem{0, 0,
                        "the combination '" + name + "' names no load case '" + f.loadCase + "'"}};
        }
        if (t.loadCase >= 0) c.terms.push_back(t);
    }
    checkName(name, combinationLine(script_.cases, c));
    script_.cases.combinations.push_back(c);
    return *this;
}

LoadCaseLoads& LoadCaseLoads::add(PlacedLoad load) {
    for (const double v : {load.q, load.qs, load.from, load.to, load.value}) {
        if (!std::isfinite(v)) throw std::invalid_argument("a value must be a finite number");
    }
    if (index_ > 0) beam_.script_.cases.cases[index_].loads.push_back(load);
    return *this;
}

LoadCaseLoads& LoadCaseLoads::line(double q, double qs) {
    PlacedLoad l;
    l.q = q;
    l.qs = qs;
    return add(l);
}

LoadCaseLoads& LoadCaseLoads::line(double q, double qs, double from, double to) {
    PlacedLoad l;
    l.q = q;
    l.qs = qs;
    l.from = from;
    l.to = to;
    l.hasFrom = l.hasTo = true;
    return add(l);
}

namespace {

PlacedLoad placedPoint(PlacedLoad::Type type, double value, double x) {
    PlacedLoad l;
    l.type = type;
    l.value = value;
    l.from = l.to = x;
    l.hasFrom = l.hasTo = true;
    return l;
}

}  // namespace

LoadCaseLoads& LoadCaseLoads::force(double value, double x) {
    return add(placedPoint(PlacedLoad::force, value, x));
}

LoadCaseLoads& LoadCaseLoads::moment(double value, double x) {
    return add(placedPoint(PlacedLoad::moment, value, x));
}

Beam& Beam::end(End right, double moment, double force) {
    switch (right) {
        case End::clamped:
            return add(Kind::rightEnd, rightClamped, {});
        case End::guided:
            return add(Kind::rightEnd, rightGuided, {});
        case End::hinged:
            return add(Kind::rightEnd, rightHinged, {moment});
        case End::free:
            break;
    }
    return add(Kind::rightEnd, rightFree, {moment, force});
}

bool Beam::complete() const {
    return !script_.actions.empty() && script_.actions.back().kind == Kind::rightEnd;
}

std::string Beam::describe(Language language) const {
    // The units first: a load case named before F1 follows them.
    const bool english = language == Language::english;
    const std::string units = unitsLine(script_.units, language);
    return units + caseLinesBefore(script_.cases, english) +
           velmora::describe(script_, language).substr(units.size()) +
           caseLinesAfter(script_.cases, english);
}

Beam& Beam::units(const std::string& force, const std::string& length) {
    units::System system;
    std::string why;
    if (!units::makeSystem(force, length, system, why)) throw std::invalid_argument(why);
    script_.units = declarationOf(system);
    return *this;
}

std::vector<std::pair<std::string, std::string>> Solution::unitLabels() const {
    if (!description_.units.declared) return {};
    return units::labels(systemOf(description_.units));
}

double Beam::quantity(const std::string& text, units::Quantity q, const std::string& name) const {
    double value = 0.0;
    std::string why;
    if (!units::readQuantity(text, q, name, systemOf(script_.units), script_.units.declared, value,
                             why)) {
        throw std::invalid_argument(name + ": " + why);
    }
    return value;
}

namespace {

bool sameLoad(const PlacedLoad& a, const PlacedLoad& b) {
    return a.type == b.type && a.q == b.q && a.qs == b.qs && a.from == b.from && a.to == b.to &&
           a.hasFrom == b.hasFrom && a.hasTo == b.hasTo && a.value == b.value;
}

// The same cases, loads and combinations, wherever they were written.
bool sameCases(const CaseBook& a, const CaseBook& b) {
    if (a.cases.size() != b.cases.size() || a.combinations.size() != b.combinations.size() ||
        a.limits.size() != b.limits.size()) {
        return false;
    }
    for (size_t k = 0; k < a.limits.size(); ++k) {
        const Limit& x = a.limits[k];
        const Limit& y = b.limits[k];
        if (x.quantity != y.quantity || x.divisor != y.divisor || x.combination != y.combination) {
            return false;
        }
    }
    for (size_t c = 0; c < a.cases.size(); ++c) {
        const LoadCase& x = a.cases[c];
        const LoadCase& y = b.cases[c];
        if (x.name != y.name || x.spanwise != y.spanwise || x.loads.size() != y.loads.size()) {
            return false;
        }
        for (size_t k = 0; k < x.loads.size(); ++k) {
            if (!sameLoad(x.loads[k], y.loads[k])) return false;
        }
    }
    for (size_t c = 0; c < a.combinations.size(); ++c) {
        const Combination& x = a.combinations[c];
        const Combination& y = b.combinations[c];
        if (x.name != y.name || x.terms.size() != y.terms.size()) return false;
        for (size_t k = 0; k < x.terms.size(); ++k) {
            const Term& s = x.terms[k];
            const Term& t = y.terms[k];
            if (s.loadCase != t.loadCase || s.factor.worse != t.factor.worse ||
                s.factor.better != t.factor.better) {
                return false;
            }
        }
    }
    return true;
}

// The beam's script with every action, case, load and combination at the
// line and column of describe()'s text, as the reader finds them there: the
// places velmora-batch names for that text. The beam's own places (its
// actions from line 1 on) where the text would not read back.
Script placed(const Beam& beam) {
    Script s = beam.actions();
    Script read;
    read.units = s.units;  // a profile's or material's values are in them
    std::vector<Problem> problems;
    CaseBook& book = s.cases;
    const CaseBook& found = read.cases;
    if (readScript(beam.describe(), read, problems) != 0 || read.count() != s.count() ||
        found.cases.size() != book.cases.size() ||
        found.combinations.size() != book.combinations.size()) {
        return s;
    }
    s.lines = read.lines;
    for (int i = 0; i < s.count(); ++i) {
        Action& a = s.actions[i];
        a.line = read.actions[i].line;
        a.column = read.actions[i].column;
        std::copy(read.actions[i].valueColumn, read.actions[i].valueColumn + slotCount,
                  a.valueColumn);
    }
    for (size_t c = 0; c < book.cases.size(); ++c) {
        LoadCase& mine = book.cases[c];
        const LoadCase& there = found.cases[c];
        mine.line = there.line;
        mine.column = there.column;
        for (size_t k = 0; k < mine.loads.size() && k < there.loads.size(); ++k) {
            mine.loads[k].line = there.loads[k].line;
            mine.loads[k].column = there.loads[k].column;
            mine.loads[k].placeColumn = there.loads[k].placeColumn;
        }
    }
    for (size_t c = 0; c < book.combinations.size(); ++c) {
        Combination& mine = book.combinations[c];
        const Combination& there = found.combinations[c];
        mine.line = there.line;
        mine.column = there.column;
        for (size_t k = 0; k < mine.terms.size() && k < there.terms.size(); ++k) {
            mine.terms[k].line = there.terms[k].line;
            mine.terms[k].column = there.terms[k].column;
        }
    }
    return s;
}

}  // namespace

bool Beam::operator==(const Beam& other) const {
    if (script_.count() != other.script_.count()) return false;
    for (int i = 0; i < script_.count(); ++i) {
        const Action& a = script_.actions[i];
        const Action& b = other.script_.actions[i];
        if (a.kind != b.kind || a.choice != b.choice) return false;
        // A value left out is the 0 a user would type, but a section's line
        // load, even of 0, is a line load.
        for (int k = 0; k < slotCount; ++k) {
            if (a.value[k] != b.value[k]) return false;
        }
        if (isSection(a) && hasLineLoad(a) != hasLineLoad(b)) return false;
        if (!(a.named == b.named)) return false;
    }
    const Units& u = script_.units;
    const Units& v = other.script_.units;
    if (u.declared != v.declared || (u.declared && (u.force != v.force || u.length != v.length))) {
        return false;
    }
    return sameCases(script_.cases, other.script_.cases);
}

Beam Beam::fromActions(std::vector<Action> actions) {
    Beam beam;
    beam.script_.actions = std::move(actions);
    for (int i = 0; i < beam.script_.count(); ++i) {
        beam.script_.actions[i].line = i + 1;
        beam.script_.actions[i].column = 1;
    }
    beam.script_.lines = beam.script_.count();
    return beam;
}

Beam& Beam::mass(double m, double j) {
    return add(Kind::mass, noChoice, {none, none, none, none, none, m, j});
}

Beam& Beam::last(Kind kind, int slot, double value, const char* call) {
    if (script_.actions.empty() || script_.actions.back().kind != kind) {
        throw std::invalid_argument(std::string(call) + " follows no " +
                                    (kind == Kind::shaftSection ? "shaft()" : "section()"));
    }
    if (!std::isfinite(value)) throw std::invalid_argument("a value must be a finite number");
    Action a = script_.actions.back();
    if (a.named.any()) {
        // What the tables and the self-weight gave follows from the values
        // given: taken afresh with this one, as the description reads it.
        const Action blank;
        for (int k = 0; k < slotCount; ++k) {
            if (!a.given[k]) a.value[k] = blank.value[k];
        }
        if (a.named.selfWeight) {
            a.value[slotLineLoad] = a.named.lineLoadWritten ? a.named.lineLoad : 0.0;
            a.given[slotLineLoad] = a.named.lineLoadWritten;
        }
    }
    a.value[slot] = value;
    a.given[slot] = true;
    std::string problem;
    int column = 0;
    if (a.named.any() && !applyNamed(a, script_.units, problem, column)) {
        throw std::invalid_argument(problem);
    }
    int problemSlot = 0;
    if (const char* why = valueProblem(a, problemSlot)) throw std::invalid_argument(why);
    script_.actions.back() = a;
    return *this;
}

Beam& Beam::massPerLength(double m) {
    return last(Kind::beamSection, slotMass, m, "massPerLength()");
}
Beam& Beam::extended(int slot, double value, const char* call) {
    const bool shaft =
        !script_.actions.empty() && script_.actions.back().kind == Kind::shaftSection;
    return last(shaft ? Kind::shaftSection : Kind::beamSection, slot, value, call);
}
Beam& Beam::axialForce(double n) { return extended(slotAxial, n, "axialForce()"); }
Beam& Beam::foundation(double k) { return extended(slotFoundation, k, "foundation()"); }
Beam& Beam::shearStiffness(double s) { return extended(slotShear, s, "shearStiffness()"); }
Beam& Beam::curvature(double kappa) { return extended(slotCurvature, kappa, "curvature()"); }
Beam& Beam::area(double a) { return last(Kind::beamSection, slotArea, a, "area()"); }
Beam& Beam::density(double rho) { return last(Kind::shaftSection, slotMass, rho, "density()"); }
Beam& Beam::modulus(double w) { return last(Kind::beamSection, slotModulus, w, "modulus()"); }

Beam& Beam::yieldStrength(double fy) {
    if (!script_.actions.empty() && script_.actions.back().kind == Kind::shaftSection) {
        return last(Kind::shaftSection, slotYield, fy, "yieldStrength()");
    }
    return last(Kind::beamSection, slotYield, fy, "yieldStrength()");
}

namespace {

Limit limitOf(Limit::Quantity quantity, double divisor, const std::string& combination) {
    if (!(divisor > 0.0) || !std::isfinite(divisor)) {
        throw std::invalid_argument("a limit's divisor must be a finite number above 0");
    }
    if (!combination.empty()) checkName(combination, "");
    Limit l;
    l.quantity = quantity;
    l.divisor = divisor;
    l.combination = combination;
    return l;
}

}  // namespace

Beam& Beam::deflectionLimit(double divisor, const std::string& combination) {
    script_.cases.limits.push_back(limitOf(Limit::deflection, divisor, combination));
    return *this;
}

Beam& Beam::stressLimit(double divisor, const std::string& combination) {
    script_.cases.limits.push_back(limitOf(Limit::stress, divisor, combination));
    return *this;
}

bool Solution::checks(int points, std::vector<Check>& checks, Failure& failure) const {
    checks.clear();
    failure = failure_;
    if (failure) return false;
    const BeamModel own = beamOf(description_, 0, description_.count() - 1);
    Problem p;
    Problem warning;
    if (!checkCases(own, description_.cases, p)) {
        failure = Failure{Failure::description, p};
        return false;
    }
    if (!checkLimits(description_, own, p)) {
        failure = Failure{Failure::description, p};
        return false;
    }
    if (!computeChecks(description_, own, points, method_ == Method::general, checks, warning, p)) {
        failure = Failure{Failure::unsolvable, p};
        return false;
    }
    if (!warning.text.empty()) failure = Failure{Failure::keyed, warning};
    return !failure;
}

bool Solution::report(int points, std::string& html, Failure& failure) const {
    return velmora::report(description_, "", method_, points, html, failure);
}

bool report(const Script& script, const std::string& text, Method method, int points,
            std::string& html, Failure& failure) {
    int first = -1;
    int last = -1;
    if (!findBeam(script, first, last)) {
        failure = Failure{Failure::description,
                          Problem{script.lines > 0 ? script.lines : 1, 1,
                                  "a report needs a complete beam: F1, the sections and "
                                  "elements, and its right end"}};
        return false;
    }
    // The beam as written, its F7s left out, with its cases, limits and units.
    Beam beam;
    beam.script_.actions.clear();
    for (int i = first; i <= last; ++i) {
        if (script.actions[i].kind != Kind::evaluate) {
            beam.script_.actions.push_back(script.actions[i]);
        }
    }
    beam.script_.cases = script.cases;
    beam.script_.units = script.units;
    beam.script_.lines = script.lines;
    const Solution s(beam, method);
    failure = s.failure();
    if (!s.solved()) return false;
    ReportData d;
    d.description = text.empty() ? beam.describe() : text;
    d.units = script.units;
    d.beam = s.model();
    d.cases = script.cases;
    d.general = method == Method::general;
    d.reactions = s.reactions();
    d.foundations = s.foundations();
    for (int r = 0; r < rowCount; ++r) d.extremes[r] = s.extreme(static_cast<Row>(r));
    d.hasStress = s.hasStress();
    d.stress = s.stress();
    d.svg = s.svg(points);
    d.hasEnvelope = script.cases.any() || !script.cases.limits.empty();
    if (d.hasEnvelope && !s.envelope(points, d.envelope, failure)) return false;
    if (!script.cases.limits.empty() && !s.checks(points, d.checks, failure)) return false;
    bool masses = false;
    for (const Element& e : d.beam.elements) {
        masses = masses || e.kind == ElementKind::mass || (e.isSection() && e.mass > 0.0);
    }
    if (masses) {
        const Critical c = critical(beam, 3, points);
        if (c.solved()) d.critical = c.speeds;
    }
    html = htmlReport(d);
    failure = Failure{};
    return true;
}

namespace {

// Why a search for critical speeds or buckling factors found none: the beam
// is a mechanism, cannot be solved, or (solvable) holds nothing to find.
Failure searchFailure(const BeamModel& model, const Problem& problem) {
    const solver::Status status = solver::check(model).status;
    return Failure{status == solver::Status::mechanism ? Failure::mechanism
                   : status == solver::Status::solved  ? Failure::description
                                                       : Failure::unsolvable,
                   problem};
}

// The beam an eigenvalue search is of, placed as describe() writes it; a
// beam without its right end is refused.
bool searchedBeam(const Beam& beam, Script& script, BeamModel& model, Failure& failure) {
    script = placed(beam);
    if (!beam.complete()) {
        failure =
            Failure{Failure::description,
                    Problem{script.lines, 1, "the beam has no right end: finish it with end()"}};
        return false;
    }
    model = beamOf(script, 0, script.count() - 1);
    return true;
}

}  // namespace

Buckling buckling(const Beam& beam, int count, int points) {
    Buckling b;
    Script script;
    BeamModel model;
    if (!searchedBeam(beam, script, model, b.failure)) return b;
    Problem problem;
    if (computeBuckling(script, model, count, points, b.modes, problem)) return b;
    b.noCompression = true;
    for (const Element& e : model.elements) {
        if (e.isSection() && e.axialForce < 0.0) b.noCompression = false;
    }
    b.failure = searchFailure(model, problem);
    return b;
}

Critical critical(const Beam& beam, int count, int points) {
    Critical c;
    Script script;
    BeamModel model;
    if (!searchedBeam(beam, script, model, c.failure)) return c;
    Problem problem;
    if (computeCritical(script, model, count, points, c.speeds, problem)) return c;
    c.failure = searchFailure(model, problem);
    return c;
}

Solution::Solution(const Beam& beam, Method method)
    : description_(placed(beam)), script_(description_), method_(method) {
    const int last = script_.count() - 1;
    if (!beam.complete() || last < 1) {
        failure_ =
            Failure{Failure::description,
                    Problem{script_.lines, 1, "the beam has no right end: finish it with end()"}};
        return;
    }
    failure_ = beam.caseFailure();
    if (!failure_) solve(beamOf(script_, 0, last));
}

Solution::Solution(const Beam& beam, const std::string& state, Method method)
    : description_(placed(beam)), script_(description_), method_(method) {
    const int last = script_.count() - 1;
    LoadState s;
    if (!beam.complete() || last < 1) {
        failure_ =
            Failure{Failure::description,
                    Problem{script_.lines, 1, "the beam has no right end: finish it with end()"}};
    } else if (beam.caseFailure()) {
        failure_ = beam.caseFailure();
    } else if (!findLoadState(description_.cases, state, s)) {
        failure_ =
            Failure{Failure::description,
                    Problem{0, 0, "the beam has no load case or combination '" + state + "'"}};
    }
    if (failure_) return;
    state_ = s;
    const BeamModel own = beamOf(description_, 0, last);
    Problem p;
    if (!checkCases(own, description_.cases, p)) {
        failure_ = Failure{Failure::description, p};
        return;
    }
    BeamModel pressed;
    pressBeam(stateBeam(own, description_.cases, s), description_, script_, pressed);
    solve(pressed);
}

bool Solution::envelopeCombinations(const std::vector<std::string>& names, std::vector<int>& chosen,
                                    Failure& failure) const {
    const CaseBook& book = description_.cases;
    std::string why;
    if (state_.combination < 0 && state_.loadCase >= 0) {
        why = "this solution is of the load case '" + book.cases[state_.loadCase].name +
              "', and an envelope is of combinations: take it from the solution of the beam's "
              "own loads, or of a combination";
    } else if (namedCombinations(book, names, chosen, why) && state_.combination >= 0) {
        // Made for a combination: the envelope is that one's, named or not.
        const std::string& own = book.combinations[state_.combination].name;
        for (const std::string& name : names) {
            if (name != own && why.empty()) {
                why = "this solution is of the combination '" + own +
                      "', and so is its envelope: take that of '" + name +
                      "' from the solution of the beam's own loads";
            }
        }
        chosen.assign(1, state_.combination);
    }
    failure = why.empty() ? Failure{} : Failure{Failure::description, Problem{0, 0, why}};
    if (failure) chosen.clear();
    return !failure;
}

bool Solution::envelope(int points, Envelope& envelope, Failure& failure) const {
    return this->envelope(points, {}, envelope, failure);
}

bool Solution::envelope(int points, const std::vector<std::string>& combinations,
                        Envelope& envelope, Failure& failure) const {
    failure = failure_;
    if (failure) return false;
    std::vector<int> chosen;
    if (!envelopeCombinations(combinations, chosen, failure)) return false;
    const BeamModel own = beamOf(description_, 0, description_.count() - 1);
    Problem p;
    Problem warning;
    if (!checkCases(own, description_.cases, p)) {
        failure = Failure{Failure::description, p};
        return false;
    }
    if (!computeEnvelope(description_, own, points, method_ == Method::general, envelope, warning,
                         p, chosen)) {
        // The beam itself solved, and every case's beam has its supports and
        // hinges: what fails is the arithmetic of one of them.
        failure = Failure{Failure::unsolvable, p};
        return false;
    }
    if (!warning.text.empty()) failure = Failure{Failure::keyed, warning};
    return !failure;
}

void Solution::solve(const BeamModel& model) {
    const int last = script_.count() - 1;
    beam_ = model;
    if (method_ == Method::general) {
        general_ = solver::solve(beam_);
        if (general_.status != solver::Status::solved) {
            failure_ = solverFailure(script_, general_, 0);
            return;
        }
        // Axial forces past the first buckling load solve, but describe no
        // stable state; at it the equations have no solution.
        Problem buckled;
        const Stability stability = checkStability(beam_, buckled);
        if (stability == Stability::singular) {
            failure_ = Failure{Failure::unsolvable, buckled};
            return;
        }
        if (stability == Stability::beyond) {
            bucklingWarning_ = static_cast<int>(warnings_.size());
            warnings_.push_back(buckled);
        }
    } else {
        // A condition past the register bank, say, is refused before any value.
        const KeyedRun keys = runKeys(script_);
        if (keys.refused) {
            failure_ = Failure{Failure::keyed, keys.refusal};
            return;
        }
    }
    // Reactions and extremes do not depend on the number of samples.
    sample(2, summary_);
    Problem stress;
    if (!stressRepresentable(script_, summary_, stress)) {
        failure_ = Failure{Failure::description, stress};
        return;
    }
    if (summary_.allFinite && method_ == Method::keyed) {
        Shown shown;
        shown.reactions = shown.extremes = true;
        for (const Notice& n : checkDiagram(beam_, solver::solve(beam_), summary_, shown)) {
            const Action& a = script_.actions[n.action];
            warnings_.push_back(Problem{a.line, a.column, n.text});
        }
    }
    if (summary_.allFinite) return;
    const Watch& w = summary_.watch;
    std::string cause = w.cause ? w.cause : "a value beyond the range of a double (overflow)";
    const int culprit = w.brokenAt >= 0 ? w.brokenAt : last;
    const solver::Solution general = solver::solve(beam_);
    if (general.status == solver::Status::mechanism) {
        failure_ = solverFailure(script_, general, culprit);
        return;
    }
    judgeBreak(script_, 0, last, culprit, cause);
    failure_ = failureAt(Failure::keyed, script_.actions[culprit],
                         "the keyed method gives values that are not finite: " + cause);
}

void Solution::sample(int points, Diagram& diagram) const {
    if (method_ == Method::general) {
        computeGeneralDiagram(beam_, general_, points, diagram);
    } else {
        computeDiagram(script_, beam_, points, diagram);
    }
}

std::vector<Sample> Solution::diagram(int points) const {
    if (!solved()) return {};
    Diagram d;
    sample(points, d);
    return d.samples;
}

Solution::Columns Solution::columns(int points) const {
    Columns c;
    if (!solved()) return c;
    auto take = [&c](double x, const State& s) {
        c.x.push_back(x);
        for (int r = 0; r < rowCount; ++r) c.value[r].push_back(s[r]);
    };
    if (method_ == Method::keyed || summary_.hasStress) {
        for (const Sample& s : diagram(points)) {
            take(s.x, s.value);
            if (summary_.hasStress) c.sigma.push_back(s.hasStress() ? s.stress() : NAN);
            if (summary_.hasAxialStress) {
                c.sigmaTop.push_back(s.hasStress() ? s.stressTop() : NAN);
            }
        }
        return c;
    }
    // The general solution's samples as the diagram takes them, without the
    // diagram's reactions and extremes: a solved beam sampled for arrays.
    size_t count = 1;
    for (const Element& e : beam_.elements) count += e.isSection() ? points + 1 : 1;
    c.x.reserve(count);
    for (std::vector<double>& v : c.value) v.reserve(count);
    const std::vector<State>& states = general_.states;
    double x = 0.0;
    take(x, states[0]);
    for (size_t k = 0; k < beam_.elements.size(); ++k) {
        const Element& e = beam_.elements[k];
        if (e.isSection()) {
            for (int n = 1; n <= points; ++n) {
                const double part = e.length * (static_cast<double>(n) / (points + 1.0));
                take(x + part, general_.fields[k].empty()
                                   ? solver::stateInside(e, states[k], part)
                                   : solver::stateInside(e, general_.fields[k], states[k], part));
            }
            x += e.length;
        }
        take(x, states[k + 1]);
    }
    return c;
}

bool Solution::at(double x, Side side, State& state, Failure& failure) const {
    if (!solved()) {
        failure = failure_;
        return false;
    }
    if (!(x >= 0.0 && x <= beam_.length)) {
        failure = Failure{Failure::description, Problem{0, 0, outsideBeam("x", x, beam_.length)}};
        return false;
    }
    const bool left = side == Side::left;
    if (method_ == Method::general) {
        GeneralEvaluator e(beam_, general_);
        state = stateAt(beam_, e, x, left);
    } else {
        KeyedEvaluator e(script_, beam_, false);
        state = stateAt(beam_, e, x, left);
    }
    return true;
}

bool Solution::influence(const std::string& text, int points, InfluenceLine& line,
                         Failure& failure) const {
    if (!solved()) {
        failure = failure_;
        return false;
    }
    InfluenceRequest request;
    std::string why;
    if (!parseInfluence(text.c_str(), request, why)) {
        failure = Failure{Failure::description, Problem{0, 0, why}};
        return false;
    }
    std::vector<InfluenceLine> lines;
    Problem warning;
    Problem problem;
    if (!computeInfluence(script_, beam_, points, method_ == Method::general, {request}, {}, lines,
                          warning, problem)) {
        failure = Failure{Failure::description, problem};
        return false;
    }
    line = lines.front();
    if (!line.allFinite) {
        failure = Failure{Failure::keyed, warning};
        return false;
    }
    return true;
}

std::string Solution::svg(int points) const {
    if (!solved()) return {};
    Diagram d;
    sample(points, d);
    return writtenText([&](FILE* f) { writeSvg(f, beam_, d, nullptr, description_.units); });
}

std::string outsideBeam(const std::string& name, double x, double length) {
    // A beam without its right end has no length yet, only its start.
    return name + " = " + exactNumber(x) + " is outside the beam, which " +
           (std::isfinite(length) ? "runs from 0 to " + exactNumber(length) : "starts at 0");
}

LiveExtreme liveLoad(const InfluenceLine& line, bool uniform, double value) {
    LiveLoad live;
    live.uniform = uniform;
    live.value = value;
    return liveExtreme(line, live);
}

namespace {

bool readText(const std::string& text, Script& script, Failure& failure) {
    std::vector<Problem> problems;
    if (readScript(text, script, problems) == 0) return true;
    failure = Failure{Failure::description, problems.front()};
    return false;
}

}  // namespace

bool parse(const std::string& text, std::vector<Beam>& beams, Failure& failure) {
    Script script;
    if (!readText(text, script, failure)) return false;
    GeneralReading reading;
    readGeneral(script, reading);
    beams.clear();
    for (const RunReading& run : reading.runs) {
        if (run.role != RunReading::beam) continue;
        std::vector<Action> actions;
        for (int i = run.first; i <= run.right; ++i) {
            if (script.actions[i].kind != Kind::evaluate) actions.push_back(script.actions[i]);
        }
        beams.push_back(Beam::fromActions(std::move(actions)));
        beams.back().script_.units = script.units;  // the tables' values are in them
    }
    // The load cases are the last beam's, as velmora-batch takes them.
    if (!beams.empty()) beams.back().script_.cases = script.cases;
    for (Beam& b : beams) b.script_.units = script.units;
    return true;
}

bool run(const std::string& text, Method method, RunOutput& output, Failure& failure) {
    Script script;
    if (!readText(text, script, failure)) return false;
    GeneralReading reading;
    readGeneral(script, reading);
    output = RunOutput{};
    if (method == Method::general) {
        Problem problem;
        if (runGeneral(script, reading, output.results, problem)) return true;
        // A beam the solver refused, or a run that departs from its beam.
        failure = Failure{Failure::description, problem};
        for (const RunReading& r : reading.runs) {
            if (r.role == RunReading::beam && r.solution.status != solver::Status::solved) {
                failure = solverFailure(script, r.solution, r.first);
                break;
            }
            if (r.role == RunReading::orphan || r.departs >= 0) break;
        }
        return false;
    }
    KeyedRun keyed = runKeys(script);
    if (keyed.refused) {
        failure = Failure{Failure::keyed, keyed.refusal};
        return false;
    }
    output.results = std::move(keyed.results);
    if (keyed.broken.action >= 0) {
        const Action& a = script.actions[keyed.broken.action];
        output.warnings.push_back(Problem{a.line, a.column, keyed.broken.text});
    }
    for (const Notice& n : checkKeyed(script, reading, output.results)) {
        const Action& a = script.actions[n.action];
        output.warnings.push_back(Problem{a.line, a.column, n.text});
    }
    return true;
}

}  // namespace velmora

namespace velmora {

sections::Section profile(const std::string& name) {
    sections::Section s;
    std::string problem;
    if (!sections::find(name, s, problem)) throw std::invalid_argument(problem);
    return s;
}

sections::Material material(const std::string& name) {
    sections::Material m;
    std::string problem;
    if (!sections::findMaterial(name, m, problem)) throw std::invalid_argument(problem);
    return m;
}

}  // namespace velmora
