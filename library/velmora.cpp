// The C++ library's beam and solution, over the analysis: a beam is kept as
// the keys that describe it, so both methods read it as the program would.
#include "library/velmora.h"

#include "analysis/general.h"

namespace velmora {

Beam::Beam(End left) {
    add(Kind::leftEnd,
        left == End::free      ? leftFree
        : left == End::clamped ? leftClamped
                               : leftHinged,
        {});
}

Beam& Beam::add(Kind kind, Choice choice, std::vector<double> values) {
    Action a;
    a.kind = kind;
    a.choice = choice;
    for (size_t k = 0; k < values.size() && k < slotCount; ++k) {
        a.value[k] = values[k];
        a.given[k] = true;
    }
    // Messages name an element by its line: the left end is line 1.
    a.line = script_.count() + 1;
    a.column = 1;
    script_.actions.push_back(a);
    script_.lines = a.line;
    return *this;
}

Beam& Beam::section(double l, double ei) { return add(Kind::beamSection, noChoice, {l, ei}); }

Beam& Beam::section(double l, double ei, double q, double qs) {
    return add(Kind::beamSection, noChoice, {l, ei, 0.0, q, qs});
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

bool Beam::nameFree(const std::string& name) {
    const CaseBook& book = script_.cases;
    const bool taken = book.findCase(name) >= 0 || book.findCombination(name) >= 0;
    if (taken && caseProblem_.empty()) caseProblem_ = "'" + name + "' is named twice";
    return !taken;
}

Beam& Beam::ownCase(const std::string& name) {
    if (name == script_.cases.cases[0].name || nameFree(name)) script_.cases.cases[0].name = name;
    return *this;
}

LoadCaseLoads Beam::loadCase(const std::string& name, bool spanwise) {
    LoadCase c;
    c.name = name;
    c.spanwise = spanwise;
    c.line = script_.lines;
    // A case named twice takes its loads nowhere: the beam is unsolved anyway.
    if (!nameFree(name)) return LoadCaseLoads(*this, -1);
    script_.cases.cases.push_back(c);
    return LoadCaseLoads(*this, static_cast<int>(script_.cases.cases.size()) - 1);
}

Beam& Beam::combination(const std::string& name, const std::vector<CaseFactor>& factors) {
    if (!nameFree(name)) return *this;
    Combination c;
    c.name = name;
    for (const CaseFactor& f : factors) {
        Term t;
        t.loadCase = script_.cases.findCase(f.loadCase);
        t.factor = Factor{f.worse, f.better};
        if (t.loadCase < 0 && caseProblem_.empty()) {
            caseProblem_ = "the combination '" + name + "' names no load case '" + f.loadCase + "'";
        }
        if (t.loadCase >= 0) c.terms.push_back(t);
    }
    script_.cases.combinations.push_back(c);
    return *this;
}

LoadCaseLoads& LoadCaseLoads::add(PlacedLoad load) {
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

LoadCaseLoads& LoadCaseLoads::force(double value, double x) {
    PlacedLoad l;
    l.type = PlacedLoad::force;
    l.value = value;
    l.from = l.to = x;
    l.hasFrom = l.hasTo = true;
    return add(l);
}

LoadCaseLoads& LoadCaseLoads::moment(double value, double x) {
    PlacedLoad l;
    l.type = PlacedLoad::moment;
    l.value = value;
    l.from = l.to = x;
    l.hasFrom = l.hasTo = true;
    return add(l);
}

Beam& Beam::end(End right, double moment, double force) {
    const Choice c = right == End::free      ? rightFree
                     : right == End::clamped ? rightClamped
                                             : rightHinged;
    return add(Kind::rightEnd, c, {moment, force});
}

Solution::Solution(const Beam& beam, Method method)
    : description_(beam.actions()), script_(beam.actions()), method_(method) {
    const int last = script_.count() - 1;
    if (last < 1 || script_.actions[last].kind != Kind::rightEnd) {
        problem_ = "the beam has no right end: finish it with end()";
        return;
    }
    problem_ = beam.caseProblem();
    if (problem_.empty()) solve(beamOf(script_, 0, last));
}

Solution::Solution(const Beam& beam, const std::string& state, Method method)
    : description_(beam.actions()), script_(beam.actions()), method_(method) {
    const int last = script_.count() - 1;
    LoadState s;
    if (last < 1 || script_.actions[last].kind != Kind::rightEnd) {
        problem_ = "the beam has no right end: finish it with end()";
    } else if (!beam.caseProblem().empty()) {
        problem_ = beam.caseProblem();
    } else if (!findLoadState(description_.cases, state, s)) {
        problem_ = "the beam has no load case or combination '" + state + "'";
    }
    if (!problem_.empty()) return;
    const BeamModel own = beamOf(description_, 0, last);
    Problem p;
    if (!checkCases(own, description_.cases, p)) {
        problem_ = p.text;
        return;
    }
    BeamModel pressed;
    pressBeam(stateBeam(own, description_.cases, s), description_, script_, pressed);
    solve(pressed);
}

bool Solution::envelope(Envelope& envelope, std::string& problem, int points) const {
    problem = problem_;
    const int last = description_.count() - 1;
    if (!problem.empty()) return false;
    const BeamModel own = beamOf(description_, 0, last);
    Problem p;
    Problem warning;
    const bool good = checkCases(own, description_.cases, p) &&
                      computeEnvelope(description_, own, points, method_ == Method::general,
                                      envelope, warning, p);
    problem = good ? warning.text : p.text;
    return good && warning.text.empty();
}

void Solution::solve(const BeamModel& beam) {
    const int last = script_.count() - 1;
    beam_ = beam;
    if (method_ == Method::general) {
        general_ = solver::solve(beam_);
        if (general_.status != solver::Status::solved) {
            int tag = 0;
            problem_ = solverMessage(script_, general_, tag);
            return;
        }
    }
    // Reactions and extremes do not depend on the number of samples.
    sample(2, summary_);
    if (summary_.allFinite) return;
    const Watch& w = summary_.watch;
    std::string cause = w.cause ? w.cause : "a value beyond the range of a double (overflow)";
    if (w.brokenAt >= 0) judgeBreak(script_, 0, last, w.brokenAt, cause);
    problem_ = "the keyed method gives values that are not finite: " + cause;
}

void Solution::sample(int points, Diagram& diagram) const {
    if (method_ == Method::general) {
        computeGeneralDiagram(beam_, general_, points, diagram);
    } else {
        computeDiagram(script_, beam_, points, diagram);
    }
}

std::vector<Sample> Solution::diagram(int points) const {
    if (!problem_.empty()) return {};
    Diagram d;
    sample(points, d);
    return d.samples;
}

}  // namespace velmora
