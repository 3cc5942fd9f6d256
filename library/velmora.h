// VELMORA as a C++ library: describe a beam from left to right, solve it by
// the general method or by the program's own keyed method, and read its
// diagram, support reactions, extremes and influence lines.
//
// Units are the user's own, consistent ones. w and M are positive downwards
// and sagging, a load positive downwards; psi and Q as the program prints
// them. A reaction is positive when it acts against a positive load.
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/buckling.h"
#include "analysis/cases.h"
#include "analysis/checks.h"
#include "analysis/critical.h"
#include "analysis/diagram.h"
#include "analysis/influence.h"
#include "model/description.h"
#include "model/model.h"
#include "sections/materials.h"
#include "sections/sections.h"
#include "solver/solver.h"
#include "text/describe.h"
#include "units/units.h"

namespace velmora {

// Why a description, a beam or a run has no answer, at the line it concerns
// (line 0: none). Every front end words it the same way.
struct Failure {
    enum Kind {
        none,
        description,  // the text, or a request, is wrong
        mechanism,    // the beam can move without straining
        keyed,        // the keyed method refuses, or cannot eliminate the beam
        unsolvable    // a stable beam without a finite solution (shared support, overflow)
    } kind = none;
    Problem where;
    explicit operator bool() const { return kind != none; }
};

class Beam;
enum class Method { general, keyed };

// Load cases: the loads given on the beam's elements are one case, named
// "G" unless ownCase names it; loadCase starts another, whose loads are
// placed by position from the left end through this handle.
class LoadCaseLoads {
public:
    // A line load q (growing by qs per length) from `from` to `to`; without
    // them over the whole beam.
    LoadCaseLoads& line(double q, double qs = 0.0);
    LoadCaseLoads& line(double q, double qs, double from, double to);
    LoadCaseLoads& force(double value, double x);
    LoadCaseLoads& moment(double value, double x);
    const Beam& beam() const { return beam_; }

private:
    friend class Beam;
    LoadCaseLoads(Beam& beam, int index) : beam_(beam), index_(index) {}
    LoadCaseLoads& add(PlacedLoad load);
    Beam& beam_;
    int index_;
};

// A case's factors in a combination: `worse` where it does harm, `better`
// where it helps (on a spanwise case, span by span).
struct CaseFactor {
    std::string loadCase;
    double worse = 1.0;
    double better = 1.0;
};

// A beam section given by names from the tables beside numbers, as the
// text format's F3 takes it: a number left NaN is not given. The profile
// ("IPE 300", "W14x48", "CHS 168.3x8", "Rechteck b=0.2 h=0.4") gives I, W
// and A (about the weak axis with weakAxis), the material ("S235") E, fy
// and with A the mass per length, and selfWeight adds m g to q. A number
// given wins over the tables'. Tables need the beam's units declared.
struct NamedSection {
    double l = 0.0;
    double ei = NAN, e = NAN, i = NAN, q = NAN, qs = NAN, w = NAN, m = NAN, a = NAN, fy = NAN;
    std::string profile;
    bool weakAxis = false;
    std::string material;
    bool selfWeight = false;
};

// A beam, element by element from its left end; every call returns the beam.
// A value the description would refuse (a negative length, a stiffness of 0
// or less, a number that is not finite, a name the text cannot hold, more
// than maxActions actions) throws std::invalid_argument with the
// description's words, at the call that gave it. Messages about a beam name
// its elements by their line and column in describe()'s text.
class Beam {
public:
    explicit Beam(End left = End::hinged);

    Beam& section(double l, double ei);  // a beam section without line load
    Beam& section(double l, double ei, double q, double qs = 0.0);
    Beam& section(const NamedSection& section);
    Beam& shaft(double l, double e, double d);  // EI = E pi d^4 / 64
    Beam& shaft(double l, double e, double d, double q, double qs = 0.0);
    Beam& spring(double c);
    Beam& force(double value);   // a point force
    Beam& moment(double value);  // a point moment
    Beam& angle(double value);   // an imposed kink
    Beam& offset(double value);  // an imposed offset
    Beam& support();             // an intermediate hinged support
    Beam& hinge();
    // A semi-rigid hinge: the slope jumps by -M / c. The general method only,
    // as for the elements below: the keyed method refuses them.
    Beam& hinge(double c);
    // A rotational spring to the ground: M jumps by -c psi, against the
    // turning. After a hinged end or with a support: a partly fixed support.
    Beam& rotationalSpring(double c);
    Beam& shearHinge();  // Q = 0 at the place, w may jump
    Beam& clamp();       // an intermediate clamp: w = psi = 0, the beam goes on
    // The right end: M at a hinged or free end, Q at a free end; a guided
    // end (End::guided) holds psi at 0 and takes no force.
    Beam& end(End right, double moment = 0.0, double force = 0.0);

    // --- Units ---
    // Declares the units of the beam's numbers, a force and a length unit ("kN", "m"); mass is
    // then force * s^2 / length (kN and m: t). The numbers stay as given: the beam computes in
    // its own units, and its outputs name them. Other names throw std::invalid_argument.
    Beam& units(const std::string& force, const std::string& length);
    const Units& declaredUnits() const { return script_.units; }
    // A value written with its unit ("50 mm", "8kN/m") or as a plain number, in the beam's
    // declared units, for the value `name` of quantity q. A unit that does not fit q, an unknown
    // unit or a unit without declared units throws std::invalid_argument.
    double quantity(const std::string& text, units::Quantity q, const std::string& name) const;

    // The beam as the keys that describe it, one action per element.
    const Script& actions() const { return script_; }
    bool complete() const;  // ends with its right end
    // The description text of the beam, which parse() reads back to an
    // equal beam.
    std::string describe(Language language = Language::german) const;
    // The units the beam's numbers are in (Script::units): the tables'
    // values of the sections named after it come converted into them.
    Beam& units(const Units& units);
    bool operator==(const Beam& other) const;
    bool operator!=(const Beam& other) const { return !(*this == other); }

    // A beam of actions already read and checked (F1 first, no F7).
    static Beam fromActions(std::vector<Action> actions);

    // --- Masses and section moduli: stresses and critical speeds ---
    // A point mass m with its transverse mass moment of inertia J (a disc,
    // a gear, a coupling); no load, the keyed method ignores it.
    Beam& mass(double m, double j = 0.0);
    // Of the section added last: its mass per length m (a beam section), its
    // density rho (a shaft section: m = rho pi d^2 / 4), its section modulus
    // W (a beam section; a shaft's is pi d^3 / 32). One that follows no
    // section of its kind throws std::invalid_argument.
    Beam& massPerLength(double m);
    Beam& density(double rho);
    Beam& modulus(double w);
    // The yield strength fy of the section (beam or shaft) added last, for
    // stress limits.
    Beam& yieldStrength(double fy);

    // --- Limits: what Solution::checks holds the results to ---
    // Every span's largest |w| against its own length over `divisor` (an
    // overhang against its length), or every section's largest |sigma|
    // against its fy over `divisor`, under the combination named (none: the
    // beam's loads together, for a beam without combinations). A divisor of
    // 0 or less throws; an unknown combination is refused by checks().
    Beam& deflectionLimit(double divisor, const std::string& combination = "");
    Beam& stressLimit(double divisor, const std::string& combination = "");

    // --- Beam-columns, foundations, shear deformation, imposed curvature ---
    // Of the section or shaft added last, each constant over it; the general
    // method only (the keyed method refuses such a section). The axial force
    // N, tension positive, as given (not found from the supports); the
    // foundation's k, a force per length per unit deflection acting against
    // w; the shear stiffness, GAs of a section or G of a shaft (whose shear
    // area follows from d), 0 for a section rigid in shear; an imposed
    // curvature kappa (1 / length), positive where it makes the beam sag
    // (alpha dT / h for a bottom warmer by dT over a depth h); the area A
    // of a section for the stress N / A (a shaft's is pi d^2 / 4).
    Beam& axialForce(double n);
    Beam& foundation(double k);
    Beam& shearStiffness(double s);
    Beam& curvature(double kappa);
    Beam& area(double a);

    // Load cases and combinations (see LoadCaseLoads). A name is one word
    // that cannot be read as a factor (no blank, line end, '=' or '#'; not
    // starting with a digit, a sign or a point; no '/'); another throws. A
    // name given twice or a combination of an unknown case is a description
    // failure of every Solution of the beam. describe() writes them (a
    // renamed own case as a line before F1, which moves every element's line
    // down by one); == compares them, not where they were written; parse()
    // gives them to the description's last beam.
    Beam& ownCase(const std::string& name);
    LoadCaseLoads loadCase(const std::string& name, bool spanwise = false);
    Beam& combination(const std::string& name, const std::vector<CaseFactor>& factors);
    const CaseBook& cases() const { return script_.cases; }
    const Failure& caseFailure() const { return caseFailure_; }

private:
    friend class LoadCaseLoads;
    friend bool parse(const std::string& text, std::vector<Beam>& beams, Failure& failure);
    friend bool report(const Script& script, const std::string& text, Method method, int points,
                       std::string& html, Failure& failure);
    Beam& add(Kind kind, Choice choice, std::vector<double> values);
    Beam& push(Action a);
    Beam& last(Kind kind, int slot, double value, const char* call);
    Beam& extended(int slot, double value, const char* call);
    bool nameFree(const std::string& name);
    Script script_;
    Failure caseFailure_;
};

// The side of a place where a point element makes a jump.
enum class Side { left, right };

// A solved beam. The keyed method gives, bit for bit, what the program
// prints for the same keys; the general method solves every stable beam.
// The keyed method starts the engine afresh for every beam, so nothing of
// one beam reaches the next.
class Solution {
public:
    Solution(const Beam& beam, Method method = Method::general);
    // One load case or combination (each factor taken where it harms); a
    // description failure when the beam has no state of that name.
    Solution(const Beam& beam, const std::string& state, Method method = Method::general);

    // False, with the reason, when the beam has no finite solution by the
    // method (a mechanism, a beam the keyed method cannot eliminate).
    bool solved() const { return !failure_; }
    const Failure& failure() const { return failure_; }
    const std::string& problem() const { return failure_.where.text; }
    Method method() const { return method_; }
    const BeamModel& model() const { return beam_; }

    // The state at x, 0 <= x <= length; at a point element the side says
    // which of the two states. x outside the beam is a description failure.
    bool at(double x, Side side, State& state, Failure& failure) const;

    // w, psi, M and Q at `points` places inside every section, at every
    // section's end and on both sides of every point element.
    std::vector<Sample> diagram(int points = defaultPoints) const;
    // The same samples, a column per quantity, for arrays.
    struct Columns {
        std::vector<double> x;
        std::array<std::vector<double>, rowCount> value;
        std::vector<double> sigma;  // M / W, NaN where no W is known; empty without any W
        // With an axial force N over a known area A, sigma is N / A + M / W of
        // the bottom fibre and sigmaTop N / A - M / W of the top; else empty.
        std::vector<double> sigmaTop;
    };
    Columns columns(int points = defaultPoints) const;
    const std::vector<Reaction>& reactions() const { return summary_.reactions; }
    // What each section on an elastic foundation carries, the integral of
    // k w, signed as a reaction: with the reactions it balances the loads.
    const std::vector<FoundationForce>& foundations() const { return summary_.foundations; }
    // The largest and smallest value of a quantity along the beam, exact.
    const Extreme& extreme(Row quantity) const { return summary_.extremes[quantity]; }
    // Of the keyed method: the reactions, extremes and stresses that lost
    // digits against the general method's, as velmora-batch warns of them.
    // Of the general method: a warning where the sections' axial forces
    // reach the first buckling load (its factor at most 1), as velmora-batch
    // warns of it; bucklingWarning() is its index (-1: none).
    const std::vector<Problem>& warnings() const { return warnings_; }
    int bucklingWarning() const { return bucklingWarning_; }

    // The influence line of "M@X", "Q@X", "Q@X-", "Q@X+", "w@X", "psi@X" or
    // "R@LINE" (LINE: the support's line in describe()), or "MR@LINE" (the
    // moment of a clamped or guided end, a clamp or a rotational spring),
    // sampled like the diagram.
    bool influence(const std::string& request, int points, InfluenceLine& line,
                   Failure& failure) const;

    // The drawing velmora-batch --svg writes: the sketch over the four plots.
    std::string svg(int points = defaultPoints) const;

    // --- Bending stress ---
    // sigma = M / W where sections have a W (shafts always): its largest and
    // smallest value along the beam, exact; each Sample gives its own.
    bool hasStress() const { return summary_.hasStress; }
    const Extreme& stress() const { return summary_.stress; }
    // Where a section has an axial force and an area: sigma above is the
    // bottom fibre's N / A + M / W, this the top fibre's N / A - M / W.
    bool hasAxialStress() const { return summary_.hasAxialStress; }
    const Extreme& stressTop() const { return summary_.stressTop; }

    // The largest and smallest w, psi, M and Q at every sample, and the
    // extreme reactions, over the combinations named (none named: all of
    // the beam's, or without any, all its cases together), each factor and
    // each span of a spanwise case chosen for the worst; the extremes exact
    // between the samples too. A solution made for a combination gives that
    // combination's envelope. By the solution's method. False with the
    // failure when a beam cannot be solved, or has keyed values that are not
    // finite; a description failure for what envelopeCombinations refuses.
    bool envelope(int points, Envelope& envelope, Failure& failure) const;
    bool envelope(int points, const std::vector<std::string>& combinations, Envelope& envelope,
                  Failure& failure) const;
    // The combinations of those names an envelope takes, as indices into
    // cases().combinations (empty: all). False with the reason for a name of
    // no combination, a load case's name, a solution made for a load case,
    // and names other than the combination the solution was made for.
    bool envelopeCombinations(const std::vector<std::string>& names, std::vector<int>& chosen,
                              Failure& failure) const;
    const CaseBook& cases() const { return description_.cases; }
    // The units the beam declares (Units::declared false: none), and the unit of each output by
    // its name, as the JSON's "units" gives them ("M": "kNm"; empty without declared units).
    const Units& units() const { return description_.units; }
    std::vector<std::pair<std::string, std::string>> unitLabels() const;
    // The units the description declares (not declared: the user's own).
    const Units& declaredUnits() const { return description_.units; }

    // The beam's limits checked, each on every span (w) or section (sigma),
    // in the order the limits were given. By the solution's method, on the
    // beam's own description whatever the solution was made for. False with
    // a description failure for a limit of an unknown combination, a load
    // case, or a section without W or fy under a stress limit.
    bool checks(int points, std::vector<Check>& checks, Failure& failure) const;

    // The report of the beam (see velmora::report), by the solution's method.
    bool report(int points, std::string& html, Failure& failure) const;

private:
    void solve(const BeamModel& beam);
    void sample(int points, Diagram& diagram) const;
    Script description_;  // as the beam was built, its cases included
    LoadState state_;     // the case or combination it was made for; none: the own loads
    Script script_;
    BeamModel beam_;
    Method method_;
    solver::Solution general_;
    Diagram summary_;
    Failure failure_;
    std::vector<Problem> warnings_;
    int bucklingWarning_ = -1;
};

// "x = 1.0000000000000011 is outside the beam, which runs from 0 to 1": a
// place refused by a call, its numbers as a description writes them (an
// infinite length: a beam without its right end, which "starts at 0").
std::string outsideBeam(const std::string& name, double x, double length);

// The extreme of an influence line's quantity under a live load: a uniform
// load q over the unfavourable parts, or a single moving force P.
LiveExtreme liveLoad(const InfluenceLine& line, bool uniform, double value);

// Reading a description: its complete beams, each from its F1 to its right
// end, without F7 and repeated runs. False with the first problem.
bool parse(const std::string& text, std::vector<Beam>& beams, Failure& failure);

// What velmora-batch prints for a description: the result of every F7, and
// its warnings (keyed values that cannot be trusted) in order.
struct RunOutput {
    std::vector<Result> results;
    std::vector<Problem> warnings;
};
bool run(const std::string& text, Method method, RunOutput& output, Failure& failure);

// --- The report ---
// One self-contained HTML page that prints on A4: the description (`text`
// as written; empty: the beam's describe()) and its units, the sections,
// cases and combinations, reactions and extremes, the span table and the
// checks where the beam has cases or limits, the critical speeds where it
// has masses, and the drawing; of the description's last complete beam,
// sampled at `points` a section. False with the failure of the beam, of its
// envelope or of its checks.
bool report(const Script& script, const std::string& text, Method method, int points,
            std::string& html, Failure& failure);

// --- Sections and materials ---
// A section of the tables by its name (see sections::find), SI: m^2, m^4,
// m^3; a material by its name, SI: Pa, kg/m^3. An unknown name throws
// std::invalid_argument listing what is known.
sections::Section profile(const std::string& name);
sections::Material material(const std::string& name);

// --- Critical speeds ---
// The `count` lowest bending natural frequencies of the non-rotating beam
// (Euler-Bernoulli, no gyroscopic effect), with their mode shapes sampled at
// `points` places inside every section. Loads do not enter. A mechanism or a
// beam of no mass is refused with the reason in `problem`.
struct Critical {
    Failure failure;
    std::vector<CriticalSpeed> speeds;
    bool solved() const { return !failure; }
};
Critical critical(const Beam& beam, int count, int points = defaultPoints);

// --- Buckling loads ---
// The `count` lowest factors by which the sections' axial forces N must be
// multiplied for the beam to buckle, each with its shape sampled at
// `points` places inside every section; foundations and shear stiffnesses
// enter, loads and masses do not. A mechanism or a beam with no section in
// compression is refused with the reason.
struct Buckling {
    Failure failure;
    bool noCompression = false;  // the failure: no section is in compression
    std::vector<BucklingMode> modes;
    bool solved() const { return !failure; }
};
Buckling buckling(const Beam& beam, int count, int points = defaultPoints);

// --- A whole description at once ---
// What is asked of a description beside the result of every F7; all of it
// of its last complete beam. A table, a drawing and a summary ask for the
// diagram of the state shown (the influence lines instead, when there are
// any, for a table and a drawing); each also decides which keyed values are
// checked against the general method's.
struct StudyRequest {
    Method method = Method::keyed;
    int points = defaultPoints;
    bool table = false;    // the samples
    bool drawing = false;  // the sketch over the plots, its extremes labelled
    bool summary = false;  // reactions and extremes
    std::vector<InfluenceRequest> influence;
    std::vector<LiveLoad> live;  // the extremes of each influence line under them
    int critical = 0;            // how many critical speeds
    int buckling = 0;            // how many buckling factors
    std::string state;           // a load case or combination shown instead of the beam's own loads
    bool envelope = false;
    bool spans = false;        // the span table of that envelope
    std::string combinations;  // the envelope's: one name, or names between commas; none: all
    bool report = false;
    std::string text;  // the description as written, for the report (empty: describe()'s)
};

// What a study's failure concerns, so that each front end names its own
// switch: a part of the request that needs a complete beam, the samples
// (too many for the points asked), the state or the combinations named.
enum class Asked {
    nothing,
    diagram,
    influence,
    critical,
    buckling,
    spans,
    cases,
    points,
    state,
    combinations
};

// The outputs of a study, every one checked and computed before any is
// shown: the writers of the text format print them. `script` is the
// description, as read; `beam` the beam the diagram, the influence lines,
// the critical speeds or the envelope are of, `checked` the one the checks
// are of. Warnings come in order (keyed values that lost digits, values
// that are not finite, axial forces beyond the first buckling load).
struct Study {
    Script script;
    std::vector<Result> results;
    BeamModel beam;
    int first = -1;  // the diagram's beam, as actions of the script
    int last = -1;
    Diagram diagram;
    std::vector<InfluenceLine> influence;
    std::vector<CriticalSpeed> critical;
    std::vector<BucklingMode> buckling;
    Envelope envelope;
    std::vector<Check> checks;
    BeamModel checked;
    std::string report;
    std::vector<Problem> warnings;
    // Why there is no answer (line 0: the request, not a place of the
    // description), and what of the request it concerns.
    Failure failure;
    Asked asked = Asked::nothing;
};

// Studies `study.script` as `request` asks; false with study.failure.
bool study(const StudyRequest& request, Study& study);
// Reads the description `text` into study.script and studies it; a text
// the reader refuses is a description failure at its first problem.
bool study(const std::string& text, const StudyRequest& request, Study& study);

}  // namespace velmora
