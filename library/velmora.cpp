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

Beam& Beam::end(End right, double moment, double force) {
    const Choice c = right == End::free      ? rightFree
                     : right == End::clamped ? rightClamped
                                             : rightHinged;
    return add(Kind::rightEnd, c, {moment, force});
}

Beam& Beam::mass(double m, double j) {
    add(Kind::mass, noChoice, {});
    Action& a = script_.actions.back();
    a.value[slotMass] = m;
    a.value[slotInertia] = j;
    a.given[slotMass] = a.given[slotInertia] = true;
    return *this;
}

Beam& Beam::last(Kind kind, int slot, double value, const char* call) {
    Action* a = script_.count() > 0 ? &script_.actions.back() : nullptr;
    if (!a || a->kind != kind) {
        if (misuse_.empty()) {
            misuse_ = std::string(call) + " follows no " +
                      (kind == Kind::shaftSection ? "shaft()" : "section()");
        }
        return *this;
    }
    a->value[slot] = value;
    a->given[slot] = true;
    return *this;
}

Beam& Beam::massPerLength(double m) {
    return last(Kind::beamSection, slotMass, m, "massPerLength()");
}
Beam& Beam::density(double rho) { return last(Kind::shaftSection, slotMass, rho, "density()"); }
Beam& Beam::modulus(double w) { return last(Kind::beamSection, slotModulus, w, "modulus()"); }

namespace {

// The beam model of a finished beam, or why there is none.
bool finished(const Beam& beam, std::string& problem) {
    const Script& script = beam.actions();
    const int last = script.count() - 1;
    if (!beam.misuse().empty()) {
        problem = beam.misuse();
    } else if (last < 1 || script.actions[last].kind != Kind::rightEnd) {
        problem = "the beam has no right end: finish it with end()";
    }
    return problem.empty();
}

}  // namespace

Critical critical(const Beam& beam, int count, int points) {
    Critical c;
    if (!finished(beam, c.problem)) return c;
    const Script& script = beam.actions();
    Problem problem;
    if (!computeCritical(script, beamOf(script, 0, script.count() - 1), count, points, c.speeds,
                         problem)) {
        c.problem = problem.text;
    }
    return c;
}

Solution::Solution(const Beam& beam, Method method) : script_(beam.actions()), method_(method) {
    const int last = script_.count() - 1;
    if (!beam.misuse().empty()) {
        problem_ = beam.misuse();
        return;
    }
    if (last < 1 || script_.actions[last].kind != Kind::rightEnd) {
        problem_ = "the beam has no right end: finish it with end()";
        return;
    }
    beam_ = beamOf(script_, 0, last);
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
